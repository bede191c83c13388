#include <gtest/gtest.h>

#include <climits>

#include "core/jobs/prompter.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc.h"
#include "core/rip/freedb_info.h"
#include "core/settings/settings.h"
#include "faulty_grabber.h"
#include "rip_test_helpers.h"
#include "support/cddb_server.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

class ScriptedPrompter : public Prompter {
public:
    bool AskYesNo(const std::string& caption, const std::string& text) override {
        questions.push_back(caption + ": " + text);
        return answer;
    }
    void ShowMessage(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
    bool answer = true;
    std::vector<std::string> questions, messages;
};

class StatusLog : public DiscView {
public:
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void EnableDriveListOnly() override { driveListOnly = true; }
    bool Saw(const std::string& text) const {
        return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
    }
    std::vector<std::string> statuses;
    bool driveListOnly = false;
};

class DiscModel : public ::testing::Test {
protected:
    // A disc model on an images-only grabber holding `cue` (no image: no drives at all).
    void Make(const std::string& cue, bool freedbBox = false) {
        CdGrabberOptions options;
        options.listDevices = false;
        options.demoImage = "/nonexistent/demo.cue";
        options.watchMedia = false;
        real_ = CreateCdGrabber(options);
        if (!cue.empty()) real_->AddImage(cue);
        faulty_ = std::make_unique<test::FaultyGrabber>(*real_);
        faulty_->SetListener(&events_);
        disc_ = std::make_unique<Disc>(*faulty_, *info_, prompter_, &view_);
        disc_->SetFreedbBox(freedbBox);
    }
    // Hands the look-up's events to the model in order, as a page's thread would.
    void DeliverFreedbOutcome() {
        events_.WaitForOutcome();
        for (int status : events_.statuses) disc_->FreedbProgress(status);
    }
    // The grabber goes first: its look-up thread reports to members declared after it.
    void TearDown() override {
        disc_.reset();
        faulty_.reset();
        real_.reset();
    }
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const auto& row : disc_->rows()) titles.push_back(row.title);
        return titles;
    }

    test::ScratchDir dir_;
    std::unique_ptr<FreedbInfo> info_ = CreateFreedbInfo();
    std::unique_ptr<CdGrabber> real_;
    std::unique_ptr<test::FaultyGrabber> faulty_;
    test::EventRecorder events_;
    ScriptedPrompter prompter_;
    StatusLog view_;
    std::unique_ptr<Disc> disc_;
};

TEST_F(DiscModel, ListsTheDriveAndFillsRowsWithDefaultTags) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "plain", std::vector<int>{150, 225, 4537});
    Make(cue);
    disc_->Create();
    ASSERT_EQ(disc_->driveEntries().size(), 1u);
    EXPECT_EQ(disc_->driveEntries()[0], "[" + cue + "]   Disc image   plain.cue   CUE/BIN");
    EXPECT_TRUE(view_.Saw("Find drive \"[" + cue + "]   Disc image   plain.cue   CUE/BIN\""));
    EXPECT_TRUE(view_.Saw("Set CD-drive Disc image plain.cue as current"));
    EXPECT_TRUE(view_.Saw("Refresh CD"));
    EXPECT_TRUE(view_.Saw("Finish Refreshing CD Information"));
    EXPECT_TRUE(view_.Saw("Track Count: 03 ,          Total Duration: 00:01:05.493"));

    ASSERT_EQ(disc_->rows().size(), 3u);
    const TrackRow& third = disc_->rows()[2];
    EXPECT_EQ(third.number, "03");
    EXPECT_EQ(third.artist, "Artist");
    EXPECT_EQ(third.title, "Session1 Track3");
    EXPECT_EQ(third.duration, "01:00.493");
    EXPECT_TRUE(third.checked);
    EXPECT_EQ(third.itemValue, 2);
    const TagLists& tags = disc_->tags();
    EXPECT_EQ(tags.album[0], "Album");
    EXPECT_EQ(tags.genre[0], "None");  // "none" capitalised by the default case mode
    EXPECT_EQ(tags.year[0], "2007");
    EXPECT_EQ(tags.copyright[0], "Quelt Copyright");
    EXPECT_EQ(tags.comment[0], "Brenvik");
    EXPECT_EQ(disc_->selectedRow(), 0);
    EXPECT_EQ(disc_->positionLabel(), "No.: 01, second: 00:00:00.000");
    EXPECT_EQ(disc_->fields().title, "Session1 Track1");
}

