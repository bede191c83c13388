// Signals and existing files: SIGTERM ends a conversion as Ctrl-C does, a cancel during the
// writing of an image removes what was written, and an existing image is never replaced
// without being asked for.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

// Sends `signal` to a program held still, so that it arrives before the program goes on.
void SignalWhileStopped(CliProcess& process, int signal) {
    process.Signal(SIGSTOP);
    process.Signal(signal);
    process.Signal(SIGCONT);
}

class SignalFaultTest : public ::testing::Test {
  protected:
    std::string Tone(const std::string& name, double seconds) {
        ToneOptions options;
        options.seconds = seconds;
        EXPECT_TRUE(MakeTone(home_.File(name), options));
        return home_.File(name);
    }
    ScratchDir home_;
};

TEST_F(SignalFaultTest, SigtermDuringAConversionCleansUpLikeCtrlC) {
    const std::string source = Tone("long.wav", 60.0);
    const std::string out = home_.File("out");
    CliProcess process(home_, "convert --format .mp3 --preset 0 --delete-source --output-dir " +
                                  ShellQuote(out + "/") + " " + ShellQuote(source));
    ASSERT_TRUE(process.WaitForLine("Create output file: "));
    SignalWhileStopped(process, SIGTERM);
    CliResult r = process.Finish();
    EXPECT_EQ(r.status, 143) << r.out << r.err;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Convert cancelled by user");
    EXPECT_FALSE(fs::exists(out)) << "the output folder holds what was left";
    EXPECT_TRUE(fs::exists(source));
}

TEST_F(SignalFaultTest, CtrlCWhileAnImageIsWrittenRemovesIt) {
    std::string files;
    for (const char* name : {"a.wav", "b.wav"}) files += " " + ShellQuote(Tone(name, 20.0));
    CliProcess process(home_, "burn --image out.cue" + files);
    ASSERT_TRUE(process.WaitForLine("Prepare Collection"));
    SignalWhileStopped(process, SIGINT);
    CliResult r = process.Finish();
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "Cancelled by user");
    for (const auto& entry : fs::directory_iterator(home_.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.find("out.") == std::string::npos) << "left behind: " << name;
    }
}

TEST_F(SignalFaultTest, AnExistingImageIsReplacedOnlyWithOverwrite) {
    const std::string tone = ShellQuote(Tone("a.wav", 1.0));
    ASSERT_TRUE(WriteFile(home_.File("old.bin"), "the user's own image"));
    CliResult refused = RunCli(home_, "burn --image old.cue " + tone);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(home_.File("old.bin") + " exists; --overwrite replaces the image"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(ReadFile(home_.File("old.bin")), "the user's own image");
    EXPECT_FALSE(fs::exists(home_.File("old.cue")));

    CliResult replaced = RunCli(home_, "burn --overwrite --image old.cue " + tone);
    EXPECT_EQ(replaced.status, 0) << replaced.out << replaced.err;
    EXPECT_GE(fs::file_size(home_.File("old.bin")), 44100u * 4);
    EXPECT_TRUE(fs::exists(home_.File("old.cue")));
}

}  // namespace
}  // namespace quelt::test
