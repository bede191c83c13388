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

// Each label is exactly the published one, reads back as its row, and parses to the
// numbers it shows; "Same as source" follows the classic 68.
TEST(PresetListTest, SixtyEightPublishedLabelsParseToTheirNumbers) {
    const auto published = PublishedPresets();
    ASSERT_EQ(published.size(), 68u);
    ASSERT_EQ(kEncodePresetCount, 69);
    for (int row = 0; row < 68; ++row) {
        const std::string label = EncodePresetLabel(row);
        EXPECT_EQ(label, published[size_t(row)]) << row;
        EXPECT_EQ(EncodePresetRow(label), row);
        int kbit = 0, rate = 0;
        char mode[8] = {};
        ASSERT_EQ(std::sscanf(label.c_str(), "%dkbit/s %dHz %7s", &kbit, &rate, mode), 3);
        const EncodeParameters p = PresetFromLabel(label);
        EXPECT_EQ(p.bitRate, kbit * 1000) << label;
        EXPECT_EQ(p.sampleRate, rate) << label;
        EXPECT_EQ(p.channels, std::string(mode) == "Mono" ? 1 : 2) << label;
        EXPECT_FALSE(p.sameAsSource);
    }
    EXPECT_EQ(EncodePresetLabel(68), "Same as source");
    EXPECT_EQ(EncodePresetRow("Same as source"), kSameAsSourcePreset);
    EXPECT_TRUE(PresetFromLabel("Same as source").sameAsSource);
    EXPECT_EQ(PresetFromLabel("Same as source").bitRate, 0);
    EXPECT_EQ(EncodePresetLabel(69), "");
    EXPECT_EQ(EncodePresetLabel(-1), "");
}

// A hand-written label parses as a job reads it: only the exact word "Mono" makes mono, and
// fields are split at single blanks.
TEST(PresetListTest, OddLabelsParseAsAJobReadsThem) {
    struct Case {
        const char* label;
        int bitRate, sampleRate, channels;
    };
    for (const Case& c : {Case{"128kbit/s 44100Hz Mono", 128000, 44100, 1},
                          Case{"128kbit/s 44100Hz mono ", 128000, 44100, 2},
                          Case{"128kbit/s 44100Hz", 128000, 44100, 2},
                          Case{"128kbit/s  44100Hz Mono ", 128000, 0, 2},
                          Case{"kbit/s Hz Mono ", 0, 0, 1}, Case{"", 0, 0, 2}}) {
        const EncodeParameters p = PresetFromLabel(c.label);
        EXPECT_EQ(p.bitRate, c.bitRate) << c.label;
        EXPECT_EQ(p.sampleRate, c.sampleRate) << c.label;
        EXPECT_EQ(p.channels, c.channels) << c.label;
    }
    EXPECT_FALSE(PresetFromLabel("Same as source ").sameAsSource);
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

TEST(FormatListTest, FindsAFormatByExtensionInAnySpellingAndKnowsGlobalHeaders) {
    EXPECT_EQ(OutputFormatByExtension("FLAC")->row, 9);
    EXPECT_EQ(OutputFormatByExtension(".Mp3")->row, 5);
    EXPECT_FALSE(OutputFormatByExtension("mp"));
    EXPECT_FALSE(OutputFormatByExtension(""));
    EXPECT_FALSE(OutputFormatByExtension(".ape"));
    for (const char* name : {"mp4", "m4a", "mov", "3g2", "3gp"})
        EXPECT_TRUE(NeedsGlobalHeader(name)) << name;
    for (const char* name : {"mp3", "adts", "ipod", "ogg", "MP4", ""})
        EXPECT_FALSE(NeedsGlobalHeader(name)) << name;
}

}  // namespace
}  // namespace quelt
