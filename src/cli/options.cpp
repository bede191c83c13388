#include "cli/options.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/catalogue/catalogue.h"
#include "core/naming/paths.h"

namespace quelt::cli {

Options::Options(std::string command) : command_(std::move(command)) {}

Options& Options::Flag(const std::string& name, const std::string& help) {
    declared_.push_back({name, false, "", help});
    return *this;
}

Options& Options::Value(const std::string& name, const std::string& valueName,
                        const std::string& help) {
    declared_.push_back({name, true, valueName, help});
    return *this;
}

const Options::Declared* Options::Find(const std::string& name) const {
    for (const auto& d : declared_)
        if (d.name == name) return &d;
    return nullptr;
}

bool Options::Parse(const Args& args) {
    given_.clear();
    positional_.clear();
    error_.clear();
    help_ = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool negativeNumber =
            word.size() >= 2 && word[0] == '-' && word[1] >= '0' && word[1] <= '9';
        if (optionsEnded || word.size() < 2 || word[0] != '-' || negativeNumber) {
            positional_.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "--help" || word == "-h") {
            help_ = true;
            continue;
        }
        const size_t eq = word.find('=');
        const std::string name = word.substr(0, eq);
        const Declared* declared = Find(name);
        if (!declared) {
            error_ = "unknown option " + name;
            return false;
        }
        if (!declared->takesValue) {
            if (eq != std::string::npos) {
                error_ = "option " + name + " takes no value";
                return false;
            }
            given_.emplace_back(name, "");
        } else if (eq != std::string::npos) {
            given_.emplace_back(name, word.substr(eq + 1));
        } else if (i + 1 < args.size()) {
            given_.emplace_back(name, args[++i]);
        } else {
            error_ = "option " + name + " needs a value (" + declared->valueName + ")";
            return false;
        }
    }
    return true;
}

bool Options::Has(const std::string& name) const {
    for (const auto& g : given_)
        if (g.first == name) return true;
    return false;
}

std::optional<std::string> Options::Get(const std::string& name) const {
    std::optional<std::string> value;
    for (const auto& g : given_)
        if (g.first == name) value = g.second;
    return value;
}

std::vector<std::string> Options::GetAll(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& g : given_)
        if (g.first == name) values.push_back(g.second);
    return values;
}

std::optional<bool> Options::Switch(const std::string& on, const std::string& off) const {
    std::optional<bool> state;
    for (const auto& g : given_) {
        if (g.first == on) state = true;
        if (g.first == off) state = false;
    }
    return state;
}

bool Options::GetInt(const std::string& name, int min, int max, std::optional<int>& value,
                     std::string& error) const {
    value.reset();
    const std::optional<std::string> text = Get(name);
    if (!text) return true;
    const std::optional<int> number = ParseInt(*text);
    if (!number || *number < min || *number > max) {
        error = name + " takes a number from " + std::to_string(min) + " to " +
                std::to_string(max) + ", not \"" + *text + "\"";
        return false;
    }
    value = number;
    return true;
}

std::string Options::HelpText(const std::string& synopsis, const std::string& about) const {
    std::string text =
        "Usage: quelt-cli " + command_ + (synopsis.empty() ? "" : " " + synopsis) + "\n";
    if (!about.empty()) text += "\n" + about + (about.back() == '\n' ? "" : "\n");
    text += "\nOptions:\n";
    std::vector<Declared> lines = declared_;
    lines.push_back({"--help", false, "", "this text"});
    for (const auto& d : lines) {
        std::string left = "  " + d.name + (d.takesValue ? " " + d.valueName : "");
        if (!d.help.empty()) {
            left.resize(std::max<size_t>(left.size() + 2, 28), ' ');
            left += d.help;
        }
        text += left + "\n";
    }
    return text;
}

int Options::PrintHelp(const std::string& synopsis, const std::string& about) const {
    std::fputs(HelpText(synopsis, about).c_str(), stdout);
    return kExitOk;
}

int Options::UsageError(const std::string& reason) const {
    // The reason stays one line even when it quotes a word or an error text with line ends.
    std::string text = reason.empty() ? error_ : reason;
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "quelt-cli %s: %s (see quelt-cli %s --help)\n", command_.c_str(),
                 text.c_str(), command_.c_str());
    return kExitUsage;
}

