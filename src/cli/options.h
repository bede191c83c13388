// Option parsing shared by every quelt-cli command: each command declares its flags and
// valued options, parses its words, and reads back what was given, the positional words
// and a one-line reason when the words were bad. The common options of the jobs (format,
// preset, output folder, name template, metadata) are declared and applied here once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/settings/settings.h"

namespace quelt::cli {

class Options {
  public:
    // `command` names the command in messages ("convert" gives "quelt-cli convert: ...").
    explicit Options(std::string command);

    // Declares "--name" without a value. `help` is one line for the help text.
    Options& Flag(const std::string& name, const std::string& help = "");
    // Declares "--name VALUE" (also written "--name=VALUE"); `valueName` shows in the help.
    Options& Value(const std::string& name, const std::string& valueName,
                   const std::string& help = "");

    // Parses the words after the command name. "--help" and "-h" are always known; "--"
    // ends the options; a lone "-" and a negative number ("-5") are positional. Returns false on an
    // unknown option or a missing value, with the reason in Error().
    bool Parse(const Args& args);

    bool HelpRequested() const { return help_; }
    // True when the flag or option was given at least once.
    bool Has(const std::string& name) const;
    // The last value given for an option.
    std::optional<std::string> Get(const std::string& name) const;
    // Every value given for an option, in order.
    std::vector<std::string> GetAll(const std::string& name) const;
    // Of a pair like --metadata / --no-metadata: true when `on` was given last, false when
    // `off` was, nullopt when neither.
    std::optional<bool> Switch(const std::string& on, const std::string& off) const;
    const std::vector<std::string>& Positional() const { return positional_; }
    // The last value of an option as a whole number from `min` to `max`. Leaves `value` unset
    // when the option was not given; returns false, with a one-line reason in `error`, when it
    // was given but is not such a number.
    bool GetInt(const std::string& name, int min, int max, std::optional<int>& value,
                std::string& error) const;

    const std::string& Error() const { return error_; }
    const std::string& Command() const { return command_; }

    // "Usage: quelt-cli COMMAND SYNOPSIS", `about`, then one line per declared option.
    std::string HelpText(const std::string& synopsis, const std::string& about = "") const;
    // Prints the help text to standard output and returns kExitOk.
    int PrintHelp(const std::string& synopsis, const std::string& about = "") const;
    // Prints "quelt-cli COMMAND: REASON (see quelt-cli COMMAND --help)" to standard error and
    // returns kExitUsage. With no reason, prints Error().
    int UsageError(const std::string& reason = "") const;
    // For a command that takes no positional words: UsageError naming the first one given.
    int UnexpectedArgument() const;

  private:
    struct Declared {
        std::string name;
        bool takesValue;
        std::string valueName;
        std::string help;
    };
    const Declared* Find(const std::string& name) const;

    std::string command_;
    std::vector<Declared> declared_;
    std::vector<std::pair<std::string, std::string>> given_;  // (name, value) in order
    std::vector<std::string> positional_;
    std::string error_;
    bool help_ = false;
};

// A whole decimal integer ("12", "-3"); nullopt for anything else or out of int range.
std::optional<int> ParseInt(const std::string& text);

// The common options of the jobs, as given on the command line (unset when absent).
struct CommonOptions {
    std::optional<int> formatRow;            // --format ROW|EXT, resolved to 0..12
    std::optional<std::string> presetLabel;  // --preset ROW|LABEL, resolved to a preset label
    std::optional<std::string> outputDir;    // --output-dir DIR, absolute and ending in "/"
    std::optional<int> nameTemplate;         // --name-template N, 0..11
    std::optional<bool> metadata;            // --metadata / --no-metadata
};

// Declares --format, --preset, --output-dir, --name-template, --metadata, --no-metadata.
void AddCommonOptions(Options& options);
// Reads and checks the common options after Parse; false with a one-line reason in `error`.
bool ReadCommonOptions(const Options& options, CommonOptions& common, std::string& error);

// Resolves a format given as a row ("5") or an extension ("mp3", ".MP3"); nullopt when unknown.
std::optional<int> ResolveFormat(const std::string& text);
// Resolves a preset given as a row ("7") or a label ("128kbit/s 44100Hz Mono", with or
// without its trailing blank); returns the label, nullopt when unknown.
std::optional<std::string> ResolvePreset(const std::string& text);

// Overrides the settings of one job kind (kModeRip or kModeConvert) for this run only:
// the output folder (for conversions also turning "bOutputDirectory" on), the name template
// (for conversions also "bOutputNameIndex"), and "Metadata".
void ApplyCommonOptions(const CommonOptions& common, Settings& settings, AppMode mode);

// The format row and preset label in force for a job kind: the option when given, else the
// page's stored "FormatIndex" / "FParamIndex" ("CDRIP" or "CONVERT"). A stored preset row
// outside the list gives an empty label, as the page's list would show no selection.
int FormatRowInForce(const CommonOptions& common, const ProfileFile& file, AppMode mode);
std::string PresetLabelInForce(const CommonOptions& common, const ProfileFile& file, AppMode mode);

// The user's settings file and the settings loaded from it (never saved by the jobs).
ProfileFile UserSettingsFile();
Settings LoadUserSettings();

}  // namespace quelt::cli
