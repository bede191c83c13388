#include <gtest/gtest.h>

#include "core/naming/untrusted_text.h"

namespace quelt {
namespace {

TEST(UntrustedText, KeepsValidUtf8AsItIs) {
    EXPECT_EQ(CleanUntrustedText("Sigur Rós – 東京 🎵"), "Sigur Rós – 東京 🎵");
}

TEST(UntrustedText, ReplacesInvalidSequencesAndControls) {
    EXPECT_EQ(CleanUntrustedText("Bad\xff\xfe" "End"), "Bad\xEF\xBF\xBD\xEF\xBF\xBD" "End");
    EXPECT_EQ(CleanUntrustedText("\xc3\x28x"), "\xEF\xBF\xBD(x");            // broken pair
    EXPECT_EQ(CleanUntrustedText("\xed\xa0\x80z"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz");  // surrogate
    EXPECT_EQ(CleanUntrustedText("\xc0\xafq"), "\xEF\xBF\xBD\xEF\xBF\xBDq");  // overlong "/"
    EXPECT_EQ(CleanUntrustedText("Tab\there\r\nnext\x1b"), "Tab here  next");
    EXPECT_EQ(CleanUntrustedText("  \x01 "), "");
}

TEST(UntrustedText, CutsLongTextsAtACharacterBoundary) {
    std::string longText;
    for (int i = 0; i < 600; ++i) longText += "é";  // two bytes each
    std::string cut = CleanUntrustedText(longText, 1001);
    EXPECT_EQ(cut.size(), 1000u);
    EXPECT_EQ(CleanUntrustedText(cut), cut);
}

// Printed text cannot drive the terminal: controls and broken bytes show as escapes.
TEST(UntrustedText, TerminalTextEscapesControlsAndBrokenBytes) {
    EXPECT_EQ(TerminalText("Sigur Rós \\ 東京"), "Sigur Rós \\ 東京");
    EXPECT_EQ(TerminalText("a\nb\rc\td\x1b[2Je\x7f"), "a\\nb\\rc\\td\\e[2Je\\x7f");
    EXPECT_EQ(TerminalText("\xc2\x9b" "31m\xff"), "\\xc2\\x9b31m\\xff");
}

}  // namespace
}  // namespace quelt
