// quelt-cli info FILE... and quelt-cli convert [OPTIONS] FILE...: the media probe and the
// conversion job without windows. Log lines go to standard output; a one-line progress
// display goes to standard error when it is a terminal; Ctrl-C, SIGTERM and SIGHUP cancel
// like the abort button (the output being written is removed): see cli/interrupt.h.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/progress_clock.h"
#include "core/catalogue/catalogue.h"
#include "core/convert/conversion_job.h"
#include "core/jobs/priority.h"
#include "core/naming/text.h"
#include "core/naming/untrusted_text.h"
#include "core/transcode/media_info.h"

namespace quelt::cli {
namespace {

void PrintInfo(const std::string& path, const MediaInfo& info) {
    std::printf("%s\n", TerminalText(path).c_str());
    std::printf("  Duration: %s\n", FormatDuration(info.durationMs).c_str());
    if (info.hasAudio)
        std::printf("  Audio: %s, %d Hz, %d channel%s\n", info.codecName.c_str(), info.sampleRate,
                    info.channels, info.channels == 1 ? "" : "s");
    else
        std::printf("  Video only: %s\n", info.codecName.c_str());
    const std::pair<const char*, const std::string*> tags[] = {
        {"Title", &info.title},         {"Artist", &info.artist}, {"Album", &info.album},
        {"Year", &info.year},           {"Genre", &info.genre},   {"Comment", &info.comment},
        {"Copyright", &info.copyright},
    };
    for (const auto& [name, value] : tags)
        std::printf("  %s: %s\n", name, TerminalText(*value).c_str());
    std::printf("  Track: %s\n", info.track > 0 ? std::to_string(info.track).c_str() : "");
}

void AddInfoJson(JsonWriter& json, const std::string& path, const MediaInfo& info) {
    json.BeginObject()
        .Field("path", path)
        .Field("durationMs", static_cast<long long>(info.durationMs))
        .Field("duration", FormatDuration(info.durationMs))
        .Field("hasAudio", info.hasAudio)
        .Field("codec", info.codecName)
        .Field("sampleRate", info.hasAudio ? info.sampleRate : 0)
        .Field("channels", info.hasAudio ? info.channels : 0);
    json.Key("tags")
        .BeginObject()
        .Field("title", info.title)
        .Field("artist", info.artist)
        .Field("album", info.album)
        .Field("year", info.year)
        .Field("genre", info.genre)
        .Field("comment", info.comment)
        .Field("copyright", info.copyright)
        .Field("track", info.track > 0 ? info.track : 0)
        .EndObject();
    json.EndObject();
}

}  // namespace

int RunInfo(const Args& args) {
    Options options("info");
    options.Flag("--json", "print one JSON array with an object per file instead of the text");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("[--json] FILE...",
                                 "Shows the duration, the streams and the tags of each file.");
    if (options.Positional().empty()) return options.UsageError("no file given");
    const bool asJson = options.Has("--json");
    JsonWriter json;
    json.BeginArray();
    int status = kExitOk;
    for (const std::string& path : options.Positional()) {
        auto info = ReadMediaInfo(path);
        if (!info) {
            std::fprintf(stderr, "quelt-cli info: %s\n", info.message().c_str());
            if (asJson) json.BeginObject().Field("path", path).Field("error", info.message()).EndObject();
            status = kExitFailed;
            continue;
        }
        if (asJson)
            AddInfoJson(json, path, *info);
        else
            PrintInfo(path, *info);
    }
    if (asJson) json.EndArray().Print();
    return status;
}

int RunConvert(const Args& args) {
    Options options("convert");
    AddCommonOptions(options);
    options
        .Value("--if-exists", "new|overwrite|skip",
               "when the output file exists (default: the setting)")
        .Flag("--delete-source", "delete each source whose output was written completely")
        .Value("--jobs", "N", "convert N files at once (default: the setting; 0: one per core)")
        .Flag("--replaygain", "write ReplayGain 2 tags (track, and the batch as the album)");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp(
            "[OPTIONS] FILE...",
            "Converts audio (and video) files to the chosen format and preset. The\n"
            "settings file supplies what the options leave out.");
    CommonOptions common;
    std::string error;
    if (!ReadCommonOptions(options, common, error)) return options.UsageError(error);

    Settings settings = LoadUserSettings();
    ApplyCommonOptions(common, settings, kModeConvert);
    if (auto rule = options.Get("--if-exists")) {
        if (*rule == "new")
            settings.convert.ifExists = IfExists::kNewName;
        else if (*rule == "overwrite")
            settings.convert.ifExists = IfExists::kOverwrite;
        else if (*rule == "skip")
            settings.convert.ifExists = IfExists::kSkip;
        else
            return options.UsageError("--if-exists takes new, overwrite or skip, not \"" + *rule +
                                      "\"");
    }
    if (options.Has("--delete-source")) settings.convert.deleteSource = true;
    if (options.Has("--replaygain")) settings.convert.replayGain = true;
    if (auto jobs = options.Get("--jobs")) {
        char* end = nullptr;
        const long n = std::strtol(jobs->c_str(), &end, 10);
        if (jobs->empty() || *end != '\0' || n < 0 || n > kMaxConvertJobs)
            return options.UsageError("--jobs takes a number from 0 to 64, not \"" + *jobs + "\"");
        settings.convert.jobs = static_cast<int>(n);
    }

    const ProfileFile file = UserSettingsFile();
    const int formatRow = FormatRowInForce(common, file, kModeConvert);
    const std::string presetLabel = PresetLabelInForce(common, file, kModeConvert);
    if (!OutputFormatRow(formatRow))
        return options.UsageError("the stored format row " + std::to_string(formatRow) +
                                  " is not a format; give --format");
    if (presetLabel.empty())
        return options.UsageError("the stored preset row is not a preset; give --preset");

    // The list, as the converter page builds it: a file that cannot be probed is not added.
    std::vector<ConvertItem> items;
    int notAdded = 0;
    for (const std::string& path : options.Positional()) {
        auto info = ReadMediaInfo(path);
        if (!info) {
            std::fprintf(stderr, "quelt-cli convert: %s; not added\n", info.message().c_str());
            ++notAdded;
            continue;
        }
        items.push_back(ConvertItem{path, info->artist, info->album, info->title, info->year,
                                    info->genre, info->comment, info->copyright, info->durationMs});
    }
    if (items.empty()) {
        std::fprintf(stderr, "%s\n", kPleaseAddFilesText);
        return kExitNothingToDo;
    }

    long long totalAudioMs = 0;
    for (const ConvertItem& item : items) totalAudioMs += item.durationMs;
    ConsoleReport report(totalAudioMs);
    JobControl control;
    control.Start();
    ApplyPriorityToThisThread(settings.priority);
    const ConsoleClosingSound closing;
    ConversionJobParameters parameters;
    parameters.settings = settings;
    parameters.items = std::move(items);
    parameters.formatRow = formatRow;
    parameters.presetLabel = presetLabel;
    parameters.startDelayMs = 0;  // no window to wait for
    parameters.closingSound = closing.sound();
    ConversionJob job(std::move(parameters));

    int cancelledStatus;
    ConversionSummary summary;
    {
        InterruptScope interrupts(control.cancel);
        summary = job.Run(report, control);
        cancelledStatus = interrupts.CancelledStatus();
    }
    report.Finish();

    if (summary.cancelled) return cancelledStatus;
    return summary.failed() > 0 || notAdded > 0 ? kExitFailed : kExitOk;
}

}  // namespace quelt::cli
