// quelt-cli play end to end, heard through SDL's disk driver (what was played lands in a
// file): a file and a disc track from a start second play sample for sample; refusals;
// Ctrl-C.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

std::string DiskDriver(const ScratchDir& home) {
    return "SDL_AUDIODRIVER=disk SDL_DISKAUDIODELAY=0 SDL_DISKAUDIOFILE=" +
           ShellQuote(home.File("played.raw"));
}

TEST(CliPlay, PlaysAFileAndADiscTrackFromAStartSecond) {
    ScratchDir home;
    const std::string flac = home.File("tone.flac");
    ToneOptions tone;
    tone.seconds = 1.2;
    ASSERT_TRUE(MakeTone(flac, tone));
    CliResult file = RunCli(home, "play " + ShellQuote(flac), "", DiskDriver(home));
    ASSERT_EQ(file.status, 0) << file.err;
    EXPECT_EQ(file.lines, std::vector<std::string>{"Playing " + flac});
    const std::vector<int16_t> played = ReadRawPcm(home.File("played.raw"));
    EXPECT_TRUE(PlayedExactly(played, DecodePcm(flac)));

    const std::string cue = MakeDiscImage(home.path().string(), "disc", {200, 450});
    CliResult track =
        RunCli(home, "play --drive " + ShellQuote(cue) + " --track 2 --start 2", "", DiskDriver(home));
    ASSERT_EQ(track.status, 0) << track.err;
    const std::vector<int16_t> whole = TestPcm(450, 2);
    const std::vector<int16_t> fromSecondTwo(whole.begin() + 150 * 588 * 2, whole.end());
    EXPECT_TRUE(PlayedExactly(ReadRawPcm(home.File("played.raw")), fromSecondTwo));
}

TEST(CliPlay, RefusesWhatItCannotPlay) {
    ScratchDir home;
    const std::string au = home.File("tone.au");
    ASSERT_TRUE(MakeTone(au));
    CliResult format = RunCli(home, "play " + ShellQuote(au));
    EXPECT_EQ(format.status, 2);
    EXPECT_EQ(format.err, "Can not play this format, only support convert...\n");

    const std::string cue = MakeDiscImage(home.path().string(), "disc", {200});
    EXPECT_EQ(RunCli(home, "play --drive " + ShellQuote(cue) + " --track 2").status, 2);
    EXPECT_EQ(RunCli(home, "play --drive " + ShellQuote(cue) + " --track 1 --start 3").status, 2);
    EXPECT_EQ(RunCli(home, "play --drive " + ShellQuote(cue)).status, 2);
    EXPECT_EQ(RunCli(home, "play").status, 2);

    CliResult noDevice = RunCli(home, "play " + ShellQuote(home.File("x.wav")),
                                "", "SDL_AUDIODRIVER=no-such-driver");
    EXPECT_NE(noDevice.status, 0);
}

TEST(CliPlay, CtrlCStopsPlaying) {
    ScratchDir home;
    const std::string wav = home.File("long.wav");
    ToneOptions tone;
    tone.seconds = 600;  // the dummy driver plays at real-time pace: never ends by itself here
    tone.sampleRate = 8000;
    tone.channels = 1;
    ASSERT_TRUE(MakeTone(wav, tone));
    CliResult r = RunCliInterrupted(home, "play " + ShellQuote(wav), "Playing ");
    EXPECT_EQ(r.status, 130) << r.err;
}

}  // namespace
}  // namespace quelt::test
