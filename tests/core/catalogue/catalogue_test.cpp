// The 13 formats and 68 presets against the published lists, and the label parser.
#include "core/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace quelt {
namespace {

// The preset list written the way it is published: per bit rate, its rates and modes in order.
std::vector<std::string> PublishedPresets() {
    const std::pair<int, const char*> groups[] = {
        {320, "44100 S"},
        {256, "44100 S"},
        {224, "44100 S"},
        {192, "44100 S"},
        {160, "44100 S; 44100 M"},
        {128, "44100 S; 44100 M"},
        {112, "44100 S; 44100 M"},
        {96, "44100 S; 32000 S; 44100 M; 32000 M"},
        {64, "44100 S; 32000 S; 44100 M; 32000 M"},
        {56, "44100 S; 32000 S; 24000 S; 22050 S; 44100 M; 32000 M; 24000 M; 22050 M"},
        {48, "44100 S; 32000 S; 24000 S; 22050 S; 44100 M; 32000 M; 24000 M; 22050 M"},
        {32,
         "24000 S; 22050 S; 16000 S; 12000 S; 11025 S; 44100 M; 32000 M; 24000 M; 22050 M; 16000 "
         "M; "
         "12000 M; 11025 M"},
        {24,
         "24000 S; 22050 S; 16000 S; 12000 S; 11025 S; 32000 M; 24000 M; 22050 M; 16000 M; 12000 "
         "M; "
         "11025 M"},
        {16, "12000 S; 11025 S; 8000 S; 24000 M; 22050 M; 16000 M; 12000 M; 11025 M"},
        {8, "12000 M; 11025 M; 8000 M"},
    };
    std::vector<std::string> labels;
    for (const auto& [kbit, list] : groups) {
        std::stringstream entries(list);
        std::string entry;
        while (std::getline(entries, entry, ';')) {
            std::stringstream words(entry);
            std::string rate, mode;
            words >> rate >> mode;
            labels.push_back(std::to_string(kbit) + "kbit/s " + rate + "Hz " +
                             (mode == "M" ? "Mono " : "Stereo "));
        }
    }
    return labels;
}

TEST(PresetListTest, SixtyEightLabelsInPublishedOrder) {
    const auto published = PublishedPresets();
    ASSERT_EQ(published.size(), 68u);
    ASSERT_EQ(kEncodePresetCount, 69);
    for (int row = 0; row < 68; ++row)
        EXPECT_EQ(EncodePresetLabel(row), published[row]) << row;
    EXPECT_EQ(EncodePresetLabel(0), "320kbit/s 44100Hz Stereo ");
    EXPECT_EQ(EncodePresetLabel(7), "128kbit/s 44100Hz Mono ");
    EXPECT_EQ(EncodePresetLabel(67), "8kbit/s 8000Hz Mono ");
    EXPECT_EQ(EncodePresetLabel(68), "Same as source") << "added after the classic 68";
    EXPECT_EQ(EncodePresetLabel(69), "");
    EXPECT_EQ(EncodePresetLabel(-1), "");
}

class PresetRowTest : public ::testing::TestWithParam<int> {};

TEST_P(PresetRowTest, LabelParsesToItsNumbersAndFindsItsRow) {
    const int row = GetParam();
    const std::string label = EncodePresetLabel(row);
    EXPECT_EQ(EncodePresetRow(label), row);
    const EncodeParameters p = PresetFromLabel(label);
    // Numbers read back from the published text, independently of the parser.
    int kbit = 0, rate = 0;
    char mode[8] = {};
    ASSERT_EQ(std::sscanf(label.c_str(), "%dkbit/s %dHz %7s", &kbit, &rate, mode), 3);
    EXPECT_EQ(p.bitRate, kbit * 1000);
    EXPECT_EQ(p.sampleRate, rate);
    EXPECT_EQ(p.channels, std::string(mode) == "Mono" ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(AllRows, PresetRowTest, ::testing::Range(0, kSameAsSourcePreset));

struct LabelCase {
    const char* label;
    int bitRate, sampleRate, channels;
};

class PresetParseTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(PresetParseTest, ParsesAsAJobDoes) {
    const EncodeParameters p = PresetFromLabel(GetParam().label);
    EXPECT_EQ(p.bitRate, GetParam().bitRate);
    EXPECT_EQ(p.sampleRate, GetParam().sampleRate);
    EXPECT_EQ(p.channels, GetParam().channels);
}

INSTANTIATE_TEST_SUITE_P(
    OddLabels, PresetParseTest,
    ::testing::Values(LabelCase{"8kbit/s 8000Hz Mono ", 8000, 8000, 1},
                      LabelCase{"128kbit/s 44100Hz Mono", 128000, 44100, 1},
                      LabelCase{"128kbit/s 44100Hz mono ", 128000, 44100, 2},
                      LabelCase{"128kbit/s 44100Hz MONO ", 128000, 44100, 2},
                      LabelCase{"128kbit/s 44100Hz Monophonic ", 128000, 44100, 2},
                      LabelCase{"128kbit/s 44100Hz", 128000, 44100, 2},
                      LabelCase{"128kbit/s  44100Hz Mono ", 128000, 0,
                                2},  // split at single blanks
                      LabelCase{"kbit/s Hz Mono ", 0, 0, 1}, LabelCase{"", 0, 0, 2}));

TEST(PresetListTest, SameAsSourceParsesToNoNumbers) {
    EXPECT_EQ(EncodePresetRow("Same as source"), kSameAsSourcePreset);
    const EncodeParameters p = PresetFromLabel("Same as source");
    EXPECT_TRUE(p.sameAsSource);
    EXPECT_EQ(p.bitRate, 0);
    EXPECT_FALSE(PresetFromLabel("Same as source ").sameAsSource);
    EXPECT_FALSE(PresetFromLabel(EncodePresetLabel(0)).sameAsSource);
}

TEST(PresetListTest, FallingBitRateStereoFirstFallingRate) {
    for (int row = 1; row < kSameAsSourcePreset; ++row) {
        const auto a = PresetFromLabel(EncodePresetLabel(row - 1));
        const auto b = PresetFromLabel(EncodePresetLabel(row));
        ASSERT_GE(a.bitRate, b.bitRate) << row;
        if (a.bitRate != b.bitRate) continue;
        if (a.channels == b.channels)
            EXPECT_GT(a.sampleRate, b.sampleRate) << row;
        else
            EXPECT_TRUE(a.channels == 2 && b.channels == 1) << row;
    }
}

TEST(FormatListTest, ClassicRowsThenTheNewOnesWithTheirExtensionsLabelsAndAacFlag) {
    const struct {
        const char* extension;
        const char* label;
        bool aac;
    } expected[] = {
        {".3gp", ".3gp (AAC-Advanced Audio Coding)", true},
        {".3g2", ".3g2 (AAC-Advanced Audio Coding)", true},
        {".aac", ".aac (AAC-Advanced Audio Coding)", true},
        {".mp4", ".mp4 (AAC-Advanced Audio Coding)", true},
        {".m4a", ".m4a (AAC-Advanced Audio Coding)", true},
        {".mp3", ".mp3 (MPEG Layer - 3)", false},
        {".mp2", ".mp2 (MPEG Layer - 2)", false},
        {".ogg", ".ogg (Ogg Vorbis)", false},
        {".ac3", ".ac3 (Dolby Digital)", false},
        {".flac", ".flac (Free Lossless Audio Codec)", false},
        {".wav", ".wav (Standard)", false},
        {".aiff", ".aiff (Macintosh)", false},
        {".wma", ".wma (Microsoft Media Audio)", false},
        {".opus", ".opus (Opus)", false},
        {".m4a", "ALAC (.m4a)", false},
        {".wv", ".wv (WavPack)", false},
    };
    ASSERT_EQ(kOutputFormatCount, 16);
    for (int row = 0; row < kOutputFormatCount; ++row) {
        auto f = OutputFormatRow(row);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->row, row);
        EXPECT_EQ(f->extension, expected[row].extension);
        EXPECT_EQ(f->label, expected[row].label);
        EXPECT_EQ(f->aac, expected[row].aac);
        if (row != 14) {
            EXPECT_EQ(OutputFormatByExtension(expected[row].extension)->row, row);
        }
    }
    EXPECT_EQ(OutputFormatByExtension(".m4a")->row, 4) << "the AAC row owns the extension";
    EXPECT_FALSE(OutputFormatRow(16));
    EXPECT_FALSE(OutputFormatRow(-1));
}

TEST(FormatListTest, FindsAFormatByExtensionInAnySpelling) {
    EXPECT_EQ(OutputFormatByExtension("FLAC")->row, 9);
    EXPECT_EQ(OutputFormatByExtension(".Mp3")->row, 5);
    EXPECT_FALSE(OutputFormatByExtension("mp"));
    EXPECT_FALSE(OutputFormatByExtension(""));
    EXPECT_EQ(OutputFormatByExtension(".OPUS")->row, 13);
    EXPECT_FALSE(OutputFormatByExtension(".ape"));
}

TEST(FormatListTest, GlobalHeaderContainers) {
    for (const char* name : {"mp4", "m4a", "mov", "3g2", "3gp"})
        EXPECT_TRUE(NeedsGlobalHeader(name)) << name;
    for (const char* name : {"mp3", "adts", "ipod", "ogg", "MP4", ""})
        EXPECT_FALSE(NeedsGlobalHeader(name)) << name;
}

}  // namespace
}  // namespace quelt
