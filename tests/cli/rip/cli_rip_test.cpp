// quelt-cli rip, run as a user would, against generated images, the demo disc and the
// loopback CDDB server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "support/cddb_server.h"
#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

class CliRip : public CliTest {
  protected:
    std::string Image(const std::string& name, const std::vector<int>& trackSectors) {
        return MakeDiscImage(home_.path().string(), name, trackSectors);
    }
    std::string out_ = home_.File("out") + "/";
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
    std::vector<int16_t> all = ReadRawPcm(cue.substr(0, cue.size() - 4) + ".bin");
    starts.push_back(static_cast<long>(all.size() / (588 * 2)));
    std::vector<std::vector<int16_t>> tracks;
    for (size_t i = 0; i + 1 < starts.size(); ++i)
        tracks.emplace_back(all.begin() + starts[i] * 588 * 2, all.begin() + starts[i + 1] * 588 * 2);
    return tracks;
}

TEST_F(CliRip, RipsTheDemoDiscExactlyUnderTheDefaultTemplate) {
    const std::string demo = std::string(QUELT_BUILD_DATA_DIR) + "/demo/demo.cue";
    ASSERT_TRUE(fs::exists(demo));
    CliResult r =
        Cli("rip --drive demo --format .flac --preset 0 --output-dir " + ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(HasLine(r.out, "Done, 04 track(s) were successfully.")) << r.out;
    const auto tracks = DemoTracks(demo);
    ASSERT_EQ(tracks.size(), 4u);
    for (int t = 0; t < 4; ++t) {
        const std::string path = out_ + "track " + std::to_string(t + 1) + ".flac";
        EXPECT_TRUE(HasLine(r.out, "Create output file: " + path)) << r.out;
        EXPECT_EQ(DecodePcm(path), tracks[t]) << path;
    }
}

// One server, asked by "HOST:PORT" and by --server and --port apart: names and tags from its
// entry, a playlist; then a custom pattern with a separator and no tags.
TEST_F(CliRip, NamesAndTagsFilesFromTheServersEntry) {
    CddbServer server;
    ASSERT_TRUE(server.running());
    const std::string cue = Image("known", {150, 225, 190});
    CliResult r = Cli("rip --drive " + ShellQuote(cue) + " --freedb --server " + server.host() +
                      " --format .wav --preset 0 --name-template 1 --metadata --m3u --output-dir " +
                      ShellQuote(out_ + "tagged/"));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(HasLine(r.out, "FreeDB information available")) << r.out;
    for (const char* name : {"The Test Pilots - First Light.wav", "The Test Pilots - Second Wind.wav",
                             "The Test Pilots - Third Rail.wav"})
        EXPECT_TRUE(fs::exists(out_ + "tagged/" + name)) << name;
    const std::string tags = Capture(
        "ffprobe -v error -show_entries format_tags=album,title,date -of "
        "default=noprint_wrappers=1 " +
        ShellQuote(out_ + "tagged/The Test Pilots - Second Wind.wav"));
    EXPECT_NE(tags.find("Loopback Sessions"), std::string::npos) << tags;
    EXPECT_NE(tags.find("Second Wind"), std::string::npos) << tags;
    bool playlist = false;
    for (const auto& e : fs::directory_iterator(out_ + "tagged"))
        playlist = playlist || e.path().string().find(" playlist.m3u") != std::string::npos;
    EXPECT_TRUE(playlist);

    r = Cli("rip --drive " + ShellQuote(cue) + " --freedb --server 127.0.0.1 --port " +
            std::to_string(server.port()) +
            " --timeout 60000 --format .wav --preset 0 --custom-pattern '0|1|' --separator - "
            "--no-metadata"
            " --output-dir " +
            ShellQuote(out_ + "plain/"));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    for (const char* name : {"01-First Light.wav", "02-Second Wind.wav", "03-Third Rail.wav"})
        EXPECT_TRUE(fs::exists(out_ + "plain/" + name)) << name << "\n" << r.out;
    EXPECT_EQ(Capture("ffprobe -v error -show_entries format_tags -of default=noprint_wrappers=1 " +
                      ShellQuote(out_ + "plain/02-Second Wind.wav"))
                  .find("Second Wind"),
              std::string::npos);
}

TEST_F(CliRip, RipsOnlyTheTracksAskedAndRefusesWhatItCannot) {
    const std::string cue = Image("some", {80, 90, 70});
    CliResult r =
        Cli("rip --drive " + ShellQuote(cue) +
            " --tracks 2-3 --log --format .wav --preset 0 --output-dir " + ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_FALSE(fs::exists(out_ + "track 1.wav"));
    EXPECT_EQ(DecodePcm(out_ + "track 2.wav"), TestPcm(90, 2));
    EXPECT_EQ(DecodePcm(out_ + "track 3.wav"), TestPcm(70, 3));
    EXPECT_TRUE(HasLine(ReadFile(out_ + "Artist - Album.log"),
                        "All tracks ripped; AccurateRip verification was off"));

    CliResult tracks =
        Cli("rip --drive " + ShellQuote(cue) + " --tracks 4 --output-dir " + ShellQuote(out_));
    EXPECT_EQ(tracks.status, 2);
    EXPECT_NE(tracks.err.find("--tracks"), std::string::npos) << tracks.err;

    CliResult missing = Cli("rip --drive " + ShellQuote(home_.File("none.cue")));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

    DiscLayout layout;
    layout.tracks = {{TestPcm(80, 1), "", ""}, {TestPcm(80, 2), "", ""}};
    layout.extraFileLine = true;
    CliResult refused =
        Cli("disc --drive " + ShellQuote(MakeDiscImage(home_.path().string(), "split", layout)));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("several FILE lines"), std::string::npos) << refused.err;

    ASSERT_TRUE(WriteFile(home_.File("blocker"), "x"));
    CliResult blocked =
        Cli("rip --drive " + ShellQuote(cue) + " --format .wav --preset 0 --output-dir " +
            ShellQuote(home_.File("blocker") + "/out"));
    EXPECT_EQ(blocked.status, 1) << blocked.out << blocked.err;
    EXPECT_NE(blocked.out.find("Could not open the output file"), std::string::npos) << blocked.out;
}

TEST_F(CliRip, StopsCleanlyOnCtrlC) {
    const std::string cue = Image("long", std::vector<int>(5, 60 * 75));
    CliResult r =
        RunCliInterrupted(home_,
                          "rip --drive " + ShellQuote(cue) +
                              " --format .flac --preset 0 --output-dir " + ShellQuote(out_),
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
}  // namespace quelt::test
