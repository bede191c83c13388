// A FLAC file damaged in the middle: the conversion fails that file, says why, leaves no
// output and keeps the source, even with --delete-source.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/fixtures.h"
#include "support/media.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

TEST(DamagedMedia, AFlacDamagedMidFileFailsAndKeepsItsSource) {
    ScratchDir home;
    ToneOptions tone;
    tone.seconds = 10.0;
    ASSERT_TRUE(MakeTone(home.File("clean.flac"), tone));
    ASSERT_TRUE(CopyWithDamage(home.File("clean.flac"), home.File("song.flac"), 20000));
    const std::string out = home.File("out") + "/";
    CliResult r = RunCli(home, "convert --format .mp3 --preset 0 --delete-source --output-dir " +
                                   ShellQuote(out) + " " + ShellQuote(home.File("song.flac")));
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    bool explained = false;
    for (const auto& line : r.lines)
        explained = explained ||
                    line.rfind(home.File("song.flac") + ": damaged audio, only ", 0) == 0;
    EXPECT_TRUE(explained) << r.out;
    EXPECT_TRUE(fs::exists(home.File("song.flac")));
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace quelt::test
