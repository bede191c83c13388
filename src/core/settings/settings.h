// The settings store: one profile (INI-style) file per user, read once at start into a
// `Settings` record and written back once at an orderly exit. Every key of the file and the
// field it fills are listed once, in the table of setting_fields.h.
#pragma once

#include <map>
#include <string>

#include "core/settings/profile_file.h"

namespace quelt {

// The application's modes: the page on show, the job a progress window serves.
enum AppMode { kModeRip = 100, kModeConvert = 200, kModeBurn = 300 };

// Where album names come from besides the disc's CD-Text (the FreeDB proxy serves both).
enum class LookupSource { kFreedb = 0, kMusicBrainz = 1, kMusicBrainzThenFreedb = 2 };

// What a conversion does when its output file exists. A hand-written number outside the list
// is kept as stored.
enum class IfExists { kNewName = 0, kOverwrite = 1, kSkip = 2 };

// The scheduling class of a job's worker; another number (set while running) is saved as it
// is and changes nothing.
enum class Priority { kIdle = 1, kNormal = 2, kHigh = 3, kRealtime = 4 };

struct RipSettings {                 // section "CDRIP"
    std::string outputDirectory;     // ends with "/"
    int outputNameIndex = 0;         // rip template 0..11
    std::string outputNameCustom;    // field codes, each "N|"
    bool ejectAfterRip = false;
    bool metadata = false;
    bool createM3U = false;
    bool lockTray = false;
    bool freedb = false;             // look the disc up automatically
    int freedbServer = 0;            // index into the server list, never below 0
    int freedbPort = 0;
    int freedbTimeOut = 0;           // milliseconds
    bool useFreedbProxy = false;
    std::string freedbProxy;         // "host:port"
    bool replayGain = false;         // ReplayGain 2 tags (track and album) on ripped files
    // The entry of the custom pattern's separator list (0 "No", 1 " ", 2 "-", 3 ".", 4 "_");
    // -1 while never chosen, so the fields of settings that never chose one stay joined as
    // they always were. Written only once chosen.
    int outputNameSeparator = -1;
    bool accurateRip = false;        // verify each track against the AccurateRip database
    std::string accurateRipServer;   // the database's base address; "" for the public one
    bool ripLog = false;             // write a rip log beside the files
    bool ripCue = false;             // write a cue sheet beside the files
    LookupSource lookupSource = LookupSource::kFreedb;
    std::string musicBrainzServer;  // host[:port]; "" the public server
    int musicBrainzTimeOut = 0;     // ms for the whole exchange; 0: 10000
    bool coverArt = false;          // fetch, save and embed the front cover
    std::string coverArtServer;     // base URL; "" the public archive
    // Read offset corrections in samples, by drive ("<vendor> <model>"), section "ReadOffsets".
    std::map<std::string, int> readOffsets;
};

// The stored read offset of a drive (0 when none), and storing one (0 removes it).
int ReadOffsetFor(const RipSettings& rip, const std::string& vendor, const std::string& model);
void SetReadOffsetFor(RipSettings& rip, const std::string& vendor, const std::string& model, int samples);

// The most files a batch converts at once.
inline constexpr int kMaxConvertJobs = 64;

struct ConvertSettings {             // section "Convert"
    bool bOutputDirectory = false;   // write to outputDirectory; else beside each source
    std::string outputDirectory;
    bool bOutputNameIndex = false;   // name by template; else keep the source's name
    int outputNameIndex = 0;         // convert template 0..11
    bool metadata = false;
    IfExists ifExists = IfExists::kNewName;
    bool deleteSource = false;
    int jobs = 0;                    // files converted at once; 0: one per core
    bool replayGain = false;         // ReplayGain 2 tags (track and batch as album)
};

struct BurnSettings {                // section "CDBurn"
    std::string volumeLabel;
    bool ejectAfterBurn = false;
    bool finalize = false;
    bool testMode = false;
};

struct Settings {
    RipSettings rip;
    ConvertSettings convert;
    BurnSettings burn;
    Priority priority = Priority{0};  // section "Main"; loads as kIdle when out of range
    // Never persisted: the extensions of the current rip and conversion (".mp3").
    std::string ripExtension;
    std::string convertExtension;
};

// Fills `settings` from the file with the load fix-ups of each field.
void LoadSettings(Settings& settings, const ProfileFile& file);
// Writes every persisted field in one rewrite of the file; fixes negative FreeDB values in
// the record too. Returns false when the file could not be written (callers may ignore it).
bool SaveSettings(Settings& settings, ProfileFile& file);

// Defaults that arrive when a value is about to be used rather than at load, so an empty
// field stays empty in the file until then. Each stores its value in the record, and the next
// save writes it.
void ApplyRipFolderDefault(RipSettings& rip);              // empty: the default output folder
void FixUpRipNameTemplate(RipSettings& rip);               // outside 0..12: template 3
void ApplyConvertFolderDefault(ConvertSettings& convert);  // empty: the default output folder
void ApplyVolumeLabelDefault(BurnSettings& burn);          // empty: "Audio CD"
// Every default above and the custom pattern's ("0|2|3|" for an empty one): the values in
// force, as `quelt-cli settings` shows them.
void ApplyDefaultsInForce(Settings& settings);

// The warning for a settings file that exists but could not be read, "" when it was read
// (or is missing): the program then runs on defaults and does not save them.
std::string SettingsReadWarning(const ProfileFile& file);

// The per-user settings file: $XDG_CONFIG_HOME/quelt/zqrprocfg.cfg (~/.config/quelt/...).
std::string SettingsFilePath();

}  // namespace quelt
