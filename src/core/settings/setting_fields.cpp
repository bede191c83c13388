#include "core/settings/setting_fields.h"

#include <cctype>

#include "core/settings/app_paths.h"

namespace quelt {
namespace {

// A lone separator stands for the default output folder.
std::string FixFolder(const std::string& folder) {
    return folder == "/" || folder == "\\" ? DefaultOutputFolder() : folder;
}

// The ranges a load enforces.
constexpr NumberRule kOnlyOneIsOn{.low = 0, .high = 1, .belowLow = 0, .aboveHigh = 0};
constexpr NumberRule NeverNegative(int replacement) {
    return {.low = 0, .belowLow = replacement, .fixedOnSave = true};
}

// clang-format off
#define TEXT(member) FieldKind::kText, [](Settings& s) { return &s.member; }, nullptr, nullptr
#define FOLDER(member) FieldKind::kFolder, [](Settings& s) { return &s.member; }, nullptr, nullptr
#define NUMBER(member) FieldKind::kNumber, nullptr,                                   \
    [](const Settings& s) { return static_cast<int>(s.member); },                     \
    [](Settings& s, int n) { s.member = static_cast<decltype(s.member)>(n); }

const SettingField kFields[] = {
    {"CDRIP", "OutputDirectory", FOLDER(rip.outputDirectory)},
    {"CDRIP", "OutputNameIndex", NUMBER(rip.outputNameIndex)},
    {"CDRIP", "OutputNameCustom", TEXT(rip.outputNameCustom)},
    {"CDRIP", "OutputNameSeparator", NUMBER(rip.outputNameSeparator),
     {.low = -1, .high = 4, .belowLow = -1, .aboveHigh = 0, .whenMissing = -1, .writtenOnceChosen = true}},
    {"CDRIP", "EjectAfterRip", NUMBER(rip.ejectAfterRip)},
    {"CDRIP", "Metadata", NUMBER(rip.metadata)},
    {"CDRIP", "CreateM3U", NUMBER(rip.createM3U)},
    {"CDRIP", "LockTray", NUMBER(rip.lockTray)},
    {"CDRIP", "Freedb", NUMBER(rip.freedb)},
    {"CDRIP", "FreedbServer", NUMBER(rip.freedbServer), NeverNegative(0)},
    {"CDRIP", "FreedbPort", NUMBER(rip.freedbPort), NeverNegative(80)},
    {"CDRIP", "FreedbTimeOut", NUMBER(rip.freedbTimeOut), NeverNegative(2000)},
    {"CDRIP", "UseFreedbProxy", NUMBER(rip.useFreedbProxy)},
    {"CDRIP", "FreedbProxy", TEXT(rip.freedbProxy)},
    {"CDRIP", "ReplayGain", NUMBER(rip.replayGain), kOnlyOneIsOn},
    {"CDRIP", "AccurateRip", NUMBER(rip.accurateRip)},
    {"CDRIP", "AccurateRipServer", TEXT(rip.accurateRipServer)},
    {"CDRIP", "RipLog", NUMBER(rip.ripLog)},
    {"CDRIP", "RipCue", NUMBER(rip.ripCue)},
    {"CDRIP", "LookupSource", NUMBER(rip.lookupSource), {.low = 0, .high = 2, .belowLow = 0, .aboveHigh = 0}},
    {"CDRIP", "MusicBrainzServer", TEXT(rip.musicBrainzServer)},
    {"CDRIP", "MusicBrainzTimeOut", NUMBER(rip.musicBrainzTimeOut)},
    {"CDRIP", "CoverArt", NUMBER(rip.coverArt)},
    {"CDRIP", "CoverArtServer", TEXT(rip.coverArtServer)},
    {"Convert", "bOutputDirectory", NUMBER(convert.bOutputDirectory), kOnlyOneIsOn},
    {"Convert", "OutputDirectory", FOLDER(convert.outputDirectory)},
    {"Convert", "bOutputNameIndex", NUMBER(convert.bOutputNameIndex), kOnlyOneIsOn},
    {"Convert", "OutputNameIndex", NUMBER(convert.outputNameIndex)},
    {"Convert", "Metadata", NUMBER(convert.metadata), kOnlyOneIsOn},
    {"Convert", "IfExists", NUMBER(convert.ifExists)},
    {"Convert", "DeleteSource", NUMBER(convert.deleteSource), kOnlyOneIsOn},
    {"Convert", "Jobs", NUMBER(convert.jobs), {.low = 0, .high = kMaxConvertJobs, .belowLow = 0, .aboveHigh = kMaxConvertJobs}},
    {"Convert", "ReplayGain", NUMBER(convert.replayGain), kOnlyOneIsOn},
    {"CDBurn", "VolumeLabel", TEXT(burn.volumeLabel)},
    {"CDBurn", "EjectAfterBurn", NUMBER(burn.ejectAfterBurn)},
    {"CDBurn", "Finalize", NUMBER(burn.finalize)},
    {"CDBurn", "TestMode", NUMBER(burn.testMode)},
    {"Main", "Priority", NUMBER(priority), {.low = 1, .high = 4, .belowLow = 1, .aboveHigh = 1}},
};

#undef TEXT
#undef FOLDER
#undef NUMBER
// clang-format on

}  // namespace

std::span<const SettingField> SettingFields() { return kFields; }

bool SameProfileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const SettingField* FindSettingField(std::string_view section, std::string_view key) {
    for (const auto& field : kFields)
        if (SameProfileName(section, field.section) && SameProfileName(key, field.key))
            return &field;
    return nullptr;
}

std::string FieldText(const SettingField& field, Settings& settings) {
    return field.isText() ? *field.text(settings) : std::to_string(field.number(settings));
}

void SetFieldFromText(const SettingField& field, Settings& settings, const std::string& text) {
    switch (field.kind) {
        case FieldKind::kText:
            *field.text(settings) = text;
            break;
        case FieldKind::kFolder:
            *field.text(settings) = FixFolder(text);
            break;
        case FieldKind::kNumber:
            SetFieldNumber(field, settings,
                           text.empty() ? field.rule.whenMissing : ParseDecimalInt(text));
            break;
    }
}

void SetFieldNumber(const SettingField& field, Settings& settings, int n) {
    field.setNumber(settings, field.rule.Apply(n));
}

}  // namespace quelt
