// Preset edge cases, failure messages, bit-exact round trips, block encoding and the
// temporary-file contract of the pipeline.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "core/transcode/media_info.h"
#include "core/transcode/transcode_helpers.h"
#include "support/media.h"
#include "support/probe.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

class PipelineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<ScratchDir>();
        ToneOptions tone;
        tone.seconds = 1.0;
        ASSERT_TRUE(MakeTone(Wav(), tone));
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::string Wav() { return dir_->File("tone.wav"); }
    static std::string File(const std::string& name) { return dir_->File(name); }

    static std::unique_ptr<ScratchDir> dir_;
};

std::unique_ptr<ScratchDir> PipelineTest::dir_;

// Presets at the edges of what the encoders take: each gives its rate and channels, or the
// encoder refuses the pair and no file is left.
TEST_F(PipelineTest, EdgePresetsGiveTheirRateAndChannelsOrAreRefused) {
    struct PresetCase {
        int formatRow, presetRow;
        const char* codec;  // nullptr: the encoder refuses the pair
        int rate, channels;
    };
    for (const PresetCase& c :
         {PresetCase{10, 67, "pcm_s16le", 8000, 1},  // 8 kbit/s 8000 Hz WAV
          PresetCase{4, 0, "aac", 44100, 2},         // .m4a is forced to AAC
          PresetCase{5, 17, "mp3", 32000, 1}, PresetCase{12, 25, "wmav2", 22050, 1},
          PresetCase{0, 65, "aac", 12000, 1},   // 8 kbit/s 12000 Hz 3GP
          PresetCase{8, 45, nullptr, 0, 0},     // AC-3 at 11025 Hz
          PresetCase{6, 67, nullptr, 0, 0},     // MP2 at 8000 Hz
          PresetCase{12, 57, nullptr, 0, 0},    // WMA at 16 kbit/s
          PresetCase{7, 65, nullptr, 0, 0}}) {  // Vorbis 8 kbit/s mono
        const std::string out =
            File("edge" + std::to_string(c.formatRow) + "_" + std::to_string(c.presetRow) +
                 std::string(OutputFormatRow(c.formatRow)->extension));
        PipelineRun run = RunPipeline(Wav(), ParametersFor(out, c.formatRow, c.presetRow));
        if (!c.codec) {
            EXPECT_EQ(run.failure, "Could not open the audio encodec, skip.") << out;
            EXPECT_FALSE(fs::exists(out));
            continue;
        }
        ASSERT_EQ(run.failure, "") << out;
        AudioProbe probe = ProbeAudio(out);
        EXPECT_EQ(probe.codec, c.codec) << out;
        EXPECT_EQ(probe.sampleRate, c.rate) << out;
        EXPECT_EQ(probe.channels, c.channels) << out;
        EXPECT_NEAR(static_cast<double>(DecodedFrames(out, c.channels)), c.rate, 0.05 * c.rate);
    }
}

TEST_F(PipelineTest, LosslessRoundTripsAreBitExact) {
    ToneOptions tone;
    tone.seconds = 1.3;  // not a whole number of FLAC blocks
    tone.frequency = 997;
    ASSERT_TRUE(MakeTone(File("exact.wav"), tone));
    ASSERT_EQ(RunPipeline(File("exact.wav"), ParametersFor(File("exact.flac"), 9, 0)).failure, "");
    ASSERT_EQ(RunPipeline(File("exact.flac"), ParametersFor(File("back.wav"), 10, 0)).failure, "");
    ASSERT_EQ(RunPipeline(File("exact.wav"), ParametersFor(File("exact.aiff"), 11, 0)).failure, "");
    std::vector<int16_t> source = DecodePcm(File("exact.wav"));
    ASSERT_EQ(source.size(), static_cast<size_t>(1.3 * 44100) * 2);
    EXPECT_EQ(DecodePcm(File("exact.flac")), source);
    EXPECT_EQ(DecodePcm(File("back.wav")), source);
    EXPECT_EQ(DecodePcm(File("exact.aiff")), source);
}

