#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/jobs/component_error.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "rip_test_helpers.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

using test::DiscLayout;
using test::MakeDiscImage;
using test::ReadWholeTrack;
using test::TestPcm;

std::unique_ptr<CdGrabber> ImagesOnly() {
    CdGrabberOptions options;
    options.listDevices = false;
    options.demoImage = "/nonexistent/demo.cue";
    options.watchMedia = false;
    auto grabber = CreateCdGrabber(options);
    grabber->Open();
    return grabber;
}

TEST(CdGrabber, ReadsEveryTrackOfAnImageExactly) {
    test::ScratchDir dir;
    const std::vector<int> sectors = {200, 150, 313};
    const std::string cue = MakeDiscImage(dir.path().string(), "three", sectors);
    ASSERT_FALSE(cue.empty());
    auto grabber = ImagesOnly();
    grabber->SelectDrive(grabber->AddImage(cue));
    grabber->RefreshDisc();
    EXPECT_EQ(grabber->DiscState(), kDiscReadable);
    ASSERT_EQ(grabber->SessionCount(), 1);
    grabber->SelectSession(0);
    ASSERT_EQ(grabber->TrackCount(), 3);
    for (int t = 0; t < 3; ++t) {
        grabber->SelectTrack(t);
        EXPECT_EQ(grabber->TrackSizeA(), sectors[t]);
        EXPECT_EQ(grabber->TrackSizeB(), 4);
        EXPECT_EQ(grabber->TrackType(), kTrackAudio);
        EXPECT_EQ(ReadWholeTrack(*grabber, 0, t), TestPcm(sectors[t], t + 1)) << "track " << t + 1;
        EXPECT_EQ(grabber->UnreadableSectors(), 0);
    }
}

TEST(CdGrabber, GivesDurationsFromTheSectorCount) {
    test::ScratchDir dir;
    // 4537 sectors are 60.493 s.
    const std::string cue = MakeDiscImage(dir.path().string(), "minute", std::vector<int>{4537});
    auto grabber = ImagesOnly();
    grabber->SelectDrive(grabber->AddImage(cue));
    grabber->SelectSession(0);
    grabber->SelectTrack(0);
    EXPECT_EQ(grabber->TrackMinutes(), 1);
    EXPECT_EQ(grabber->TrackSeconds(), 0);
    EXPECT_EQ(grabber->TrackMilliseconds(), 493);
}

TEST(CdGrabber, StopsAtTheTrackEndAndAppendsTheNextPregapToTheTrackBefore) {
    test::ScratchDir dir;
    DiscLayout layout;
    layout.tracks = {{TestPcm(120, 1), "", ""}, {TestPcm(90, 2), "", ""}};
    layout.pregapSectors = 30;
    const std::string cue = MakeDiscImage(dir.path().string(), "pregap", layout);
    auto grabber = ImagesOnly();
    grabber->SelectDrive(grabber->AddImage(cue));
    std::vector<int16_t> first = ReadWholeTrack(*grabber, 0, 0);
    ASSERT_EQ(first.size(), (120u + 30u) * 588 * 2);
    EXPECT_TRUE(std::equal(layout.tracks[0].pcm.begin(), layout.tracks[0].pcm.end(), first.begin()));
    EXPECT_TRUE(std::all_of(first.begin() + layout.tracks[0].pcm.size(), first.end(), [](int16_t s) { return s == 0; }));
    EXPECT_EQ(ReadWholeTrack(*grabber, 0, 1), layout.tracks[1].pcm);
}

TEST(CdGrabber, ListsADataTrackAfterTheAudioWithItsOwnType) {
    test::ScratchDir dir;
    DiscLayout layout;
    layout.tracks = {{TestPcm(100, 1), "", ""}, {TestPcm(110, 2), "", ""}};
    layout.dataSectors = 300;
    const std::string cue = MakeDiscImage(dir.path().string(), "mixed", layout);
    auto grabber = ImagesOnly();
    grabber->SelectDrive(grabber->AddImage(cue));
    grabber->SelectSession(0);
    ASSERT_EQ(grabber->TrackCount(), 3);
    grabber->SelectTrack(2);
    EXPECT_NE(grabber->TrackType(), kTrackAudio);
    EXPECT_THROW(grabber->OpenTrack(), ComponentError);
    EXPECT_EQ(ReadWholeTrack(*grabber, 0, 1), layout.tracks[1].pcm);
}

