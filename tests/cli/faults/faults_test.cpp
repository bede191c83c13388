// quelt-cli under faults a user meets: two runs claiming one output name, damaged media,
// SIGTERM and Ctrl-C in the middle of writing, Ctrl-C while a look-up server stays silent,
// and a settings file that cannot be read, is a FIFO or cannot be written (never replaced by
// defaults, never waited for, its mode kept).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/cddb_server.h"
#include "support/cli_runner.h"
#include "support/fixtures.h"
#include "support/media.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;
using CliFaults = CliTest;

// Sends `signal` to a program held still, so that it arrives before the program goes on.
void SignalWhileStopped(CliProcess& process, int signal) {
    process.Signal(SIGSTOP);
    process.Signal(signal);
    process.Signal(SIGCONT);
}

// Two conversions at once into one folder: each output gets a name of its own and nothing
// is lost, whichever of them finishes first.
TEST_F(CliFaults, CollidingNamesEachGetTheirOwnFile) {
    fs::create_directories(home_.File("a"));
    fs::create_directories(home_.File("b"));
    ToneOptions low, high;
    low.frequency = 300;
    high.frequency = 900;
    ASSERT_TRUE(MakeTone(home_.File("a/song.wav"), low));
    ASSERT_TRUE(MakeTone(home_.File("b/song.wav"), high));
    const std::string out = home_.File("out") + "/";
    const std::string common =
        "convert --format .flac --preset 0 --if-exists new --delete-source "
        "--output-dir " +
        ShellQuote(out) + " ";

    // The first run has chosen its name and is held there while the second runs through.
    CliProcess first(home_, common + ShellQuote(home_.File("a/song.wav")));
    ASSERT_TRUE(first.WaitForLine("Create output file: "));
    first.Signal(SIGSTOP);
    CliResult second = Cli(common + ShellQuote(home_.File("b/song.wav")));
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

// A FLAC file damaged in the middle fails, says why, leaves no output and keeps its source
// even with --delete-source.
TEST_F(CliFaults, AFlacDamagedMidFileFailsAndKeepsItsSource) {
    ASSERT_TRUE(CopyWithDamage(Tone("clean.flac", 10.0), home_.File("song.flac"), 20000));
    const std::string out = home_.File("out") + "/";
    CliResult r = Cli("convert --format .mp3 --preset 0 --delete-source --output-dir " +
                      ShellQuote(out) + " " + ShellQuote(home_.File("song.flac")));
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    bool explained = false;
    for (const auto& line : r.lines)
        explained =
            explained || line.rfind(home_.File("song.flac") + ": damaged audio, only ", 0) == 0;
    EXPECT_TRUE(explained) << r.out;
    EXPECT_TRUE(fs::exists(home_.File("song.flac")));
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliFaults, SigtermDuringAConversionCleansUpLikeCtrlC) {
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

// Ten minutes of audio make an image of about 100 MB, whose writing lasts long enough for
// the signal to come while it runs even on a fast disk (40 seconds of it were once written
// before the signal came).
TEST_F(CliFaults, CtrlCWhileAnImageIsWrittenRemovesIt) {
    CliProcess process(home_, "burn --image out.cue " + ShellQuote(Tone("a.wav", 300.0)) + " " +
                                  ShellQuote(Tone("b.wav", 300.0)));
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

// The look-up ends at once and the rip with it, without ripping anything.
TEST_F(CliFaults, CtrlCEndsAFreedbLookupOnASilentServer) {
    CddbServer server("silent");
    ASSERT_TRUE(server.running());
    const std::string out = home_.File("out") + "/";
    CliProcess process(home_, "rip --drive demo --freedb --server 127.0.0.1 --port " +
                                  std::to_string(server.port()) +
                                  " --timeout 600000 --format .wav --preset 0 --output-dir " +
                                  ShellQuote(out));
    ASSERT_TRUE(process.WaitForLine("Quering for album entry..."));
    process.Signal(SIGINT);
    CliResult r = process.Finish();
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    EXPECT_EQ(r.out.find("Create output file"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliFaults, AnUnreadableSettingsFileIsKeptAndTheUserIsTold) {
    const std::string mine = "[CDRIP]\nOutputDirectory=/srv/music/mine/\nFreedbProxy=cache:3128\n";
    WriteSettings(mine);
    ::chmod(SettingsPath().c_str(), 0200);
    // Root reads any file: the program then runs as an unprivileged user owning the file.
    std::string launcher;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(home_.File("config/quelt").c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(SettingsPath().c_str(), 65534, 65534), 0);
        launcher = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }

    CliResult set = Cli("settings set Convert IfExists 2", launcher);
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("The settings file " + SettingsPath() +
                           " cannot be read (Permission denied). Default settings are used, "
                           "and no settings are saved."),
              std::string::npos)
        << set.err;
    ::chmod(SettingsPath().c_str(), 0600);
    EXPECT_EQ(ReadFile(SettingsPath()), mine);
    EXPECT_EQ(fs::status(SettingsPath()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(CliFaults, AFifoForASettingsFileIsRefusedWithoutWaiting) {
    fs::create_directories(home_.File("config/quelt"));
    ASSERT_EQ(::mkfifo(SettingsPath().c_str(), 0644), 0);
    CliResult get = Cli("settings get Main Priority");
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "1\n");
    EXPECT_NE(get.err.find("cannot be read (not a regular file)"), std::string::npos) << get.err;

    CliResult set = Cli("settings set Main Priority 3");
    EXPECT_EQ(set.status, 1);
    EXPECT_TRUE(fs::is_fifo(SettingsPath()));
}

TEST_F(CliFaults, ASettingsFileThatCannotBeWrittenIsReported) {
    // The config folder is a regular file, so the settings file cannot be written.
    ASSERT_TRUE(WriteFile(home_.File("config"), "x"));
    CliResult r = Cli("settings set CDBurn VolumeLabel X");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("could not write"), std::string::npos) << r.err;
}

TEST_F(CliFaults, RewritingTheSettingsKeepsTheFilesMode) {
    WriteSettings("[Main]\nPriority=2\n");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::others_read;
    fs::permissions(SettingsPath(), mode);
    ASSERT_EQ(Cli("settings set Main Priority 3").status, 0);
    EXPECT_EQ(fs::status(SettingsPath()).permissions() & fs::perms::all, mode);
    EXPECT_NE(ReadFile(SettingsPath()).find("Priority=3"), std::string::npos);
}

}  // namespace
}  // namespace quelt::test