TEST_F(PipelineTest, InputFailuresGiveTheirMessages) {
    EXPECT_EQ(OpenAudioInput(File("missing.wav")).message(),
              "Could not open input audio " + File("missing.wav") + ", skip.");
    std::ofstream(File("text.mp3")) << "no audio in here, just some words";
    EXPECT_EQ(OpenAudioInput(File("text.mp3")).message(),
              "Could not open input audio " + File("text.mp3") + ", skip.");
    ASSERT_TRUE(MakeVideoOnly(File("video.avi")));
    EXPECT_EQ(OpenAudioInput(File("video.avi")).message(),
              "Couldn't find audio stream information, skip.");
    ASSERT_TRUE(MakeOddWav(File("unknown.wav"), 0x1234, 16));
    EXPECT_EQ(OpenAudioInput(File("unknown.wav")).message(), "Decodec not found, skip.");
    ASSERT_TRUE(MakeOddWav(File("badadpcm.wav"), 0x11, 16));  // IMA ADPCM codes 2..5 bits
    EXPECT_EQ(OpenAudioInput(File("badadpcm.wav")).message(), "Could not open decodec, skip.");
    bool called = false;
    auto opened = OpenAudioInput(Wav(), [&] { called = true; });
    ASSERT_TRUE(opened);
    EXPECT_TRUE(called);
    EXPECT_EQ(opened->sampleRate(), 44100);
    EXPECT_EQ(opened->channels(), 2);
    EXPECT_EQ(opened->durationMs(), 1000);
}

TEST_F(PipelineTest, OutputFailuresGiveTheirMessagesAndLeaveNothing) {
    OutputParameters unknown = ParametersFor(File("song.xyz"), 5, 6);
    unknown.extension = ".xyz";
    EXPECT_EQ(CreateAudioOutput(unknown).message(),
              "Could not encodec the output format <.xyz>, skip.");

    // .3gp without the AAC forcing asks for AMR-NB, which has no encoder here.
    OutputParameters amr = ParametersFor(File("song.3gp"), 0, 6);
    amr.forceAac = false;
    EXPECT_EQ(CreateAudioOutput(amr).message(), "Could not find the audio encodec, skip.");

    auto noFolder = CreateAudioOutput(ParametersFor(File("no/such/folder/song.mp3"), 5, 6));
    ASSERT_FALSE(noFolder);
    EXPECT_EQ(noFolder.step(), kOutputFileOpenStep);
    EXPECT_EQ(noFolder.message(), "");
    EXPECT_FALSE(fs::exists(File("song.xyz")));
    EXPECT_FALSE(fs::exists(File("song.3gp")));
}

TEST_F(PipelineTest, AnUnfinishedOutputNeverTouchesAnExistingFile) {
    std::ofstream(File("keep.mp3")) << "the user's file";
    {
        auto output = CreateAudioOutput(ParametersFor(File("keep.mp3"), 5, 6));
        ASSERT_TRUE(output);
        EXPECT_NE(output->temporaryPath(), File("keep.mp3"));
        EXPECT_TRUE(fs::exists(output->temporaryPath()));
        ASSERT_TRUE(WriteOutputHeader(*output));
        std::vector<int16_t> block(44100 * 2, 1000);
        EXPECT_EQ(EncodePcmBlock(*output, block.data(), block.size() * 2, 44100, 2),
                  BlockStatus::kOk);
        std::string temporary = output->temporaryPath();
        DiscardAudioOutput(*output);
        EXPECT_FALSE(fs::exists(temporary));
        auto again = CreateAudioOutput(ParametersFor(File("keep.mp3"), 5, 6));
        ASSERT_TRUE(again);
        temporary = again->temporaryPath();
        // Destroyed without being closed.
    }
    std::ifstream in(File("keep.mp3"));
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
              "the user's file");
    for (const auto& entry : fs::directory_iterator(dir_->path()))
        EXPECT_NE(entry.path().extension(), ".part");
}

