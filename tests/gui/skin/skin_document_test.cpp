// The skin description reader: profile reading rules, windows and their control sections,
// the limits on numbers and texts, fonts, "Resource.h" look-ups and loading from disk.
#include "gui/skin/skin_document.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixtures.h"

namespace quelt {
namespace {

const char* kHeader =
    "#define IDD_MAIN 1000\n"
    "#define IDC_AB   1002\n"
    "#define IDC_A\t1001\n"
    "#define IDC_C 1003 // the third\n"
    "#define IDC_HEX 0x10\n"
    "#define IDD_OTHER 2000\n";

SkinWindow ReadWindow(const std::string& ui, const char* header = kHeader, int number = 1000) {
    const SkinDocument doc = SkinDocument::Parse(ui, header);
    auto w = doc.Window(number);
    EXPECT_TRUE(w.has_value());
    return w.value_or(SkinWindow{});
}

SkinControl OneControl(const std::string& type, const std::string& keys = "") {
    SkinWindow w = ReadWindow("[IDD_MAIN]\nBKN=a.png\n[IDD_MAIN_0]\nType=" + type + "\n" + keys);
    EXPECT_EQ(w.controls.size(), 1u);
    return w.controls.empty() ? SkinControl{} : w.controls[0];
}

// ------------------------------------------------------------------------- rectangles

TEST(SkinRectTest, MissingPartsReadZero) {
    EXPECT_EQ(ParseSkinRect("10,20"), (SkinRect{10, 20, 0, 0}));
    EXPECT_EQ(ParseSkinRect("1,2,3,4"), (SkinRect{1, 2, 3, 4}));
    EXPECT_EQ(ParseSkinRect(""), (SkinRect{0, 0, 0, 0}));
    EXPECT_EQ(ParseSkinRect(" 5 , x, 7"), (SkinRect{5, 0, 7, 0}));
    EXPECT_EQ(ParseSkinRect("-3,4,5,6,99"), (SkinRect{-3, 4, 5, 6}));
    // Extreme numbers are held to a range in which sizes cannot overflow.
    const SkinRect extreme = ParseSkinRect("-2147483648,-99999999999,2147483647,99999999999");
    EXPECT_EQ(extreme, (SkinRect{-32767, -32767, 32767, 32767}));
    EXPECT_EQ(extreme.width(), 65534);
    EXPECT_EQ(ParseSkinRect("12abc,3"), (SkinRect{12, 3, 0, 0}));
    EXPECT_EQ(OneControl("STATIC", "Rect=10,20\n").rect, (SkinRect{10, 20, 0, 0}));
}

// ------------------------------------------------------------------------- control sections

TEST(SkinControlsTest, ReadingStopsAtTheFirstSectionWithoutType) {
    SkinWindow w = ReadWindow(
        "[IDD_MAIN]\nBKN=a.png\n"
        "[IDD_MAIN_0]\nType=PUSHBUTTON\nIDs=IDC_A\n"
        "[IDD_MAIN_1]\nType=STATIC\n"
        "[IDD_MAIN_2]\nRect=1,2,3,4\n"
        "[IDD_MAIN_3]\nType=EDIT\n");
    ASSERT_EQ(w.controls.size(), 2u);
    EXPECT_EQ(w.controls[0].section, "IDD_MAIN_0");
    EXPECT_EQ(w.controls[1].type, SkinControlType::Static);
}

TEST(SkinControlsTest, AMissingSectionOrABlankTypeEndsTheControls) {
    EXPECT_EQ(ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=CHECK\n[IDD_MAIN_2]\nType=CHECK\n")
                  .controls.size(),
              1u);
    EXPECT_TRUE(ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=   \n[IDD_MAIN_1]\nType=CHECK\n")
                    .controls.empty());
}

TEST(SkinControlsTest, UnknownTypeIsListedAndReadingGoesOn) {
    SkinWindow w = ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=GAUGE\n[IDD_MAIN_1]\nType=edit\n");
    ASSERT_EQ(w.controls.size(), 2u);
    EXPECT_EQ(w.controls[0].type, SkinControlType::Unknown);
    EXPECT_EQ(w.controls[0].typeText, "GAUGE");
    EXPECT_EQ(w.controls[1].type, SkinControlType::Edit);
}

TEST(SkinControlsTest, IdsResolveThroughResourceHeader) {
    SkinWindow w = ReadWindow(
        "[IDD_MAIN]\n[IDD_MAIN_0]\nType=CHECK\nIDs=IDC_A\n[IDD_MAIN_1]\nType=CHECK\nIDs=IDC_AB\n"
        "[IDD_MAIN_2]\nType=CHECK\nIDs=IDC_NOPE\n[IDD_MAIN_3]\nType=CHECK\n");
    ASSERT_EQ(w.controls.size(), 4u);
    EXPECT_EQ(w.controls[0].id, 1001);
    EXPECT_EQ(w.controls[1].id, 1002);
    EXPECT_EQ(w.controls[2].id, -1);
    EXPECT_EQ(w.controls[2].idsName, "IDC_NOPE");
    EXPECT_EQ(w.controls[3].id, -1);
    EXPECT_EQ(w.FindControl(1002), &w.controls[1]);
    EXPECT_EQ(w.FindControl(-1), nullptr);
}

TEST(SkinControlsTest, TypeIsComparedWithoutCase) {
    for (int i = 0; i < int(SkinControlType::Unknown); ++i) {
        const auto type = SkinControlType(i);
        const std::string name = SkinControlTypeName(type);
        std::string lower = name, mixed = name;
        for (char& c : lower) c = char(std::tolower(c));
        for (std::size_t at = 0; at < mixed.size(); at += 2)
            mixed[at] = char(std::tolower(mixed[at]));
        EXPECT_EQ(SkinControlTypeOf(name), type) << name;
        EXPECT_EQ(SkinControlTypeOf(mixed), type) << name;
        EXPECT_EQ(OneControl(lower).type, type) << name;
    }
}

// ------------------------------------------------------------------------- keys and limits

// The keys whose reading depends on the control's type.
TEST(SkinKeysTest, KeysAreReadOnlyForTheTypesThatHaveThem) {
    SkinControl radio = OneControl("RADIO", "Tag=kept out\nIsGroup=1\nBKCN=c.png\n");
    EXPECT_TRUE(radio.button.isTabStop);
    EXPECT_TRUE(radio.button.isGroup);
    EXPECT_EQ(radio.button.tag, "");
    EXPECT_EQ(radio.button.checkedImages[0], "c.png");
    EXPECT_EQ(OneControl("CHECK", "Tag=kept\n").button.tag, "kept");
    EXPECT_EQ(OneControl("PUSHBUTTON", "BKCN=c.png\n").button.checkedImages[0], "");
    EXPECT_FALSE(OneControl("PUSHBUTTON").button.isTabStop);
    // A rich edit reads no alignment keys.
    SkinControl r = OneControl("RICHEDIT", "HorAligMode=2\nHorAlig=4\nIsReadOnly=1\n");
    EXPECT_EQ(r.edit.horAligMode, 0);
    EXPECT_EQ(r.text.horAlig, 0);
    EXPECT_TRUE(r.edit.isReadOnly);
    EXPECT_EQ(OneControl("SLIDER", "ThumbN=t.png\n").slider.thumbImages[0], "");
    EXPECT_EQ(OneControl("SLIDEREX", "ThumbN=t.png\n").slider.thumbImages[0], "t.png");
    // A thumbnail's hover rectangles start from the normal ones.
    SkinControl th = OneControl("THUMBNAIL", "ThmRectTopH=9\nLblRectBottomN=120\n");
    EXPECT_EQ(th.thumbnail.imageRectH, (SkinRect{4, 9, 96, 83}));
    EXPECT_EQ(th.thumbnail.labelRectH, (SkinRect{4, 90, 96, 116}));
    // Words are upper-cased: the widget code compares them so.
    EXPECT_EQ(OneControl("STATIC", "HorAlignMode=right\n").text.horAlignMode, "RIGHT");
}

TEST(SkinKeysTest, TextLimits) {
    const std::string longText(700, 'x');
    SkinControl b =
        OneControl("PUSHBUTTON", "Caption=" + longText + "\nToolTips=" + longText +
                                     "\nTag=" + longText + "\nHorAlignMode=" + longText + "\n");
    EXPECT_EQ(b.button.caption.size(), 259u);
    EXPECT_EQ(b.button.toolTips.size(), 519u);
    EXPECT_EQ(b.button.tag.size(), 522u);
    EXPECT_EQ(b.text.horAlignMode.size(), 31u);
    SkinControl s = OneControl("STATIC", "HorAlignMode=" + longText + "\n");
    EXPECT_EQ(s.text.horAlignMode.size(), 259u);
    // A type longer than 31 characters is cut and then names no known type.
    SkinControl t = OneControl("PUSHBUTTON" + std::string(30, 'Z'));
    EXPECT_EQ(t.typeText.size(), 31u);
    EXPECT_EQ(t.type, SkinControlType::Unknown);
}

TEST(SkinKeysTest, CutNeverSplitsAUtf8Sequence) {
    std::string caption(258, 'a');
    caption += "\xC3\xA9\xC3\xA9";  // "éé": the 259-byte cut falls inside the first one
    SkinControl b = OneControl("PUSHBUTTON", "Caption=" + caption + "\n");
    EXPECT_EQ(b.button.caption, std::string(258, 'a'));
}

// ------------------------------------------------------------------------- fonts and colours

std::string HexOf(const std::vector<unsigned char>& bytes) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    unsigned sum = 0;
    for (unsigned char b : bytes) {
        out += d[b >> 4];
        out += d[b & 15];
        sum += b;
    }
    out += d[(sum >> 4) & 15];
    out += d[sum & 15];
    return out;
}

std::vector<unsigned char> FontBytes(int height, int weight, bool italic, const std::string& face) {
    std::vector<unsigned char> b(60, 0);
    auto put = [&](int at, int v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<unsigned char>((unsigned(v) >> (8 * i)) & 0xFF);
    };
    put(0, height);
    put(16, weight);
    b[20] = italic ? 1 : 0;
    for (std::size_t i = 0; i < face.size(); ++i) b[28 + i] = static_cast<unsigned char>(face[i]);
    return b;
}

TEST(SkinFontTest, ReadsTheRecordWithItsChecksum) {
    auto font = DecodeSkinFont(HexOf(FontBytes(-13, 700, true, "Tahoma")));
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->height, -13);
    EXPECT_EQ(font->weight, 700);
    EXPECT_EQ(font->italic, 1);
    EXPECT_EQ(font->faceName, "Tahoma");
    // Lower-case digits are accepted too.
    std::string lower = HexOf(FontBytes(-13, 700, true, "Tahoma"));
    for (char& c : lower) c = char(std::tolower(c));
    EXPECT_TRUE(DecodeSkinFont(lower).has_value());
    EXPECT_EQ(EncodeSkinFont(*font), HexOf(FontBytes(-13, 700, true, "Tahoma")));
}

