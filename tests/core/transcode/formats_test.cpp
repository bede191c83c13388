// Every catalogued format through the whole pipeline: the written file is judged by ffprobe
// and ffmpeg, not by the pipeline's own reader; only the tags are read back by our own.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/transcode/media_info.h"
#include "core/transcode/transcode_helpers.h"
#include "support/probe.h"

namespace quelt::test {
namespace {

constexpr int kPreset128Stereo = 6;  // "128kbit/s 44100Hz Stereo "
constexpr double kToneSeconds = 2.0;

struct FormatCase {
    int row;
    const char* codec;  // as ffprobe names it
    bool carriesTags;   // raw streams (.aac, .mp2, .ac3) have no place for tags
};

const FormatCase kFormats[] = {
    {0, "aac", true},    {1, "aac", true},  {2, "aac", false},       {3, "aac", true},
    {4, "aac", true},    {5, "mp3", true},  {6, "mp2", false},       {7, "vorbis", true},
    {8, "ac3", false},   {9, "flac", true}, {10, "pcm_s16le", true}, {11, "pcm_s16be", true},
    {12, "wmav2", true},
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << std::string(OutputFormatRow(c.row)->extension) << " (" << c.codec << ")";
}

class FormatTest : public ::testing::TestWithParam<FormatCase> {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<ScratchDir>();
        ToneOptions tone;
        tone.seconds = kToneSeconds;
        ASSERT_TRUE(MakeTone(Source(), tone));
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::string Source() { return dir_->File("source.wav"); }

    static std::unique_ptr<ScratchDir> dir_;
};

std::unique_ptr<ScratchDir> FormatTest::dir_;

OutputTags SampleTags() {
    OutputTags tags;
    tags.title = "Night Train";
    tags.artist = "The Quelts";
    tags.album = "Test Album";
    tags.comment = "made by a test";
    tags.copyright = "2024 Quelt";
    tags.year = "1999-05-01";
    tags.track = 7;
    tags.genre = "Jazz";
    return tags;
}

TEST_P(FormatTest, ConvertsToTheRowsCodecRateChannelsLengthAndTags) {
    const FormatCase& c = GetParam();
    std::string out =
        dir_->File("out" + std::to_string(c.row) + std::string(OutputFormatRow(c.row)->extension));
    OutputParameters parameters = ParametersFor(out, c.row, kPreset128Stereo);
    parameters.tags = SampleTags();

    PipelineRun run = RunPipeline(Source(), parameters);
    ASSERT_EQ(run.failure, "");
    EXPECT_EQ(run.decode.decodeErrors, 0);

    AudioProbe probe = ProbeAudio(out);
    EXPECT_EQ(probe.codec, c.codec);
    EXPECT_EQ(probe.sampleRate, 44100);
    EXPECT_EQ(probe.channels, 2);

    // Every input sample arrives: the decoded length is within 50 ms of the source's.
    int64_t frames = DecodedFrames(out, 2);
    EXPECT_NEAR(static_cast<double>(frames), kToneSeconds * 44100, 0.050 * 44100) << out;

    // Time stamps are known and never go backwards.
    std::vector<int64_t> dts = PacketDts(out);
    ASSERT_FALSE(dts.empty());
    for (size_t i = 0; i < dts.size(); ++i) {
        ASSERT_NE(dts[i], INT64_MIN) << "packet " << i;
        if (i > 0) {
            ASSERT_GE(dts[i], dts[i - 1]) << "packet " << i;
        }
    }

    // Nothing is left under a temporary name.
    for (const auto& entry : std::filesystem::directory_iterator(dir_->path()))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();

    if (!c.carriesTags) return;
    auto info = ReadMediaInfo(out);
    ASSERT_TRUE(info) << info.message();
    EXPECT_EQ(info->title, "Night Train");
    EXPECT_EQ(info->artist, "The Quelts");
    EXPECT_EQ(info->album, "Test Album");
    EXPECT_EQ(info->year, "1999");
    EXPECT_EQ(info->genre, "Jazz");
    EXPECT_EQ(info->comment, "made by a test");
    EXPECT_EQ(info->copyright, "2024 Quelt");
    EXPECT_EQ(info->track, 7);
}

auto RowName = [](const auto& info) { return "row" + std::to_string(info.param.row); };
INSTANTIATE_TEST_SUITE_P(AllRows, FormatTest, ::testing::ValuesIn(kFormats), RowName);

}  // namespace
}  // namespace quelt::test