TEST(CdGrabber, DescribesAnImageAsADrive) {
    test::ScratchDir dir;
    const std::string cue = MakeDiscImage(dir.path().string(), "described", std::vector<int>{100});
    auto grabber = ImagesOnly();
    grabber->SelectDrive(grabber->AddImage(cue));
    EXPECT_EQ(grabber->DriveId(), cue);
    EXPECT_EQ(grabber->DriveText1(), "Disc image");
    EXPECT_EQ(grabber->DriveText2(), "described.cue");
    EXPECT_EQ(grabber->DriveText3(), "CUE/BIN");
    // Tray commands are harmless on an image.
    EXPECT_NO_THROW(grabber->LockTray());
    EXPECT_NO_THROW(grabber->UnlockTray());
    EXPECT_NO_THROW(grabber->EjectTray());
    EXPECT_NO_THROW(grabber->CloseTray());
}

// Images the grabber cannot read as one disc are refused with the reason.
TEST(CdGrabber, RefusesImagesOfSeveralFilesWithTheReason) {
    test::ScratchDir dir;
    DiscLayout layout;
    layout.tracks = {{TestPcm(100, 1), "", ""}, {TestPcm(100, 2), "", ""}};
    layout.extraFileLine = true;
    std::ofstream(dir.File("two.toc")) << "CD_DA\nTRACK AUDIO\nAUDIOFILE \"a.bin\" 0 00:10:00\n"
                                       << "TRACK AUDIO\nAUDIOFILE \"b.bin\" 0 00:10:00\n";
    auto grabber = ImagesOnly();
    for (const auto& [image, reason] :
         {std::pair{MakeDiscImage(dir.path().string(), "split", layout), "several FILE lines"},
          std::pair{dir.File("two.toc"), "several data files"}}) {
        try {
            grabber->AddImage(image);
            ADD_FAILURE() << image << " was accepted";
        } catch (const ComponentError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
    std::ofstream(dir.File("notes.txt")) << "not an image";
    EXPECT_THROW(grabber->AddImage(dir.File("notes.txt")), ComponentError);
    EXPECT_THROW(grabber->AddImage(dir.File("missing.cue")), ComponentError);
}

// A sheet renamed after it was written still finds its BIN and keeps its CD-Text.
TEST(CdGrabber, ReadsARenamedCueSheetWithItsCdText) {
    test::ScratchDir dir;
    DiscLayout layout;
    layout.cdText = true;
    layout.album = "Été";
    layout.tracks = {{TestPcm(80, 1), "Première", "Zoë"}, {TestPcm(90, 2), "Deux", "Zoë"}};
    const std::string cue = MakeDiscImage(dir.path().string(), "texted", layout);
    std::filesystem::rename(cue, dir.File("Other Name.cue"));
    test::EventRecorder events;  // outlives the grabber, whose look-up thread reports to it
    auto grabber = ImagesOnly();
    grabber->SetListener(&events);
    grabber->SelectDrive(grabber->AddImage(dir.File("Other Name.cue")));
    grabber->RefreshDisc();
    EXPECT_EQ(grabber->DiscState(), kDiscReadable);
    EXPECT_EQ(ReadWholeTrack(*grabber, 0, 1), TestPcm(90, 2));
    auto info = CreateFreedbInfo();
    info->SetCustomServer("127.0.0.1:1");
    info->SetTimeOut(1000);
    grabber->QueryFreedb(*info, 0);
    ASSERT_EQ(events.WaitForOutcome(), kFreedbConnectionFailed);
    EXPECT_TRUE(grabber->NamesFromCdText());
    grabber->SelectSession(0);
    grabber->SelectTrack(0);
    EXPECT_EQ(grabber->FreedbAlbum(), "Été");
    EXPECT_EQ(grabber->FreedbTitle(), "Première");
    EXPECT_EQ(grabber->FreedbArtist(), "Zoë");
    grabber->SetListener(nullptr);
}

TEST(CdGrabber, ListsTheDemoDiscWhenNoDriveExists) {
    CdGrabberOptions options;
    options.listDevices = false;
    options.watchMedia = false;
    auto grabber = CreateCdGrabber(options);
    grabber->Open();
    ASSERT_EQ(grabber->DriveCount(), 1) << "the demo disc is not built";
    grabber->SelectDrive(1);
    EXPECT_EQ(grabber->DriveText2(), "Demo disc");
    EXPECT_EQ(grabber->DiscState(), kDiscReadable);
    grabber->SelectSession(0);
    ASSERT_EQ(grabber->TrackCount(), 4);
    std::vector<std::vector<int16_t>> pieces;
    for (int t = 0; t < 4; ++t) {
        auto pcm = ReadWholeTrack(*grabber, 0, t);
        EXPECT_GT(pcm.size(), 4u * 44100 * 2) << "a piece of a few seconds";
        EXPECT_TRUE(std::any_of(pcm.begin(), pcm.end(), [](int16_t s) { return std::abs(s) > 8000; }));
        for (const auto& other : pieces) EXPECT_NE(pcm, other);
        pieces.push_back(pcm);
    }
}

TEST(CdGrabber, RefusesReadsWithoutAnOpenTrackAndUnknownSelections) {
    test::ScratchDir dir;
    const std::string cue = MakeDiscImage(dir.path().string(), "one", std::vector<int>{60});
    auto grabber = ImagesOnly();
    EXPECT_THROW(grabber->SelectDrive(5), ComponentError);
    grabber->SelectDrive(grabber->AddImage(cue));
    std::vector<uint8_t> pcm;
    EXPECT_THROW(grabber->ReadBlocks(50, pcm), ComponentError);
    grabber->SelectSession(0);
    EXPECT_THROW(grabber->SelectTrack(1), ComponentError);
    EXPECT_THROW(grabber->SelectSession(1), ComponentError);
}

}  // namespace
}  // namespace quelt