TEST(SkinFontTest, BadRecordsReadAsMissing) {
    std::string good = HexOf(FontBytes(-12, 400, false, "Sans"));
    std::string badSum = good;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    EXPECT_FALSE(DecodeSkinFont(badSum).has_value());
    EXPECT_FALSE(DecodeSkinFont(good.substr(0, 120)).has_value());
    EXPECT_FALSE(DecodeSkinFont(good + "00").has_value());
    std::string badDigit = good;
    badDigit[10] = 'G';
    EXPECT_FALSE(DecodeSkinFont(badDigit).has_value());
    EXPECT_FALSE(DecodeSkinFont("").has_value());
    // A face name of 32 bytes without a zero is cut.
    auto font = DecodeSkinFont(HexOf(FontBytes(-12, 400, false, std::string(32, 'F'))));
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->faceName.size(), 31u);
}

TEST(SkinFontTest, StateFontsAndColoursFollowTheSameAsNormalFlags) {
    const std::string normal = HexOf(FontBytes(-12, 400, false, "Sans"));
    const std::string hover = HexOf(FontBytes(-12, 700, false, "Sans"));
    SkinControl b = OneControl(
        "PUSHBUTTON", "FontN=" + normal + "\nFontH=" + hover + "\nIsSSameNFont=0\nFontS=" + hover +
                          "\nColorN=255\nIsDSameNColor=0\nColorD=8421504\nColorH=65280\n");
    ASSERT_TRUE(b.text.fonts[kSkinNormal].has_value());
    // "IsHSameNFont" defaults to 1: "FontH" is not used.
    EXPECT_EQ(b.text.fonts[kSkinHover], b.text.fonts[kSkinNormal]);
    ASSERT_TRUE(b.text.fonts[kSkinPressed].has_value());
    EXPECT_EQ(b.text.fonts[kSkinPressed]->weight, 700);
    EXPECT_EQ(b.text.colors[kSkinNormal], MakeSkinColor(255, 0, 0));  // red is the low byte
    EXPECT_EQ(SkinBlue(0xFF0000), 255);
    EXPECT_EQ(b.text.colors[kSkinHover], MakeSkinColor(255, 0, 0));
    EXPECT_EQ(b.text.colors[kSkinDisabled], MakeSkinColor(128, 128, 128));
    EXPECT_FALSE(b.text.sameColorAsNormal[kSkinDisabled]);
    // A label reads only the normal and disabled pair.
    SkinControl s = OneControl("STATIC", "ColorN=255\nIsHSameNColor=0\nColorH=65280\n");
    EXPECT_EQ(s.text.colors[kSkinHover], MakeSkinColor(255, 0, 0));
}

