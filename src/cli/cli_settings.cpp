// quelt-cli settings list | get SECTION KEY | set SECTION KEY VALUE: the settings file seen
// through the program's own reading rules. "get" and "list" show the values in force (the
// defaults that arrive on use included) and write nothing; "set" loads, changes one value and
// saves, so every load fix-up applies to the file as well.
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "core/settings/setting_fields.h"
#include "core/settings/settings.h"

namespace quelt::cli {
namespace {

// One key of the file: a field of `Settings` or one of the keys the pages read and write
// directly (field == nullptr).
struct Key {
    const char* section;
    const char* name;
    const SettingField* field;
};

const Key kPageKeys[] = {
    {"CDRIP", "FormatIndex", nullptr},
    {"CDRIP", "FParamIndex", nullptr},
    {"CONVERT", "FormatIndex", nullptr},
    {"CONVERT", "FParamIndex", nullptr},
};

// Sections and keys are found without regard to case, as the file's reader finds them.
std::optional<Key> FindKey(const std::string& section, const std::string& name) {
    if (const SettingField* field = FindSettingField(section, name))
        return Key{field->section, field->key, field};
    for (const Key& key : kPageKeys)
        if (SameProfileName(section, key.section) && SameProfileName(name, key.name)) return key;
    return std::nullopt;
}

// `settings` holds the values in force (ApplyDefaultsInForce applied).
std::string ValueInForce(const Key& key, Settings& settings, const ProfileFile& file) {
    if (!key.field) return std::to_string(file.ReadInt(key.section, key.name));
    return FieldText(*key.field, settings);
}

// Every key in list order: the fields of `Settings`, then the pages' keys.
std::vector<Key> AllKeys() {
    std::vector<Key> keys;
    for (const auto& field : SettingFields()) keys.push_back({field.section, field.key, &field});
    keys.insert(keys.end(), std::begin(kPageKeys), std::end(kPageKeys));
    return keys;
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

// The user's settings file and the settings loaded from it, with every load fix-up applied;
// `inForce` adds the defaults that arrive on use, for showing (never saved).
struct LoadedSettings {
    ProfileFile file = UserSettingsFile();
    Settings settings;
    explicit LoadedSettings(bool inForce) {
        LoadSettings(settings, file);
        if (inForce) ApplyDefaultsInForce(settings);
    }
};

// The key named by words 1 and 2 of a subcommand that takes `wordCount` words in all;
// nothing after printing the usage error, whose status goes to `status`.
std::optional<Key> NamedKey(const Options& options, size_t wordCount, const char* takes,
                            int& status) {
    const auto& words = options.Positional();
    if (words.size() != wordCount) {
        status = options.UsageError(words[0] + " takes " + takes);
        return std::nullopt;
    }
    std::optional<Key> key = FindKey(words[1], words[2]);
    if (!key) status = options.UsageError("unknown setting " + words[1] + " " + words[2]);
    return key;
}

int List(const Options& options) {
    if (options.Positional().size() != 1) return options.UsageError("list takes no arguments");
    LoadedSettings loaded(true);
    if (options.Has("--json")) {
        JsonWriter json;
        json.BeginArray();
        for (const auto& key : AllKeys())
            json.BeginObject()
                .Field("section", key.section)
                .Field("key", key.name)
                .Field("value", ValueInForce(key, loaded.settings, loaded.file))
                .EndObject();
        json.EndArray().Print();
        return kExitOk;
    }
    for (const auto& key : AllKeys())
        std::printf("%s\t%s\t%s\n", key.section, key.name,
                    ValueInForce(key, loaded.settings, loaded.file).c_str());
    return kExitOk;
}

int Get(const Options& options) {
    int status = kExitOk;
    const std::optional<Key> key = NamedKey(options, 3, "SECTION and KEY", status);
    if (!key) return status;
    LoadedSettings loaded(true);
    std::printf("%s\n", ValueInForce(*key, loaded.settings, loaded.file).c_str());
    return kExitOk;
}

int Set(const Options& options) {
    int status = kExitOk;
    const std::optional<Key> key = NamedKey(options, 4, "SECTION, KEY and VALUE", status);
    if (!key) return status;
    const bool text = key->field && key->field->isText();
    std::string value = options.Positional()[3];
    std::optional<int> number;
    if (!text) {
        number = ParseInt(value);
        if (!number)
            return options.UsageError(std::string(key->name) + " takes a whole number, not \"" +
                                      value + "\"");
    }
    if (text && key->field->kind == FieldKind::kFolder && !value.empty()) {
        // A relative folder would follow whatever folder a later run starts in.
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(value, ec);
        if (!ec) value = absolute.lexically_normal().string();
        if (value.back() != '/') value += '/';
    }

    LoadedSettings loaded(false);
    if (text)
        *key->field->text(loaded.settings) = value;
    else if (key->field)
        SetFieldNumber(*key->field, loaded.settings, *number);
    bool written = SaveSettings(loaded.settings, loaded.file);
    if (written && !key->field)
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