int Options::UnexpectedArgument() const {
    return UsageError("unexpected argument \"" + positional_.front() + "\"");
}

std::optional<int> ParseInt(const std::string& text) {
    if (text.empty()) return std::nullopt;
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return std::nullopt;
    errno = 0;
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> ResolveFormat(const std::string& text) {
    if (auto row = ParseInt(text)) {
        if (OutputFormatRow(*row)) return row;
        return std::nullopt;
    }
    if (auto format = OutputFormatByExtension(text)) return format->row;
    return std::nullopt;
}

std::optional<std::string> ResolvePreset(const std::string& text) {
    if (auto row = ParseInt(text)) {
        std::string label = EncodePresetLabel(*row);
        if (label.empty()) return std::nullopt;
        return label;
    }
    if (EncodePresetRow(text) >= 0) return text;
    if (EncodePresetRow(text + " ") >= 0) return text + " ";
    return std::nullopt;
}

void AddCommonOptions(Options& options) {
    options.Value("--format", "ROW|EXT", "output format: a row of \"formats\" or an extension")
        .Value("--preset", "ROW|LABEL", "encoding preset: a row or a label of \"presets\"")
        .Value("--output-dir", "DIR", "folder that receives the output files")
        .Value("--name-template", "N", "naming template 0..11")
        .Flag("--metadata", "write tags into the output files")
        .Flag("--no-metadata", "write no tags");
}

bool ReadCommonOptions(const Options& options, CommonOptions& common, std::string& error) {
    if (auto text = options.Get("--format")) {
        common.formatRow = ResolveFormat(*text);
        if (!common.formatRow) {
            error = "unknown format \"" + *text + "\" (see quelt-cli formats)";
            return false;
        }
    }
    if (auto text = options.Get("--preset")) {
        common.presetLabel = ResolvePreset(*text);
        if (!common.presetLabel) {
            error = "unknown preset \"" + *text + "\" (see quelt-cli presets)";
            return false;
        }
    }
    if (auto text = options.Get("--output-dir")) {
        if (text->empty()) {
            error = "--output-dir needs a folder";
            return false;
        }
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::absolute(*text, ec);
        common.outputDir = WithTrailingBackslash(ec ? *text : folder.lexically_normal().string());
    }
    if (!options.GetInt("--name-template", 0, 11, common.nameTemplate, error)) return false;
    common.metadata = options.Switch("--metadata", "--no-metadata");
    return true;
}

void ApplyCommonOptions(const CommonOptions& common, Settings& settings, AppMode mode) {
    if (mode == kModeRip) {
        if (common.outputDir) settings.rip.outputDirectory = *common.outputDir;
        if (common.nameTemplate) settings.rip.outputNameIndex = *common.nameTemplate;
        if (common.metadata) settings.rip.metadata = *common.metadata;
    } else if (mode == kModeConvert) {
        if (common.outputDir) {
            settings.convert.outputDirectory = *common.outputDir;
            settings.convert.bOutputDirectory = true;
        }
        if (common.nameTemplate) {
            settings.convert.outputNameIndex = *common.nameTemplate;
            settings.convert.bOutputNameIndex = true;
        }
        if (common.metadata) settings.convert.metadata = *common.metadata;
    }
}

namespace {
const char* PageSection(AppMode mode) { return mode == kModeRip ? "CDRIP" : "CONVERT"; }
}  // namespace

int FormatRowInForce(const CommonOptions& common, const ProfileFile& file, AppMode mode) {
    return common.formatRow ? *common.formatRow : file.ReadInt(PageSection(mode), "FormatIndex");
}

std::string PresetLabelInForce(const CommonOptions& common, const ProfileFile& file, AppMode mode) {
    if (common.presetLabel) return *common.presetLabel;
    return EncodePresetLabel(file.ReadInt(PageSection(mode), "FParamIndex"));
}

ProfileFile UserSettingsFile() {
    ProfileFile file(SettingsFilePath());
    // Said once per run, however often the command reopens the file.
    static bool warned = false;
    if (const std::string warning = SettingsReadWarning(file); !warning.empty() && !warned) {
        std::fprintf(stderr, "quelt-cli: %s\n", warning.c_str());
        warned = true;
    }
    return file;
}

Settings LoadUserSettings() {
    Settings settings;
    LoadSettings(settings, UserSettingsFile());
    return settings;
}

}  // namespace quelt::cli