// The rip variant: 44100 Hz stereo blocks of odd sizes. Lossless outputs keep every sample;
// a resampled output keeps the length.
TEST_F(PipelineTest, BlocksOfAnySizeArriveWhole) {
    std::vector<int16_t> pcm(44100 * 2 + 2 * 777);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
    for (int row : {9, 10, 5}) {
        std::string ext(OutputFormatRow(row)->extension);
        OutputParameters parameters =
            ParametersFor(File("blocks" + ext), row, row == 5 ? 17 : 0);  // MP3: 32 kHz mono
        auto output = CreateAudioOutput(parameters);
        ASSERT_TRUE(output) << output.message();
        ASSERT_TRUE(WriteOutputHeader(*output));
        size_t at = 0;
        for (size_t block = 5000; at < pcm.size(); block = block == 5000 ? 2352 : 5000) {
            size_t bytes = std::min(block, (pcm.size() - at) * 2);
            ASSERT_EQ(
                EncodePcmBlock(*output, pcm.data() + at, bytes, 44100, 2, EncodeVariant::kRip),
                BlockStatus::kOk);
            at += bytes / 2;
        }
        ASSERT_TRUE(CloseAudioOutput(*output));
        if (row == 5) {
            int64_t expected = static_cast<int64_t>(pcm.size() / 2) * 32000 / 44100;
            EXPECT_NEAR(static_cast<double>(DecodedFrames(File("blocks" + ext), 1)), expected,
                        0.03 * 32000);
        } else {
            EXPECT_EQ(DecodePcm(File("blocks" + ext)), pcm) << ext;
        }
    }
}

TEST_F(PipelineTest, DamagedAndTruncatedInputsConvertWhatIsThere) {
    ASSERT_TRUE(MakeTone(File("clean.aac"), ToneOptions{2.0, 44100, 2, 440.0, {}, "-b:a 128k"}));
    ASSERT_TRUE(CopyWithDamage(File("clean.aac"), File("damaged.aac")));
    PipelineRun damaged =
        RunPipeline(File("damaged.aac"), ParametersFor(File("damaged.wav"), 10, 0));
    EXPECT_EQ(damaged.failure, "");
    EXPECT_GT(damaged.decode.decodeErrors, 0);
    EXPECT_GT(DecodedFrames(File("damaged.wav"), 2), 44100);

    size_t size = fs::file_size(Wav());
    ASSERT_TRUE(CopyTruncated(Wav(), File("cut.wav"), size / 2));
    PipelineRun cut = RunPipeline(File("cut.wav"), ParametersFor(File("cut.flac"), 9, 0));
    EXPECT_EQ(cut.failure, "");
    std::vector<int16_t> whole = DecodePcm(Wav()), half = DecodePcm(File("cut.flac"));
    ASSERT_GT(half.size(), whole.size() / 3);
    EXPECT_TRUE(std::equal(half.begin(), half.end(), whole.begin()));
}

TEST(MediaInfoTest, ReadsDurationTagsAndStreams) {
    ScratchDir dir;
    ToneOptions tone;
    tone.seconds = 1.5;
    tone.tags = {{"title", "Probe"}, {"artist", "Someone"}, {"date", "2007"}, {"genre", "Blues"}};
    ASSERT_TRUE(MakeTone(dir.File("tagged.flac"), tone));
    auto info = ReadMediaInfo(dir.File("tagged.flac"));
    ASSERT_TRUE(info) << info.message();
    EXPECT_EQ(info->durationMs, 1500);
    EXPECT_EQ(info->title, "Probe");
    EXPECT_EQ(info->year, "2007");
    EXPECT_TRUE(info->hasAudio);
    EXPECT_FALSE(info->hasVideo);
    EXPECT_EQ(info->sampleRate, 44100);
    EXPECT_EQ(info->codecName, "flac");

    ASSERT_TRUE(MakeVideoOnly(dir.File("video.avi"), 2.0));
    auto video = ReadMediaInfo(dir.File("video.avi"));
    ASSERT_TRUE(video) << video.message();
    EXPECT_TRUE(video->hasVideo);
    EXPECT_FALSE(video->hasAudio);
    EXPECT_NEAR(static_cast<double>(video->durationMs), 2000, 150);

    ASSERT_TRUE(MakeOddWav(dir.File("undecodable.wav"), 0x1234, 16));
    EXPECT_FALSE(ReadMediaInfo(dir.File("undecodable.wav")));  // a stream, but no decoder
    std::ofstream(dir.File("words.wav")) << "not media";
    EXPECT_FALSE(ReadMediaInfo(dir.File("words.wav")));
    EXPECT_FALSE(ReadMediaInfo(dir.File("missing.wav")));
}

}  // namespace
}  // namespace quelt::test
