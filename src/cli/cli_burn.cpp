// quelt-cli writers | burn: the burner page's writer list and the burn job without windows.
// The log goes to standard output line by line, as the progress window would show it; the
// burning library's error texts and the progress display go to standard error.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/progress_clock.h"
#include "core/burn/burn_job.h"
#include "core/burn/burner_status.h"
#include "core/burn/compilation.h"
#include "core/burn/image_writer.h"
#include "core/burn/libburn_burner.h"
#include "core/jobs/priority.h"
#include "core/naming/untrusted_text.h"
#include "core/settings/settings.h"

namespace quelt::cli {
namespace {

constexpr const char* kBurnSynopsis = "[--writer W] [--data] [--image FILE] [OPTIONS] FILE...";

void PrintError(const std::string& text) {
    std::fprintf(stderr, "quelt-cli burn: %s\n", text.c_str());
}

// The writer named by --writer: its 1-based number in `quelt-cli writers`, its whole text,
// its device path, "image" for the image file writer, or "stdio:PATH". "" when unknown.
std::string ResolveWriter(const std::string& given, const WriterList& writers) {
    if (given.rfind("stdio:", 0) == 0 && given.size() > 6) {
        std::error_code ec;
        return "stdio:" + std::filesystem::absolute(given.substr(6), ec).string();
    }
    if (given == "image") return kImageWriterText;
    if (auto number = ParseInt(given)) {
        if (*number >= 1 && *number <= writers.writerCount)
            return writers.entries[size_t(*number - 1)];
        return "";
    }
    for (const auto& text : writers.entries)
        if (text == given || text.rfind("[" + given + "]", 0) == 0) return text;
    return "";
}

}  // namespace

int RunWriters(const Args& args) {
    Options options("writers");
    options.Flag("--json", "print one JSON array with an object per writer instead of the lines");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("[--json]",
                                 "Lists the CD writers by number, the image file writer last.");
    if (!options.Positional().empty()) return options.UnexpectedArgument();
    LibburnBurner library;
    const WriterList writers = StartBurner(library);
    if (options.Has("--json")) {
        JsonWriter json;
        json.BeginArray();
        for (int i = 0; i < writers.writerCount; ++i) {
            const std::string& text = writers.entries[size_t(i)];
            const bool image = text == kImageWriterText;
            // A drive's text starts with its device path in brackets.
            const size_t close = text.find(']');
            const std::string device =
                !image && text.rfind("[", 0) == 0 && close != std::string::npos
                    ? text.substr(1, close - 1)
                    : "";
            json.BeginObject()
                .Field("number", i + 1)
                .Field("text", text)
                .Field("device", device)
                .Field("imageWriter", image)
                .EndObject();
        }
        json.EndArray().Print();
        if (writers.writerCount == 0) std::fprintf(stderr, "%s\n", kNoCdBurnerEntry);
        return writers.writerCount == 0 ? kExitFailed : kExitOk;
    }
    if (writers.writerCount == 0) {
        std::printf("%s\n", kNoCdBurnerEntry);
        return kExitFailed;
    }
    for (int i = 0; i < writers.writerCount; ++i)
        std::printf("%d\t%s\n", i + 1, writers.entries[size_t(i)].c_str());
    return kExitOk;
}

int RunBurn(const Args& args) {
    Options options("burn");
    options.Value("--writer", "W", "writer number, device text or path, \"image\", or stdio:FILE")
        .Flag("--data", "burn a data CD (\"Data  CD(Audio)\") instead of an Audio CD")
        .Value("--image", "FILE",
               "the image file writer's target (.cue for an Audio CD, else .iso)")
        .Value("--label", "TEXT", "disc volume label")
        .Flag("--test-mode", "simulate: write nothing")
        .Flag("--no-finalize", "leave the disc open")
        .Flag("--eject", "eject after burning")
        .Flag("--overwrite", "replace an existing image file (else the burn is refused)");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp(kBurnSynopsis,
                                 "Decodes FILEs to temporary WAV files and burns them to a CD,\n"
                                 "a stdio: file (data CDs) or a CUE/BIN or ISO image.");

    Settings settings = LoadUserSettings();
    // The label in force, with its default when the file has none.
    ApplyVolumeLabelDefault(settings.burn);
    if (auto label = options.Get("--label")) settings.burn.volumeLabel = *label;
    if (options.Has("--test-mode")) settings.burn.testMode = true;
    if (options.Has("--no-finalize")) settings.burn.finalize = false;
    if (options.Has("--eject")) settings.burn.ejectAfterBurn = true;

    LibburnBurner library;
    const BurnerResultSink sink = [](const std::string& text) { PrintError(text); };
    const WriterList writers = StartBurner(library, sink);

    BurnRequest request;
    request.writerCount = writers.writerCount;
    request.dataCd = options.Has("--data");
    std::string writer = options.Get("--writer").value_or(options.Has("--image") ? "image" : "");
    if (!writer.empty()) {
        request.writerText = ResolveWriter(writer, writers);
        if (request.writerText.empty())
            return options.UsageError("unknown writer \"" + writer + "\"");
    } else if (writers.writerCount > 0) {
        request.writerText = writers.entries.front();
    }
    if (auto image = options.Get("--image")) {
        std::error_code ec;
        request.imagePath = std::filesystem::absolute(*image, ec).string();
    }
    if (request.writerText == kImageWriterText && request.imagePath.empty())
        return options.UsageError("the image file writer needs --image FILE");
    if (request.writerText == kImageWriterText && !options.Has("--overwrite")) {
        const auto existing = ExistingImageFiles(request.imagePath, request.dataCd);
        if (!existing.empty())
            return options.UsageError(existing.front() +
                                      " exists; --overwrite replaces the image");
    }
    if (!request.writerText.empty())
        ReportBurnerResult(library, library.SetDevice(request.writerText), sink);

    Compilation compilation;
    int leftOut = 0;
    for (const auto& file : options.Positional())
        if (!compilation.AddFile(file)) {
            PrintError("cannot read " + file + ", left out");
            ++leftOut;
        }
    compilation.Refresh();
    request.sources = compilation.Paths();

    ConsolePrompter prompter("quelt-cli burn: ", false);
    if (!CheckBurnStart(request, library, prompter, sink)) return kExitNothingToDo;

    JobControl control;
    control.Start();
    ApplyPriorityToThisThread(settings.priority);
    ConsoleReport report(compilation.totalMs());
    BurnSummary summary;
    int cancelledStatus;
    const ConsoleClosingSound closing;
    {
        BurnJobParameters parameters;
        parameters.settings = settings;
        parameters.request = request;
        parameters.resultSink = sink;
        parameters.closingSound = closing.sound();
        BurnJob job(library, std::move(parameters));
        InterruptScope interrupts(control.cancel);
        summary = job.Run(report, control);
        cancelledStatus = interrupts.CancelledStatus();
    }
    if (summary.cancelled) return cancelledStatus;
    if (!summary.burnSucceeded) {
        if (!summary.burnError.empty()) PrintError(summary.burnError);
        return kExitFailed;
    }
    return summary.failed() > 0 || leftOut > 0 ? kExitFailed : kExitOk;
}

}  // namespace quelt::cli
