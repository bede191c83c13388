// Tag fields, numbers, durations, case changes and the path helpers.
#include "core/naming/text.h"

#include <gtest/gtest.h>

#include "core/naming/paths.h"

namespace quelt {
namespace {

TEST(TagFieldTest, TakesFieldsByPosition) {
    const std::string text = "7|Title|Artist||Genre|";
    EXPECT_EQ(TagField(text, 2), "Artist");
    EXPECT_EQ(TagField(text, 3), "");
    EXPECT_EQ(TagField(text, 50), "");
    EXPECT_EQ(TagField(text, -1), "");
    EXPECT_EQ(TagField("a|b", 1), "b");  // a last field without its bar still counts
}

TEST(TrackNumberTest, PadsByWidthTwoOrThreeOnly) {
    struct NumberCase {
        int n, width;
        const char* expected;
    };
    for (const NumberCase& c :
         {NumberCase{5, 2, "05"}, NumberCase{100, 2, "100"}, NumberCase{99, 3, "099"},
          NumberCase{5, 4, ""}, NumberCase{5, 1, ""}})
        EXPECT_EQ(FormatTrackNumber(c.n, c.width), c.expected) << c.n << " at " << c.width;
}

TEST(FormatDurationTest, HoursMinutesSecondsAndMilliseconds) {
    EXPECT_EQ(FormatDuration(205000), "00:03:25");
    EXPECT_EQ(FormatDuration(12 * 3600000LL + 61 * 1000 + 45), "12:01:01.045");
    EXPECT_EQ(FormatDuration(123 * 3600000LL), "123:00:00");
}

TEST(ChangeTextCaseTest, ChangesCaseByModeInAnyScript) {
    struct CaseCase {
        const char* text;
        int mode;
        const char* expected;
    };
    for (const CaseCase& c :
         {CaseCase{"  two   blanks  ", 3, "Two Blanks"}, CaseCase{"   ", 3, ""},
          CaseCase{" lead", 4, " lead"}, CaseCase{"x", 0, ""}, CaseCase{"x", 5, ""},
          CaseCase{"AC/DC rock-n-roll", 3, "Ac/dc Rock-n-roll"}, CaseCase{"ÓLAFUR", 2, "ólafur"},
          CaseCase{"élan VITAL", 4, "Élan vital"}, CaseCase{"ПРИВЕТ мир", 3, "Привет Мир"},
          CaseCase{"straße", 1, "STRAßE"}, CaseCase{"日本 语", 3, "日本 语"},
          CaseCase{"ǄUNGLA", 2, "ǆungla"}, CaseCase{"xıy", 1, "XIY"}})
        EXPECT_EQ(ChangeTextCase(c.text, c.mode), c.expected) << c.text << " mode " << c.mode;
}

TEST(ChangeTextCaseTest, InvalidBytesPassThroughUnsplit) {
    // A lone continuation byte, a truncated sequence and an overlong form stay as they are.
    const std::string text = "a\x80z \xc3 \xc0\xaf end\xe2\x82";
    const std::string upper = ChangeTextCase(text, 1);
    EXPECT_EQ(upper, "A\x80Z \xc3 \xc0\xaf END\xe2\x82");
}

TEST(PathHelpersTest, SplitPaths) {
    EXPECT_EQ(PathFileTitle("/music/a/Song.live.mp3"), "Song.live");
    EXPECT_EQ(PathUpperExtension("/music/a/Song.live.Mp3"), "MP3");
    EXPECT_EQ(PathFolder("Song.mp3"), "");
    EXPECT_EQ(PathFileTitle("/music/a.b/Song"), "Song");
    EXPECT_EQ(PathUpperExtension("/music/a.b/Song"), "");
    EXPECT_EQ(PathFileName("/music/a/"), "");
    EXPECT_EQ(WithTrailingBackslash("/music/"), "/music/");
}

TEST(PathHelpersTest, SupportedInputsByExtension) {
    EXPECT_TRUE(IsMediaFile("/x/a.MP3"));
    EXPECT_FALSE(IsMediaFile("/x/a.mp2"));
    EXPECT_FALSE(IsMediaFile("/x/mp3"));
    EXPECT_TRUE(IsAudioFile("/x/a.Flac"));
    EXPECT_FALSE(IsAudioFile("/x/a.m4a"));
}

}  // namespace
}  // namespace quelt
