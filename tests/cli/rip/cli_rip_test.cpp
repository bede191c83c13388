// quelt-cli drives, disc and rip, run as a user would, against generated images, the demo
// disc and the loopback CDDB server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "support/cddb_server.h"
#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

using Result = test::CliResult;

class CliRip : public ::testing::Test {
protected:
    Result Cli(const std::string& arguments) { return test::RunCli(dir_, arguments); }
    static bool Has(const std::string& text, const std::string& line) {
        return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
    }

    test::ScratchDir dir_;
    std::string out_ = dir_.File("out") + "/";
};

// The demo disc's tracks as the cue sheet cuts its BIN.
std::vector<std::vector<int16_t>> DemoTracks(const std::string& cue) {
    std::ifstream in(cue);
    std::string line;
    std::vector<long> starts;
    std::regex index(R"(INDEX 01 (\d+):(\d+):(\d+))");
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_search(line, m, index))
            starts.push_back((std::stol(m[1]) * 60 + std::stol(m[2])) * 75 + std::stol(m[3]));
    }
    std::vector<int16_t> all = test::ReadRawPcm(cue.substr(0, cue.size() - 4) + ".bin");
    starts.push_back(static_cast<long>(all.size() / (588 * 2)));
    std::vector<std::vector<int16_t>> tracks;
    for (size_t i = 0; i + 1 < starts.size(); ++i)
        tracks.emplace_back(all.begin() + starts[i] * 588 * 2, all.begin() + starts[i + 1] * 588 * 2);
    return tracks;
}

TEST_F(CliRip, RipsTheDemoDiscExactlyUnderTheDefaultTemplate) {
    const std::string demo = std::string(QUELT_BUILD_DATA_DIR) + "/demo/demo.cue";
    ASSERT_TRUE(fs::exists(demo));
    Result r = Cli("rip --drive demo --format .flac --preset 0 --output-dir " + test::ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "Done, 04 track(s) were successfully.")) << r.out;
    const auto tracks = DemoTracks(demo);
    ASSERT_EQ(tracks.size(), 4u);
    for (int t = 0; t < 4; ++t) {
        const std::string path = out_ + "track " + std::to_string(t + 1) + ".flac";
        EXPECT_TRUE(Has(r.out, "Create output file: " + path)) << r.out;
        EXPECT_EQ(test::DecodePcm(path), tracks[t]) << path;
    }
}

TEST_F(CliRip, ListsDrivesWithAnImageGiven) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "listed", std::vector<int>{100});
    Result r = Cli("drives --drive " + test::ShellQuote(cue));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "[" + cue + "]   Disc image   listed.cue   CUE/BIN")) << r.out;
}

TEST_F(CliRip, ShowsTheTrackListAndStatusTexts) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "shown", std::vector<int>{150, 4537});
    Result r = Cli("disc --no-freedb --drive " + test::ShellQuote(cue));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Refresh CD")) << r.out;
    EXPECT_TRUE(Has(r.out, "Track Count: 02 ,          Total Duration: 00:01:02.493")) << r.out;
    EXPECT_TRUE(Has(r.out, "01\tArtist\tSession1 Track1\t00:02.000")) << r.out;
    EXPECT_TRUE(Has(r.out, "02\tArtist\tSession1 Track2\t01:00.493")) << r.out;
    Result upper = Cli("disc --no-freedb --case 1 --drive " + test::ShellQuote(cue));
    EXPECT_TRUE(Has(upper.out, "01\tARTIST\tSESSION1 TRACK1\t00:02.000")) << upper.out;
}

TEST_F(CliRip, NamesAndTagsFilesFromTheServersEntry) {
    test::CddbServer server;
    ASSERT_TRUE(server.running());
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "known", std::vector<int>{150, 225, 190});
    Result r = Cli("rip --drive " + test::ShellQuote(cue) + " --freedb --server " + server.host() +
                   " --format .wav --preset 0 --name-template 1 --metadata --m3u --output-dir " +
                   test::ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "FreeDB information available")) << r.out;
    for (const char* name : {"The Test Pilots - First Light.wav", "The Test Pilots - Second Wind.wav",
                             "The Test Pilots - Third Rail.wav"})
        EXPECT_TRUE(fs::exists(out_ + name)) << name;
    const std::string tags = test::Capture("ffprobe -v error -show_entries format_tags=album,title,date -of "
                                           "default=noprint_wrappers=1 " +
                                           test::ShellQuote(out_ + "The Test Pilots - Second Wind.wav"));
    EXPECT_NE(tags.find("Loopback Sessions"), std::string::npos) << tags;
    EXPECT_NE(tags.find("Second Wind"), std::string::npos) << tags;
    bool playlist = false;
    for (const auto& e : fs::directory_iterator(out_))
        playlist = playlist || e.path().string().find(" playlist.m3u") != std::string::npos;
    EXPECT_TRUE(playlist);
}

