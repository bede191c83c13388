#include "core/rip/rip_job.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/catalogue/catalogue.h"
#include "core/jobs/job_control.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc.h"
#include "core/rip/freedb_info.h"
#include "faulty_grabber.h"
#include "rip_test_helpers.h"
#include "support/cddb_server.h"
#include "support/disc_images.h"
#include "support/fixtures.h"
#include "support/recording_prompter.h"
#include "support/recording_report.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

constexpr int kFlacRow = 9;
constexpr int kWavRow = 10;
constexpr int kPreset44100Stereo = 0;  // "320kbit/s 44100Hz Stereo "

// Hands read retries to the model on the reading thread, as the page's sink does.
class RetryForwarder : public CdGrabberListener {
public:
    Disc* disc = nullptr;
    void OnReadRetry(int attempt, int32_t sector) override { disc->ReadRetry(attempt, sector); }
};

using test::ReadFile;

class RipJobTest : public ::testing::Test {
protected:
    void Load(const std::string& cue, bool freedbBox = false) {
        real_ = test::ImageGrabber(simulatedFaults_);
        real_->AddImage(cue);
        grabber_ = std::make_unique<test::FaultyGrabber>(*real_);
        disc_ = std::make_unique<Disc>(*grabber_, *info_, prompter_);
        forwarder_.disc = disc_.get();
        grabber_->SetListener(freedbBox ? static_cast<CdGrabberListener*>(&events_) : &forwarder_);
        disc_->SetFreedbBox(freedbBox);
        disc_->Create();
    }
    void LoadTracks(const std::vector<int>& sectors) {
        sectors_ = sectors;
        Load(test::MakeDiscImage(dir_.path().string(), "disc", sectors));
    }

    // The grabber goes first: its look-up thread reports to members declared after it.
    void TearDown() override {
        disc_.reset();
        grabber_.reset();
        real_.reset();
    }
    RipOutcome Rip(int formatRow, int presetRow) {
        RipJobParameters p;
        p.settings = settings_;
        p.formatRow = formatRow;
        p.presetLabel = EncodePresetLabel(presetRow);
        p.startDelayMs = 0;
        p.closingSound = [this](bool done) { sounds_.push_back(done ? "Done" : "Fail"); };
        p.today = [] {
            std::tm date{};
            date.tm_year = 2026 - 1900;
            date.tm_mon = 2;
            date.tm_mday = 5;
            return date;
        };
        if (!PrepareRip(*disc_, p.settings, prompter_)) return {};
        control_.Start();
        RipJob job(*disc_, p);
        return job.Run(report_, control_);
    }

    std::string Out(const std::string& name) const { return out_ + name; }
    std::vector<std::string> FilesUnder(const std::string& folder) const {
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(folder))
            if (e.is_regular_file()) files.push_back(e.path().string());
        std::sort(files.begin(), files.end());
        return files;
    }

    test::ScratchDir dir_;
    std::string out_ = dir_.File("out") + "/";
    Settings settings_ = [this] {
        Settings s;
        s.rip.outputDirectory = out_;
        s.rip.outputNameIndex = 0;
        s.rip.metadata = 1;
        return s;
    }();
    std::vector<int> sectors_;
    int simulatedFaults_ = 0;
    std::unique_ptr<FreedbInfo> info_ = CreateFreedbInfo();
    std::unique_ptr<CdGrabber> real_;
    std::unique_ptr<test::FaultyGrabber> grabber_;
    std::unique_ptr<Disc> disc_;
    test::RecordingPrompter prompter_;
    RetryForwarder forwarder_;
    test::EventRecorder events_;  // FreeDB outcomes, handed to the model by the test
    test::RecordingReport report_;
    JobControl control_;
    std::vector<std::string> sounds_;
};

