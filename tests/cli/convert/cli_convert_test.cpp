// quelt-cli info and convert, run as a user would run them, with their exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "core/catalogue/catalogue.h"
#include "support/cli_runner.h"
#include "support/fixtures.h"
#include "support/probe.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

using Result = CliResult;

class CliTest : public ::testing::Test {
  protected:
    Result Cli(const std::string& arguments) { return RunCli(dir_, arguments); }

    std::string Tone(const std::string& name, double seconds = 0.5) {
        ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        EXPECT_TRUE(MakeTone(dir_.File(name), toneOptions));
        return dir_.File(name);
    }

    ScratchDir dir_;
};

TEST_F(CliTest, ConvertsWavToFlacSampleForSample) {
    std::string wav = Tone("song.wav", 1.7);
    std::string out = dir_.File("out") + "/";
    Result r = Cli("convert --format .flac --preset 0 --output-dir " + ShellQuote(out) + " " +
                   ShellQuote(wav));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines, (std::vector<std::string>{"Initializing...",
                                                 "Create output file: " + out + "song.flac",
                                                 "Done, 01 track(s) were successfully."}));
    EXPECT_EQ(r.err, "");  // not a terminal: no progress display
    EXPECT_EQ(ProbeAudio(out + "song.flac").codec, "flac");
    EXPECT_EQ(DecodePcm(out + "song.flac"), DecodePcm(wav));
}

TEST_F(CliTest, ExitStatuses) {
    std::string wav = Tone("a.wav");
    std::ofstream(dir_.File("junk.mp3")) << "junk";
    const std::string out =
        " --output-dir " + ShellQuote(dir_.File("out")) + " --format mp3 --preset 6 ";

    Result none = Cli("convert" + out);
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.err, "Please add audio files...\n");

    Result onlyJunk = Cli("convert" + out + ShellQuote(dir_.File("junk.mp3")));
    EXPECT_EQ(onlyJunk.status, 3);
    EXPECT_NE(onlyJunk.err.find("Please add audio files..."), std::string::npos);

    Result mixed = Cli("convert" + out + ShellQuote(wav) + " " + ShellQuote(dir_.File("junk.mp3")));
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.lines.back(), "Done, 01 track(s) were successfully.");

    Result skipped = Cli("convert --if-exists skip" + out + ShellQuote(wav));
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.lines[1], dir_.File("out") + "/a.mp3 exists, skip by settings.");
    EXPECT_EQ(skipped.lines.back(), "Done, 00 track(s) were successfully.");

    Result renamed = Cli("convert --if-exists new" + out + ShellQuote(wav));
    EXPECT_EQ(renamed.status, 0);
    EXPECT_TRUE(fs::exists(dir_.File("out") + "/an.mp3"));

    EXPECT_EQ(Cli("convert --if-exists maybe" + out + ShellQuote(wav)).status, 2);
    EXPECT_EQ(Cli("convert --format .xyz " + ShellQuote(wav)).status, 2);
    EXPECT_EQ(Cli("convert --no-such-option " + ShellQuote(wav)).status, 2);
    EXPECT_EQ(Cli("info").status, 2);
    EXPECT_EQ(Cli("info " + ShellQuote(wav)).status, 0);
    EXPECT_EQ(Cli("info " + ShellQuote(wav) + " " + ShellQuote(dir_.File("junk.mp3"))).status, 1);

    // An encoder that refuses the pair fails the file.
    Result refused = Cli("convert --format ac3 --preset 45 --output-dir " +
                         ShellQuote(dir_.File("out")) + " " + ShellQuote(wav));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.lines[1], "Could not open the audio encodec, skip.");
}

