// quelt-cli play: the preview player from a terminal. A file plays through the playback
// library, a disc track through the CD player fed by the grabber. "Playing ..." goes to
// standard output once the sound starts; the position line goes to standard error when it
// is a terminal; Ctrl-C stops (exit 130; SIGTERM 143, SIGHUP 129).
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "cli/commands.h"
#include "cli/drive_choice.h"
#include "cli/interrupt.h"
#include "cli/options.h"
#include "core/jobs/component_error.h"
#include "core/naming/paths.h"
#include "core/naming/text.h"
#include "core/playback/cd_player.h"
#include "core/playback/cd_track_preview.h"
#include "core/playback/playback_library.h"
#include "core/rip/cd_grabber.h"

namespace quelt::cli {
namespace {

using namespace std::chrono_literals;

// "No.: 01, second: 00:00:03" on standard error, rewritten in place on a terminal.
class PositionLine {
  public:
    explicit PositionLine(int number) : number_(number), terminal_(isatty(STDERR_FILENO)) {}
    ~PositionLine() {
        if (shown_) std::fputc('\n', stderr);
    }
    void Show(int64_t ms) {
        if (!terminal_) return;
        std::fprintf(stderr, "\rNo.: %s, second: %s   ", FormatTrackNumber(number_, 2).c_str(),
                     FormatDuration(ms).c_str());
        shown_ = true;
    }

  private:
    int number_;
    bool terminal_;
    bool shown_ = false;
};

constexpr const char* kNoDevice =
    "Error on initial Audio Player...\nNo sound device could be opened (try SDL_AUDIODRIVER).";

int PlayFile(const std::string& path, double start) {
    if (!IsAudioFile(path)) {
        std::fputs("Can not play this format, only support convert...\n", stderr);
        return kExitUsage;
    }
    auto library = CreatePlaybackLibrary();  // closed on return, so the last sound is heard
    if (!library->Init()) {
        std::fprintf(stderr, "%s\n", kNoDevice);
        return kExitFailed;
    }
    const PlaybackLibrary::Stream stream = library->StreamCreateFile(path);
    if (!stream) {
        std::fputs("Can't open stream\n", stderr);
        return kExitUsage;
    }
    if (start > 0) library->ChannelSetPosition(stream, start);
    std::atomic<bool> stop{false};
    InterruptScope interrupt(stop);
    if (!library->ChannelPlay(stream)) {
        std::fputs("Can't play ...\n", stderr);
        return kExitFailed;
    }
    std::printf("Playing %s\n", path.c_str());
    std::fflush(stdout);
    PositionLine line(1);
    while (library->ChannelIsPlaying(stream) && !stop.load()) {
        line.Show(static_cast<int64_t>(library->ChannelPositionSeconds(stream)) * 1000);
        std::this_thread::sleep_for(100ms);
    }
    return stop.load() ? interrupt.CancelledStatus() : kExitOk;
}

// The preview's events, kept for the waiting main thread.
class TrackEvents : public CdTrackPreviewListener {
  public:
    void OnPosition(int32_t block) override { block_.store(block); }
    void OnEnd() override { ended_.store(true); }
    void OnReadError(const std::string& message) override {
        failed_.store(true);
        std::fprintf(stderr, "%s\n", message.c_str());
    }
    int32_t block() const { return block_.load(); }
    bool done() const { return ended_.load() || failed_.load(); }
    bool failed() const { return failed_.load(); }

  private:
    std::atomic<int32_t> block_{0};
    std::atomic<bool> ended_{false};
    std::atomic<bool> failed_{false};
};

// Selects track `number` (counted over every session, as the ripper page lists them).
bool SelectDiscTrack(CdGrabber& grabber, int number) {
    grabber.RefreshDisc();
    for (int s = 0; s < grabber.SessionCount(); ++s) {
        grabber.SelectSession(s);
        const int count = grabber.TrackCount();
        if (number <= count) {
            grabber.SelectTrack(number - 1);
            return true;
        }
        number -= count;
    }
    return false;
}

int PlayTrack(const Options& options, int track, double start) {
    CdGrabberOptions grabberOptions;
    grabberOptions.watchMedia = false;
    std::unique_ptr<CdGrabber> grabber = CreateCdGrabber(grabberOptions);
    std::string error;
    const int entry = ResolveDrive(*grabber, options.Get("--drive"), error);
    if (entry < 0) return options.UsageError(error);
    auto library = CreatePlaybackLibrary();
    std::unique_ptr<CdPlayer> player = CreateCdPlayer(*library);
    TrackEvents events;
    std::atomic<bool> stop{false};
    int cancelledStatus = 0;
    try {
        grabber->SelectDrive(entry + 1);
        if (!SelectDiscTrack(*grabber, track))
            return options.UsageError("--track: the disc has no track " + std::to_string(track));
        if (!library->Init()) {
            std::fprintf(stderr, "%s\n", kNoDevice);
            return kExitFailed;
        }
        const int32_t length = grabber->TrackSizeA() * grabber->TrackSizeB() / 4;
        const auto startBlock = static_cast<int32_t>(std::llround(start * kSectorsPerSecond));
        if (startBlock >= length)
            return options.UsageError("--start lies beyond the end of track " + std::to_string(track));
        CdTrackPreview preview(*grabber, *player);
        preview.SetListener(&events);
        InterruptScope interrupt(stop);
        preview.Start(startBlock);
        std::printf("Playing track %d of %s\n", track, grabber->DriveId().c_str());
        std::fflush(stdout);
        PositionLine line(track);
        while (!events.done() && !stop.load()) {
            line.Show(player->PositionToTime(events.block()));
            std::this_thread::sleep_for(100ms);
        }
        preview.Stop();
        preview.SetListener(nullptr);
        if (stop.load()) cancelledStatus = interrupt.CancelledStatus();
    } catch (const ComponentError& e) {
        std::fprintf(stderr, "Error during start playing the track!\n%s\n", e.what());
        return kExitFailed;
    }
    if (cancelledStatus) return cancelledStatus;
    if (events.failed()) {
        std::fputs("Error during playing the track!\n", stderr);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int RunPlay(const Args& args) {
    Options options("play");
    options.Value("--drive", "D", "play a track of this drive: a device path, a disc image or \"demo\"");
    options.Value("--track", "N", "the track number on the disc (with --drive)");
    options.Value("--start", "SECONDS", "start this many seconds into the file or track");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("FILE | --drive D --track N [--start SECONDS]",
                                 "Plays a file or a disc track as the preview player does.");
    double start = 0;
    if (auto text = options.Get("--start")) {
        char* end = nullptr;
        start = std::strtod(text->c_str(), &end);
        if (text->empty() || *end != '\0' || !std::isfinite(start) || start < 0)
            return options.UsageError("--start takes a number of seconds, 0 or more");
    }
    if (options.Has("--drive")) {
        if (!options.Positional().empty()) return options.UnexpectedArgument();
        std::optional<int> track;
        std::string error;
        if (!options.GetInt("--track", 1, 99, track, error)) return options.UsageError(error);
        if (!track) return options.UsageError("--drive needs --track N");
        return PlayTrack(options, *track, start);
    }
    if (options.Has("--track")) return options.UsageError("--track needs --drive D");
    if (options.Positional().size() != 1) return options.UsageError("play takes one FILE");
    return PlayFile(options.Positional().front(), start);
}

}  // namespace quelt::cli