TEST_F(RipJobTest, WritesEveryTrackExactlyAndReportsProgressInWholePercents) {
    // Rounds of 50 sectors: 50, 100 and 120 of the first track, 50 and 80 of the second.
    LoadTracks({120, 80});
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.rippedCount, 2);
    for (int t = 0; t < 2; ++t) {
        const std::string path = Out("track " + std::to_string(t + 1) + ".wav");
        EXPECT_EQ(test::DecodePcm(path), test::TestPcm(sectors_[t], t + 1)) << path;
        EXPECT_TRUE(report_.Logged("Create output file: " + path));
        EXPECT_FALSE(disc_->rows()[t].checked);
    }
    EXPECT_TRUE(report_.Logged("Initializing..."));
    EXPECT_TRUE(report_.Logged("Please wait, analyzes for several seconds and extracting track 02 (\"02\")..."));
    EXPECT_EQ(std::count(report_.log.begin(), report_.log.end(), "CD Track closing ..."), 2);
    EXPECT_EQ(report_.log.back(), "Done, 02 track(s) were successfully.");
    EXPECT_FALSE(control_.busy.load());
    EXPECT_EQ(sounds_, std::vector<std::string>{"Done"});
    EXPECT_EQ(report_.inputLine, "Current Rip : Session1 Track2 ");
    EXPECT_EQ(
        report_.positionLines,
        (std::vector<std::string>{"Current Position = 0 %", "Current Position = 0 %",
                                  "Current Postion :   41.67 %", "Current Postion :   83.33 %",
                                  "Current Postion :  100.00 %", "Current Postion : 100 %",
                                  "Current Position = 0 %", "Current Postion :   62.50 %",
                                  "Current Postion :  100.00 %", "Current Postion : 100 %"}));
    // The batch percentage is (ripped x 100 + track percentage) / checked tracks.
    EXPECT_EQ(report_.batchLines,
              (std::vector<std::string>{"Batch Rip = 0 %", "Batch Rip = 20 %", "Batch Rip = 41 %",
                                        "Batch Rip = 50 %", "Batch Rip = 81 %", "Batch Rip = 100 %",
                                        "Total Postion : 100 %"}));
    EXPECT_EQ(report_.totalBars, (std::vector<int>{0, 20, 41, 50, 81, 100, 100}));
    EXPECT_TRUE(std::all_of(report_.itemBars.begin(), report_.itemBars.end(), [](int p) { return p >= 0 && p <= 100; }));
    EXPECT_EQ(report_.buttons, (std::vector<std::string>{"Abort Convert", "Close"}));
    EXPECT_EQ(report_.counterLines,
              (std::vector<std::string>{"Converting : track no. 01  / 02 tracks",
                                        "Converting : track no. 02  / 02 tracks"}));
}

TEST_F(RipJobTest, WritesAndAppendsTheDaysPlaylist) {
    LoadTracks({80, 80});
    settings_.rip.createM3U = 1;
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    const std::string playlist = Out("2026-03-05 playlist.m3u");
    EXPECT_EQ(outcome.playlistPath, playlist);
    const std::string expected = "#EXTM3U\n#EXTINF:0, track 1.wav\n" + Out("track 1.wav") +
                                 "\n\n#EXTINF:0, track 2.wav\n" + Out("track 2.wav") + "\n\n";
    EXPECT_EQ(ReadFile(playlist), expected);
    EXPECT_TRUE(report_.Logged("Creating playlist : " + playlist + " successfully."));
    disc_->SelectAll();
    Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(ReadFile(playlist), expected + expected);
}