// ------------------------------------------------------------------------- windows

TEST(SkinWindowTest, WindowKeys) {
    SkinWindow w = ReadWindow("[IDD_MAIN]\nBKN=n.png\n");
    EXPECT_EQ(w.maskColor, MakeSkinColor(255, 0, 255));
    w = ReadWindow(
        "[IDD_MAIN]\nBKNO=o.png\nBKN=n.png\nBKD=d.png\nIsUseMaskColor=1\n"
        "RValue=1\nGValue=2\nBValue=3\nIsResizing=1\nResizingPtX=40\nResizingPtY=-5\n");
    EXPECT_EQ(w.bkno, "o.png");
    EXPECT_EQ(w.backgrounds[0], "n.png");
    EXPECT_EQ(w.backgrounds[1], "");
    EXPECT_EQ(w.backgrounds[3], "d.png");
    EXPECT_TRUE(w.isUseMaskColor);
    EXPECT_EQ(w.maskColor, MakeSkinColor(1, 2, 3));
    EXPECT_TRUE(w.isResizing);
    EXPECT_EQ(w.resizingPtY, -5);
}

TEST(SkinWindowTest, WindowWithoutNameOrSectionIsAbsent) {
    const SkinDocument doc = SkinDocument::Parse("[IDD_MAIN]\nBKN=a\n", kHeader);
    EXPECT_FALSE(doc.Window(4242).has_value());  // no name in Resource.h
    EXPECT_FALSE(doc.Window(2000).has_value());  // a name without a section
    EXPECT_TRUE(doc.Window(1000).has_value());
    EXPECT_EQ(doc.WindowNumbers(), std::vector<int>{1000});
}

