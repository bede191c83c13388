// quelt-cli settings list | get SECTION KEY | set SECTION KEY VALUE: the settings file seen
// through the program's own reading rules. "get" and "list" show the values in force (the
// coded accessor's defaults included) and write nothing; "set" loads, changes one value and
// saves, so every load fix-up applies to the file as well.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "core/settings/settings.h"

namespace quelt::cli {
namespace {

// One key of the file: a text or integer field of `Settings`, or (field == nullptr) a key
// that the pages read and write directly.
struct Key {
    const char* section;
    const char* name;
    int category;  // coded accessor pair, 0 when the key has none (or is not read through it)
    int id;
    std::string* (*text)(Settings&);
    int* (*number)(Settings&);
    bool direct() const { return !text && !number; }
    bool folder() const { return std::string(name) == "OutputDirectory"; }
};

#define TEXT(expr) [](Settings& s) -> std::string* { return &s.expr; }, nullptr
#define NUMBER(expr) nullptr, [](Settings& s) -> int* { return &s.expr; }
#define DIRECT nullptr, nullptr

// In the order the settings are loaded, then the pages' own keys.
const Key kKeys[] = {
    {"CDRIP", "OutputDirectory", kModeRip, 101, TEXT(rip.outputDirectory)},
    {"CDRIP", "OutputNameIndex", kModeRip, 103, NUMBER(rip.outputNameIndex)},
    {"CDRIP", "OutputNameCustom", kModeRip, 104, TEXT(rip.outputNameCustom)},
    {"CDRIP", "OutputNameSeparator", 0, 0, NUMBER(rip.outputNameSeparator)},
    {"CDRIP", "EjectAfterRip", kModeRip, 106, NUMBER(rip.ejectAfterRip)},
    {"CDRIP", "Metadata", kModeRip, 107, NUMBER(rip.metadata)},
    {"CDRIP", "CreateM3U", kModeRip, 108, NUMBER(rip.createM3U)},
    {"CDRIP", "LockTray", kModeRip, 110, NUMBER(rip.lockTray)},
    {"CDRIP", "Freedb", 0, 0, NUMBER(rip.freedb)},
    {"CDRIP", "FreedbServer", 0, 0, NUMBER(rip.freedbServer)},
    {"CDRIP", "FreedbPort", 0, 0, NUMBER(rip.freedbPort)},
    {"CDRIP", "FreedbTimeOut", 0, 0, NUMBER(rip.freedbTimeOut)},
    {"CDRIP", "UseFreedbProxy", 0, 0, NUMBER(rip.useFreedbProxy)},
    {"CDRIP", "FreedbProxy", 0, 0, TEXT(rip.freedbProxy)},
    {"CDRIP", "ReplayGain", 0, 0, NUMBER(rip.replayGain)},
    {"CDRIP", "AccurateRip", 0, 0, NUMBER(rip.accurateRip)},
    {"CDRIP", "AccurateRipServer", 0, 0, TEXT(rip.accurateRipServer)},
    {"CDRIP", "RipLog", 0, 0, NUMBER(rip.ripLog)},
    {"CDRIP", "RipCue", 0, 0, NUMBER(rip.ripCue)},
    {"CDRIP", "LookupSource", 0, 0, NUMBER(rip.lookupSource)},
    {"CDRIP", "MusicBrainzServer", 0, 0, TEXT(rip.musicBrainzServer)},
    {"CDRIP", "MusicBrainzTimeOut", 0, 0, NUMBER(rip.musicBrainzTimeOut)},
    {"CDRIP", "CoverArt", 0, 0, NUMBER(rip.coverArt)},
    {"CDRIP", "CoverArtServer", 0, 0, TEXT(rip.coverArtServer)},
    {"Convert", "bOutputDirectory", 0, 0, NUMBER(convert.bOutputDirectory)},
    {"Convert", "OutputDirectory", kModeConvert, 203, TEXT(convert.outputDirectory)},
    {"Convert", "bOutputNameIndex", 0, 0, NUMBER(convert.bOutputNameIndex)},
    {"Convert", "OutputNameIndex", 0, 0, NUMBER(convert.outputNameIndex)},
    {"Convert", "Metadata", kModeConvert, 204, NUMBER(convert.metadata)},
    {"Convert", "IfExists", kModeConvert, 205, NUMBER(convert.ifExists)},
    {"Convert", "DeleteSource", kModeConvert, 206, NUMBER(convert.deleteSource)},
    {"Convert", "Jobs", 0, 0, NUMBER(convert.jobs)},
    {"Convert", "ReplayGain", 0, 0, NUMBER(convert.replayGain)},
    {"CDBurn", "VolumeLabel", kModeBurn, 301, TEXT(burn.volumeLabel)},
    {"CDBurn", "EjectAfterBurn", kModeBurn, 302, NUMBER(burn.ejectAfterBurn)},
    {"CDBurn", "Finalize", kModeBurn, 303, NUMBER(burn.finalize)},
    {"CDBurn", "TestMode", kModeBurn, 304, NUMBER(burn.testMode)},
    {"Main", "Priority", 0, 0, NUMBER(priority)},
    {"CDRIP", "FormatIndex", 0, 0, DIRECT},
    {"CDRIP", "FParamIndex", 0, 0, DIRECT},
    {"CONVERT", "FormatIndex", 0, 0, DIRECT},
    {"CONVERT", "FParamIndex", 0, 0, DIRECT},
};

#undef TEXT
#undef NUMBER
#undef DIRECT

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Sections and keys are found without regard to case, as the file's reader finds them.
const Key* FindKey(const std::string& section, const std::string& name) {
    for (const auto& key : kKeys)
        if (SameName(section, key.section) && SameName(name, key.name)) return &key;
    return nullptr;
}

std::string ValueInForce(const Key& key, Settings& settings, const ProfileFile& file) {
    if (key.direct()) return std::to_string(file.ReadInt(key.section, key.name));
    if (key.category != 0) return GetSettingText(settings, key.category, key.id);
    return key.text ? *key.text(settings) : std::to_string(*key.number(settings));
}

constexpr const char* kSynopsis = "list | get SECTION KEY | set SECTION KEY VALUE";
constexpr const char* kAbout =
    "Shows and changes the settings file ($XDG_CONFIG_HOME/quelt/zqrprocfg.cfg).\n"
    "  list                     every setting in force, as SECTION<TAB>KEY<TAB>VALUE lines\n"
    "                           (with --json one JSON array of {section, key, value})\n"
    "  get SECTION KEY          the value in force (defaults included); writes nothing\n"
    "  set SECTION KEY VALUE    changes one value and saves the settings\n"
    "Sections and keys are matched without regard to case; integer settings take decimal\n"
    "numbers; an output folder is stored as an absolute path ending in \"/\".";

// The user's settings file and the settings loaded from it, with every load fix-up applied.
struct LoadedSettings {
    ProfileFile file = UserSettingsFile();
    Settings settings;
    LoadedSettings() { LoadSettings(settings, file); }
};

// The key named by words 1 and 2 of a subcommand that takes `wordCount` words in all;
// nullptr after printing the usage error, whose status goes to `status`.
const Key* NamedKey(const Options& options, size_t wordCount, const char* takes, int& status) {
    const auto& words = options.Positional();
    const Key* key = nullptr;
    if (words.size() != wordCount)
        status = options.UsageError(words[0] + " takes " + takes);
    else if (!(key = FindKey(words[1], words[2])))
        status = options.UsageError("unknown setting " + words[1] + " " + words[2]);
    return key;
}

int List(const Options& options) {
    if (options.Positional().size() != 1) return options.UsageError("list takes no arguments");
    LoadedSettings loaded;
    if (options.Has("--json")) {
        JsonWriter json;
        json.BeginArray();
        for (const auto& key : kKeys)
            json.BeginObject()
                .Field("section", key.section)
                .Field("key", key.name)
                .Field("value", ValueInForce(key, loaded.settings, loaded.file))
                .EndObject();
        json.EndArray().Print();
        return kExitOk;
    }
    for (const auto& key : kKeys)
        std::printf("%s\t%s\t%s\n", key.section, key.name,
                    ValueInForce(key, loaded.settings, loaded.file).c_str());
    return kExitOk;
}

int Get(const Options& options) {
    int status = kExitOk;
    const Key* key = NamedKey(options, 3, "SECTION and KEY", status);
    if (!key) return status;
    LoadedSettings loaded;
    std::printf("%s\n", ValueInForce(*key, loaded.settings, loaded.file).c_str());
    return kExitOk;
}

int Set(const Options& options) {
    int status = kExitOk;
    const Key* key = NamedKey(options, 4, "SECTION, KEY and VALUE", status);
    if (!key) return status;
    std::string value = options.Positional()[3];
    std::optional<int> number;
    if (!key->text) {
        number = ParseInt(value);
        if (!number)
            return options.UsageError(std::string(key->name) + " takes a whole number, not \"" +
                                      value + "\"");
    }
    if (key->folder() && !value.empty()) {
        // A relative folder would follow whatever folder a later run starts in.
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(value, ec);
        if (!ec) value = absolute.lexically_normal().string();
        if (value.back() != '/') value += '/';
    }

    LoadedSettings loaded;
    if (key->text) *key->text(loaded.settings) = value;
    if (key->number) *key->number(loaded.settings) = *number;
    bool written = SaveSettings(loaded.settings, loaded.file);
    if (written && key->direct())
        written = loaded.file.WriteEntries({{key->section, key->name, std::to_string(*number)}});
    if (!written) {
        std::fprintf(stderr, "quelt-cli settings: could not write %s\n", loaded.file.path().c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int RunSettings(const Args& args) {
    Options options("settings");
    options.Flag("--json", "list: print one JSON array instead of the lines");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested()) return options.PrintHelp(kSynopsis, kAbout);
    const auto& words = options.Positional();
    if (words.empty()) return options.UsageError("a subcommand is needed: list, get or set");
    if (words[0] == "list") return List(options);
    if (words[0] == "get") return Get(options);
    if (words[0] == "set") return Set(options);
    return options.UsageError("unknown subcommand \"" + words[0] + "\"");
}

}  // namespace quelt::cli
