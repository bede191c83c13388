// Malformed skin descriptions: random mutations of the shipped description and header,
// with a fixed seed. The reader must neither crash nor read outside its buffers (the
// sanitizer build checks that), and must stay within its own limits.
#include <gtest/gtest.h>

#include <random>

#include "gui/skin/skin_document.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

const std::string& ShippedDescription() {
    static const std::string text =
        test::ReadFile(std::string(QUELT_SOURCE_DATA_DIR) + "/skins/zqr/the.ui");
    return text;
}

const std::string& ShippedHeader() {
    static const std::string text =
        test::ReadFile(std::string(QUELT_SOURCE_DATA_DIR) + "/skins/zqr/Resource.h");
    return text;
}

// One random edit of the kind a broken editor, a bad copy or a hostile file makes.
void Mutate(std::string& text, std::mt19937& rng) {
    static const char* const pieces[] = {"[",
                                         "]",
                                         "=",
                                         "\n",
                                         "\r\n",
                                         "\"",
                                         ";",
                                         ",",
                                         "-",
                                         "_0",
                                         "\xFF\xFE",
                                         "\xEF\xBB\xBF",
                                         "\xC3",
                                         "Type=",
                                         "Rect=",
                                         "IDs=",
                                         "Type=LISTCTRL\n",
                                         "FontN=00",
                                         "99999999999999999999",
                                         "-2147483648",
                                         "#define "};
    auto pick = [&](std::size_t n) { return n == 0 ? std::size_t(0) : std::size_t(rng() % n); };
    switch (rng() % 7) {
        case 0:  // flip a byte
            if (!text.empty()) text[pick(text.size())] = char(rng() & 0xFF);
            break;
        case 1:  // cut the text short
            text.resize(pick(text.size() + 1));
            break;
        case 2:  // insert a piece with meaning to the reader
            text.insert(pick(text.size() + 1), pieces[pick(std::size(pieces))]);
            break;
        case 3: {  // remove a run
            const std::size_t at = pick(text.size() + 1);
            text.erase(at, pick(64));
            break;
        }
        case 4: {  // duplicate a run somewhere else
            const std::size_t at = pick(text.size() + 1);
            const std::string run = text.substr(at, pick(200));
            text.insert(pick(text.size() + 1), run);
            break;
        }
        case 5:  // a very long line
            text.insert(pick(text.size() + 1), std::string(pick(5000), char('A' + pick(26))));
            break;
        default:  // a zero byte
            text.insert(pick(text.size() + 1), 1, '\0');
            break;
    }
}

void ReadEverything(const SkinDocument& doc) {
    for (int number : {1000, 2001, 2002, 2003, 2004}) {
        auto w = doc.Window(number);
        if (!w) continue;
        EXPECT_LE(w->controls.size(), 4096u);
        for (const SkinControl& c : w->controls) {
            EXPECT_FALSE(c.typeText.empty());
            EXPECT_LE(c.typeText.size(), 31u);
            EXPECT_LE(c.button.caption.size(), 259u);
            EXPECT_LE(c.button.toolTips.size(), 519u);
            EXPECT_LE(c.button.tag.size(), 522u);
            EXPECT_EQ(c.type, SkinControlTypeOf(c.typeText));
            for (const auto& f : c.text.fonts) {
                if (f) {
                    EXPECT_LE(f->faceName.size(), 31u);
                }
            }
        }
    }
}

TEST(SkinFuzzTest, MutatedDescriptionsAndHeadersNeverBreakTheReader) {
    ASSERT_FALSE(ShippedDescription().empty());
    std::mt19937 rng(20070601);
    for (int round = 0; round < 150; ++round) {
        std::string ui = ShippedDescription(), header = ShippedHeader();
        for (int e = 0; e < 1 + int(rng() % 12); ++e) Mutate(ui, rng);
        if (round % 2) Mutate(header, rng);
        const SkinDocument doc = SkinDocument::Parse(ui, header);
        ReadEverything(doc);
        for (const auto& entry : doc.resources().Entries())
            EXPECT_TRUE(doc.NumberOfName(entry.first).has_value());
        // Reading is a pure function of the bytes.
        auto a = doc.Window(1000), b = SkinDocument::Parse(ui, header).Window(1000);
        ASSERT_EQ(a.has_value(), b.has_value());
        if (a) {
            EXPECT_EQ(a->controls.size(), b->controls.size());
        }
    }
}

TEST(SkinFuzzTest, RandomBytesAndRandomFontRecords) {
    std::mt19937 rng(42);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 4000, '\0');
        for (char& c : bytes) c = char(rng() & 0xFF);
        if (round % 3 == 0) bytes.insert(0, "\xFF\xFE");
        const SkinDocument doc = SkinDocument::Parse(bytes, bytes);
        ReadEverything(doc);

        std::string font(122, '0');
        for (char& c : font) c = "0123456789ABCDEFabcdefXZ"[rng() % 24];
        auto decoded = DecodeSkinFont(font);
        if (decoded) {
            EXPECT_EQ(DecodeSkinFont(EncodeSkinFont(*decoded)), decoded);
        }
    }
}

TEST(SkinFuzzTest, HugeNumberedRunIsBounded) {
    std::string ui = "[IDD_MAIN]\nBKN=a\n";
    for (int n = 0; n < 5000; ++n) ui += "[IDD_MAIN_" + std::to_string(n) + "]\nType=STATIC\n";
    const SkinDocument doc = SkinDocument::Parse(ui, "#define IDD_MAIN 1000\n");
    auto w = doc.Window(1000);
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->controls.size(), 4096u);
}

}  // namespace
}  // namespace quelt