// ------------------------------------------------------------------------- profile rules

TEST(SkinProfileRulesTest, NamesWithoutCaseQuotesCommentsAndLineEnds) {
    const SkinDocument doc = SkinDocument::Parse(
        "; a comment\r\n"
        "stray=before any section\r\n"
        "[idd_main]\r\n"
        "  bkn  =  \"quoted name.png\"  \r\n"
        "RVALUE = 12abc\r\n"
        "[IDD_MAIN_0]\r\n"
        "type=Check\r\n"
        "[IDD_MAIN]\r\n"
        "BKN=second.png\r\n"
        "BKH=second.png\r\n",
        kHeader);
    auto w = doc.Window(1000);
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->backgrounds[0], "quoted name.png");
    EXPECT_EQ(w->backgrounds[1], "");  // a repeated section is not read
    EXPECT_EQ(SkinRed(w->maskColor), 12);
    ASSERT_EQ(w->controls.size(), 1u);
    EXPECT_EQ(w->controls[0].type, SkinControlType::Check);
    EXPECT_EQ(doc.Text("IDD_MAIN", "BKN"), "quoted name.png");
    EXPECT_EQ(doc.Int("IDD_MAIN", "missing", 77), 77);
    EXPECT_EQ(doc.Int("IDD_MAIN", "BKN", 77), 0);  // present but not a number
    EXPECT_FALSE(doc.HasSection("stray"));
}