TEST_F(CliTest, DeleteSourceAndSettingsFromTheFile) {
    fs::create_directories(dir_.File("config/quelt"));
    std::ofstream(dir_.File("config/quelt/zqrprocfg.cfg"))
        << "[CONVERT]\nFormatIndex=10\nFParamIndex=67\n";
    std::string wav = Tone("voice.wav");
    Result r = Cli("convert --delete-source --output-dir " + ShellQuote(dir_.File("out")) + " " +
                   ShellQuote(wav));
    EXPECT_EQ(r.status, 0) << r.err;
    AudioProbe probe =
        ProbeAudio(dir_.File("out") + "/voice.wav");  // ".wav", "8kbit/s 8000Hz Mono "
    EXPECT_EQ(probe.sampleRate, 8000);
    EXPECT_EQ(probe.channels, 1);
    EXPECT_FALSE(fs::exists(wav));
}

TEST_F(CliTest, CtrlCCancelsAndRemovesTheUnfinishedOutput) {
    std::string wav = Tone("long.wav", 60.0);
    std::string out = dir_.File("out");
    // Interrupted once the output file is being written.
    Result r = RunCliInterrupted(
        dir_,
        "convert --format mp3 --preset 0 --output-dir " + ShellQuote(out) + " " + ShellQuote(wav),
        "Create output file:");
    EXPECT_EQ(r.status, 130);
    EXPECT_NE(r.out.find("Convert cancelled by user\n"), std::string::npos) << r.out;
    // The output folder was made for this output alone: it goes with it.
    EXPECT_FALSE(fs::exists(out)) << (fs::exists(out + "/long.mp3") ? "output left" : "");
    EXPECT_TRUE(fs::exists(wav));
}

// Every row converts a 10-second tagged tone with "128kbit/s 44100Hz Stereo " to a file whose
// decoded length is within 50 ms of the source's and whose tags read back where the
// container carries tags.
class EveryFormat : public ::testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<ScratchDir>();
        fs::create_directories(dir_->File("config"));
        ToneOptions toneOptions;
        toneOptions.seconds = 10.0;
        ASSERT_TRUE(MakeTone(dir_->File("tagged.wav"), toneOptions));
        // Tags come from the list (here: the source file's own tags, read by the probe).
        ASSERT_EQ(quelt::test::Run("ffmpeg -nostdin -loglevel error -y -i " +
                                   ShellQuote(dir_->File("tagged.wav")) +
                                   " -metadata title=Lullaby -metadata artist=Quartet -metadata "
                                   "album=Night -metadata date=2003"
                                   " -metadata genre=Ambient -c copy " +
                                   ShellQuote(dir_->File("source.wav"))),
                  0);
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::unique_ptr<ScratchDir> dir_;
};

std::unique_ptr<ScratchDir> EveryFormat::dir_;

TEST_P(EveryFormat, ConvertsTheTaggedTone) {
    const int row = GetParam();
    const std::string ext(OutputFormatRow(row)->extension);
    const std::string out = dir_->File("out" + std::to_string(row));
    Result converted =
        RunCli(*dir_, "convert --metadata --format " + std::to_string(row) +
                          " --preset '128kbit/s 44100Hz Stereo ' --output-dir " + ShellQuote(out) +
                          " " + ShellQuote(dir_->File("source.wav")));
    ASSERT_EQ(converted.status, 0) << converted.err;
    const std::string file = out + "/source" + ext;
    // Ten seconds at the output's rate: Opus always writes 48 kHz.
    const double rate = ext == ".opus" ? 48000 : 44100;
    EXPECT_NEAR(static_cast<double>(DecodedFrames(file, 2)), 10 * rate, 0.050 * rate);
    if (ext == ".aac" || ext == ".mp2" || ext == ".ac3") return;
    std::string info = RunCli(*dir_, "info " + ShellQuote(file)).out;
    for (const char* line : {"  Title: Lullaby\n", "  Artist: Quartet\n", "  Album: Night\n",
                             "  Year: 2003\n", "  Genre: Ambient\n", "  Track: 1\n"})
        EXPECT_NE(info.find(line), std::string::npos) << line << " in\n" << info;
}

INSTANTIATE_TEST_SUITE_P(Rows, EveryFormat, ::testing::Range(0, kOutputFormatCount));

}  // namespace
}  // namespace quelt::test
