// Two quelt-cli conversions at once into one folder: each output gets a name of its own and
// nothing is lost, whichever of them finishes first.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/fixtures.h"
#include "support/probe.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

TEST(ConcurrentConvert, CollidingNamesEachGetTheirOwnFile) {
    ScratchDir home;
    fs::create_directories(home.File("a"));
    fs::create_directories(home.File("b"));
    ToneOptions low, high;
    low.frequency = 300;
    high.frequency = 900;
    ASSERT_TRUE(MakeTone(home.File("a/song.wav"), low));
    ASSERT_TRUE(MakeTone(home.File("b/song.wav"), high));
    const std::string out = home.File("out") + "/";
    const std::string common = "convert --format .flac --preset 0 --if-exists new --delete-source "
                               "--output-dir " + ShellQuote(out) + " ";

    // The first run has chosen its name and is held there while the second runs through.
    CliProcess first(home, common + ShellQuote(home.File("a/song.wav")));
    ASSERT_TRUE(first.WaitForLine("Create output file: "));
    first.Signal(SIGSTOP);
    CliResult second = RunCli(home, common + ShellQuote(home.File("b/song.wav")));
    first.Signal(SIGCONT);
    CliResult firstResult = first.Finish();

    EXPECT_EQ(firstResult.status, 0) << firstResult.err;
    EXPECT_EQ(second.status, 0) << second.err;
    ASSERT_TRUE(fs::exists(out + "song.flac"));
    ASSERT_TRUE(fs::exists(out + "songn.flac"));
    EXPECT_EQ(DecodePcm(out + "song.flac").size(), DecodePcm(out + "songn.flac").size());
    EXPECT_NE(DecodePcm(out + "song.flac"), DecodePcm(out + "songn.flac"));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace quelt::test