TEST(SkinProfileRulesTest, FirstKeyOfANameWins) {
    const SkinDocument doc = SkinDocument::Parse("[S]\nk=1\nK=2\n", "");
    EXPECT_EQ(doc.Int("s", "k", 0), 1);
}

// ------------------------------------------------------------------------- Resource.h

TEST(SkinResourceTest, NumberOfNameMatchesWholeNames) {
    const SkinResourceTable t = SkinResourceTable::Parse(kHeader);
    EXPECT_EQ(t.NumberOfName("IDC_A"), 1001);  // not the IDC_AB line above it
    EXPECT_EQ(t.NumberOfName("IDC_AB"), 1002);
    EXPECT_EQ(t.NumberOfName("IDC_C"), 1003);
    EXPECT_EQ(t.NumberOfName("IDC"), std::nullopt);
    EXPECT_EQ(t.NumberOfName("IDC_HEX"), std::nullopt);
    EXPECT_EQ(t.NumberOfName(""), std::nullopt);
    EXPECT_EQ(t.NumberOfName("idc_a"), std::nullopt);
    EXPECT_EQ(t.NameOfNumber(1001), "IDC_A");
    EXPECT_EQ(t.NameOfNumber(1003), "");  // its last word is "third"
}

TEST(SkinResourceTest, OddLinesAreIgnored) {
    const SkinResourceTable t = SkinResourceTable::Parse(
        "#ifndef X\n#define\n#define ONLY\n  #define  LEAD   5  \ndefine NOT 6\n#define BIG "
        "99999999999\n");
    EXPECT_EQ(t.NumberOfName("LEAD"), 5);
    EXPECT_EQ(t.NumberOfName("NOT"), std::nullopt);
    EXPECT_EQ(t.NumberOfName("ONLY"), std::nullopt);
    EXPECT_EQ(t.NumberOfName("BIG"), std::nullopt);
    EXPECT_EQ(t.NameOfNumber(5), "LEAD");
}

// ------------------------------------------------------------------------- encodings and loading

