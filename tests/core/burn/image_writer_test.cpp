// The image file writer through the real BurnerLibrary: BIN/CUE images read back with
// libcdio's own CUE reader, ISO images with libiso9660.
#include "core/burn/image_writer.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <gtest/gtest.h>

#include <cstring>
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

    std::string Tone(const std::string& name, double seconds, double frequency,
                     std::vector<std::pair<std::string, std::string>> tags = {}) {
        test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        toneOptions.frequency = frequency;
        toneOptions.tags = std::move(tags);
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::MakeTone(path, toneOptions));
        return path;
    }

    // Burns `files` as a project of `type` and returns burn-done's text.
    std::string BurnFiles(int32_t type, const std::vector<std::string>& files,
                          bool testMode = false, bool finalize = true) {
        EXPECT_EQ(burner.CreateProject(type), 0);
        BurnOptions options;
        options.volumeLabel = "Quelt Test";
        options.testMode = testMode;
        options.finalize = finalize;
        EXPECT_EQ(burner.SetOptions(options), 0);
        for (const auto& file : files) EXPECT_EQ(burner.AddFile({file}), 0);
        EXPECT_EQ(burner.Prepare(), 0);
        EXPECT_EQ(burner.Burn(), 0);
        EXPECT_TRUE(events.WaitDone());
        burner.WaitForBurn();
        return events.doneTexts.empty() ? "no burn-done" : events.doneTexts.back();
    }

    ScratchDir dir;
    LibburnBurner burner;
    test::BurnEvents events{burner};
};

TEST_F(ImageWriterTest, AudioCdBecomesOneBinAndACueThatLibcdioReadsTrackByTrack) {
    // 1.5 s is not a whole number of sectors: the first track gets padded.
    const std::vector<std::string> wavs = {
        Tone("01.wav", 1.5, 440, {{"title", "First"}, {"artist", "Björk"}, {"album", "Tones"}}),
        Tone("02.wav", 2.0, 660, {{"title", "Second"}, {"artist", "Björk"}, {"album", "Tones"}})};
    const std::string cue = dir.File("out.cue");
    ASSERT_EQ(burner.SetImagePath(cue), 0);
    ASSERT_EQ(BurnFiles(kAudioCdProject, wavs), "");

    CdIo_t* cd = cdio_open(cue.c_str(), DRIVER_BINCUE);
    ASSERT_NE(cd, nullptr);
    ASSERT_EQ(cdio_get_num_tracks(cd), 2);
    const std::string bin = test::ReadFile(dir.File("out.bin"));
    lsn_t expectedStart = 0;
    for (int track = 1; track <= 2; ++track) {
        const std::string pcm = test::DecodePcmBytes(wavs[track - 1]);
        const lsn_t sectors = lsn_t((pcm.size() + 2351) / 2352);
        EXPECT_EQ(cdio_get_track_format(cd, track), TRACK_FORMAT_AUDIO);
        EXPECT_EQ(cdio_get_track_lsn(cd, track), expectedStart) << "track " << track;
        EXPECT_EQ(cdio_get_track_sec_count(cd, track), unsigned(sectors)) << "track " << track;
        std::string read(size_t(sectors) * 2352, '\0');
        ASSERT_EQ(cdio_read_audio_sectors(cd, read.data(), expectedStart, sectors),
                  DRIVER_OP_SUCCESS);
        std::string padded = pcm + std::string(size_t(sectors) * 2352 - pcm.size(), '\0');
        EXPECT_TRUE(read == padded) << "PCM of track " << track;
        EXPECT_TRUE(bin.compare(size_t(expectedStart) * 2352, padded.size(), padded) == 0);
        expectedStart += sectors;
    }
    EXPECT_EQ(bin.size(), size_t(expectedStart) * 2352);

    cdtext_t* text = cdio_get_cdtext(cd);
    ASSERT_NE(text, nullptr) << "the cue's CD-Text file was not read";
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0), "Tones");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, 0), "Björk");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 1), "First");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 2), "Second");
    cdio_destroy(cd);
}

TEST_F(ImageWriterTest, CueIndexTimesCountSectorsInSeventyFifths) {
    EXPECT_EQ(CueTime(0), "00:00:00");
    EXPECT_EQ(CueTime(74), "00:00:74");
    EXPECT_EQ(CueTime(75 * 61 + 3), "01:01:03");
    EXPECT_EQ(AudioSectors(2352), 1);
    EXPECT_EQ(AudioSectors(2353), 2);
    const auto paths = CueImagePathsFor("/x/disc.img");
    EXPECT_EQ(paths.cue, "/x/disc.img.cue");
    EXPECT_EQ(paths.bin, "/x/disc.img.bin");
    EXPECT_EQ(CueImagePathsFor("/x/a.CUE").bin, "/x/a.bin");
}

TEST_F(ImageWriterTest, UntaggedTracksGetNoCdTextFile) {
    const std::string wav = Tone("01.wav", 0.5, 500);
    const std::string cue = dir.File("plain.cue");
    ASSERT_EQ(burner.SetImagePath(cue), 0);
    ASSERT_EQ(BurnFiles(kAudioCdProject, {wav}), "");
    EXPECT_FALSE(fs::exists(dir.File("plain.cdt")));
    EXPECT_EQ(test::ReadFile(cue).find("CDTEXTFILE"), std::string::npos);
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

TEST_F(ImageWriterTest, WithoutFinalizeNoFinalizeEventComes) {
    const std::string wav = Tone("01.wav", 0.5, 500);
    ASSERT_EQ(burner.SetImagePath(dir.File("nf.cue")), 0);
    ASSERT_EQ(BurnFiles(kAudioCdProject, {wav}, false, false), "");
    EXPECT_EQ(events.order, (std::vector<std::string>{"done"}));
}

TEST_F(ImageWriterTest, TestModeWritesNoFileButReportsTheBurn) {
    const std::string wav = Tone("01.wav", 0.5, 500);
    ASSERT_EQ(burner.SetImagePath(dir.File("sim.cue")), 0);
    ASSERT_EQ(BurnFiles(kAudioCdProject, {wav}, true), "");
    EXPECT_FALSE(fs::exists(dir.File("sim.cue")));
    EXPECT_FALSE(fs::exists(dir.File("sim.bin")));
    EXPECT_FALSE(events.percents.empty());
}

TEST_F(ImageWriterTest, ItsMediumIsAnEmpty700MegabyteCdR) {
    MediumInformation info;
    ASSERT_EQ(burner.GetMediumInformation(info), 0);
    EXPECT_EQ(info.typeText, "CD-R");
    EXPECT_EQ(info.discState, kDiscEmpty);
    EXPECT_DOUBLE_EQ(info.sizeBytes, 360000.0 * 2048);
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