TEST_F(DiscModel, GivesADataTrackNoRow) {
    test::DiscLayout layout;
    layout.tracks = {{test::TestPcm(100, 1), "", ""}, {test::TestPcm(100, 2), "", ""}};
    layout.dataSectors = 200;
    Make(test::MakeDiscImage(dir_.path().string(), "mixed", layout));
    disc_->Create();
    ASSERT_EQ(disc_->rows().size(), 2u);
    EXPECT_EQ(disc_->rows()[1].number, "02");
    EXPECT_EQ(disc_->rows()[1].itemValue, 1);
    EXPECT_EQ(disc_->trackCount(), 2);
    EXPECT_EQ(disc_->tags().title.size(), 2u);
}

TEST_F(DiscModel, SumsDurationsPartByPart) {
    Make(test::MakeDiscImage(dir_.path().string(), "two", std::vector<int>{100, 100}));
    faulty_->durations[0] = {3, 20, 500};
    faulty_->durations[1] = {4, 50, 700};
    disc_->Create();
    EXPECT_EQ(disc_->sumMinutes(), 7);
    EXPECT_EQ(disc_->sumSeconds(), 70);
    EXPECT_EQ(disc_->sumMilliseconds(), 1200);
    EXPECT_EQ(disc_->TotalMs(), 491200);
    EXPECT_EQ(disc_->rows()[0].duration, "03:20.500");
    EXPECT_TRUE(view_.Saw("Track Count: 02 ,          Total Duration: 00:08:11.200"));
    EXPECT_EQ(disc_->status(), "Finish Refreshing CD Information");
}

TEST_F(DiscModel, SaysSoWhenThereIsNoDrive) {
    Make("");
    disc_->Create();
    EXPECT_TRUE(disc_->driveEntries().empty());
    EXPECT_EQ(disc_->status(), "No CD drives are found !");
}

TEST_F(DiscModel, TakesTagsFromFreedbAndAppliesEveryCaseMode) {
    test::CddbServer server;
    Make(test::MakeDiscImage(dir_.path().string(), "exact", std::vector<int>{150, 225, 190}), true);
    info_->SetCustomServer(server.host());
    disc_->Create();
    EXPECT_TRUE(view_.Saw("Query for FreeDB information"));
    EXPECT_TRUE(disc_->rows().empty()) << "the list waits for the look-up";
    DeliverFreedbOutcome();
    EXPECT_TRUE(view_.Saw("Connecting to  server..."));
    EXPECT_TRUE(view_.Saw("Quering for album entry..."));
    EXPECT_TRUE(view_.Saw("FreeDB information available"));
    EXPECT_TRUE(disc_->freedbDataInUse());
    ASSERT_EQ(disc_->rows().size(), 3u);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"First Light", "Second Wind", "Third Rail"}));
    EXPECT_EQ(disc_->tags().year[0], "1999");
    EXPECT_EQ(disc_->tags().genre[0], "Post-rock");

    disc_->SetCaseMode(kCaseUpper);
    EXPECT_EQ(Titles()[0], "FIRST LIGHT");
    EXPECT_EQ(disc_->rows()[0].artist, "THE TEST PILOTS");
    EXPECT_EQ(disc_->tags().album[0], "LOOPBACK SESSIONS");
    disc_->SetCaseMode(kCaseLower);
    EXPECT_EQ(Titles()[1], "second wind");
    EXPECT_EQ(disc_->tags().comment[0], "brenvik");
    disc_->SetCaseMode(kCaseSentence);
    EXPECT_EQ(disc_->rows()[0].artist, "The test pilots");
    EXPECT_EQ(Titles()[2], "Third rail");
    disc_->SetCaseMode(kCaseCapitalize);
    EXPECT_EQ(Titles()[0], "First Light");
}

// A refused connection (even with the longest time-out a settings file can hold) and a disc
// the server does not know both end in their outcome and the default tags.
TEST_F(DiscModel, FallsBackToDefaultTagsWhenTheLookUpFindsNothing) {
    test::CddbServer server;
    struct Case {
        std::vector<int> sectors;
        std::string host, outcome;
    };
    for (const Case& c :
         {Case{{150, 225, 190},
               "127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()),
               "Connection failed!"},
          Case{{400, 200, 100}, server.host(), "No FreeDB information available for this CD!"}}) {
        Make(test::MakeDiscImage(dir_.path().string(), "nothing", c.sectors), true);
        RipSettings settings;
        settings.freedbTimeOut = INT_MAX;
        disc_->ConfigureFreedb(settings);
        EXPECT_EQ(info_->TimeOut(), INT_MAX);
        info_->SetCustomServer(c.host);
        disc_->Create();
        DeliverFreedbOutcome();
        EXPECT_TRUE(view_.Saw(c.outcome)) << c.host;
        EXPECT_FALSE(disc_->freedbDataInUse());
        ASSERT_EQ(disc_->rows().size(), 3u);
        EXPECT_EQ(disc_->rows()[2].title, "Session1 Track3");
        EXPECT_EQ(disc_->rows()[0].artist, "Artist");
        TearDown();
        view_.statuses.clear();
        events_.statuses.clear();
    }
}