TEST_F(RipJobTest, CancelsInTheSecondOfThreeTracks) {
    LoadTracks({120, 200, 100});
    settings_.rip.createM3U = 1;
    settings_.rip.ejectAfterRip = 1;
    grabber_->beforeRead = [this](int track, int round) {
        if (track == 1 && round == 2) control_.cancel.store(true);
    };
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.rippedCount, 1);
    EXPECT_TRUE(fs::exists(Out("track 1.wav")));
    EXPECT_FALSE(fs::exists(Out("track 2.wav")));
    EXPECT_FALSE(fs::exists(Out("track 3.wav")));
    EXPECT_EQ(report_.log.back(), "Cancelled by user, 01 track(s) were successfully.");
    EXPECT_EQ(report_.positionLine, "Current Postion : 100 %") << "the cancelled track's bar ends too";
    EXPECT_EQ(report_.itemBars.back(), 100);
    EXPECT_EQ(sounds_, std::vector<std::string>{"Fail"});
    EXPECT_EQ(grabber_->ejects, 0);
    EXPECT_FALSE(disc_->rows()[0].checked);
    EXPECT_FALSE(disc_->rows()[1].checked) << "the track cancelled mid-read is unchecked";
    EXPECT_TRUE(disc_->rows()[2].checked);
    std::vector<ItemState> states;
    for (const ItemResult& item : outcome.items) states.push_back(item.state);
    EXPECT_EQ(states, (std::vector<ItemState>{ItemState::kDone, ItemState::kCancelled,
                                              ItemState::kCancelled}));
    // The cancelled track's file is gone, so the playlist lists only the first.
    EXPECT_EQ(ReadFile(Out("2026-03-05 playlist.m3u")).find("track 2.wav"), std::string::npos);
    EXPECT_EQ(FilesUnder(out_).size(), 2u) << "no temporary file is left behind";
    EXPECT_FALSE(control_.busy.load());
}

// Sectors that stay bad (the first track's, injected) and sectors the drive never delivers
// (the library's simulated short reads leave the disc's last sectors unread) both keep a
// track from counting as ripped; the track between comes out exact.
TEST_F(RipJobTest, DoesNotCountATrackWithUnreadableSectors) {
    simulatedFaults_ = 64;
    LoadTracks({80, 90, 100});
    grabber_->unreadableSectors[0] = 3;
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.rippedCount, 1);
    EXPECT_EQ(outcome.failedCount, 2);
    ASSERT_EQ(outcome.items.size(), 3u);
    EXPECT_EQ(outcome.items[0].item, "01");
    EXPECT_EQ(outcome.items[0].state, ItemState::kFailed);
    const std::string unread =
        "Track 01: 3 sector(s) could not be read after every attempt; the track is not counted as "
        "ripped.";
    EXPECT_EQ(outcome.items[0].reason, unread);
    EXPECT_TRUE(report_.Logged(unread));
    EXPECT_EQ(test::DecodePcm(Out("track 2.wav")), test::TestPcm(90, 2));
    EXPECT_EQ(outcome.items[2].state, ItemState::kFailed);
    EXPECT_EQ(outcome.items[2].reason.rfind("Track 03: ", 0), 0u) << outcome.items[2].reason;
    EXPECT_TRUE(disc_->rows()[0].checked);
    EXPECT_FALSE(disc_->rows()[1].checked);
    EXPECT_TRUE(disc_->rows()[2].checked);
    EXPECT_EQ(report_.log.back(), "Done, 01 track(s) were successfully.");
}

TEST_F(RipJobTest, ShowsRetriesAndWarnsOnceDuringARip) {
    LoadTracks({80, 80});
    grabber_->retries[0] = {{1, 4321}, {2, 4321}};
    grabber_->retries[1] = {{1, 9000}};
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.rippedCount, 2);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(
        prompter_.messages[0],
        std::string(kRipCaption) +
            ": Audio CD Ripper detects that this CD may be scratched. Please set the options for "
            "grabbing old or scratched CDs.");
    EXPECT_TRUE(disc_->retryWarningShown());
    EXPECT_EQ(disc_->status(), "Attempt 1 of 10 attempts of reading the track sector 9000");
}

