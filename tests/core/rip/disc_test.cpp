#include "core/rip/disc.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/settings/settings.h"
#include "faulty_grabber.h"
#include "rip_test_helpers.h"
#include "support/cddb_server.h"
#include "support/disc_images.h"
#include "support/fixtures.h"
#include "support/recording_prompter.h"

namespace quelt {
namespace {

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
        real_ = test::ImageGrabber();
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
    test::RecordingPrompter prompter_;
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
    EXPECT_EQ(disc_->tags().genre[0], "None");  // "none" capitalised by the default case mode
    EXPECT_EQ(disc_->tags().year[0], "2007");
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

    // A new case mode rewrites the rows and the tags from the entry.
    disc_->SetCaseMode(kCaseUpper);
    EXPECT_EQ(Titles()[0], "FIRST LIGHT");
    EXPECT_EQ(disc_->tags().album[0], "LOOPBACK SESSIONS");
    disc_->SetCaseMode(kCaseSentence);
    EXPECT_EQ(disc_->rows()[0].artist, "The test pilots");
}

// A disc the server does not know (even with the longest time-out a settings file can hold)
// ends in its outcome and the default tags.
TEST_F(DiscModel, FallsBackToDefaultTagsWhenTheLookUpFindsNothing) {
    test::CddbServer server;
    Make(test::MakeDiscImage(dir_.path().string(), "nothing", std::vector<int>{400, 200, 100}),
         true);
    RipSettings settings;
    settings.freedbTimeOut = INT_MAX;
    disc_->ConfigureFreedb(settings);
    EXPECT_EQ(info_->TimeOut(), INT_MAX);
    info_->SetCustomServer(server.host());
    disc_->Create();
    DeliverFreedbOutcome();
    EXPECT_TRUE(view_.Saw("No FreeDB information available for this CD!"));
    EXPECT_FALSE(disc_->freedbDataInUse());
    ASSERT_EQ(disc_->rows().size(), 3u);
    EXPECT_EQ(disc_->rows()[2].title, "Session1 Track3");
}

// A disc with CD-Text whose look-up fails: the outcome is told as it happened and the rows
// still take the disc's own names.
TEST_F(DiscModel, ReportsTheLookUpOutcomeAndStillNamesACdTextDisc) {
    test::DiscLayout layout;
    layout.cdText = true;
    layout.artist = "Disc Artist";
    layout.album = "Disc Album";
    layout.tracks = {{test::TestPcm(100, 1), "Opening", "Host"}, {test::TestPcm(100, 2), "Closing", "Guest"}};
    Make(test::MakeDiscImage(dir_.path().string(), "named", layout), true);
    info_->SetCustomServer("127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()));
    disc_->Create();
    DeliverFreedbOutcome();
    EXPECT_TRUE(view_.Saw("Connection failed!"));
    EXPECT_EQ(
        disc_->status().rfind("Connection failed! Track names from CD-Text  Track Count: 02", 0),
        0u)
        << disc_->status();
    EXPECT_FALSE(view_.Saw("FreeDB information available"));
    EXPECT_TRUE(disc_->freedbDataInUse());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Opening", "Closing"}));
    EXPECT_EQ(disc_->rows()[1].artist, "Guest");
    EXPECT_EQ(disc_->tags().album[0], "Disc Album");
    // CD-Text carries no year: the field and the year tag stay empty instead of "0".
    EXPECT_EQ(disc_->tags().year[0], "");
    EXPECT_EQ(disc_->fields().year, "");
}

TEST_F(DiscModel, ChecksUnchecksAndInvertsRows) {
    Make(test::MakeDiscImage(dir_.path().string(), "marks", std::vector<int>{100, 100, 100}));
    disc_->Create();
    disc_->SelectNone();
    disc_->InvertSelection();
    EXPECT_TRUE(disc_->selectAllBox());
    disc_->SetChecked(1, false);
    disc_->InvertSelection();
    EXPECT_FALSE(disc_->selectAllBox());
    EXPECT_EQ(disc_->CheckedCount(), 1);
    EXPECT_TRUE(disc_->rows()[1].checked);
    disc_->SelectAllBoxClicked(true);
    EXPECT_EQ(disc_->CheckedCount(), 3);
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

// A media change refreshes the list; a component failing in a refresh leaves it empty; a
// disc that leaves says so.
TEST_F(DiscModel, RefreshesOnAMediaChangeAndSaysEjectDiscWhenTheDiscLeaves) {
    Make(test::MakeDiscImage(dir_.path().string(), "media", std::vector<int>{100, 100}));
    disc_->Create();
    view_.statuses.clear();
    disc_->MediaChanged();
    ASSERT_FALSE(view_.statuses.empty());
    EXPECT_EQ(view_.statuses[0], "Insert disc");
    EXPECT_EQ(disc_->rows().size(), 2u);

    faulty_->failRefresh = true;
    disc_->RefreshCd();
    EXPECT_EQ(disc_->status(), "Error on Refresh Disc Info");
    EXPECT_TRUE(disc_->rows().empty()) << "the list was emptied before the failing call";

    faulty_->failRefresh = false;
    faulty_->discState = kDiscNone;
    view_.statuses.clear();
    disc_->MediaChanged();
    ASSERT_FALSE(view_.statuses.empty());
    EXPECT_EQ(view_.statuses[0], "Eject disc");
    EXPECT_EQ(disc_->status(), "No disc");
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
    EXPECT_EQ(disc_->tags().album[2], "ALBUM");
    EXPECT_EQ(disc_->tags().year[2], "") << "no year is an empty field, not 0";
}

// No disc is said before an empty one, and an empty one before an unrecognised one; each
// leaves only the drive list usable.
TEST_F(DiscModel, NamesTheDiscStateAndLeavesOnlyTheDriveListUsable) {
    struct Case {
        int32_t state;
        int sessions;
        const char* status;
    };
    for (const Case& c :
         {Case{kDiscNone, 0, "No disc"}, Case{kDiscReadable, 0, "Empty disc"},
          Case{kDiscUnrecognised, 0, "Empty disc"}, Case{kDiscUnrecognised, 1, "Unrecognized"}}) {
        Make(test::MakeDiscImage(dir_.path().string(), "state", std::vector<int>{100}));
        faulty_->discState = c.state;
        faulty_->sessionCount = c.sessions;
        view_.driveListOnly = false;
        disc_->Create();
        EXPECT_EQ(disc_->status(), c.status);
        EXPECT_TRUE(view_.driveListOnly) << c.status;
        EXPECT_TRUE(disc_->rows().empty());
        TearDown();
    }
}

}  // namespace
}  // namespace quelt