// A disc with CD-Text whose look-up fails or misses: the outcome is told as it happened
// and the rows still take the disc's own names.
TEST_F(DiscModel, ReportsTheLookUpOutcomeAndStillNamesACdTextDisc) {
    test::DiscLayout layout;
    layout.cdText = true;
    layout.artist = "Disc Artist";
    layout.album = "Disc Album";
    layout.tracks = {{test::TestPcm(100, 1), "Opening", "Host"}, {test::TestPcm(100, 2), "Closing", "Guest"}};
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "named", layout);
    test::CddbServer server;  // knows no disc of this layout
    for (const std::string& host :
         {"127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()), server.host()}) {
        Make(cue, true);
        info_->SetCustomServer(host);
        info_->SetTimeOut(2000);
        disc_->Create();
        DeliverFreedbOutcome();
        const bool failed = host != server.host();
        const std::string outcome = failed ? "Connection failed!" : "No FreeDB information available for this CD!";
        EXPECT_TRUE(view_.Saw(outcome)) << host;
        EXPECT_EQ(disc_->status().rfind(outcome + " Track names from CD-Text  Track Count: 02", 0), 0u)
            << disc_->status();
        EXPECT_FALSE(view_.Saw("FreeDB information available")) << host;
        EXPECT_TRUE(disc_->freedbDataInUse());
        EXPECT_EQ(Titles(), (std::vector<std::string>{"Opening", "Closing"}));
        EXPECT_EQ(disc_->rows()[1].artist, "Guest");
        EXPECT_EQ(disc_->tags().album[0], "Disc Album");
        // CD-Text carries no year: the field and the year tag stay empty instead of "0".
        EXPECT_EQ(disc_->tags().year[0], "");
        EXPECT_EQ(disc_->fields().year, "");
        TearDown();
        view_.statuses.clear();
        events_.statuses.clear();
    }
}

TEST_F(DiscModel, ShowsEveryRetryButWarnsOnce) {
    Make(test::MakeDiscImage(dir_.path().string(), "retry", std::vector<int>{100}));
    disc_->Create();
    disc_->ReadRetry(1, 1234);
    disc_->ReadRetry(2, 1234);
    EXPECT_EQ(disc_->status(), "Attempt 2 of 10 attempts of reading the track sector 1234");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0],
              "Quelt CD Ripper Pro - Audio CD Ripper: Audio CD Ripper detects that this CD may be "
              "scratched. Please set the options for grabbing old or scratched CDs.");
    EXPECT_TRUE(disc_->retryWarningShown());
}

TEST_F(DiscModel, ChecksUnchecksAndInvertsRows) {
    Make(test::MakeDiscImage(dir_.path().string(), "marks", std::vector<int>{100, 100, 100}));
    disc_->Create();
    disc_->SelectNone();
    EXPECT_FALSE(disc_->selectAllBox());
    EXPECT_EQ(disc_->CheckedCount(), 0);
    disc_->InvertSelection();
    EXPECT_TRUE(disc_->selectAllBox());
    EXPECT_EQ(disc_->CheckedCount(), 3);
    disc_->SetChecked(1, false);
    disc_->InvertSelection();
    EXPECT_FALSE(disc_->selectAllBox());
    EXPECT_EQ(disc_->CheckedCount(), 1);
    EXPECT_TRUE(disc_->rows()[1].checked);
    disc_->SelectAll();
    EXPECT_EQ(disc_->CheckedCount(), 3);
    disc_->SelectAllBoxClicked(false);
    EXPECT_EQ(disc_->CheckedCount(), 0);
}

TEST_F(DiscModel, EditsTheSelectedRowsTags) {
    Make(test::MakeDiscImage(dir_.path().string(), "edit", std::vector<int>{100, 100}));
    disc_->Create();
    disc_->ShowSelectedTrack(1);
    EXPECT_EQ(disc_->positionLabel(), "No.: 02, second: 00:00:00.000");
    disc_->EditTitle("New Title");
    disc_->EditArtist("Someone");
    disc_->EditYear("1984");
    EXPECT_EQ(disc_->rows()[1].title, "New Title");
    EXPECT_EQ(disc_->rows()[1].artist, "Someone");
    EXPECT_EQ(disc_->tags().title[1], "New Title");
    EXPECT_EQ(disc_->tags().year[1], "1984");
    EXPECT_EQ(disc_->tags().year[0], "2007");
    disc_->ShowSelectedTrack(-1);
    EXPECT_EQ(disc_->selectedRow(), -1);
    disc_->EditTitle("ignored");
    EXPECT_EQ(disc_->tags().title[0], "Session1 Track1");
}

