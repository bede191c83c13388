// quelt-cli burn, run as a user runs it, with settings and the temporary folder in a
// scratch folder: images and data CDs read back with libcdio.
#include <cdio/cdio.h>
#include <cdio/iso9660.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

class BurnCliTest : public CliTest {
  protected:
    std::string Temp() const { return home_.File("cache") + "/quelt/Temp/"; }
};

// Finalize comes from the settings; --no-finalize and --test-mode override them for one run.
TEST_F(BurnCliTest, AnAudioCdImageOfTwoFilesReadsAsTwoTracksOfTheirLengths) {
    WriteSettings("[CDBurn]\nFinalize=1\n");
    Tone("a.mp3", 2.0, "-c:a libmp3lame");
    Tone("b.flac", 3.0);
    CliResult r = Cli("burn --writer image --image out.cue a.mp3 b.flac");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string padded = " is shorter than 4 seconds, the shortest track of an Audio CD: "
                               "padded with silence to 4 seconds.";
    ASSERT_EQ(r.lines.size(), 14u) << r.out;
    const std::vector<std::string> expected = {"Initializing create Audio CD...",
                                               "Encoding file: " + Temp() + "01.wav",
                                               "a.mp3" + padded,
                                               "Encoding file: " + Temp() + "02.wav",
                                               "b.flac" + padded,
                                               "Done, 02 track(s) were successfully.",
                                               "Start burning: 02 tracks",
                                               "Prepare Collection",
                                               "Start Burning...",
                                               "Finalize CD...",
                                               "Burn Done!"};
    EXPECT_EQ(std::vector<std::string>(r.lines.begin(), r.lines.begin() + 11), expected);
    // The log names the files the image writer wrote.
    const char* ends[] = {"out.cue", "out.bin", "out.cdt"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.lines[size_t(11 + i)].rfind("Image file written: ", 0), 0u)
            << r.lines[size_t(11 + i)];
        EXPECT_TRUE(r.lines[size_t(11 + i)].ends_with(ends[i])) << r.lines[size_t(11 + i)];
    }
    EXPECT_FALSE(fs::exists(Temp() + "01.wav")) << "the temporary audio is removed";
    CdIo_t* cd = cdio_open(home_.File("out.cue").c_str(), DRIVER_BINCUE);
    ASSERT_NE(cd, nullptr);
    ASSERT_EQ(cdio_get_num_tracks(cd), 2);
    // Both are shorter than an Audio CD's shortest track and padded to 4 seconds.
    EXPECT_NEAR(cdio_get_track_sec_count(cd, 1) / 75.0, 4.0, 0.02);
    EXPECT_NEAR(cdio_get_track_sec_count(cd, 2) / 75.0, 4.0, 0.02);
    cdio_destroy(cd);

    r = Cli("burn --image trial.cue --no-finalize --test-mode b.flac");
    ASSERT_EQ(r.status, 0) << r.err;
    // A test run writes no image, so it names none.
    ASSERT_EQ(r.lines.size(), 8u) << r.out;
    EXPECT_EQ(r.lines.back(), "Burn Done!");
    EXPECT_FALSE(fs::exists(home_.File("trial.bin")));
}

// What a data CD holds is the core's test; here the options that ask for one.
TEST_F(BurnCliTest, ADataCdOnAStdioFileHasItsLabel) {
    Tone("a.mp3", 1.0, "-c:a libmp3lame");
    CliResult r = Cli("burn --data --writer stdio:out.iso --label 'My Disc' a.mp3");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines.back(), "Burn Done!");
    iso9660_t* iso = iso9660_open_ext(home_.File("out.iso").c_str(), ISO_EXTENSION_ALL);
    ASSERT_NE(iso, nullptr);
    char* volume = nullptr;
    EXPECT_TRUE(iso9660_ifs_get_volume_id(iso, &volume));
    EXPECT_STREQ(volume, "My Disc");
    free(volume);
    iso9660_close(iso);
}

TEST_F(BurnCliTest, ExitStatusesSayWhatWentWrong) {
    CliResult r = Cli("burn --image x.cue");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Please add audio files..."), std::string::npos);
    Tone("a.wav", 1.0);
    r = Cli("burn --writer image a.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--image"), std::string::npos);
    EXPECT_EQ(Cli("burn --writer 99 --image x.cue a.wav").status, 2);
    ASSERT_TRUE(WriteFile(home_.File("broken.mp3"), "no audio in here"));
    r = Cli("burn --image y.cue a.wav broken.mp3");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("broken.mp3"), std::string::npos);
    EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), "Burn Done!"), r.lines.end()) << r.out;
    r = Cli("burn --image " + home_.File("no/such/dir/z.cue") + " a.wav");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Burn Done With Errors");

    // An existing image is replaced only when asked for.
    ASSERT_TRUE(WriteFile(home_.File("old.bin"), "the user's own image"));
    r = Cli("burn --image old.cue a.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(home_.File("old.bin") + " exists; --overwrite replaces the image"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(home_.File("old.bin")), "the user's own image");
    EXPECT_FALSE(fs::exists(home_.File("old.cue")));
    r = Cli("burn --overwrite --image old.cue a.wav");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_GE(fs::file_size(home_.File("old.bin")), 44100u * 4);
    EXPECT_TRUE(fs::exists(home_.File("old.cue")));
}

TEST_F(BurnCliTest, CtrlCWhileDecodingStopsWithoutAnImageOrAPartTemporaryFile) {
    std::string files;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"})
        files += " " + ShellQuote(Tone(name, 60.0));
    CliResult r = RunCliInterrupted(home_, "burn --image out.cue" + files, "Encoding file: ");
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Cancelled by user") << r.out;
    EXPECT_FALSE(fs::exists(home_.File("out.cue")));
    EXPECT_FALSE(fs::exists(home_.File("out.bin")));
    // No temporary audio stays, whole or partial; only the folder's lock file remains.
    if (fs::exists(Temp())) {
        for (const auto& e : fs::directory_iterator(Temp()))
            EXPECT_EQ(e.path().filename(), ".lock") << "left behind: " << e.path();
    }
}

}  // namespace
}  // namespace quelt::test
