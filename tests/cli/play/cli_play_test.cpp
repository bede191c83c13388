// quelt-cli play end to end, heard through SDL's disk driver (what was played lands in a
// file): a file and a disc track from a start second play sample for sample; refusals;
// Ctrl-C.
#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

using CliPlay = CliTest;

std::string DiskDriver(const ScratchDir& home) {
    return "SDL_AUDIODRIVER=disk SDL_DISKAUDIODELAY=0 SDL_DISKAUDIOFILE=" +
           ShellQuote(home.File("played.raw"));
}

TEST_F(CliPlay, PlaysAFileAndADiscTrackFromAStartSecond) {
    const std::string flac = Tone("tone.flac", 1.2);
    CliResult file = Cli("play " + ShellQuote(flac), "", DiskDriver(home_));
    ASSERT_EQ(file.status, 0) << file.err;
    EXPECT_EQ(file.lines, std::vector<std::string>{"Playing " + flac});
    EXPECT_TRUE(PlayedExactly(ReadRawPcm(home_.File("played.raw")), DecodePcm(flac)));

    const std::string cue = MakeDiscImage(home_.path().string(), "disc", {200, 450});
    CliResult track =
        Cli("play --drive " + ShellQuote(cue) + " --track 2 --start 2", "", DiskDriver(home_));
    ASSERT_EQ(track.status, 0) << track.err;
    const std::vector<int16_t> whole = TestPcm(450, 2);
    const std::vector<int16_t> fromSecondTwo(whole.begin() + 150 * 588 * 2, whole.end());
    EXPECT_TRUE(PlayedExactly(ReadRawPcm(home_.File("played.raw")), fromSecondTwo));

    // Refusals: a format the player does not take, a track or a start the disc lacks, no
    // sound device.
    CliResult format = Cli("play " + ShellQuote(Tone("tone.au")));
    EXPECT_EQ(format.status, 2);
    EXPECT_EQ(format.err, "Can not play this format, only support convert...\n");
    EXPECT_EQ(Cli("play --drive " + ShellQuote(cue) + " --track 3").status, 2);
    EXPECT_EQ(Cli("play --drive " + ShellQuote(cue) + " --track 1 --start 3").status, 2);
    EXPECT_EQ(Cli("play --drive " + ShellQuote(cue)).status, 2);
    CliResult noDevice = Cli("play " + ShellQuote(flac), "", "SDL_AUDIODRIVER=no-such-driver");
    EXPECT_EQ(noDevice.status, 1);
    EXPECT_EQ(noDevice.err.rfind("Error on initial Audio Player...\n", 0), 0u) << noDevice.err;
}

TEST_F(CliPlay, CtrlCStopsPlaying) {
    ToneOptions tone;
    tone.seconds = 600;  // the dummy driver plays at real-time pace: never ends by itself here
    tone.sampleRate = 8000;
    tone.channels = 1;
    ASSERT_TRUE(MakeTone(home_.File("long.wav"), tone));
    CliResult r =
        RunCliInterrupted(home_, "play " + ShellQuote(home_.File("long.wav")), "Playing ");
    EXPECT_EQ(r.status, 130) << r.err;
}

}  // namespace
}  // namespace quelt::test
