#include "core/settings/settings.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "core/settings/app_paths.h"

namespace quelt {
namespace {

constexpr const char* kRip = "CDRIP";
constexpr const char* kConvert = "Convert";
constexpr const char* kBurn = "CDBurn";
constexpr const char* kMain = "Main";
constexpr const char* kReadOffsets = "ReadOffsets";
constexpr int kMaxReadOffset = 2940;

constexpr const char* kDefaultCustomPattern = "0|2|3|";
constexpr const char* kDefaultVolumeLabel = "Audio CD";
constexpr const char* kDefaultRipExtension = ".mp3";
constexpr int kDefaultFreedbPort = 80;
constexpr int kDefaultFreedbTimeOut = 2000;
constexpr int kLastSeparatorEntry = 4;

// A stored folder of exactly one separator stands for the default output folder.
std::string FixFolder(const std::string& folder) {
    return folder == "/" || folder == "\\" ? DefaultOutputFolder() : folder;
}

// The three FreeDB numbers that may not be negative; `SaveSettings` fixes them the same way.
void FixFreedb(RipSettings& rip) {
    if (rip.freedbServer < 0) rip.freedbServer = 0;
    if (rip.freedbPort < 0) rip.freedbPort = kDefaultFreedbPort;
    if (rip.freedbTimeOut < 0) rip.freedbTimeOut = kDefaultFreedbTimeOut;
}

std::string Decimal(int value) { return std::to_string(value); }

// The key of a drive in "ReadOffsets": vendor and model with the characters a profile key
// cannot hold replaced.
std::string DriveKey(const std::string& vendor, const std::string& model) {
    std::string key = vendor + " " + model;
    for (char& c : key)
        if (c == '=' || c == '[' || c == ']' || c == ';' || static_cast<unsigned char>(c) < 0x20) c = '_';
    const auto first = key.find_first_not_of(' ');
    const auto last = key.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : key.substr(first, last - first + 1);
}

bool ProfileNamesEqual(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// 1 only when the text is exactly "1".
int StrictFlag(const std::string& text) { return text == "1" ? 1 : 0; }

// An absent or negative value is "never chosen"; a number past the list is "No".
int SeparatorEntry(const std::string& text) {
    if (text.empty()) return -1;
    const int entry = ParseDecimalInt(text);
    if (entry < 0) return -1;
    return entry <= kLastSeparatorEntry ? entry : 0;
}

}  // namespace

void LoadSettings(Settings& settings, const ProfileFile& file) {
    RipSettings& rip = settings.rip;
    rip.outputDirectory = FixFolder(file.ReadString(kRip, "OutputDirectory"));
    rip.outputNameIndex = file.ReadInt(kRip, "OutputNameIndex");
    rip.outputNameCustom = file.ReadString(kRip, "OutputNameCustom");
    rip.outputNameSeparator = SeparatorEntry(file.ReadString(kRip, "OutputNameSeparator"));
    rip.ejectAfterRip = file.ReadInt(kRip, "EjectAfterRip");
    rip.metadata = file.ReadInt(kRip, "Metadata");
    rip.createM3U = file.ReadInt(kRip, "CreateM3U");
    rip.lockTray = file.ReadInt(kRip, "LockTray");
    rip.freedb = file.ReadInt(kRip, "Freedb");
    rip.freedbServer = file.ReadInt(kRip, "FreedbServer");
    rip.freedbPort = file.ReadInt(kRip, "FreedbPort");
    rip.freedbTimeOut = file.ReadInt(kRip, "FreedbTimeOut");
    FixFreedb(rip);
    rip.useFreedbProxy = file.ReadInt(kRip, "UseFreedbProxy");
    rip.freedbProxy = file.ReadString(kRip, "FreedbProxy");
    rip.replayGain = file.ReadInt(kRip, "ReplayGain") == 1 ? 1 : 0;
    rip.accurateRip = file.ReadInt(kRip, "AccurateRip");
    rip.accurateRipServer = file.ReadString(kRip, "AccurateRipServer");
    rip.ripLog = file.ReadInt(kRip, "RipLog");
    rip.ripCue = file.ReadInt(kRip, "RipCue");
    rip.readOffsets.clear();
    for (const auto& [drive, value] : file.Entries(kReadOffsets)) {
        const int samples = ParseDecimalInt(value);
        if (samples != 0 && samples >= -kMaxReadOffset && samples <= kMaxReadOffset) rip.readOffsets[drive] = samples;
    }
    rip.lookupSource = file.ReadInt(kRip, "LookupSource");
    if (rip.lookupSource < kLookupFreedb || rip.lookupSource > kLookupMusicBrainzThenFreedb)
        rip.lookupSource = kLookupFreedb;
    rip.musicBrainzServer = file.ReadString(kRip, "MusicBrainzServer");
    rip.musicBrainzTimeOut = file.ReadInt(kRip, "MusicBrainzTimeOut");
    rip.coverArt = file.ReadInt(kRip, "CoverArt");
    rip.coverArtServer = file.ReadString(kRip, "CoverArtServer");

    ConvertSettings& convert = settings.convert;
    convert.bOutputDirectory = file.ReadInt(kConvert, "bOutputDirectory");
    convert.outputDirectory = FixFolder(file.ReadString(kConvert, "OutputDirectory"));
    convert.bOutputNameIndex = file.ReadInt(kConvert, "bOutputNameIndex");
    convert.outputNameIndex = file.ReadInt(kConvert, "OutputNameIndex");
    convert.metadata = file.ReadInt(kConvert, "Metadata");
    convert.ifExists = file.ReadInt(kConvert, "IfExists");
    convert.deleteSource = file.ReadInt(kConvert, "DeleteSource");
    convert.jobs = std::clamp(file.ReadInt(kConvert, "Jobs"), 0, kMaxConvertJobs);
    convert.replayGain = file.ReadInt(kConvert, "ReplayGain") == 1 ? 1 : 0;

    BurnSettings& burn = settings.burn;
    burn.volumeLabel = file.ReadString(kBurn, "VolumeLabel");
    burn.ejectAfterBurn = file.ReadInt(kBurn, "EjectAfterBurn");
    burn.finalize = file.ReadInt(kBurn, "Finalize");
    burn.testMode = file.ReadInt(kBurn, "TestMode");

    settings.priority = file.ReadInt(kMain, "Priority");
    if (settings.priority < 1 || settings.priority > 4) settings.priority = 1;
}

bool SaveSettings(Settings& settings, ProfileFile& file) {
    FixFreedb(settings.rip);
    const RipSettings& rip = settings.rip;
    const ConvertSettings& convert = settings.convert;
    const BurnSettings& burn = settings.burn;
    // One rewrite for the whole record, so the file never holds half of a save.
    std::vector<ProfileEntry> entries{
        {kRip, "OutputDirectory", rip.outputDirectory},
        {kRip, "OutputNameIndex", Decimal(rip.outputNameIndex)},
        {kRip, "OutputNameCustom", rip.outputNameCustom},
        {kRip, "EjectAfterRip", Decimal(rip.ejectAfterRip)},
        {kRip, "Metadata", Decimal(rip.metadata)},
        {kRip, "CreateM3U", Decimal(rip.createM3U)},
        {kRip, "LockTray", Decimal(rip.lockTray)},
        {kRip, "Freedb", Decimal(rip.freedb)},
        {kRip, "FreedbServer", Decimal(rip.freedbServer)},
        {kRip, "FreedbPort", Decimal(rip.freedbPort)},
        {kRip, "FreedbTimeOut", Decimal(rip.freedbTimeOut)},
        {kRip, "UseFreedbProxy", Decimal(rip.useFreedbProxy)},
        {kRip, "FreedbProxy", rip.freedbProxy},
        {kRip, "ReplayGain", Decimal(rip.replayGain)},
        {kConvert, "bOutputDirectory", Decimal(convert.bOutputDirectory)},
        {kConvert, "OutputDirectory", convert.outputDirectory},
        {kConvert, "bOutputNameIndex", Decimal(convert.bOutputNameIndex)},
        {kConvert, "OutputNameIndex", Decimal(convert.outputNameIndex)},
        {kConvert, "Metadata", Decimal(convert.metadata)},
        {kConvert, "IfExists", Decimal(convert.ifExists)},
        {kConvert, "DeleteSource", Decimal(convert.deleteSource)},
        {kConvert, "Jobs", Decimal(convert.jobs)},
        {kConvert, "ReplayGain", Decimal(convert.replayGain)},
        {kBurn, "VolumeLabel", burn.volumeLabel},
        {kBurn, "EjectAfterBurn", Decimal(burn.ejectAfterBurn)},
        {kBurn, "Finalize", Decimal(burn.finalize)},
        {kBurn, "TestMode", Decimal(burn.testMode)},
        {kMain, "Priority", Decimal(settings.priority)},
        {kRip, "AccurateRip", Decimal(rip.accurateRip)},
        {kRip, "AccurateRipServer", rip.accurateRipServer},
        {kRip, "RipLog", Decimal(rip.ripLog)},
        {kRip, "RipCue", Decimal(rip.ripCue)},
        {kRip, "LookupSource", Decimal(rip.lookupSource)},
        {kRip, "MusicBrainzServer", rip.musicBrainzServer},
        {kRip, "MusicBrainzTimeOut", Decimal(rip.musicBrainzTimeOut)},
        {kRip, "CoverArt", Decimal(rip.coverArt)},
        {kRip, "CoverArtServer", rip.coverArtServer},
    };
    if (rip.outputNameSeparator >= 0)
        entries.push_back({kRip, "OutputNameSeparator", Decimal(rip.outputNameSeparator)});
    for (const auto& [drive, samples] : rip.readOffsets) entries.push_back({kReadOffsets, drive, Decimal(samples)});
    return file.WriteEntries(entries);
}

int ReadOffsetFor(const RipSettings& rip, const std::string& vendor, const std::string& model) {
    const std::string key = DriveKey(vendor, model);
    for (const auto& [drive, samples] : rip.readOffsets)
        if (ProfileNamesEqual(drive, key)) return samples;
    return 0;
}

void SetReadOffsetFor(RipSettings& rip, const std::string& vendor, const std::string& model, int samples) {
    const std::string key = DriveKey(vendor, model);
    if (key.empty()) return;
    for (auto it = rip.readOffsets.begin(); it != rip.readOffsets.end();) {
        if (ProfileNamesEqual(it->first, key)) it = rip.readOffsets.erase(it);
        else ++it;
    }
    // A 0 is kept, so the next save overwrites the drive's old value in the file.
    rip.readOffsets[key] = std::clamp(samples, -kMaxReadOffset, kMaxReadOffset);
}

std::string GetSettingText(Settings& settings, int category, int id) {
    RipSettings& rip = settings.rip;
    ConvertSettings& convert = settings.convert;
    BurnSettings& burn = settings.burn;
    if (id < 0 || id >= 1000) return {};
    // clang-format off
    switch (category * 1000 + id) {
        case kModeRip * 1000 + 101:
            if (rip.outputDirectory.empty()) rip.outputDirectory = DefaultOutputFolder();
            return rip.outputDirectory;
        case kModeRip * 1000 + 103:
            if (rip.outputNameIndex < 0 || rip.outputNameIndex > 12) rip.outputNameIndex = 3;
            return Decimal(rip.outputNameIndex);
        case kModeRip * 1000 + 104:
            if (rip.outputNameCustom.empty()) rip.outputNameCustom = kDefaultCustomPattern;
            return rip.outputNameCustom;
        case kModeRip * 1000 + 105:
            if (settings.ripExtension.empty()) settings.ripExtension = kDefaultRipExtension;
            return settings.ripExtension;
        case kModeRip * 1000 + 106: return Decimal(rip.ejectAfterRip);
        case kModeRip * 1000 + 107: return Decimal(rip.metadata);
        case kModeRip * 1000 + 108: return Decimal(rip.createM3U);
        case kModeRip * 1000 + 110: return Decimal(rip.lockTray);
        case kModeConvert * 1000 + 201: return settings.convertExtension;
        case kModeConvert * 1000 + 203:
            if (convert.outputDirectory.empty()) convert.outputDirectory = DefaultOutputFolder();
            return convert.outputDirectory;
        case kModeConvert * 1000 + 204: return Decimal(convert.metadata);
        case kModeConvert * 1000 + 205: return Decimal(convert.ifExists);
        case kModeConvert * 1000 + 206: return Decimal(convert.deleteSource);
        case kModeBurn * 1000 + 301:
            if (burn.volumeLabel.empty()) burn.volumeLabel = kDefaultVolumeLabel;
            return burn.volumeLabel;
        case kModeBurn * 1000 + 302: return Decimal(burn.ejectAfterBurn);
        case kModeBurn * 1000 + 303: return Decimal(burn.finalize);
        case kModeBurn * 1000 + 304: return Decimal(burn.testMode);
        default: return {};
    }
    // clang-format on
}

void SetSettingText(Settings& settings, int category, int id, const std::string& text) {
    RipSettings& rip = settings.rip;
    ConvertSettings& convert = settings.convert;
    BurnSettings& burn = settings.burn;
    if (id < 0 || id >= 1000) return;
    // clang-format off
    switch (category * 1000 + id) {
        case kModeRip * 1000 + 101: rip.outputDirectory = text; break;
        case kModeRip * 1000 + 103: rip.outputNameIndex = ParseDecimalInt(text); break;
        case kModeRip * 1000 + 104: rip.outputNameCustom = text; break;
        case kModeRip * 1000 + 105: settings.ripExtension = text; break;
        case kModeRip * 1000 + 106: rip.ejectAfterRip = StrictFlag(text); break;
        case kModeRip * 1000 + 107: rip.metadata = StrictFlag(text); break;
        case kModeRip * 1000 + 108: rip.createM3U = StrictFlag(text); break;
        case kModeRip * 1000 + 110: rip.lockTray = ParseDecimalInt(text); break;
        case kModeConvert * 1000 + 201: settings.convertExtension = text; break;
        case kModeConvert * 1000 + 202: convert.outputNameIndex = ParseDecimalInt(text); break;
        case kModeConvert * 1000 + 203: convert.outputDirectory = text; break;
        case kModeConvert * 1000 + 204: convert.metadata = ParseDecimalInt(text); break;
        case kModeConvert * 1000 + 205: convert.ifExists = ParseDecimalInt(text); break;
        case kModeConvert * 1000 + 206: convert.deleteSource = ParseDecimalInt(text); break;
        case kModeBurn * 1000 + 301: burn.volumeLabel = text; break;
        case kModeBurn * 1000 + 302: burn.ejectAfterBurn = ParseDecimalInt(text); break;
        case kModeBurn * 1000 + 303: burn.finalize = ParseDecimalInt(text); break;
        case kModeBurn * 1000 + 304: burn.testMode = ParseDecimalInt(text); break;
        default: break;
    }
    // clang-format on
}

std::string SettingsReadWarning(const ProfileFile& file) {
    if (file.readError().empty()) return {};
    return "The settings file " + file.path() + " cannot be read (" + file.readError() +
           "). Default settings are used, and no settings are saved.";
}

std::string SettingsFilePath() { return ConfigFolder() + "zqrprocfg.cfg"; }

}  // namespace quelt
