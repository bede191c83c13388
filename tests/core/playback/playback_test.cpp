// The playback library against SDL's real "disk" driver, which writes exactly what was played.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "core/playback/playback_library.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

using namespace std::chrono_literals;

// Waits (with a generous guard, not a timing check) until the stream has played to its end.
void WaitUntilEnded(PlaybackLibrary& library, PlaybackLibrary::Stream stream) {
    for (int i = 0; i < 3000 && library.ChannelIsPlaying(stream); ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_FALSE(library.ChannelIsPlaying(stream));
}

class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir_.File("played.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
    void TearDown() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    ScratchDir dir_;
};

TEST_F(PlaybackTest, PlaysEverySampleOfAFileThenSilence) {
    std::string wav = dir_.File("tone.wav");
    ToneOptions tone;
    tone.seconds = 0.5;
    ASSERT_TRUE(MakeTone(wav, tone));
    std::vector<int16_t> expected = DecodePcm(wav);
    ASSERT_EQ(expected.size(), 22050u * 2);
    {
        auto library = CreatePlaybackLibrary();
        ASSERT_TRUE(library->Init());
        PlaybackLibrary::Stream stream = library->StreamCreateFile(wav);
        ASSERT_NE(stream, 0u);
        EXPECT_NEAR(library->ChannelLengthSeconds(stream), 0.5, 0.01);
        EXPECT_EQ(library->ChannelPositionSeconds(stream), 0.0);
        ASSERT_TRUE(library->ChannelPlay(stream, false));
        WaitUntilEnded(*library, stream);
        EXPECT_DOUBLE_EQ(library->ChannelPositionSeconds(stream), 0.5);
    }  // closes the device and its file
    EXPECT_TRUE(PlayedExactly(ReadRawPcm(dir_.File("played.raw")), expected));
}

TEST_F(PlaybackTest, WaitsForPlayAndPlaysAgainAfterTheEnd) {
    std::string wav = dir_.File("tone.wav");
    ToneOptions tone;
    tone.seconds = 0.3;
    tone.sampleRate = 22050;  // resampled to the device's rate
    tone.channels = 1;
    ASSERT_TRUE(MakeTone(wav, tone));
    auto library = CreatePlaybackLibrary();
    ASSERT_TRUE(library->Init());
    PlaybackLibrary::Stream stream = library->StreamCreateFile(wav);
    ASSERT_NE(stream, 0u);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(library->ChannelPositionSeconds(stream), 0.0);  // created, not playing
    EXPECT_FALSE(library->ChannelIsPlaying(stream));
    ASSERT_TRUE(library->ChannelPlay(stream));
    WaitUntilEnded(*library, stream);
    EXPECT_NEAR(library->ChannelPositionSeconds(stream), 0.3, 0.01);
    ASSERT_TRUE(library->ChannelPlay(stream));  // ended: plays from the start again
    WaitUntilEnded(*library, stream);
    EXPECT_NEAR(library->ChannelPositionSeconds(stream), 0.3, 0.01);
    library->StreamFree(stream);
    EXPECT_FALSE(library->ChannelPlay(stream));
    EXPECT_EQ(library->ChannelLengthSeconds(stream), -1);
}

TEST_F(PlaybackTest, VolumeScalesWhatIsPlayed) {
    std::string wav = dir_.File("tone.wav");
    ToneOptions tone;
    tone.seconds = 0.2;
    ASSERT_TRUE(MakeTone(wav, tone));
    std::vector<int16_t> source = DecodePcm(wav);
    {
        auto library = CreatePlaybackLibrary();
        ASSERT_TRUE(library->Init());
        library->SetVolume(0.5);
        EXPECT_EQ(library->Volume(), 0.5);
        PlaybackLibrary::Stream stream = library->StreamCreateFile(wav);
        ASSERT_TRUE(library->ChannelPlay(stream));
        WaitUntilEnded(*library, stream);
    }
    std::vector<int16_t> played = ReadRawPcm(dir_.File("played.raw"));
    auto peak = [](const std::vector<int16_t>& pcm) {
        int p = 0;
        for (int16_t v : pcm) p = std::max(p, std::abs(static_cast<int>(v)));
        return p;
    };
    ASSERT_GT(peak(source), 1000);
    EXPECT_NEAR(peak(played), peak(source) / 2, 2);
}

TEST_F(PlaybackTest, SetPositionPlaysOnFromThatSample) {
    std::string flac = dir_.File("tone.flac");
    ToneOptions tone;
    tone.seconds = 1.0;
    ASSERT_TRUE(MakeTone(flac, tone));
    std::vector<int16_t> source = DecodePcm(flac);
    std::vector<int16_t> rest(source.begin() + 11025 * 2, source.end());  // from 0.25 s
    {
        auto library = CreatePlaybackLibrary();
        ASSERT_TRUE(library->Init());
        PlaybackLibrary::Stream stream = library->StreamCreateFile(flac);
        ASSERT_TRUE(library->ChannelSetPosition(stream, 0.25));
        EXPECT_DOUBLE_EQ(library->ChannelPositionSeconds(stream), 0.25);
        ASSERT_TRUE(library->ChannelPlay(stream));
        WaitUntilEnded(*library, stream);
        EXPECT_DOUBLE_EQ(library->ChannelPositionSeconds(stream), 1.0);
    }
    EXPECT_TRUE(PlayedExactly(ReadRawPcm(dir_.File("played.raw")), rest));
}

TEST_F(PlaybackTest, RefusesWhatCannotPlay) {
    auto library = CreatePlaybackLibrary();
    EXPECT_EQ(library->StreamCreateFile(dir_.File("x.wav")), 0u);  // not initialised
    ASSERT_TRUE(library->Init());
    EXPECT_TRUE(library->Init());
    std::ofstream(dir_.File("text.mp3")) << "not audio at all";
    EXPECT_EQ(library->StreamCreateFile(dir_.File("text.mp3")), 0u);
    EXPECT_EQ(library->StreamCreateFile(dir_.File("missing.wav")), 0u);
    EXPECT_FALSE(library->ChannelStop(12345));
    EXPECT_FALSE(library->ChannelIsPlaying(12345));
    library->StreamFree(12345);
}

TEST(PlaybackWithoutDevice, InitFailsQuietly) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto library = CreatePlaybackLibrary();
    EXPECT_FALSE(library->Init());
    EXPECT_EQ(library->StreamCreateFile("/nonexistent.wav"), 0u);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace quelt::test
