// The format and preset lists as a job reads them, and the label parser.
#include "core/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace quelt {
namespace {

// Every label reads back as its own row and parses to the numbers it shows; "Same as
// source" follows the classic 68.
TEST(PresetListTest, EveryLabelParsesToTheNumbersItShows) {
    std::set<std::string> labels;
    for (int row = 0; row < 68; ++row) {
        const std::string label = EncodePresetLabel(row);
        labels.insert(label);
        EXPECT_EQ(EncodePresetRow(label), row);
        int kbit = 0, rate = 0;
        char mode[8] = {};
        ASSERT_EQ(std::sscanf(label.c_str(), "%dkbit/s %dHz %7s", &kbit, &rate, mode), 3) << label;
        const EncodeParameters p = PresetFromLabel(label);
        EXPECT_EQ(p.bitRate, kbit * 1000) << label;
        EXPECT_EQ(p.sampleRate, rate) << label;
        EXPECT_EQ(p.channels, std::string(mode) == "Mono" ? 1 : 2) << label;
    }
    EXPECT_EQ(labels.size(), 68u);
    EXPECT_EQ(EncodePresetLabel(0), "320kbit/s 44100Hz Stereo ");
    EXPECT_EQ(EncodePresetLabel(67), "8kbit/s 8000Hz Mono ");
    EXPECT_EQ(EncodePresetLabel(68), "Same as source");
    EXPECT_TRUE(PresetFromLabel("Same as source").sameAsSource);
    EXPECT_EQ(EncodePresetLabel(69), "");
    EXPECT_EQ(EncodePresetRow("nothing"), -1);
}

// A hand-written label parses as a job reads it: only the exact word "Mono" makes mono, and
// fields are split at single blanks.
TEST(PresetListTest, OddLabelsParseAsAJobReadsThem) {
    struct Case {
        const char* label;
        int bitRate, sampleRate, channels;
    };
    for (const Case& c : {Case{"128kbit/s 44100Hz mono ", 128000, 44100, 2},
                          Case{"128kbit/s  44100Hz Mono ", 128000, 0, 2},
                          Case{"kbit/s Hz Mono ", 0, 0, 1}, Case{"", 0, 0, 2}}) {
        const EncodeParameters p = PresetFromLabel(c.label);
        EXPECT_EQ(p.bitRate, c.bitRate) << c.label;
        EXPECT_EQ(p.sampleRate, c.sampleRate) << c.label;
        EXPECT_EQ(p.channels, c.channels) << c.label;
    }
    EXPECT_FALSE(PresetFromLabel("Same as source ").sameAsSource);
}

TEST(FormatListTest, FindsAFormatByExtensionInAnySpellingAndKnowsGlobalHeaders) {
    for (int row = 0; row < kOutputFormatCount; ++row) EXPECT_EQ(OutputFormatRow(row)->row, row);
    EXPECT_FALSE(OutputFormatRow(kOutputFormatCount));
    EXPECT_FALSE(OutputFormatRow(-1));
    EXPECT_EQ(OutputFormatByExtension("FLAC")->row, 9);
    EXPECT_EQ(OutputFormatByExtension(".Mp3")->row, 5);
    EXPECT_EQ(OutputFormatByExtension(".m4a")->row, 4) << "the AAC row owns the extension";
    EXPECT_FALSE(OutputFormatByExtension("mp"));
    EXPECT_FALSE(OutputFormatByExtension(""));
    EXPECT_TRUE(IsAacRow(4));
    EXPECT_FALSE(IsAacRow(5));
    EXPECT_TRUE(NeedsGlobalHeader("m4a"));
    EXPECT_FALSE(NeedsGlobalHeader("MP4"));
    EXPECT_FALSE(NeedsGlobalHeader("adts"));
}

}  // namespace
}  // namespace quelt