TEST_F(RipJobTest, PassesOverATrackTheDriveFailsOn) {
    LoadTracks({80, 80, 80});
    grabber_->failingReads.insert(1);
    settings_.rip.createM3U = 1;
    // The second track's title names a folder of its own, made for its file.
    settings_.rip.outputNameIndex = 1;  // "<artist> - <title>"
    disc_->ShowSelectedTrack(1);
    disc_->EditTitle("Live\\second");
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.rippedCount, 2);
    EXPECT_TRUE(report_.Logged("Could not read track 02 (the drive stopped answering), skip."));
    EXPECT_EQ(outcome.items[1].reason,
              "Could not read track 02 (the drive stopped answering), skip.");
    EXPECT_TRUE(disc_->rows()[1].checked);
    // The abandoned track's file and folder are gone, so the playlist does not name it.
    ASSERT_EQ(outcome.outputPaths.size(), 2u);
    for (const std::string& path : outcome.outputPaths) EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(ReadFile(Out("2026-03-05 playlist.m3u")).find("second"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(out_))
        EXPECT_FALSE(entry.is_directory()) << entry.path();
}

TEST_F(RipJobTest, LogsPathsLongerThanAnyFixedBufferWhole) {
    LoadTracks({80});
    std::string folder = out_;
    for (int level = 0; level < 6; ++level) folder += std::string(200, 'a' + level) + "/";
    settings_.rip.outputDirectory = folder;
    settings_.rip.createM3U = 1;
    ASSERT_EQ(Rip(kWavRow, kPreset44100Stereo).rippedCount, 1);
    const std::string path = folder + "track 1.wav";
    ASSERT_GT(path.size(), 1200u);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(report_.Logged("Create output file: " + path));
    EXPECT_TRUE(report_.Logged("Creating playlist : " + folder + "2026-03-05 playlist.m3u successfully."));
}

// The line the command line shows is its test's; here the tray is unlocked all the same.
TEST_F(RipJobTest, StopsWhenTheOutputCannotBeOpenedAndUnlocksTheTray) {
    LoadTracks({80, 80});
    std::ofstream(dir_.File("blocker")) << "a file where the folder should be";
    settings_.rip.outputDirectory = dir_.File("blocker") + "/out/";
    settings_.rip.lockTray = 1;
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_TRUE(outcome.stoppedEarly);
    EXPECT_EQ(grabber_->locks, 1);
    EXPECT_EQ(grabber_->unlocks, 1);
    EXPECT_FALSE(control_.busy.load());
}

TEST_F(RipJobTest, RemovesTheFileOfATrackTheDiskCouldNotHoldAndGoesOn) {
    LoadTracks({120, 150, 100});
    // WAV files of 120 and 100 sectors fit under the limit; the 150-sector one does not.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto savedHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 300 * 1024;
    setrlimit(RLIMIT_FSIZE, &limited);
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedHandler);

    EXPECT_EQ(outcome.rippedCount, 2);
    EXPECT_TRUE(report_.Logged("Track 02 failed, its partial file was removed."));
    EXPECT_FALSE(fs::exists(Out("track 2.wav")));
    EXPECT_EQ(test::DecodePcm(Out("track 3.wav")), test::TestPcm(100, 3));
    EXPECT_EQ(FilesUnder(out_).size(), 2u);
    EXPECT_TRUE(disc_->rows()[1].checked);
}

TEST_F(RipJobTest, RipsOnlyCheckedRowsAndLocksTheTrayAround) {
    LoadTracks({80, 80, 80, 80});
    disc_->SetChecked(0, false);
    disc_->SetChecked(2, false);
    settings_.rip.lockTray = 1;
    settings_.rip.ejectAfterRip = 1;
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.checkedCount, 2);
    EXPECT_EQ(outcome.rippedCount, 2);
    EXPECT_EQ(report_.counterLines.front(), "Converting : track no. 02  / 04 tracks");
    EXPECT_TRUE(fs::exists(Out("track 4.wav")));
    EXPECT_FALSE(fs::exists(Out("track 1.wav")));
    EXPECT_EQ(grabber_->locks, 1);
    EXPECT_EQ(grabber_->unlocks, 1);
    EXPECT_EQ(grabber_->ejects, 1);
    EXPECT_EQ(report_.log.back(), "Eject device tray...");

    // A drive that refuses the tray calls is named in the log; the rip goes on.
    grabber_->refuseTray = true;
    disc_->SelectAll();
    EXPECT_EQ(Rip(kWavRow, kPreset44100Stereo).rippedCount, 4);
    EXPECT_TRUE(report_.Logged("The tray could not be locked: the drive refused"));
    EXPECT_TRUE(report_.Logged("The tray could not be opened: the drive refused"));
    EXPECT_EQ(grabber_->unlocks, 1) << "a tray that was never locked is not unlocked";
}

