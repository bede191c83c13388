// Reading WAV layouts from hand-made files: the chunk walk, sizes a writer never fixed,
// WAVE_FORMAT_EXTENSIBLE and INFO tags on either side of the samples.
#include "core/burn/wav_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixtures.h"

namespace quelt {
namespace {

std::string Le32(uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
}
std::string Le16(uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }

std::string Chunk(const std::string& id, const std::string& body) {
    std::string chunk = id + Le32(uint32_t(body.size())) + body;
    if (body.size() % 2) chunk += '\0';
    return chunk;
}

std::string Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, bool extensible) {
    std::string body = Le16(extensible ? 0xFFFE : tag) + Le16(channels) + Le32(rate) +
                       Le32(rate * channels * bits / 8) + Le16(uint16_t(channels * bits / 8)) +
                       Le16(bits);
    if (extensible) body += Le16(22) + Le16(bits) + Le32(3) + Le16(tag) + std::string(14, 'G');
    return Chunk("fmt ", body);
}

std::string Info(const std::string& title, const std::string& artist, const std::string& album) {
    return Chunk("LIST", "INFO" + Chunk("INAM", title + '\0') + Chunk("IART", artist + '\0') +
                             Chunk("IPRD", album + '\0'));
}

class WavFileTest : public ::testing::Test {
  protected:
    Expected<WavLayout> Read(const std::string& chunks) {
        const std::string path = dir.File("t.wav");
        std::ofstream(path, std::ios::binary)
            << "RIFF" + Le32(uint32_t(chunks.size() + 4)) + "WAVE" + chunks;
        return ReadWavLayout(path);
    }
    test::ScratchDir dir;
};

TEST_F(WavFileTest, FindsTheSamplesAndTagsBehindOtherChunks) {
    const std::string before =
        Chunk("junk", "xyz") + Format(1, 2, 44100, 16, false) + Info("Song", "Band", "Record");
    auto layout = Read(before + Chunk("data", std::string(4000, 'p')));
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_TRUE(layout->IsCdAudio());
    EXPECT_EQ(layout->dataBytes, 4000u);
    EXPECT_EQ(layout->dataOffset, 12 + before.size() + 8);
    EXPECT_EQ(layout->tags.title, "Song");
    EXPECT_EQ(layout->tags.performer, "Band");
    EXPECT_EQ(layout->tags.album, "Record");
}

TEST_F(WavFileTest, AnUnfixedDataSizeRunsToTheEndOfTheFileInWholeFrames) {
    const std::string chunks =
        Format(1, 2, 44100, 16, false) + "data" + Le32(0xFFFFFFFF) + std::string(4 * 100 + 3, 's');
    auto layout = Read(chunks);
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_EQ(layout->dataBytes, 400u);
}

// Tags after the samples are read too.
TEST_F(WavFileTest, ExtensiblePcmCountsAsPcmAndOtherFormatsAreNotCdAudio) {
    auto layout = Read(Format(1, 2, 44100, 16, true) + Chunk("data", std::string(8, 's')) +
                       Info("Late", "", ""));
    ASSERT_TRUE(layout) << layout.message();
    EXPECT_TRUE(layout->IsCdAudio());
    EXPECT_EQ(layout->tags.title, "Late");
    EXPECT_EQ(layout->dataBytes, 8u);
    for (auto [tag, channels, rate, bits] :
         {std::tuple{3, 2, 44100, 32}, {1, 1, 44100, 16}, {1, 2, 48000, 16}, {1, 2, 44100, 24}}) {
        layout =
            Read(Format(uint16_t(tag), uint16_t(channels), uint32_t(rate), uint16_t(bits), false) +
                 Chunk("data", std::string(12, 's')));
        ASSERT_TRUE(layout) << layout.message();
        EXPECT_FALSE(layout->IsCdAudio()) << tag << " " << channels << " " << rate << " " << bits;
    }
}

TEST_F(WavFileTest, FilesWithoutFormatOrSamplesAreRefusedWithAReason) {
    const auto noFormat = Read(Chunk("data", "ssss"));
    ASSERT_FALSE(noFormat);
    EXPECT_NE(noFormat.message().find("t.wav"), std::string::npos);
    EXPECT_FALSE(Read(Format(1, 2, 44100, 16, false)));
    std::ofstream(dir.File("text.wav")) << "hello";
    EXPECT_FALSE(ReadWavLayout(dir.File("text.wav")));
    EXPECT_FALSE(ReadWavLayout(dir.File("missing.wav")));
}

}  // namespace
}  // namespace quelt
