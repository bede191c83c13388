// quelt-cli formats | presets: the format catalogue as "ROW<TAB>LABEL" lines, in list order,
// or with --json as one JSON array.
#include <cstdio>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "core/catalogue/catalogue.h"

namespace quelt::cli {
namespace {

// Parses the words of a command that takes none; returns -1 to go on, else the exit status.
int CheckNoArguments(Options& options, const Args& args, const char* about) {
    options.Flag("--json", "print one JSON array instead of the lines");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested()) return options.PrintHelp("", about);
    if (!options.Positional().empty()) return options.UnexpectedArgument();
    return -1;
}

}  // namespace

int RunFormats(const Args& args) {
    Options options("formats");
    if (int status =
            CheckNoArguments(options, args,
                             "Lists the 16 output formats as ROW<TAB>LABEL lines; --format takes\n"
                             "the row or the extension.");
        status >= 0)
        return status;
    if (options.Has("--json")) {
        JsonWriter json;
        json.BeginArray();
        for (int row = 0; row < kOutputFormatCount; ++row) {
            const OutputFormat format = *OutputFormatRow(row);
            json.BeginObject()
                .Field("row", row)
                .Field("extension", format.extension)
                .Field("label", format.label)
                .EndObject();
        }
        json.EndArray().Print();
        return kExitOk;
    }
    for (int row = 0; row < kOutputFormatCount; ++row)
        std::printf("%d\t%s\n", row, std::string(OutputFormatRow(row)->label).c_str());
    return kExitOk;
}

int RunPresets(const Args& args) {
    Options options("presets");
    if (int status = CheckNoArguments(
            options, args,
            "Lists the 69 encoding presets as ROW<TAB>LABEL lines (each bit-rate label ends\n"
            "with a blank); --preset takes the row or the label.");
        status >= 0)
        return status;
    if (options.Has("--json")) {
        JsonWriter json;
        json.BeginArray();
        for (int row = 0; row < kEncodePresetCount; ++row) {
            const std::string label = EncodePresetLabel(row);
            const EncodeParameters parameters = PresetFromLabel(label);
            json.BeginObject()
                .Field("row", row)
                .Field("label", label)
                .Field("bitRate", parameters.bitRate)
                .Field("sampleRate", parameters.sampleRate)
                .Field("channels", parameters.channels)
                .EndObject();
        }
        json.EndArray().Print();
        return kExitOk;
    }
    for (int row = 0; row < kEncodePresetCount; ++row)
        std::printf("%d\t%s\n", row, EncodePresetLabel(row).c_str());
    return kExitOk;
}

}  // namespace quelt::cli