std::string Utf16Le(const std::string& ascii, bool bom = true) {
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(SkinLoadTest, Utf16DescriptionReadsLikeUtf8) {
    const std::string ui =
        "[IDD_MAIN]\r\nBKN=n.png\r\n[IDD_MAIN_0]\r\nType=STATIC\r\nCaption=Hi\r\n";
    SkinWindow w = ReadWindow(Utf16Le(ui));
    ASSERT_EQ(w.controls.size(), 1u);
    EXPECT_EQ(w.controls[0].label.caption, "Hi");
    EXPECT_EQ(w.backgrounds[0], "n.png");
    // UTF-16 text with characters beyond ASCII arrives as UTF-8.
    std::string caption = std::string("\xFF\xFE", 2) + Utf16Le("[IDD_MAIN]\nBKN=", false) +
                          std::string("\xE9\x00", 2) + Utf16Le(".png\n", false);
    EXPECT_EQ(ReadWindow(caption).backgrounds[0], "\xC3\xA9.png");
    // A UTF-8 byte-order mark does not hide the first section.
    EXPECT_EQ(ReadWindow("\xEF\xBB\xBF[IDD_MAIN]\nBKN=x\n").backgrounds[0], "x");
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(SkinLoadTest, Codes) {
    test::ScratchDir dir;
    WriteFile(dir.File("Resource.h"), kHeader);
    WriteFile(dir.File("plain.ui"), "[IDD_MAIN]\nBKN=n.png\n");
    WriteFile(dir.File("wide.ui"), Utf16Le("[IDD_MAIN]\nBKN=n.png\n"));

    SkinLoadResult missing = LoadSkin(dir.File("nothing.ui"), true);
    EXPECT_EQ(missing.code, kSkinFileMissing);
    EXPECT_EQ(missing.message, "");
    EXPECT_EQ(missing.document, nullptr);

    SkinLoadResult wide = LoadSkin(dir.File("wide.ui"), true);
    EXPECT_EQ(wide.code, kSkinIsUnicode);
    EXPECT_EQ(wide.message, "The skin file:\"" + dir.File("wide.ui") +
                                "\" supports Unicode, but the skin editor doesn't!");
    EXPECT_EQ(wide.document, nullptr);

    SkinLoadResult wideTaken = LoadSkin(dir.File("wide.ui"), false);
    ASSERT_EQ(wideTaken.code, kSkinLoaded);
    EXPECT_TRUE(wideTaken.document->Window(1000).has_value());

    SkinLoadResult plain = LoadSkin(dir.File("plain.ui"), true);
    ASSERT_EQ(plain.code, kSkinLoaded);
    EXPECT_EQ(plain.folder, dir.path().string() + "/");
    EXPECT_EQ(plain.resourcePath, dir.File("Resource.h"));
    ASSERT_NE(plain.document, nullptr);
    EXPECT_EQ(plain.document->Window(1000)->backgrounds[0], "n.png");
}

TEST(SkinLoadTest, RelativePathIsTakenFromTheBaseFolder) {
    test::ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "skins" / "zqr");
    WriteFile(dir.File("skins/zqr/the.ui"), "[IDD_MAIN]\nBKN=n.png\n");
    WriteFile(dir.File("skins/zqr/Resource.h"), kHeader);
    SkinLoadResult r = LoadSkin("skins/zqr/the.ui", true, dir.path().string());
    ASSERT_EQ(r.code, kSkinLoaded);
    EXPECT_EQ(r.descriptionPath, dir.File("skins/zqr/the.ui"));
    EXPECT_TRUE(r.document->Window(1000).has_value());
}

TEST(SkinLoadTest, MissingResourceHeaderLeavesNoWindowsAndAFolderIsNoSkin) {
    test::ScratchDir dir;
    WriteFile(dir.File("the.ui"), "[IDD_MAIN]\nBKN=n.png\n");
    SkinLoadResult r = LoadSkin(dir.File("the.ui"), true);
    ASSERT_EQ(r.code, kSkinLoaded);
    EXPECT_FALSE(r.document->Window(1000).has_value());
    EXPECT_TRUE(r.document->HasSection("IDD_MAIN"));
    EXPECT_EQ(LoadSkin(dir.path().string(), true).code, kSkinFileMissing);
}

}  // namespace
}  // namespace quelt