// libcdio-paranoia's fault simulation does not free the jittered buffers it makes; only the
// library's own frames are excused from the leak check.
extern "C" const char* __lsan_default_suppressions() { return "leak:libcdio_cdda.so\n"; }

namespace quelt {
namespace {

// The verifier is real: reads that the library's fault simulation fragments come out
// exact with the rip's settings, jittered reads differ when verification is switched off,
// and sectors the simulated drive never delivers are counted as unreadable. (Repairing
// simulated jitter depends on the library's random numbers, for cd-paranoia as well, so
// jitter is no case for an exact result here.)
std::unique_ptr<CdGrabber> ShakyGrabber(const std::string& cue, int faults) {
    CdGrabberOptions options;
    options.listDevices = false;
    options.demoImage = "/nonexistent/demo.cue";
    options.watchMedia = false;
    options.simulatedReadFaults = faults;
    auto grabber = CreateCdGrabber(options);
    grabber->Open();
    grabber->SelectDrive(grabber->AddImage(cue));
    return grabber;
}

class SimulatedFaults : public ::testing::TestWithParam<int> {};

TEST_P(SimulatedFaults, AreRepairedByFullVerification) {
    test::ScratchDir dir;
    const std::string cue =
        test::MakeDiscImage(dir.path().string(), "shaky", std::vector<int>{400, 300});
    auto grabber = ShakyGrabber(cue, GetParam());
    EXPECT_EQ(test::ReadWholeTrack(*grabber, 0, 0), test::TestPcm(400, 1));
    EXPECT_EQ(test::ReadWholeTrack(*grabber, 0, 1), test::TestPcm(300, 2));
    EXPECT_EQ(grabber->UnreadableSectors(), 0);
}

INSTANTIATE_TEST_SUITE_P(Fragments, SimulatedFaults, ::testing::Values(8, 16, 24));

TEST(SimulatedFaultsUnderrun, CountTheSectorsTheDriveNeverDelivered) {
    test::ScratchDir dir;
    const std::string cue = test::MakeDiscImage(dir.path().string(), "short", std::vector<int>{400, 300});
    auto grabber = ShakyGrabber(cue, 64);  // reads come back short
    EXPECT_EQ(test::ReadWholeTrack(*grabber, 0, 0), test::TestPcm(400, 1));
    EXPECT_EQ(grabber->UnreadableSectors(), 0);
    // At the disc's end no later read can fill the gap: paranoia gives up those sectors.
    const std::vector<int16_t> last = test::ReadWholeTrack(*grabber, 0, 1);
    EXPECT_EQ(last.size(), 300u * 588 * 2);
    EXPECT_GT(grabber->UnreadableSectors(), 0);
}

TEST(SimulatedFaultsControl, CorruptTheAudioWithoutVerification) {
    test::ScratchDir dir;
    const std::string cue = test::MakeDiscImage(dir.path().string(), "shaky", std::vector<int>{400});
    auto grabber = ShakyGrabber(cue, 2 | 4);  // large jitter on every read
    grabber->SelectSession(0);
    grabber->SelectTrack(0);
    grabber->ReadSwitchA(1);
    grabber->ReadSwitchC(1);
    grabber->OpenTrack();
    std::vector<int16_t> pcm;
    std::vector<uint8_t> block;
    while (grabber->ReadBlocks(50, block) > 0) {
        const auto* s = reinterpret_cast<const int16_t*>(block.data());
        pcm.insert(pcm.end(), s, s + block.size() / 2);
    }
    grabber->CloseTrack();
    EXPECT_NE(pcm, test::TestPcm(400, 1));
}

}  // namespace
}  // namespace quelt
