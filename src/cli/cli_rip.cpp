// quelt-cli drives, disc and rip: the ripper page and the rip job without windows.
//
// Every status text the page would show and every log line of the progress window goes to
// standard output, one per line; the progress bars go to standard error when it is a
// terminal. A drive is a device path, a disc image (.cue, .toc, .nrg) or "demo".
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <set>
#include <sstream>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/drive_choice.h"
#include "cli/interrupt.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/progress_clock.h"
#include "core/jobs/component_error.h"
#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/priority.h"
#include "core/jobs/prompter.h"
#include "core/naming/templates.h"
#include "core/naming/untrusted_text.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc.h"
#include "core/rip/disc_image.h"
#include "core/rip/freedb_info.h"
#include "core/rip/musicbrainz.h"
#include "core/rip/offset_detection.h"
#include "core/rip/rip_job.h"
#include "core/settings/settings.h"

namespace quelt::cli {
namespace {

class ConsoleView : public DiscView {
public:
    // With --json the status texts are kept for the document instead of printed.
    bool keepStatuses = false;
    std::vector<std::string> statuses;

    void ShowStatus(const std::string& text) override {
        std::lock_guard lock(m_);
        if (keepStatuses) {
            statuses.push_back(text);
            return;
        }
        std::printf("%s\n", TerminalText(text).c_str());
        std::fflush(stdout);
    }

private:
    std::mutex m_;
};

// The playing time of the checked rows, from their "mm:ss.mmm" durations.
long long CheckedAudioMs(const Disc& disc) {
    long long total = 0;
    for (const TrackRow& row : disc.rows()) {
        int minutes = 0, seconds = 0, millis = 0;
        if (row.checked && std::sscanf(row.duration.c_str(), "%d:%d.%d", &minutes, &seconds, &millis) == 3)
            total += (minutes * 60LL + seconds) * 1000 + millis;
    }
    return total;
}

// Grabber events: read retries go straight to the model (they arrive on the reading
// thread, inside the model's own calls); FreeDB progress is queued for the main thread.
class EventQueue : public CdGrabberListener {
public:
    Disc* disc = nullptr;
    void OnReadRetry(int attempt, int32_t sector) override {
        if (disc) disc->ReadRetry(attempt, sector);
    }
    void OnFreedbProgress(int status) override {
        std::lock_guard lock(m_);
        statuses_.push_back(status);
        cv_.notify_all();
    }
    // Hands each FreeDB event to the model until the outcome has been handled.
    void DeliverFreedbOutcome() {
        for (;;) {
            int status;
            {
                std::unique_lock lock(m_);
                cv_.wait(lock, [&] { return !statuses_.empty(); });
                status = statuses_.front();
                statuses_.pop_front();
            }
            disc->FreedbProgress(status);
            if (status == kFreedbFound || status == kFreedbConnectionFailed || status == kFreedbNotFound) return;
        }
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<int> statuses_;
};

void AddDriveOptions(Options& options) {
    options.Value("--drive", "D", "a device path, a disc image (.cue, .toc, .nrg) or \"demo\"");
}

void AddFreedbOptions(Options& options) {
    options.Flag("--freedb", "look the disc up in FreeDB").Flag("--no-freedb", "do not look the disc up");
    options.Value("--server", "N|HOST", "a server list index, or a host used instead of the list");
    options.Value("--port", "P", "the server's port");
    options.Value("--proxy", "HOST:PORT", "an HTTP proxy");
    options.Value("--timeout", "T", "the time-out of each look-up in milliseconds");
    options.Flag("--musicbrainz", "look the disc up in MusicBrainz (with --freedb: then in FreeDB)");
    options.Value("--musicbrainz-server", "HOST[:PORT]", "the MusicBrainz server (plain HTTP)");
}

bool IsWebAddress(const std::string& text) {
    return text.rfind("http://", 0) == 0 || text.rfind("https://", 0) == 0;
}

void AddVerificationOptions(Options& options) {
    options.Flag("--accuraterip", "verify each track against the AccurateRip database (exit status 1 on a mismatch)");
    options.Value("--accuraterip-server", "URL", "the AccurateRip database's base address");
    options.Value("--offset", "N", "the drive's read offset correction in samples, -2940 to 2940");
    options.Flag("--log", "write a rip log beside the files");
    options.Flag("--cue", "write a cue sheet beside the files");
}

bool ReadVerificationOptions(const Options& options, Settings& settings, std::string& error) {
    if (options.Has("--accuraterip")) settings.rip.accurateRip = true;
    if (auto server = options.Get("--accuraterip-server")) {
        if (!IsWebAddress(*server)) {
            error = "--accuraterip-server takes an http:// or https:// address";
            return false;
        }
        settings.rip.accurateRipServer = *server;
    }
    if (options.Has("--log")) settings.rip.ripLog = true;
    if (options.Has("--cue")) settings.rip.ripCue = true;
    return true;
}

struct FreedbChoice {
    bool lookUp = false;
    std::string customServer;
    LookupSource source = LookupSource::kFreedb;
    std::optional<std::string> release;  // rip --release N|MBID
};

// Applies the FreeDB options to the settings of this run; false with a reason.
bool ReadFreedbOptions(const Options& options, Settings& settings, FreedbChoice& choice, std::string& error) {
    choice.lookUp = options.Switch("--freedb", "--no-freedb").value_or(settings.rip.freedb);
    if (auto server = options.Get("--server")) {
        const std::optional<int> index = ParseInt(*server);
        if (server->empty() || (index && (*index < 0 || *index >= kFreedbServerCount))) {
            error = "--server takes a list index 0 to 10 or a host name";
            return false;
        }
        if (index)
            settings.rip.freedbServer = *index;
        else
            choice.customServer = *server;
    }
    std::optional<int> port, timeout;
    if (!options.GetInt("--port", 1, 65535, port, error)) return false;
    if (!options.GetInt("--timeout", 1, 3600000, timeout, error)) return false;
    if (port) settings.rip.freedbPort = *port;
    if (timeout) settings.rip.freedbTimeOut = settings.rip.musicBrainzTimeOut = *timeout;
    if (auto server = options.Get("--musicbrainz-server")) {
        MusicBrainzServer parsed;
        if (!ParseMusicBrainzServer(*server, parsed)) {
            error = "--musicbrainz-server takes HOST or HOST:PORT";
            return false;
        }
        settings.rip.musicBrainzServer = *server;
    }
    choice.source = settings.rip.lookupSource;
    if (options.Has("--musicbrainz")) {
        choice.lookUp = true;
        choice.source = options.Switch("--freedb", "--no-freedb").value_or(false)
                            ? LookupSource::kMusicBrainzThenFreedb
                            : LookupSource::kMusicBrainz;
    }
    if (auto proxy = options.Get("--proxy")) {
        if (proxy->empty()) {
            error = "--proxy takes HOST:PORT";
            return false;
        }
        settings.rip.useFreedbProxy = true;
        settings.rip.freedbProxy = *proxy;
    }
    return true;
}

// The CD components and the ripper model of one command.
struct Session {
    std::unique_ptr<CdGrabber> grabber = CreateCdGrabber();
    std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    ConsoleView view;
    ConsolePrompter prompter{"", true};  // a question of the rip model is answered yes
    EventQueue events;
    std::unique_ptr<Disc> disc;

