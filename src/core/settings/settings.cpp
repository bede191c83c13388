#include "core/settings/settings.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/settings/app_paths.h"
#include "core/settings/setting_fields.h"

namespace quelt {
namespace {

constexpr const char* kReadOffsets = "ReadOffsets";
constexpr int kMaxReadOffset = 2940;

constexpr const char* kDefaultCustomPattern = "0|2|3|";
constexpr const char* kDefaultVolumeLabel = "Audio CD";
constexpr int kLastRipTemplate = 12;
constexpr int kFallbackRipTemplate = 3;

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

}  // namespace

void LoadSettings(Settings& settings, const ProfileFile& file) {
    for (const SettingField& field : SettingFields())
        SetFieldFromText(field, settings, file.ReadString(field.section, field.key));
    RipSettings& rip = settings.rip;
    rip.readOffsets.clear();
    for (const auto& [drive, value] : file.Entries(kReadOffsets)) {
        const int samples = ParseDecimalInt(value);
        if (samples != 0 && samples >= -kMaxReadOffset && samples <= kMaxReadOffset) rip.readOffsets[drive] = samples;
    }
}

bool SaveSettings(Settings& settings, ProfileFile& file) {
    // One rewrite for the whole record, so the file never holds half of a save. The keys
    // written only once chosen come last, where a file that gains them later has them too.
    std::vector<ProfileEntry> entries;
    std::vector<ProfileEntry> chosen;
    for (const SettingField& field : SettingFields()) {
        if (field.rule.fixedOnSave) SetFieldNumber(field, settings, field.number(settings));
        ProfileEntry entry{field.section, field.key, FieldText(field, settings)};
        if (!field.rule.writtenOnceChosen)
            entries.push_back(std::move(entry));
        else if (field.number(settings) >= 0)
            chosen.push_back(std::move(entry));
    }
    entries.insert(entries.end(), chosen.begin(), chosen.end());
    for (const auto& [drive, samples] : settings.rip.readOffsets)
        entries.push_back({kReadOffsets, drive, std::to_string(samples)});
    return file.WriteEntries(entries);
}

void ApplyRipFolderDefault(RipSettings& rip) {
    if (rip.outputDirectory.empty()) rip.outputDirectory = DefaultOutputFolder();
}

void FixUpRipNameTemplate(RipSettings& rip) {
    if (rip.outputNameIndex < 0 || rip.outputNameIndex > kLastRipTemplate)
        rip.outputNameIndex = kFallbackRipTemplate;
}

void ApplyConvertFolderDefault(ConvertSettings& convert) {
    if (convert.outputDirectory.empty()) convert.outputDirectory = DefaultOutputFolder();
}

void ApplyVolumeLabelDefault(BurnSettings& burn) {
    if (burn.volumeLabel.empty()) burn.volumeLabel = kDefaultVolumeLabel;
}

void ApplyDefaultsInForce(Settings& settings) {
    ApplyRipFolderDefault(settings.rip);
    FixUpRipNameTemplate(settings.rip);
    if (settings.rip.outputNameCustom.empty())
        settings.rip.outputNameCustom = kDefaultCustomPattern;
    ApplyConvertFolderDefault(settings.convert);
    ApplyVolumeLabelDefault(settings.burn);
}

int ReadOffsetFor(const RipSettings& rip, const std::string& vendor, const std::string& model) {
    const std::string key = DriveKey(vendor, model);
    for (const auto& [drive, samples] : rip.readOffsets)
        if (SameProfileName(drive, key)) return samples;
    return 0;
}

void SetReadOffsetFor(RipSettings& rip, const std::string& vendor, const std::string& model, int samples) {
    const std::string key = DriveKey(vendor, model);
    if (key.empty()) return;
    for (auto it = rip.readOffsets.begin(); it != rip.readOffsets.end();) {
        if (SameProfileName(it->first, key))
            it = rip.readOffsets.erase(it);
        else ++it;
    }
    // A 0 is kept, so the next save overwrites the drive's old value in the file.
    rip.readOffsets[key] = std::clamp(samples, -kMaxReadOffset, kMaxReadOffset);
}

std::string SettingsReadWarning(const ProfileFile& file) {
    if (file.readError().empty()) return {};
    return "The settings file " + file.path() + " cannot be read (" + file.readError() +
           "). Default settings are used, and no settings are saved.";
}

std::string SettingsFilePath() { return ConfigFolder() + "zqrprocfg.cfg"; }

}  // namespace quelt
