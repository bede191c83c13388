// quelt-cli convert, run as a user would run it, with its texts and exit statuses. Every
// format's length and tags are the core's tests; here the rows the core does not tag.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/fixtures.h"
#include "support/probe.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;
using CliConvert = CliTest;

TEST_F(CliConvert, ConvertsWavToFlacSampleForSample) {
    const std::string wav = Tone("song.wav", 1.7);
    const std::string out = home_.File("out") + "/";
    CliResult r = Cli("convert --format .flac --preset 0 --output-dir " + ShellQuote(out) + " " +
                      ShellQuote(wav));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines, (std::vector<std::string>{"Initializing...",
                                                 "Create output file: " + out + "song.flac",
                                                 "Done, 01 track(s) were successfully."}));
    EXPECT_EQ(r.err, "");  // not a terminal: no progress display
    EXPECT_EQ(ProbeAudio(out + "song.flac").codec, "flac");
    EXPECT_EQ(DecodePcm(out + "song.flac"), DecodePcm(wav));
}

TEST_F(CliConvert, ConvertExitStatuses) {
    const std::string wav = Tone("a.wav");
    ASSERT_TRUE(WriteFile(home_.File("junk.mp3"), "junk"));
    const std::string junk = ShellQuote(home_.File("junk.mp3"));
    const std::string folder = " --output-dir " + ShellQuote(home_.File("out"));
    const std::string out = folder + " --format mp3 --preset 6 ";

    CliResult none = Cli("convert" + out);
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.err, "Please add audio files...\n");

    CliResult onlyJunk = Cli("convert" + out + junk);
    EXPECT_EQ(onlyJunk.status, 3);
    EXPECT_NE(onlyJunk.err.find("Please add audio files..."), std::string::npos);

    CliResult mixed = Cli("convert" + out + ShellQuote(wav) + " " + junk);
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.lines.back(), "Done, 01 track(s) were successfully.");

    CliResult skipped = Cli("convert --if-exists skip" + out + ShellQuote(wav));
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.lines[1], home_.File("out") + "/a.mp3 exists, skip by settings.");
    EXPECT_EQ(skipped.lines.back(), "Done, 00 track(s) were successfully.");

    EXPECT_EQ(Cli("convert --if-exists new" + out + ShellQuote(wav)).status, 0);
    EXPECT_TRUE(fs::exists(home_.File("out") + "/an.mp3"));

    // An encoder that refuses the pair fails the file.
    CliResult refused = Cli("convert --format ac3 --preset 45" + folder + " " + ShellQuote(wav));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.lines[1], "Could not open the audio encodec, skip.");
}

TEST_F(CliConvert, DeleteSourceAndSettingsFromTheFile) {
    WriteSettings("[CONVERT]\nFormatIndex=10\nFParamIndex=67\n");  // ".wav", "8kbit/s 8000Hz Mono "
    const std::string wav = Tone("voice.wav");
    CliResult r = Cli("convert --delete-source --output-dir " + ShellQuote(home_.File("out")) +
                      " " + ShellQuote(wav));
    EXPECT_EQ(r.status, 0) << r.err;
    AudioProbe probe = ProbeAudio(home_.File("out/voice.wav"));
    EXPECT_EQ(probe.sampleRate, 8000);
    EXPECT_EQ(probe.channels, 1);
    EXPECT_FALSE(fs::exists(wav));
}

TEST_F(CliConvert, CtrlCCancelsAndRemovesTheUnfinishedOutput) {
    const std::string wav = Tone("long.wav", 60.0);
    const std::string out = home_.File("out");
    // Interrupted once the output file is being written.
    CliResult r = RunCliInterrupted(
        home_,
        "convert --format mp3 --preset 0 --output-dir " + ShellQuote(out) + " " + ShellQuote(wav),
        "Create output file:");
    EXPECT_EQ(r.status, 130);
    EXPECT_NE(r.out.find("Convert cancelled by user\n"), std::string::npos) << r.out;
    // The output folder was made for this output alone: it goes with it.
    EXPECT_FALSE(fs::exists(out)) << (fs::exists(out + "/long.mp3") ? "output left" : "");
    EXPECT_TRUE(fs::exists(wav));
}

// Opus, ALAC and WavPack (whose lengths are the core's test) carry every tag "info" shows;
// the name comes from template 2, "<artist> - <title>".
TEST_F(CliConvert, TheNewerFormatsCarryTheTags) {
    ToneOptions tone;
    tone.tags = {{"title", "Lullaby"},
                 {"artist", "Quartet"},
                 {"album", "Night"},
                 {"date", "2003"},
                 {"genre", "Ambient"}};
    ASSERT_TRUE(MakeTone(home_.File("source.wav"), tone));
    for (const char* ext : {".opus", ".m4a", ".wv"}) {
        const std::string row = ext == std::string(".m4a") ? "14" : ext;  // .m4a alone is AAC
        CliResult converted =
            Cli("convert --metadata --name-template 2 --format " + row +
                " --preset '128kbit/s 44100Hz Stereo' --output-dir " +
                ShellQuote(home_.File("out")) + " " + ShellQuote(home_.File("source.wav")));
        ASSERT_EQ(converted.status, 0) << converted.err;
        const std::string info =
            Cli("info " + ShellQuote(home_.File("out/Quartet - Lullaby") + ext)).out;
        for (const char* line : {"  Title: Lullaby", "  Artist: Quartet", "  Album: Night",
                                 "  Year: 2003", "  Genre: Ambient", "  Track: 1"})
            EXPECT_TRUE(HasLine(info, line)) << line << " in\n" << info;
    }
}

}  // namespace
}  // namespace quelt::test
