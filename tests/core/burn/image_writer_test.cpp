// The image file writer through the real BurnerLibrary: BIN/CUE images read back with
// libcdio's own CUE reader, ISO images with libiso9660.
#include "core/burn/image_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "burn_events.h"
#include "core/burn/libburn_burner.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

class ImageWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(burner.Initialize(), 0);
        ASSERT_EQ(burner.SetDevice(kImageWriterText), 0);
    }

    std::string Tone(const std::string& name, double seconds, double frequency) {
        test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        toneOptions.frequency = frequency;
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::MakeTone(path, toneOptions));
        return path;
    }
    std::string BurnFiles(int32_t type, const std::vector<std::string>& files,
                          bool testMode = false, bool finalize = true) {
        return test::BurnAndWait(burner, events, type, files, testMode, finalize);
    }

    ScratchDir dir;
    LibburnBurner burner;
    test::BurnEvents events{burner};
};

TEST_F(ImageWriterTest, CueIndexTimesCountSectorsInSeventyFifths) {
    EXPECT_EQ(CueTime(75 * 61 + 74), "01:01:74");
    EXPECT_EQ(AudioSectors(2353), 2);
    const auto paths = CueImagePathsFor("/x/disc.img");
    EXPECT_EQ(paths.cue, "/x/disc.img.cue");
    EXPECT_EQ(paths.bin, "/x/disc.img.bin");
    EXPECT_EQ(CueImagePathsFor("/x/a.CUE").bin, "/x/a.bin");
}

// Untagged tracks get no CD-Text file, and without finalizing no finalize event comes.
TEST_F(ImageWriterTest, UntaggedTracksUnfinalizedGetNoCdTextAndNoFinalizeEvent) {
    const std::string wav = Tone("01.wav", 0.5, 500);
    const std::string cue = dir.File("plain.cue");
    ASSERT_EQ(burner.SetImagePath(cue), 0);
    ASSERT_EQ(BurnFiles(kAudioCdProject, {wav}, false, false), "");
    EXPECT_FALSE(fs::exists(dir.File("plain.cdt")));
    EXPECT_EQ(test::ReadFile(cue).find("CDTEXTFILE"), std::string::npos);
    EXPECT_EQ(events.order, (std::vector<std::string>{"done"}));
}

TEST_F(ImageWriterTest, ProgressRisesToAHundredOnALibraryThreadAndFinalizeComesBeforeDone) {
    const std::string wav = Tone("01.wav", 3, 500);
    ASSERT_EQ(burner.SetImagePath(dir.File("p.cue")), 0);
    ASSERT_EQ(BurnFiles(kAudioCdProject, {wav}), "");
    ASSERT_FALSE(events.percents.empty());
    for (size_t i = 1; i < events.percents.size(); ++i)
        EXPECT_GT(events.percents[i], events.percents[i - 1]);
    EXPECT_FLOAT_EQ(events.percents.back(), 100.f);
    EXPECT_EQ(events.order, (std::vector<std::string>{"finalize", "done"}));
    for (auto id : events.threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(ImageWriterTest, NonCdAudioIsRefusedAndBurnDoneStillComesOnceWithTheReason) {
    test::ToneOptions mono;
    mono.channels = 1;
    const std::string wav = dir.File("mono.wav");
    ASSERT_TRUE(test::MakeTone(wav, mono));
    ASSERT_EQ(burner.SetImagePath(dir.File("bad.cue")), 0);
    ASSERT_EQ(burner.CreateProject(kAudioCdProject), 0);
    ASSERT_EQ(burner.AddFile({wav}), 0);
    const int32_t prepared = burner.Prepare();
    EXPECT_NE(prepared, 0);
    EXPECT_NE(burner.Burn(), 0);
    ASSERT_TRUE(events.WaitDone());
    burner.WaitForBurn();
    ASSERT_EQ(events.doneTexts.size(), 1u);
    EXPECT_NE(events.doneTexts[0].find("mono.wav"), std::string::npos);
    EXPECT_EQ(ReportBurnerResult(burner, prepared), "error: " + events.doneTexts[0]);
    EXPECT_FALSE(fs::exists(dir.File("bad.cue")));
}

TEST_F(ImageWriterTest, DataCdBecomesAnIsoFile) {
    const std::string a = Tone("01.wav", 0.5, 500), b = Tone("02.wav", 0.7, 600);
    const std::string iso = dir.File("data.iso");
    ASSERT_EQ(burner.SetImagePath(iso), 0);
    ASSERT_EQ(BurnFiles(kDataCdProject, {a, b}), "");
    EXPECT_TRUE(fs::exists(iso));
    EXPECT_EQ(fs::file_size(iso) % 2048, 0u);
    const std::string image = test::ReadFile(iso);
    EXPECT_EQ(image.compare(16 * 2048 + 1, 5, "CD001"), 0);
}

}  // namespace
}  // namespace quelt
