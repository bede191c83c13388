// The compilation model, the medium lines and the burn start's checks.
#include "core/burn/compilation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/burn/burn_job.h"
#include "core/burn/burner_status.h"
#include "core/burn/libburn_burner.h"
#include "recording_burner.h"
#include "support/fixtures.h"
#include "support/recording_prompter.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

class CompilationTest : public ::testing::Test {
  protected:
    std::string Tone(const std::string& name, double seconds) {
        test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::MakeTone(path, toneOptions));
        return path;
    }
    // A list of three files of 1, 2 and 3 seconds named a, b, c.
    void AddThree() {
        for (auto [name, seconds] : {std::pair{"a.wav", 1.0}, {"b.wav", 2.0}, {"c.wav", 3.0}})
            ASSERT_TRUE(list.AddFile(Tone(name, seconds)));
        list.Refresh();
    }
    std::string Names() const {
        std::string names;
        for (const auto& e : list.entries()) names += fs::path(e.path).stem().string();
        return names;
    }

    ScratchDir dir;
    Compilation list;
};

TEST_F(CompilationTest, AddingProbesDurationsAndRemovingTheLastRowEmptiesTheList) {
    list.Refresh();
    const std::string empty = "Track Count: 00 ,          Total Duration: 00:00:00";
    EXPECT_EQ(list.SummaryText(), empty);
    EXPECT_EQ(list.current(), -1);
    AddThree();
    EXPECT_EQ(list.current(), 2);
    EXPECT_EQ(list.SummaryText(), "Track Count: 03 ,          Total Duration: 00:00:06");
    EXPECT_EQ(list.PositionLineText(), "No.: 03, second: 00:00:00.000");
    // A removed middle row's place goes to the row after it.
    list.SelectRow(1);
    EXPECT_TRUE(list.Remove());
    EXPECT_EQ(Names(), "ac");
    EXPECT_EQ(list.current(), 1);
    EXPECT_EQ(list.totalMs(), 4000);
    EXPECT_TRUE(list.Remove());
    list.SelectRow(0);
    EXPECT_TRUE(list.Remove());
    EXPECT_EQ(list.current(), -1);
    EXPECT_EQ(list.SummaryText(), empty);
}

TEST_F(CompilationTest, MovesCarryTheCurrentItemAndStopAtBothEnds) {
    AddThree();
    list.SelectRow(0);
    EXPECT_FALSE(list.MoveUp());
    EXPECT_FALSE(list.MoveToTop());
    EXPECT_TRUE(list.MoveDown());
    EXPECT_TRUE(list.MoveToBottom());
    EXPECT_EQ(Names(), "bca");
    EXPECT_EQ(list.current(), 2);
    EXPECT_FALSE(list.MoveDown());
    EXPECT_FALSE(list.MoveToBottom());
    EXPECT_TRUE(list.MoveToTop());
    list.SelectRow(2);
    EXPECT_TRUE(list.MoveUp());
    EXPECT_EQ(Names(), "acb");
    EXPECT_EQ(list.current(), 1);
    // Without a selected row nothing moves or goes.
    list.SelectRow(-1);
    EXPECT_EQ(list.PositionLineText(), "No.: 0, second: 00:00:00.000");
    EXPECT_FALSE(list.MoveUp());
    EXPECT_FALSE(list.Remove());
    EXPECT_EQ(Names(), "acb");
}

TEST_F(CompilationTest, APlayingPreviewHoldsTheEditsThatCheckIt) {
    AddThree();
    list.SelectRow(1);
    list.SetPreviewActive(true);
    EXPECT_FALSE(list.MoveDown());
    EXPECT_FALSE(list.Remove());
    list.Clear();
    EXPECT_EQ(list.size(), 3);
    list.SetPreviewActive(false);
    list.Clear();
    EXPECT_EQ(list.size(), 0);
}

TEST_F(CompilationTest, TheSameFileTwiceIsListedTwiceAndUnreadableFilesAreLeftOut) {
    const std::string a = Tone("a.wav", 1);
    std::ofstream(dir.File("broken.mp3")) << "not audio at all";
    EXPECT_TRUE(list.AddFile(a));
    EXPECT_TRUE(list.AddFile(a));
    EXPECT_FALSE(list.AddFile(dir.File("broken.mp3")));
    EXPECT_FALSE(list.AddFile(dir.File("missing.flac")));
    list.Refresh();
    EXPECT_EQ(list.size(), 2);
}

TEST_F(CompilationTest, AddFolderTakesMediaFilesOfThatFolderOnly) {
    fs::create_directories(dir.path() / "album" / "inner");
    test::ToneOptions toneOptions;
    toneOptions.seconds = 0.5;
    ASSERT_TRUE(test::MakeTone(dir.File("album/one.mp2"), toneOptions));
    ASSERT_TRUE(test::MakeTone(dir.File("album/inner/two.mp3"), toneOptions));
    EXPECT_EQ(list.AddFolder(dir.File("album")), 0);
    ASSERT_TRUE(test::MakeTone(dir.File("album/three.flac"), toneOptions));
    EXPECT_EQ(list.AddFolder(dir.File("album")), 1);
    EXPECT_EQ(list.AddFolder(dir.File("no-such-folder")), 0);
    EXPECT_EQ(list.size(), 1);
}