TEST_F(DiscModel, AsksBeforeRefreshingWhenTheFreedbBoxChanges) {
    Make(test::MakeDiscImage(dir_.path().string(), "box", std::vector<int>{100}));
    disc_->Create();
    prompter_.answer = false;
    disc_->FreedbBoxClicked(true);
    ASSERT_EQ(prompter_.questions.size(), 1u);
    EXPECT_EQ(prompter_.questions[0],
              "FreeDB information changed: Refresh the CD Album Information with FreeDB support ?");
    EXPECT_TRUE(disc_->freedbDataInUse());
    EXPECT_EQ(disc_->rows().size(), 1u);
    disc_->FreedbBoxClicked(false);
    EXPECT_EQ(prompter_.questions[1],
              "FreeDB information changed: Refresh the CD Album Information without FreeDB support ?");
}

TEST_F(DiscModel, RefreshesOnAMediaChangeAndSaysEjectDiscWhenTheDiscLeaves) {
    Make(test::MakeDiscImage(dir_.path().string(), "media", std::vector<int>{100, 100}));
    disc_->Create();
    view_.statuses.clear();
    disc_->MediaChanged();
    ASSERT_FALSE(view_.statuses.empty());
    EXPECT_EQ(view_.statuses[0], "Insert disc");
    EXPECT_TRUE(view_.Saw("Refresh CD"));
    EXPECT_EQ(disc_->rows().size(), 2u);

    faulty_->discState = kDiscNone;
    view_.statuses.clear();
    disc_->MediaChanged();
    ASSERT_FALSE(view_.statuses.empty());
    EXPECT_EQ(view_.statuses[0], "Eject disc");
    EXPECT_EQ(disc_->status(), "No disc");
    EXPECT_TRUE(disc_->rows().empty());
}

TEST_F(DiscModel, ReportsAComponentErrorDuringARefresh) {
    Make(test::MakeDiscImage(dir_.path().string(), "broken", std::vector<int>{100, 100}));
    disc_->Create();
    ASSERT_EQ(disc_->rows().size(), 2u);
    faulty_->failRefresh = true;
    disc_->RefreshCd();
    EXPECT_EQ(disc_->status(), "Error on Refresh Disc Info");
    EXPECT_TRUE(disc_->rows().empty()) << "the list was emptied before the failing call";
}

TEST_F(DiscModel, FreedbDataWithoutTextsGivesTheFreedbDefaults) {
    Make(test::MakeDiscImage(dir_.path().string(), "bare", std::vector<int>{100, 100, 100}));
    disc_->Create();
    disc_->SetCaseMode(kCaseUpper);
    // An outcome of 3 whose entry carries no texts: the FreeDB rules, not the plain ones.
    disc_->FreedbProgress(kFreedbFound);
    EXPECT_TRUE(view_.Saw("FreeDB information available"));
    ASSERT_EQ(disc_->rows().size(), 3u);
    EXPECT_EQ(disc_->rows()[2].title, "SESSION1_TRACK3");
    EXPECT_EQ(disc_->rows()[2].artist, "ARTIST");
    EXPECT_EQ(disc_->tags().album[2], "ALBUM");
    EXPECT_EQ(disc_->tags().genre[2], "NONE");
    EXPECT_EQ(disc_->tags().year[2], "") << "no year is an empty field, not 0";
    EXPECT_EQ(disc_->tags().copyright[2], "QUELT COPYRIGHT");
    EXPECT_EQ(disc_->fields().title, "SESSION1_TRACK1");
}

struct DiscStateCase {
    int32_t state;
    int sessions;
    const char* status;
};

class DiscStates : public DiscModel, public ::testing::WithParamInterface<DiscStateCase> {};

TEST_P(DiscStates, NameTheDiscAndLeaveOnlyTheDriveListUsable) {
    Make(test::MakeDiscImage(dir_.path().string(), "state", std::vector<int>{100}));
    faulty_->discState = GetParam().state;
    faulty_->sessionCount = GetParam().sessions;
    disc_->Create();
    EXPECT_EQ(disc_->status(), GetParam().status);
    EXPECT_TRUE(view_.driveListOnly);
    EXPECT_TRUE(disc_->rows().empty());
    EXPECT_FALSE(view_.Saw("Finish Refreshing CD Information"));
}

// No disc is said before an empty one, and an empty one before an unrecognised one.
INSTANTIATE_TEST_SUITE_P(Refresh, DiscStates,
                         ::testing::Values(DiscStateCase{kDiscNone, 0, "No disc"},
                                           DiscStateCase{kDiscReadable, 0, "Empty disc"},
                                           DiscStateCase{kDiscUnrecognised, 0, "Empty disc"},
                                           DiscStateCase{kDiscUnrecognised, 1, "Unrecognized"}),
                         [](const auto& info) {
                             return "State" + std::to_string(info.param.state) + "Sessions" +
                                    std::to_string(info.param.sessions);
                         });

}  // namespace
}  // namespace quelt