    Session() {
        grabber->SetListener(&events);
        disc = std::make_unique<Disc>(*grabber, *freedb, prompter, &view);
        events.disc = disc.get();
    }
    // The grabber goes first, while the listener its look-up thread reports to still lives.
    ~Session() {
        disc.reset();
        grabber.reset();
    }
};

// The releases found, as status lines (kept in the document with --json).
void ShowReleases(DiscView& view, const std::vector<MusicBrainzRelease>& releases) {
    for (std::size_t i = 0; i < releases.size(); ++i)
        view.ShowStatus("Release " + std::to_string(i + 1) + ": " + ReleaseSummary(releases[i]) + " [" +
                        releases[i].id + "]");
}

// The release --release names (a number from 1 or an MBID); the first without the option,
// saying so. -1 with a reason when it names none of them.
int ChooseRelease(DiscView& view, const std::vector<MusicBrainzRelease>& releases,
                  const std::optional<std::string>& wanted, std::string& error) {
    if (!wanted) {
        view.ShowStatus("Several MusicBrainz releases match; the first is used (choose with --release N|MBID).");
        return 0;
    }
    const std::optional<int> number = ParseInt(*wanted);
    for (std::size_t i = 0; i < releases.size(); ++i)
        if ((number && *number == static_cast<int>(i) + 1) || releases[i].id == *wanted) return static_cast<int>(i);
    error = "--release: \"" + *wanted + "\" is none of the " + std::to_string(releases.size()) +
            " releases found (a number from 1 or a release MBID)";
    return -1;
}

// Creates the page's state for the chosen drive and waits for the look-ups' outcome. Ctrl-C
// (or SIGTERM, SIGHUP) during a look-up ends it at once: the result is then the exit status
// for the signal; -1, with a reason, when --release names no release found; else 0.
int ReadDisc(Session& session, Settings& settings, const FreedbChoice& choice, int entry, std::string& error) {
    session.disc->ConfigureFreedb(settings.rip);
    settings.rip.lookupSource = choice.source;
    session.disc->UseLookupSettings(settings.rip);
    if (!choice.customServer.empty()) session.freedb->SetCustomServer(choice.customServer);
    session.disc->SetFreedbBox(choice.lookUp);
    std::atomic<bool> lookupCancel{false};
    InterruptScope interrupts(lookupCancel);
    session.freedb->SetCancelFlag(&lookupCancel);
    session.disc->Create(entry);
    if (session.disc->musicBrainzPending()) {
        const MusicBrainzAnswer answer =
            LookupMusicBrainz(MusicBrainzServerFor(settings.rip), session.disc->discId(), &lookupCancel);
        if (answer.outcome == LookupOutcome::kFound) ShowReleases(session.view, answer.releases);
        if (session.disc->MusicBrainzOutcome(answer)) {
            const int chosen = ChooseRelease(session.view, answer.releases, choice.release, error);
            if (chosen < 0) return -1;
            session.disc->ApplyRelease(&answer.releases[static_cast<std::size_t>(chosen)]);
        } else if (choice.release && answer.outcome == LookupOutcome::kFound &&
                   ChooseRelease(session.view, answer.releases, choice.release, error) < 0) {
            return -1;
        }
    }
    if (session.disc->lookupPending()) session.events.DeliverFreedbOutcome();
    session.freedb->SetCancelFlag(nullptr);
    return interrupts.signal() ? interrupts.CancelledStatus() : 0;
}

bool ParseTrackList(const std::string& text, int rowCount, std::set<int>& rows, std::string& error) {
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        auto dash = part.find('-');
        auto first = ParseInt(part.substr(0, dash));
        auto last = dash == std::string::npos ? first : ParseInt(part.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first || *last > rowCount) {
            error = "--tracks: \"" + part + "\" is not a track of this disc (1 to " + std::to_string(rowCount) + ")";
            return false;
        }
        for (int n = *first; n <= *last; ++n) rows.insert(n - 1);
    }
    if (rows.empty()) {
        error = "--tracks names no track";
        return false;
    }
    return true;
}

// One drive as the ripper's drive list shows it; the grabber has it selected.
void AddDriveJson(JsonWriter& json, CdGrabber& grabber) {
    json.BeginObject()
        .Field("id", grabber.DriveId())
        .Field("vendor", grabber.DriveText1())
        .Field("model", grabber.DriveText2())
        .Field("revision", grabber.DriveText3())
        .EndObject();
}

// The disc as `disc --json` shows it: the drive, the status texts and one object per track
// with its row's texts and its tags.
void PrintDiscJson(Session& session) {
    const Disc& disc = *session.disc;
    JsonWriter json;
    json.BeginObject();
    json.Key("drive");
    if (disc.driveEntries().empty())
        json.BeginObject().EndObject();
    else
        AddDriveJson(json, *session.grabber);
    json.Key("status").BeginArray();
    for (const std::string& text : session.view.statuses) json.String(text);
    json.EndArray();
    json.Key("tracks").BeginArray();
    const TagLists& tags = disc.tags();
    const auto tag = [](const std::vector<std::string>& list, size_t i) {
        return i < list.size() ? list[i] : std::string();
    };
    for (size_t i = 0; i < disc.rows().size(); ++i) {
        const TrackRow& row = disc.rows()[i];
        json.BeginObject()
            .Field("number", static_cast<int>(i + 1))
            .Field("artist", row.artist)
            .Field("title", row.title)
            .Field("duration", row.duration)
            .Field("checked", row.checked)
            .Field("album", tag(tags.album, i))
            .Field("year", tag(tags.year, i))
            .Field("genre", tag(tags.genre, i))
            .Field("comment", tag(tags.comment, i))
            .Field("copyright", tag(tags.copyright, i))
            .EndObject();
    }
    json.EndArray().EndObject().Print();
}

// The entry of CustomSeparators() that `text` names ("No" and "" for none); -1 for any other.
int SeparatorEntry(const std::string& text) {
    if (text == "No") return 0;
    const auto& separators = CustomSeparators();
    for (size_t i = 0; i < separators.size(); ++i)
        if (separators[i] == text) return static_cast<int>(i);
    return -1;
}

void PrintRows(const Disc& disc) {
    for (const auto& row : disc.rows())
        std::printf("%s\t%s\t%s\t%s\n", row.number.c_str(), TerminalText(row.artist).c_str(),
                    TerminalText(row.title).c_str(), row.duration.c_str());
    std::fflush(stdout);
}

}  // namespace

int RunDrives(const Args& args) {
    Options options("drives");
    options.Value("--drive", "D", "also list this disc image (may be given more than once)");
    options.Flag("--json", "print one JSON array with an object per drive instead of the lines");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("[--drive IMAGE]... [--json]", "Lists the CD drives as the ripper page does.");
    if (!options.Positional().empty()) return options.UnexpectedArgument();
    auto grabber = CreateCdGrabber();
    grabber->Open();
    try {
        for (std::string image : options.GetAll("--drive")) {
            if (image.empty()) return options.UsageError(kDriveNeeded);
            if (image == "demo") image = DemoDiscPath();
            if (!image.empty()) grabber->AddImage(image);
        }
        const int count = grabber->DriveCount();
        if (options.Has("--json")) {
            JsonWriter json;
            json.BeginArray();
            for (int n = 1; n <= count; ++n) {
                grabber->SelectDrive(n);
                AddDriveJson(json, *grabber);
            }
            json.EndArray().Print();
        }
        if (count == 0) {
            std::fputs("No CD drives are found !\n", stderr);
            return kExitNothingToDo;
        }
        if (options.Has("--json")) return kExitOk;
        for (int n = 1; n <= count; ++n) {
            grabber->SelectDrive(n);
            std::printf("[%s]   %s   %s   %s\n", grabber->DriveId().c_str(), grabber->DriveText1().c_str(),
                        grabber->DriveText2().c_str(), grabber->DriveText3().c_str());
        }
    } catch (const ComponentError& e) {
        return options.UsageError(e.what());
    }
    return kExitOk;
}

int RunDisc(const Args& args) {
    Options options("disc");
    AddDriveOptions(options);
    AddFreedbOptions(options);
    options.Value("--case", "1..4", "case of the tags: 1 UPPER, 2 lower, 3 Capitalize (default), 4 Sentence");
    options.Flag("--json", "print one JSON object (drive, status texts, tracks) instead of the text");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("[--drive D] [FREEDB OPTIONS] [--json]",
                                 "Shows the status texts and the track list the ripper page would show.");
    if (!options.Positional().empty()) return options.UnexpectedArgument();
    Settings settings = LoadUserSettings();
    FreedbChoice choice;
    std::string error;
    std::optional<int> caseMode;
    if (!ReadFreedbOptions(options, settings, choice, error) || !options.GetInt("--case", 1, 4, caseMode, error))
        return options.UsageError(error);

    Session session;
    session.view.keepStatuses = options.Has("--json");
    session.disc->PresetCaseMode(caseMode.value_or(kCaseCapitalize));
    const int entry = ResolveDrive(*session.grabber, options.Get("--drive"), error);
    if (entry < 0) return options.UsageError(error);
    if (const int status = ReadDisc(session, settings, choice, entry, error)) {
        if (status < 0) return options.UsageError(error);
        return status;
    }
    if (options.Has("--json"))
        PrintDiscJson(session);
    else
        PrintRows(*session.disc);
    if (session.disc->driveEntries().empty()) return kExitNothingToDo;
    return session.disc->rows().empty() ? kExitNothingToDo : kExitOk;
}

int RunRip(const Args& args) {
    Options options("rip");
    AddDriveOptions(options);
    options.Value("--tracks", "LIST", "the tracks to rip, e.g. 1,3-5 (default: every track)");
    AddCommonOptions(options);
    options.Value("--custom-pattern", "P", "field codes for template 11, e.g. 0|2|3|1|");
    options.Value("--separator", "S", "between the custom pattern's fields: No, \" \", -, . or _");
    options.Flag("--m3u", "write the day's M3U playlist");
    options.Flag("--replaygain", "write ReplayGain 2 tags (track, and the disc as the album)");
    options.Flag("--eject", "open the tray when the rip is done");
    options.Flag("--lock-tray", "lock the tray while ripping");
    options.Value("--case", "1..4", "case of the tags: 1 UPPER, 2 lower, 3 Capitalize (default), 4 Sentence");
    AddVerificationOptions(options);
    AddFreedbOptions(options);
    options.Value("--release", "N|MBID", "with --musicbrainz: the release to use when several match");
    options.Flag("--cover-art", "save the release's front cover as cover.jpg and embed it");
    options.Value("--coverart-server", "URL", "the Cover Art Archive server");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("[--drive D] [--tracks 1,3-5] [OPTIONS] [FREEDB OPTIONS]",
                                 "Rips the tracks of a disc into audio files.");
    if (!options.Positional().empty()) return options.UnexpectedArgument();

    Settings settings = LoadUserSettings();
    CommonOptions common;
    FreedbChoice choice;
    std::string error;
    std::optional<int> caseMode, offset;
    if (!ReadCommonOptions(options, common, error) || !ReadFreedbOptions(options, settings, choice, error) ||
        !options.GetInt("--case", 1, 4, caseMode, error) ||
        !options.GetInt("--offset", -kMaxReadOffset, kMaxReadOffset, offset, error) ||
        !ReadVerificationOptions(options, settings, error))
        return options.UsageError(error);
    ApplyCommonOptions(common, settings, kModeRip);
    if (auto pattern = options.Get("--custom-pattern")) {
        settings.rip.outputNameCustom = *pattern;
        if (!common.nameTemplate) settings.rip.outputNameIndex = 11;
    }
    if (auto separator = options.Get("--separator")) {
        settings.rip.outputNameSeparator = SeparatorEntry(*separator);
        if (settings.rip.outputNameSeparator < 0)
            return options.UsageError("--separator takes No, \" \", -, . or _");
    }
    if (options.Has("--m3u")) settings.rip.createM3U = true;
    if (options.Has("--replaygain")) settings.rip.replayGain = true;
    if (options.Has("--eject")) settings.rip.ejectAfterRip = true;
    if (options.Has("--lock-tray")) settings.rip.lockTray = true;
    if (options.Has("--cover-art")) settings.rip.coverArt = true;
    if (auto server = options.Get("--coverart-server")) {
        if (!IsWebAddress(*server))
            return options.UsageError("--coverart-server takes an http:// or https:// URL");
        settings.rip.coverArtServer = *server;
    }
    choice.release = options.Get("--release");
    const ProfileFile file = UserSettingsFile();
    const int formatRow = FormatRowInForce(common, file, kModeRip);
    const std::string presetLabel = PresetLabelInForce(common, file, kModeRip);

    Session session;
    session.disc->PresetCaseMode(caseMode.value_or(kCaseCapitalize));
    const int entry = ResolveDrive(*session.grabber, options.Get("--drive"), error);
    if (entry < 0) return options.UsageError(error);
    if (const int status = ReadDisc(session, settings, choice, entry, error)) {
        if (status < 0) return options.UsageError(error);
        return status;
    }

    if (auto tracks = options.Get("--tracks")) {
        std::set<int> rows;
        if (!ParseTrackList(*tracks, static_cast<int>(session.disc->rows().size()), rows, error))
            return options.UsageError(error);
        for (int i = 0; i < static_cast<int>(session.disc->rows().size()); ++i)
            session.disc->SetChecked(i, rows.count(i) > 0);
    }
    if (!PrepareRip(*session.disc, settings, session.prompter)) return kExitNothingToDo;

    RipJobParameters parameters;
    parameters.settings = settings;
    parameters.formatRow = formatRow;
    parameters.presetLabel = presetLabel;
    parameters.startDelayMs = 0;
    parameters.verification = VerificationOptionsOf(
        settings.rip, offset ? *offset
                             : ReadOffsetFor(settings.rip, session.grabber->DriveText1(), session.grabber->DriveText2()));
    const ConsoleClosingSound closing;
    parameters.closingSound = closing.sound();

    ConsoleReport report(CheckedAudioMs(*session.disc));
    JobControl control;
    control.Start();
    InterruptScope interrupts(control.cancel);
    ApplyPriorityToThisThread(settings.priority);

    RipJob job(*session.disc, parameters);
    const RipOutcome outcome = job.Run(report, control);

    if (interrupts.signal()) return interrupts.CancelledStatus();
    if (outcome.accurateRipMismatch) return kExitFailed;
    return outcome.rippedCount == outcome.checkedCount && !outcome.stoppedEarly ? kExitOk : kExitFailed;
}

int RunOffset(const Args& args) {
    Options options("offset");
    AddDriveOptions(options);
    options.Value("--accuraterip-server", "URL", "the AccurateRip database's base address");
    options.Flag("--save", "store the offset found for this drive in the settings file");
    if (!options.Parse(args)) return options.UsageError();
    if (options.HelpRequested())
        return options.PrintHelp("[--drive D] [--accuraterip-server URL] [--save]",
                                 "Finds the drive's read offset with a disc the AccurateRip database knows.");
    if (!options.Positional().empty()) return options.UnexpectedArgument();
    ProfileFile file = UserSettingsFile();
    Settings settings = LoadUserSettings();
    std::string error;
    if (auto server = options.Get("--accuraterip-server")) {
        if (!IsWebAddress(*server))
            return options.UsageError("--accuraterip-server takes an http:// or https:// address");
        settings.rip.accurateRipServer = *server;
    }

    Session session;
    const int entry = ResolveDrive(*session.grabber, options.Get("--drive"), error);
    if (entry < 0) return options.UsageError(error);
    session.disc->SetFreedbBox(false);
    session.disc->Create(entry);
    if (session.disc->rows().empty()) {
        std::fputs("Please insert an Audio CD!\n", stderr);
        return kExitNothingToDo;
    }

    JobControl control;
    control.Start();
    ConsoleReport report(0);  // no playing time: the progress line shows no speed
    OffsetDetection found;
    {
        InterruptScope interrupts(control.cancel);
        found = DetectReadOffset(*session.grabber, settings.rip.accurateRipServer, control.cancel,
                                 [&](int percent) { report.SetItemBar(percent); });
        if (interrupts.signal()) return interrupts.CancelledStatus();
    }
    report.Log(found.text);
    if (!found.found) return kExitFailed;
    if (options.Has("--save")) {
        SetReadOffsetFor(settings.rip, session.grabber->DriveText1(), session.grabber->DriveText2(), found.offset);
        if (!SaveSettings(settings, file)) {
            std::fprintf(stderr, "quelt-cli offset: could not write %s\n", file.path().c_str());
            return kExitFailed;
        }
        report.Log("Stored for " + session.grabber->DriveText1() + " " + session.grabber->DriveText2());
    }
    return kExitOk;
}

}  // namespace quelt::cli