// The medium lines and the writable check, with the medium reported at the seam.
class MediumTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writers = StartBurner(recorder);
        ASSERT_GE(writers.writerCount, 1);
    }
    void Fake(const std::string& type, int32_t state, double size) {
        MediumInformation info;
        info.typeText = type;
        info.discState = state;
        info.sizeBytes = size;
        recorder.fakeMedium = info;
    }

    LibburnBurner burner;
    test::RecordingBurner recorder{burner};
    WriterList writers;
};

TEST(StartBurnerTest, WithoutWritersTheListReadsNoCdBurnerAndACountBeyondTheTableIsCut) {
    LibburnBurner burner;
    test::RecordingBurner recorder{burner};
    recorder.fakeDeviceCount = 0;
    WriterList none = StartBurner(recorder);
    EXPECT_EQ(none.writerCount, 0);
    EXPECT_EQ(none.entries, std::vector<std::string>{"No CD Burner ..."});
    EXPECT_FALSE(recorder.Called("SetDevice Image file writer (CUE/BIN)"));

    // A library that reports more writers than it listed gives only the listed ones.
    recorder.fakeDeviceCount = 40;
    WriterList listed = StartBurner(recorder);
    ASSERT_GE(listed.writerCount, 1);
    EXPECT_LE(listed.writerCount, DeviceTable::kCapacity);
    EXPECT_EQ(listed.entries.back(), "Image file writer (CUE/BIN)");
    EXPECT_EQ(int(listed.entries.size()), listed.writerCount);
}

// Each disc state has its lines, and only an empty disc is writable.
TEST_F(MediumTest, EachDiscStateHasItsLinesAndOnlyAnEmptyDiscIsWritable) {
    Fake("CD-RW", 2, 734003200.0);
    MediumLines lines = ShowMedium(recorder, writers.writerCount);
    EXPECT_EQ(lines.type, "CD-RW");
    EXPECT_EQ(lines.state, "Complete Disc");
    EXPECT_EQ(lines.size, "700.00MB");
    EXPECT_FALSE(IsWritableMedium(recorder, writers.writerCount));
    Fake("CD-R", 1, 1048576.0 * 1.5);
    lines = ShowMedium(recorder, writers.writerCount);
    EXPECT_EQ(lines.state, "Incomplete Disc");
    EXPECT_EQ(lines.size, "1.50MB");
    EXPECT_FALSE(IsWritableMedium(recorder, writers.writerCount));
    Fake("CD-R", 7, 1.0);
    lines = ShowMedium(recorder, writers.writerCount);
    EXPECT_EQ(lines.type, "CD-R");
    EXPECT_FALSE(lines.state.has_value());
    EXPECT_FALSE(lines.size.has_value());
    Fake(kNotDefinedText, 0, 0);
    lines = ShowMedium(recorder, writers.writerCount);
    EXPECT_EQ(lines.type, "No Medium");
    EXPECT_EQ(lines.state, " ");
    EXPECT_EQ(lines.size, "0");
    EXPECT_FALSE(IsWritableMedium(recorder, writers.writerCount));
    EXPECT_EQ(ShowMedium(recorder, 0).type, "No Medium");
    Fake("CD-R", 0, 1.0);
    EXPECT_TRUE(IsWritableMedium(recorder, writers.writerCount));
    EXPECT_FALSE(IsWritableMedium(recorder, 0));

    // The image writer's disc is always an empty CD-R.
    recorder.fakeMedium.reset();
    ASSERT_EQ(recorder.SetDevice("Image file writer (CUE/BIN)"), 0);
    lines = ShowMedium(recorder, writers.writerCount);
    EXPECT_EQ(lines.type, "CD-R");
    EXPECT_EQ(lines.state, "Empty Disc");
    EXPECT_EQ(lines.size, "703.12MB");
}

TEST_F(MediumTest, TheBurnStartRefusesInItsOrder) {
    test::RecordingPrompter prompter;
    BurnRequest request;
    request.sources = {"/somewhere/a.mp3"};
    request.writerCount = 0;
    EXPECT_FALSE(CheckBurnStart(request, recorder, prompter));
    request.writerCount = writers.writerCount;
    request.sources.clear();
    EXPECT_FALSE(CheckBurnStart(request, recorder, prompter));
    request.sources = {"/somewhere/a.mp3"};
    Fake("CD-R", 2, 1.0);
    EXPECT_FALSE(CheckBurnStart(request, recorder, prompter));
    Fake("CD-R", 0, 1.0);
    EXPECT_TRUE(CheckBurnStart(request, recorder, prompter));
    const std::string caption = std::string(kBurnCaption) + ": ";
    EXPECT_EQ(prompter.messages,
              (std::vector<std::string>{caption + "No support CD Burner!",
                                        caption + "Please add audio files...",
                                        caption + "Please insert a writable CD disc !"}));
}

}  // namespace
}  // namespace quelt
