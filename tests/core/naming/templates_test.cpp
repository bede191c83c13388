// The naming templates, the custom pattern, the tags texts and the format extensions.
#include "core/naming/templates.h"

#include <gtest/gtest.h>

#include "core/settings/settings.h"

namespace quelt {
namespace {

TrackTags SampleTags(int number) {
    TrackTags t;
    t.number = number;
    t.title = "Z";
    t.artist = "X";
    t.album = "Y";
    t.genre = "G";
    t.bitrate = 128000;
    t.sampleRate = 44100;
    t.sourceTitle = "Live";
    return t;
}

struct NameCase {
    int index;
    const char* expected;
};

class RipTemplateTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RipTemplateTest, EveryTemplateOnOneTagSet) {
    EXPECT_EQ(BuildRipName(GetParam().index, RipTagsText(SampleTags(7)), "0|2|3|"),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Indexes, RipTemplateTest,
                         ::testing::Values(NameCase{0, "track 7"}, NameCase{1, "X - Z"},
                                           NameCase{2, "X - Y/7. Z"}, NameCase{3, "X - Y/7 - Z"},
                                           NameCase{4, "X/Y/7. Z"}, NameCase{5, "X/Y/7 - Z"},
                                           NameCase{6, "Y/7. X - Z"}, NameCase{7, "Y/7 - X - Z"},
                                           NameCase{8, "7. Z"}, NameCase{9, "7 - Z"},
                                           NameCase{10, "X - Y - 7 - Z"}, NameCase{11, "7XY"},
                                           NameCase{12, ""}, NameCase{-1, ""}, NameCase{100, ""}));

class ConvertTemplateTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ConvertTemplateTest, EveryTemplateOnOneTagSet) {
    EXPECT_EQ(BuildConvertName(GetParam().index, ConvertTagsText(SampleTags(8))),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Indexes, ConvertTemplateTest,
                         ::testing::Values(NameCase{0, "Live 08"}, NameCase{1, "track 08"},
                                           NameCase{2, "X - Z"}, NameCase{3, "X - Y/08. Z"},
                                           NameCase{4, "X - Y/08 - Z"}, NameCase{5, "X/Y/08. Z"},
                                           NameCase{6, "X/Y/08 - Z"}, NameCase{7, "Y/08. X - Z"},
                                           NameCase{8, "Y/08 - X - Z"}, NameCase{9, "08. Z"},
                                           NameCase{10, "08 - Z"}, NameCase{11, "X - Y - 08 - Z"},
                                           NameCase{12, ""}, NameCase{-1, ""}));

// Tags read from files may hold anything: no line break, escape sequence or broken byte
// reaches a file name.
TEST(TagsTextTest, HostileTagTextIsCleanedForNames) {
    TrackTags t = SampleTags(1);
    t.artist = "Evil\nArtist\x1b[2J";
    t.title = "Title\r\xff";
    EXPECT_EQ(BuildRipName(4, RipTagsText(t), ""), "Evil Artist [2J/Y/1. Title \xEF\xBF\xBD");
}

TEST(TagsTextTest, RipNumbersAreNotPaddedConvertNumbersAre) {
    EXPECT_EQ(RipTagsText(SampleTags(5)), "5|Z|X|Y|G|128000|44100|");
    EXPECT_EQ(ConvertTagsText(SampleTags(5)), "05|Z|X|Y|G|128000|44100|Live|");
    EXPECT_EQ(ConvertTagsText(SampleTags(123)).substr(0, 4), "123|");
    EXPECT_EQ(BuildRipName(8, RipTagsText(SampleTags(5)), ""), "5. Z");
}

TEST(TagsTextTest, EmptyTagsStayEmpty) {
    TrackTags t;
    t.number = 2;
    EXPECT_EQ(BuildConvertName(2, ConvertTagsText(t)), " - ");
    EXPECT_EQ(BuildConvertName(5, ConvertTagsText(t)), "02. ");  // empty folder levels collapse
}

TEST(TagsTextTest, ABarInsideATagDoesNotShiftTheOtherFields) {
    TrackTags t = SampleTags(1);
    t.title = "A|B";
    EXPECT_EQ(BuildRipName(1, RipTagsText(t), ""), "X - A_B");
    EXPECT_EQ(BuildRipName(11, RipTagsText(t), "3|"), "Y");
}

struct PatternCase {
    const char* pattern;
    const char* expected;
};

class CustomPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(CustomPatternTest, JoinsTheFieldsWithNothingBetween) {
    EXPECT_EQ(BuildRipName(11, RipTagsText(SampleTags(3)), GetParam().pattern),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, CustomPatternTest,
                         ::testing::Values(PatternCase{"0|2|3|", "3XY"}, PatternCase{"", ""},
                                           PatternCase{"9|", ""}, PatternCase{"1|1|", "ZZ"},
                                           PatternCase{"7|", ""}, PatternCase{"x|", "3"},
                                           PatternCase{"0|2|3|1|", "3XYZ"},
                                           PatternCase{"4|5|6|", "G12800044100"},
                                           PatternCase{"1||2|", "Z"}, PatternCase{"1|2", "ZX"},
                                           PatternCase{"-1|1|", "Z"}));

struct SeparatorCase {
    int entry;
    const char* expected;            // "0|2|1|" for track 3
    const char* expectedNumberLast;  // "2|0|" for track 12
};

class CustomSeparatorTest : public ::testing::TestWithParam<SeparatorCase> {};

// With a separator chosen the names are the pattern dialog's preview: the number at width 2
// and the separator between fields only. Without the key they stay as they always were.
TEST_P(CustomSeparatorTest, StandsBetweenTheFieldsWithTheNumberAtWidthTwo) {
    EXPECT_EQ(BuildRipName(11, RipTagsText(SampleTags(3)), "0|2|1|", GetParam().entry),
              GetParam().expected);
    EXPECT_EQ(BuildRipName(11, RipTagsText(SampleTags(12)), "2|0|", GetParam().entry),
              GetParam().expectedNumberLast);
}

INSTANTIATE_TEST_SUITE_P(Entries, CustomSeparatorTest,
                         ::testing::Values(SeparatorCase{kNoSeparatorChoice, "3XZ", "X12"},
                                           SeparatorCase{0, "03XZ", "X12"},
                                           SeparatorCase{1, "03 X Z", "X 12"},
                                           SeparatorCase{2, "03-X-Z", "X-12"},
                                           SeparatorCase{3, "03.X.Z", "X.12"},
                                           SeparatorCase{4, "03_X_Z", "X_12"}));

struct TraversalCase {
    const char* artist;
    const char* title;
    const char* expected;  // rip template 4: artist/album/number. title
};

class TraversalTest : public ::testing::TestWithParam<TraversalCase> {};

TEST_P(TraversalTest, NamesFromTagsStayRelative) {
    TrackTags t = SampleTags(1);
    t.artist = GetParam().artist;
    t.title = GetParam().title;
    const std::string name = BuildRipName(4, RipTagsText(t), "");
    EXPECT_EQ(name, GetParam().expected);
    EXPECT_NE(name.front(), '/');
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TraversalTest,
    ::testing::Values(TraversalCase{"..", "Z", "__/Y/1. Z"}, TraversalCase{".", "Z", "_/Y/1. Z"},
                      TraversalCase{"../../..", "Z", "__/__/__/Y/1. Z"},
                      TraversalCase{"..\\..", "Z", "__/__/Y/1. Z"},
                      TraversalCase{"/etc", "Z", "etc/Y/1. Z"}, TraversalCase{"", "Z", "Y/1. Z"},
                      TraversalCase{"A//B", "Z", "A/B/Y/1. Z"},
                      TraversalCase{"X", "Part 1\\2", "X/Y/1. Part 1/2"},
                      TraversalCase{"X", "x/../../../etc/passwd", "X/Y/1. x/__/__/__/etc/passwd"},
                      TraversalCase{"...", "Z", ".../Y/1. Z"}));

TEST(SafeRelativeNameTest, NameMadeOnlyOfSeparatorsIsEmpty) {
    EXPECT_EQ(SafeRelativeName("/"), "");
    EXPECT_EQ(SafeRelativeName("\\/\\"), "");
    EXPECT_EQ(SafeRelativeName(".."), "__");
    EXPECT_EQ(SafeRelativeName("a/./b"), "a/_/b");
}

TEST(TemplateLabelsTest, ListsInIndexOrder) {
    ASSERT_EQ(RipTemplateLabels().size(), 12u);
    EXPECT_EQ(RipTemplateLabels()[2], "<artist> - <album>\\<number>. <title>");
    EXPECT_EQ(RipTemplateLabels()[10], "<artist> - <album> - <number> - <title> ");
    EXPECT_EQ(RipTemplateLabels()[11], "custom by yourself");
    ASSERT_EQ(ConvertTemplateLabels().size(), 12u);
    EXPECT_EQ(ConvertTemplateLabels()[0], "<old filename> <number>");
    EXPECT_EQ(ConvertTemplateLabels()[1], "track <number>");
    EXPECT_EQ(CustomPatternFieldNames().size(), 7u);
    EXPECT_EQ(CustomPatternFieldNames()[0], "Track No.");
    EXPECT_EQ(CustomPatternFieldNames()[6], "Sample");
}

TEST(ExtensionForFormatTest, SetsTheJobsExtensionFromARow) {
    Settings s;
    EXPECT_EQ(ExtensionForFormat(s, 9, true), ".flac");
    EXPECT_EQ(s.ripExtension, ".flac");
    EXPECT_EQ(s.convertExtension, "");
    EXPECT_EQ(ExtensionForFormat(s, 16, true), ".flac");
    EXPECT_EQ(ExtensionForFormat(s, -1, true), ".flac");
    EXPECT_EQ(s.ripExtension, ".flac");
    EXPECT_EQ(ExtensionForFormat(s, 0, false), ".3gp");
    EXPECT_EQ(ExtensionForFormat(s, 12, false), ".wma");
    EXPECT_EQ(s.convertExtension, ".wma");
    EXPECT_EQ(ExtensionForFormat(s, 16, false), ".wma");
    EXPECT_EQ(ExtensionForFormat(s, 15, false), ".wv");
}

}  // namespace
}  // namespace quelt
