// The settings store: one profile (INI-style) file per user, read once at start into a
// `Settings` record and written back once at an orderly exit.
#pragma once

#include <map>
#include <string>

#include "core/settings/profile_file.h"

namespace quelt {

// Category codes of the coded accessor; also the application's mode codes.
enum AppMode { kModeRip = 100, kModeConvert = 200, kModeBurn = 300 };

struct RipSettings {                 // section "CDRIP"
    std::string outputDirectory;     // ends with "/"
    int outputNameIndex = 0;         // rip template 0..11
    std::string outputNameCustom;    // field codes, each "N|"
    int ejectAfterRip = 0;
    int metadata = 0;
    int createM3U = 0;
    int lockTray = 0;
    int freedb = 0;
    int freedbServer = 0;            // index into the server list, never below 0
    int freedbPort = 0;
    int freedbTimeOut = 0;           // milliseconds
    int useFreedbProxy = 0;
    std::string freedbProxy;         // "host:port"
    int replayGain = 0;              // 1: ReplayGain 2 tags (track and album) on ripped files
    // "OutputNameSeparator": the entry of the custom pattern's separator list (0 "No",
    // 1 " ", 2 "-", 3 ".", 4 "_"); -1 while the key is absent, so the fields of settings that
    // never chose one stay joined as they always were. Written only once chosen.
    int outputNameSeparator = -1;
    int accurateRip = 0;             // verify each track against the AccurateRip database
    std::string accurateRipServer;   // the database's base address; "" for the public one
    int ripLog = 0;                  // write a rip log beside the files
    int ripCue = 0;                  // write a cue sheet beside the files
    // Where album names come from besides the disc's CD-Text (the proxy above serves both).
    int lookupSource = 0;            // "LookupSource": 0 FreeDB, 1 MusicBrainz, 2 MusicBrainz then FreeDB
    std::string musicBrainzServer;   // "MusicBrainzServer": host[:port]; "" the public server
    int musicBrainzTimeOut = 0;      // "MusicBrainzTimeOut": ms for the whole exchange; 0: 10000
    int coverArt = 0;                // "CoverArt": fetch, save and embed the front cover
    std::string coverArtServer;      // "CoverArtServer": base URL; "" the public archive
    // Read offset corrections in samples, by drive ("<vendor> <model>"), section "ReadOffsets".
    std::map<std::string, int> readOffsets;
};

// The stored read offset of a drive (0 when none), and storing one (0 removes it).
int ReadOffsetFor(const RipSettings& rip, const std::string& vendor, const std::string& model);
void SetReadOffsetFor(RipSettings& rip, const std::string& vendor, const std::string& model, int samples);

inline constexpr int kLookupFreedb = 0;
inline constexpr int kLookupMusicBrainz = 1;
inline constexpr int kLookupMusicBrainzThenFreedb = 2;

// The most files a batch converts at once.
inline constexpr int kMaxConvertJobs = 64;

struct ConvertSettings {             // section "Convert"
    int bOutputDirectory = 0;        // 1: write to outputDirectory; 0: beside each source
    std::string outputDirectory;
    int bOutputNameIndex = 0;        // 1: name by template; 0: keep the source's name
    int outputNameIndex = 0;         // convert template 0..11
    int metadata = 0;
    int ifExists = 0;                // 0 new name, 1 overwrite, 2 skip
    int deleteSource = 0;
    int jobs = 0;                    // files converted at once; 0: one per core
    int replayGain = 0;              // 1: ReplayGain 2 tags (track and batch as album)
};

struct BurnSettings {                // section "CDBurn"
    std::string volumeLabel;
    int ejectAfterBurn = 0;
    int finalize = 0;
    int testMode = 0;
};

struct Settings {
    RipSettings rip;
    ConvertSettings convert;
    BurnSettings burn;
    int priority = 0;                // section "Main": 1 idle, 2 normal, 3 high, 4 realtime
    // Never persisted: the extensions of the current rip and conversion (".mp3").
    std::string ripExtension;
    std::string convertExtension;
};

// Fills `settings` from the file in the documented order with its fix-ups.
void LoadSettings(Settings& settings, const ProfileFile& file);
// Writes every persisted field in one rewrite of the file; fixes negative FreeDB values in
// the record too. Returns false when the file could not be written (callers may ignore it).
bool SaveSettings(Settings& settings, ProfileFile& file);

// The coded accessor: (category, id) pairs exchanged as text. Reading supplies defaults
// for empty or out-of-range fields and stores them in `settings`. Unknown pairs read ""
// and write nothing.
std::string GetSettingText(Settings& settings, int category, int id);
void SetSettingText(Settings& settings, int category, int id, const std::string& text);

// The warning for a settings file that exists but could not be read, "" when it was read
// (or is missing): the program then runs on defaults and does not save them.
std::string SettingsReadWarning(const ProfileFile& file);

// The per-user settings file: $XDG_CONFIG_HOME/quelt/zqrprocfg.cfg (~/.config/quelt/...).
std::string SettingsFilePath();

}  // namespace quelt
