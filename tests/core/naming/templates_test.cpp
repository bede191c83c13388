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

TEST(TemplateTest, EveryTemplateOnOneTagSet) {
    struct NameCase {
        int index;
        const char* expected;
    };
    for (const NameCase& c :
         {NameCase{0, "track 7"}, NameCase{1, "X - Z"}, NameCase{2, "X - Y/7. Z"},
          NameCase{3, "X - Y/7 - Z"}, NameCase{4, "X/Y/7. Z"}, NameCase{5, "X/Y/7 - Z"},
          NameCase{6, "Y/7. X - Z"}, NameCase{7, "Y/7 - X - Z"}, NameCase{8, "7. Z"},
          NameCase{9, "7 - Z"}, NameCase{10, "X - Y - 7 - Z"}, NameCase{11, "7XY"},
          NameCase{12, ""}, NameCase{-1, ""}, NameCase{100, ""}})
        EXPECT_EQ(BuildRipName(c.index, RipTagsText(SampleTags(7)), "0|2|3|"), c.expected)
            << c.index;
    for (const NameCase& c :
         {NameCase{0, "Live 08"}, NameCase{1, "track 08"}, NameCase{2, "X - Z"},
          NameCase{3, "X - Y/08. Z"}, NameCase{4, "X - Y/08 - Z"}, NameCase{5, "X/Y/08. Z"},
          NameCase{6, "X/Y/08 - Z"}, NameCase{7, "Y/08. X - Z"}, NameCase{8, "Y/08 - X - Z"},
          NameCase{9, "08. Z"}, NameCase{10, "08 - Z"}, NameCase{11, "X - Y - 08 - Z"},
          NameCase{12, ""}, NameCase{-1, ""}})
        EXPECT_EQ(BuildConvertName(c.index, ConvertTagsText(SampleTags(8))), c.expected) << c.index;
}

// Tags read from files may hold anything: no line break, escape sequence or broken byte
// reaches a file name.
TEST(TagsTextTest, HostileTagTextIsCleanedForNames) {
    TrackTags t = SampleTags(1);
    t.artist = "Evil\nArtist\x1b[2J";
    t.title = "Title\r\xff";
    EXPECT_EQ(BuildRipName(4, RipTagsText(t), ""), "Evil Artist [2J/Y/1. Title \xEF\xBF\xBD");
}

TEST(TagsTextTest, NumbersEmptyTagsAndBarsInTags) {
    EXPECT_EQ(RipTagsText(SampleTags(5)), "5|Z|X|Y|G|128000|44100|");
    EXPECT_EQ(ConvertTagsText(SampleTags(5)), "05|Z|X|Y|G|128000|44100|Live|");
    // Empty tags stay empty, and empty folder levels collapse.
    TrackTags empty;
    empty.number = 2;
    EXPECT_EQ(BuildConvertName(2, ConvertTagsText(empty)), " - ");
    EXPECT_EQ(BuildConvertName(5, ConvertTagsText(empty)), "02. ");
    // A bar inside a tag does not shift the other fields.
    TrackTags barred = SampleTags(1);
    barred.title = "A|B";
    EXPECT_EQ(BuildRipName(1, RipTagsText(barred), ""), "X - A_B");
    EXPECT_EQ(BuildRipName(11, RipTagsText(barred), "3|"), "Y");
}

// The custom pattern joins its fields with nothing between; with a separator chosen the
// names are the pattern dialog's preview: the number at width 2 and the separator between
// fields only.
TEST(CustomPatternTest, JoinsTheFieldsWithTheChosenSeparator) {
    struct PatternCase {
        const char* pattern;
        const char* expected;
    };
    for (const PatternCase& c : {PatternCase{"", ""}, PatternCase{"9|", ""}, PatternCase{"x|", "3"},
                                 PatternCase{"4|5|6|", "G12800044100"}, PatternCase{"1||2|", "Z"},
                                 PatternCase{"1|2", "ZX"}, PatternCase{"-1|1|", "Z"}})
        EXPECT_EQ(BuildRipName(11, RipTagsText(SampleTags(3)), c.pattern), c.expected) << c.pattern;
    struct SeparatorCase {
        int entry;
        const char* expected;            // "0|2|1|" for track 3
        const char* expectedNumberLast;  // "2|0|" for track 12
    };
    for (const SeparatorCase& c :
         {SeparatorCase{kNoSeparatorChoice, "3XZ", "X12"}, SeparatorCase{0, "03XZ", "X12"},
          SeparatorCase{2, "03-X-Z", "X-12"}}) {
        EXPECT_EQ(BuildRipName(11, RipTagsText(SampleTags(3)), "0|2|1|", c.entry), c.expected);
        EXPECT_EQ(BuildRipName(11, RipTagsText(SampleTags(12)), "2|0|", c.entry),
                  c.expectedNumberLast);
    }
}

// Names made from tags stay relative, whatever the tags hold.
TEST(TraversalTest, NamesFromTagsStayRelative) {
    struct TraversalCase {
        const char* artist;
        const char* title;
        const char* expected;  // rip template 4: artist/album/number. title
    };
    for (const TraversalCase& c :
         {TraversalCase{"..", "Z", "__/Y/1. Z"}, TraversalCase{".", "Z", "_/Y/1. Z"},
          TraversalCase{"../../..", "Z", "__/__/__/Y/1. Z"},
          TraversalCase{"..\\..", "Z", "__/__/Y/1. Z"}, TraversalCase{"/etc", "Z", "etc/Y/1. Z"},
          TraversalCase{"", "Z", "Y/1. Z"}, TraversalCase{"A//B", "Z", "A/B/Y/1. Z"},
          TraversalCase{"X", "Part 1\\2", "X/Y/1. Part 1/2"},
          TraversalCase{"X", "x/../../../etc/passwd", "X/Y/1. x/__/__/__/etc/passwd"},
          TraversalCase{"...", "Z", ".../Y/1. Z"}}) {
        TrackTags t = SampleTags(1);
        t.artist = c.artist;
        t.title = c.title;
        EXPECT_EQ(BuildRipName(4, RipTagsText(t), ""), c.expected) << c.artist << " " << c.title;
    }
}

TEST(SafeRelativeNameTest, NameMadeOnlyOfSeparatorsIsEmpty) {
    EXPECT_EQ(SafeRelativeName("/"), "");
    EXPECT_EQ(SafeRelativeName("\\/\\"), "");
    EXPECT_EQ(SafeRelativeName(".."), "__");
    EXPECT_EQ(SafeRelativeName("a/./b"), "a/_/b");
}

TEST(TemplateLabelsTest, ListsOneLabelPerTemplate) {
    EXPECT_EQ(RipTemplateLabels().size(), 12u);
    EXPECT_EQ(ConvertTemplateLabels().size(), 12u);
    EXPECT_EQ(CustomPatternFieldNames().size(), 7u);
}

TEST(ExtensionForFormatTest, SetsTheJobsExtensionFromARow) {
    Settings s;
    EXPECT_EQ(ExtensionForFormat(s, 9, true), ".flac");
    EXPECT_EQ(ExtensionForFormat(s, 16, true), ".flac") << "a row outside keeps the last";
    EXPECT_EQ(s.convertExtension, "");
    EXPECT_EQ(ExtensionForFormat(s, 12, false), ".wma");
    EXPECT_EQ(s.convertExtension, ".wma");
    EXPECT_EQ(s.ripExtension, ".flac");
}

}  // namespace
}  // namespace quelt