TEST_F(RipJobTest, RefusesToStartWithoutCheckedRows) {
    LoadTracks({80});
    disc_->SelectNone();
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.checkedCount, 0);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0],
              std::string(kRipCaption) + ": Please select audio tracks which you want to rip!");
    EXPECT_TRUE(report_.log.empty());

    // A list without rows (no disc read yet) asks for a disc instead.
    Disc empty(*grabber_, *info_, prompter_);
    EXPECT_FALSE(PrepareRip(empty, settings_, prompter_));
    EXPECT_EQ(prompter_.messages.back(), std::string(kRipCaption) + ": Please insert an Audio CD!");
}

TEST_F(RipJobTest, KeepsNamesFromFreedbInsideTheOutputFolder) {
    test::CddbServer server;
    info_->SetCustomServer(server.host());
    Load(test::MakeDiscImage(dir_.path().string(), "slashes", std::vector<int>{150, 150, 150, 150, 150}), true);
    events_.WaitForOutcome();
    for (int status : events_.statuses) disc_->FreedbProgress(status);
    ASSERT_TRUE(disc_->freedbDataInUse());
    settings_.rip.outputNameIndex = 4;  // "<artist>\<album>\<number>. <title>"
    RipOutcome outcome = Rip(kWavRow, kPreset44100Stereo);
    EXPECT_EQ(outcome.rippedCount, 5);
    const std::string root = fs::weakly_canonical(out_).string();
    for (const auto& path : outcome.outputPaths) {
        const std::string real = fs::weakly_canonical(path).string();
        EXPECT_EQ(real.rfind(root, 0), 0u) << path;
        EXPECT_TRUE(fs::exists(path)) << path;
    }
    EXPECT_FALSE(fs::exists(dir_.path() / "outside.wav"));
}

// Tracks are read one after another while earlier ones are still being encoded; the files
// and the log must be exactly those of a one-track-at-a-time rip.
TEST_F(RipJobTest, PipelinedRipWritesExactTracksWithTheLogOfASequentialOne) {
    LoadTracks({120, 30, 200, 60, 150, 90});
    auto rip = [&](int encoders) {
        RipJobParameters p;
        p.settings = settings_;
        p.settings.rip.outputDirectory = Out(std::to_string(encoders) + "/");
        p.formatRow = kFlacRow;
        p.presetLabel = EncodePresetLabel(kPreset44100Stereo);
        p.startDelayMs = 0;
        p.encoders = encoders;
        disc_->SelectAll();
        test::RecordingReport report;
        control_.Start();
        RipJob job(*disc_, p);
        EXPECT_EQ(job.Run(report, control_).rippedCount, 6);
        return report.log;
    };
    const std::vector<std::string> sequential = rip(1);
    const std::vector<std::string> pipelined = rip(3);
    for (int t = 0; t < 6; ++t) {
        const std::string name = "track " + std::to_string(t + 1) + ".flac";
        EXPECT_EQ(test::DecodePcm(Out("3/" + name)), test::TestPcm(sectors_[t], t + 1)) << name;
    }
    ASSERT_EQ(pipelined.size(), sequential.size());
    for (std::size_t i = 0; i < sequential.size(); ++i) {
        std::string expected = sequential[i];
        if (auto at = expected.find(Out("1/")); at != std::string::npos) expected.replace(at, Out("1/").size(), Out("3/"));
        EXPECT_EQ(pipelined[i], expected) << "line " << i;
    }
}

}  // namespace
}  // namespace quelt
