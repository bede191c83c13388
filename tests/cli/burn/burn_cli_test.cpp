// quelt-cli writers and burn, run as a user runs them, with settings and the temporary
// folder in a scratch folder.
#include <algorithm>
#include <cdio/cdio.h>
#include <cdio/iso9660.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

using Result = test::CliResult;

class BurnCliTest : public ::testing::Test {
  protected:
    Result Cli(const std::string& arguments) { return test::RunCli(dir, arguments); }
    std::string Tone(const std::string& name, double seconds, const std::string& extra = "") {
        test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        toneOptions.extraArgs = extra;
        EXPECT_TRUE(test::MakeTone(dir.File(name), toneOptions));
        return name;
    }
    std::string Temp() const { return dir.File("cache") + "/quelt/Temp/"; }

    test::ScratchDir dir;
};

TEST_F(BurnCliTest, WritersListsTheImageWriterLast) {
    Result r = Cli("writers");
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), std::to_string(r.lines.size()) + "\tImage file writer (CUE/BIN)");
}

TEST_F(BurnCliTest, AnAudioCdImageOfTwoFilesReadsAsTwoTracksOfTheirLengths) {
    Tone("a.mp3", 2.0, "-c:a libmp3lame");
    Tone("b.flac", 3.0);
    Result r = Cli("burn --writer image --image out.cue a.mp3 b.flac");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string padded = " is shorter than 4 seconds, the shortest track of an Audio CD: "
                               "padded with silence to 4 seconds.";
    ASSERT_EQ(r.lines.size(), 13u) << r.out;
    const std::vector<std::string> expected = {"Initializing create Audio CD...",
                                               "Encoding file: " + Temp() + "01.wav",
                                               "a.mp3" + padded,
                                               "Encoding file: " + Temp() + "02.wav",
                                               "b.flac" + padded,
                                               "Done, 02 track(s) were successfully.",
                                               "Start burning: 02 tracks",
                                               "Prepare Collection",
                                               "Start Burning...",
                                               "Burn Done!"};
    EXPECT_EQ(std::vector<std::string>(r.lines.begin(), r.lines.begin() + 10), expected);
    // The log names the files the image writer wrote.
    const char* ends[] = {"out.cue", "out.bin", "out.cdt"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.lines[size_t(10 + i)].rfind("Image file written: ", 0), 0u) << r.lines[size_t(10 + i)];
        EXPECT_TRUE(r.lines[size_t(10 + i)].ends_with(ends[i])) << r.lines[size_t(10 + i)];
    }
    EXPECT_FALSE(fs::exists(Temp() + "01.wav")) << "the temporary audio is removed";
    CdIo_t* cd = cdio_open(dir.File("out.cue").c_str(), DRIVER_BINCUE);
    ASSERT_NE(cd, nullptr);
    ASSERT_EQ(cdio_get_num_tracks(cd), 2);
    // Both are shorter than an Audio CD's shortest track and padded to 4 seconds.
    EXPECT_NEAR(cdio_get_track_sec_count(cd, 1) / 75.0, 4.0, 0.02);
    EXPECT_NEAR(cdio_get_track_sec_count(cd, 2) / 75.0, 4.0, 0.02);
    cdio_destroy(cd);
}

TEST_F(BurnCliTest, TheSettingsFinalizeAndTheOptionsOverrideThemForOneRun) {
    fs::create_directories(dir.File("config/quelt"));
    std::ofstream(dir.File("config/quelt/zqrprocfg.cfg")) << "[CDBurn]\nFinalize=1\n";
    Tone("a.wav", 1.0);
    Result r = Cli("burn --image fin.cue a.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 12u) << r.out;
    EXPECT_EQ(r.lines[7], "Finalize CD...");
    r = Cli("burn --image trial.cue --no-finalize --test-mode a.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    // A test run writes no image, so it names none.
    ASSERT_EQ(r.lines.size(), 8u) << r.out;
    EXPECT_EQ(r.lines.back(), "Burn Done!");
}

TEST_F(BurnCliTest, ADataCdOnAStdioFileHoldsTheTemporaryWavUnderItsLabel) {
    Tone("a.mp3", 1.0, "-c:a libmp3lame");
    Result r = Cli("burn --data --writer stdio:out.iso --label 'My Disc' a.mp3");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Burn Done!");
    iso9660_t* iso = iso9660_open_ext(dir.File("out.iso").c_str(), ISO_EXTENSION_ALL);
    ASSERT_NE(iso, nullptr);
    char* volume = nullptr;
    ASSERT_TRUE(iso9660_ifs_get_volume_id(iso, &volume));
    EXPECT_STREQ(volume, "My Disc");
    free(volume);
    iso9660_stat_t* stat = iso9660_ifs_stat_translate(iso, "/01.wav");
    ASSERT_NE(stat, nullptr);
    EXPECT_GT(stat->size, 44100u * 4) << "one second of CD audio and its header";
    EXPECT_FALSE(fs::exists(Temp() + "01.wav")) << "the temporary audio is removed";
    iso9660_stat_free(stat);
    iso9660_close(iso);
}

TEST_F(BurnCliTest, ExitStatusesSayWhatWentWrong) {
    Result r = Cli("burn --image x.cue");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Please add audio files..."), std::string::npos);
    Tone("a.wav", 0.5);
    r = Cli("burn --writer image a.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--image"), std::string::npos);
    r = Cli("burn --writer 99 --image x.cue a.wav");
    EXPECT_EQ(r.status, 2);
    std::ofstream(dir.File("broken.mp3")) << "no audio in here";
    r = Cli("burn --image y.cue a.wav broken.mp3");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("broken.mp3"), std::string::npos);
    EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), "Burn Done!"), r.lines.end()) << r.out;
    r = Cli("burn --image " + dir.File("no/such/dir/z.cue") + " a.wav");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Burn Done With Errors");
}

TEST_F(BurnCliTest, CtrlCWhileDecodingStopsWithoutAnImageOrAPartTemporaryFile) {
    std::string files;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}) files += " " + Tone(name, 60.0);
    Result r = test::RunCliInterrupted(dir, "burn --image out.cue" + files, "Encoding file: ");
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Cancelled by user") << r.out;
    EXPECT_FALSE(fs::exists(dir.File("out.cue")));
    EXPECT_FALSE(fs::exists(dir.File("out.bin")));
    // No temporary audio stays, whole or partial; only the folder's lock file remains.
    if (fs::exists(Temp())) {
        for (const auto& e : fs::directory_iterator(Temp()))
            EXPECT_EQ(e.path().filename(), ".lock") << "left behind: " << e.path();
    }
}

}  // namespace
}  // namespace quelt
