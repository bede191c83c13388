// quelt-cli formats | presets: the format catalogue as "ROW<TAB>LABEL" lines, in list order.
#include <cstdio>

#include "cli/commands.h"
#include "cli/options.h"
#include "core/transcode/catalogue.h"

namespace quelt::cli {
namespace {

// Parses the words of a command that takes none; returns -1 to go on, else the exit status.
int CheckNoArguments(Options& options, const Args& args, const char* about) {
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
                             "Lists the 13 output formats as ROW<TAB>LABEL lines; --format takes\n"
                             "the row or the extension.");
        status >= 0)
        return status;
    for (int row = 0; row < kOutputFormatCount; ++row)
        std::printf("%d\t%s\n", row, std::string(OutputFormatRow(row)->label).c_str());
    return kExitOk;
}

int RunPresets(const Args& args) {
    Options options("presets");
    if (int status = CheckNoArguments(
            options, args,
            "Lists the 68 encoding presets as ROW<TAB>LABEL lines (each label ends\n"
            "with a blank); --preset takes the row or the label.");
        status >= 0)
        return status;
    for (int row = 0; row < kEncodePresetCount; ++row)
        std::printf("%d\t%s\n", row, EncodePresetLabel(row).c_str());
    return kExitOk;
}

}  // namespace quelt::cli