TEST_F(CliRip, TakesTheServersPortApartAndNamesFilesByACustomPatternWithoutTags) {
    test::CddbServer server;
    ASSERT_TRUE(server.running());
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "known", std::vector<int>{150, 225, 190});
    Result r = Cli("rip --drive " + test::ShellQuote(cue) + " --freedb --server 127.0.0.1 --port " +
                   std::to_string(server.port()) + " --timeout 60000 --format .wav --preset 0 --custom-pattern '0|1|'" +
                   " --no-metadata --output-dir " + test::ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "FreeDB information available")) << r.out;
    for (const char* name : {"1First Light.wav", "2Second Wind.wav", "3Third Rail.wav"})
        EXPECT_TRUE(fs::exists(out_ + name)) << name;
    const std::string tags = test::Capture("ffprobe -v error -show_entries format_tags -of default=noprint_wrappers=1 " +
                                           test::ShellQuote(out_ + "2Second Wind.wav"));
    EXPECT_EQ(tags.find("Second Wind"), std::string::npos) << tags;
}

TEST_F(CliRip, PutsTheSeparatorBetweenTheCustomPatternsFields) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "sep", std::vector<int>{80, 70});
    Result r = Cli("rip --drive " + test::ShellQuote(cue) + " --format .wav --preset 0 --custom-pattern '1|0|'" +
                   " --separator - --no-freedb --output-dir " + test::ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(fs::exists(out_ + "Session1 Track1-01.wav")) << r.out;
    EXPECT_TRUE(fs::exists(out_ + "Session1 Track2-02.wav")) << r.out;
    EXPECT_EQ(Cli("rip --drive " + test::ShellQuote(cue) + " --separator '+'").status, 2);
}

TEST_F(CliRip, RipsOnlyTheTracksAsked) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "some", std::vector<int>{80, 90, 70});
    Result r = Cli("rip --drive " + test::ShellQuote(cue) + " --tracks 2-3 --format .wav --preset 0 --output-dir " +
                   test::ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_FALSE(fs::exists(out_ + "track 1.wav"));
    EXPECT_EQ(test::DecodePcm(out_ + "track 2.wav"), test::TestPcm(90, 2));
    EXPECT_EQ(test::DecodePcm(out_ + "track 3.wav"), test::TestPcm(70, 3));
}

TEST_F(CliRip, RefusesBadDrivesAndTrackLists) {
    Result missing = Cli("rip --drive " + test::ShellQuote(dir_.File("none.cue")));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

    test::DiscLayout layout;
    layout.tracks = {{test::TestPcm(80, 1), "", ""}, {test::TestPcm(80, 2), "", ""}};
    layout.extraFileLine = true;
    const std::string split = test::MakeDiscImage(dir_.path().string(), "split", layout);
    Result refused = Cli("disc --drive " + test::ShellQuote(split));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("several FILE lines"), std::string::npos) << refused.err;

    const std::string cue = test::MakeDiscImage(dir_.path().string(), "two", std::vector<int>{80, 80});
    Result tracks = Cli("rip --drive " + test::ShellQuote(cue) + " --tracks 3 --output-dir " + test::ShellQuote(out_));
    EXPECT_EQ(tracks.status, 2);
    EXPECT_NE(tracks.err.find("--tracks"), std::string::npos) << tracks.err;
}

TEST_F(CliRip, FailsWhenTheOutputCannotBeWritten) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "blocked", std::vector<int>{80});
    std::ofstream(dir_.File("blocker")) << "x";
    Result r = Cli("rip --drive " + test::ShellQuote(cue) + " --format .wav --preset 0 --output-dir " +
                   test::ShellQuote(dir_.File("blocker") + "/out"));
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("Could not open the output file"), std::string::npos) << r.out;
}

TEST_F(CliRip, StopsCleanlyOnCtrlC) {
    const std::string cue = test::MakeDiscImage(dir_.path().string(), "long", std::vector<int>(5, 60 * 75));
    Result r = test::RunCliInterrupted(dir_,
                                       "rip --drive " + test::ShellQuote(cue) +
                                           " --format .flac --preset 0 --output-dir " + test::ShellQuote(out_),
                                       "CD Track opening ...");
    EXPECT_EQ(r.status, 130) << r.out;
    EXPECT_NE(r.out.find("Cancelled by user, "), std::string::npos) << r.out;
    // An output folder the cancelled rip made and left empty is removed again.
    if (!fs::exists(out_)) return;
    int files = 0;
    for (const auto& e : fs::directory_iterator(out_)) {
        ++files;
        EXPECT_EQ(e.path().extension(), ".flac") << "a temporary file was left: " << e.path();
    }
    EXPECT_LT(files, 5);
}

}  // namespace
}  // namespace quelt
