// The skin description reader: profile reading rules, windows and their control sections,
// the limits on numbers and texts, fonts, "Resource.h" look-ups and loading from disk.
#include "gui/skin/skin_document.h"

#include <gtest/gtest.h>

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

TEST(SkinDocumentTest, RectanglesReadMissingPartsAsZeroAndStayInRange) {
    EXPECT_EQ(ParseSkinRect("10,20"), (SkinRect{10, 20, 0, 0}));
    EXPECT_EQ(ParseSkinRect(" 5 , x, 7"), (SkinRect{5, 0, 7, 0}));
    EXPECT_EQ(ParseSkinRect("-3,4,5,6,99"), (SkinRect{-3, 4, 5, 6}));
    // Extreme numbers are held to a range in which sizes cannot overflow.
    const SkinRect extreme = ParseSkinRect("-2147483648,-99999999999,2147483647,99999999999");
    EXPECT_EQ(extreme, (SkinRect{-32767, -32767, 32767, 32767}));
    EXPECT_EQ(extreme.width(), 65534);
}

// Controls are read from numbered sections up to the first missing one or one without a
// type; an unknown type is listed and reading goes on; names resolve through the header.
TEST(SkinDocumentTest, ControlSectionsTypesAndIds) {
    SkinWindow w = ReadWindow(
        "[IDD_MAIN]\nBKN=a.png\n"
        "[IDD_MAIN_0]\nType=PUSHBUTTON\nIDs=IDC_A\n"
        "[IDD_MAIN_1]\nType=GAUGE\nIDs=IDC_AB\n"
        "[IDD_MAIN_2]\nType=edit\nIDs=IDC_NOPE\n"
        "[IDD_MAIN_3]\nRect=1,2,3,4\n"
        "[IDD_MAIN_4]\nType=EDIT\n");
    ASSERT_EQ(w.controls.size(), 3u);
    EXPECT_EQ(w.controls[0].id, 1001);
    EXPECT_EQ(w.controls[1].type, SkinControlType::Unknown);
    EXPECT_EQ(w.controls[1].typeText, "GAUGE");
    EXPECT_EQ(w.controls[1].id, 1002);
    EXPECT_EQ(w.controls[2].type, SkinControlType::Edit);
    EXPECT_EQ(w.controls[2].id, -1);
    EXPECT_EQ(w.controls[2].idsName, "IDC_NOPE");
    EXPECT_EQ(w.FindControl(1002), &w.controls[1]);
    EXPECT_EQ(w.FindControl(-1), nullptr);
    EXPECT_EQ(ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=CHECK\n[IDD_MAIN_2]\nType=CHECK\n")
                  .controls.size(),
              1u);
    EXPECT_TRUE(ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=   \n[IDD_MAIN_1]\nType=CHECK\n")
                    .controls.empty());
    for (int i = 0; i < int(SkinControlType::Unknown); ++i) {
        std::string mixed = SkinControlTypeName(SkinControlType(i));
        for (std::size_t at = 0; at < mixed.size(); at += 2)
            mixed[at] = char(std::tolower(mixed[at]));
        EXPECT_EQ(OneControl(mixed).type, SkinControlType(i)) << mixed;
    }
}

TEST(SkinDocumentTest, KeysAreReadOnlyForTheTypesThatHaveThemAndCutToTheirLimits) {
    SkinControl radio = OneControl("RADIO", "Tag=kept out\nIsGroup=1\nBKCN=c.png\n");
    EXPECT_TRUE(radio.button.isTabStop);
    EXPECT_TRUE(radio.button.isGroup);
    EXPECT_EQ(radio.button.tag, "");
    EXPECT_EQ(radio.button.checkedImages[0], "c.png");
    EXPECT_EQ(OneControl("PUSHBUTTON", "BKCN=c.png\n").button.checkedImages[0], "");
    SkinControl r = OneControl("RICHEDIT", "HorAligMode=2\nIsReadOnly=1\n");
    EXPECT_EQ(r.edit.horAligMode, 0);
    EXPECT_TRUE(r.edit.isReadOnly);
    EXPECT_EQ(OneControl("SLIDER", "ThumbN=t.png\n").slider.thumbImages[0], "");
    EXPECT_EQ(OneControl("SLIDEREX", "ThumbN=t.png\n").slider.thumbImages[0], "t.png");
    // A thumbnail's hover rectangles start from the normal ones.
    SkinControl th = OneControl("THUMBNAIL", "ThmRectTopH=9\nLblRectBottomN=120\n");
    EXPECT_EQ(th.thumbnail.imageRectH, (SkinRect{4, 9, 96, 83}));
    EXPECT_EQ(th.thumbnail.labelRectH, (SkinRect{4, 90, 96, 116}));
    // Words are upper-cased: the widget code compares them so.
    EXPECT_EQ(OneControl("STATIC", "HorAlignMode=right\n").text.horAlignMode, "RIGHT");

    // Texts are cut to their limits (which the fuzz tests hold every control to).
    EXPECT_EQ(OneControl("PUSHBUTTON", "Tag=" + std::string(700, 'x') + "\n").button.tag.size(),
              522u);
    // A type longer than 31 characters is cut and then names no known type.
    SkinControl t = OneControl("PUSHBUTTON" + std::string(30, 'Z'));
    EXPECT_EQ(t.typeText.size(), 31u);
    EXPECT_EQ(t.type, SkinControlType::Unknown);
    // A cut never splits a UTF-8 sequence: the 259-byte cut falls inside the first "é".
    SkinControl u = OneControl("PUSHBUTTON", "Caption=" + std::string(258, 'a') + "\xC3\xA9\n");
    EXPECT_EQ(u.button.caption, std::string(258, 'a'));
}

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

std::string FontRecord(int weight, const std::string& face) {
    std::vector<unsigned char> b(60, 0);
    b[0] = 0xF3;  // height -13
    b[1] = b[2] = b[3] = 0xFF;
    b[16] = static_cast<unsigned char>(weight & 0xFF);
    b[17] = static_cast<unsigned char>(weight >> 8);
    b[20] = 1;  // italic
    for (std::size_t i = 0; i < face.size(); ++i) b[28 + i] = static_cast<unsigned char>(face[i]);
    return HexOf(b);
}

TEST(SkinDocumentTest, FontRecordsAndStateColours) {
    const std::string good = FontRecord(700, "Tahoma");
    auto font = DecodeSkinFont(good);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->height, -13);
    EXPECT_EQ(font->weight, 700);
    EXPECT_EQ(font->italic, 1);
    EXPECT_EQ(font->faceName, "Tahoma");
    EXPECT_EQ(EncodeSkinFont(*font), good);
    std::string badSum = good;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    EXPECT_FALSE(DecodeSkinFont(badSum).has_value());
    EXPECT_FALSE(DecodeSkinFont(good.substr(0, 120)).has_value());
    EXPECT_FALSE(DecodeSkinFont("").has_value());
    // A face name of 32 bytes without a zero is cut.
    EXPECT_EQ(DecodeSkinFont(FontRecord(400, std::string(32, 'F')))->faceName.size(), 31u);

    SkinControl b = OneControl("PUSHBUTTON",
                               "FontN=" + FontRecord(400, "Sans") + "\nFontH=" + good +
                                   "\nIsSSameNFont=0\nFontS=" + good +
                                   "\nColorN=255\nIsDSameNColor=0\nColorD=8421504\nColorH=65280\n");
    // "IsHSameNFont" defaults to 1: "FontH" is not used.
    EXPECT_EQ(b.text.fonts[kSkinHover], b.text.fonts[kSkinNormal]);
    EXPECT_EQ(b.text.fonts[kSkinPressed]->weight, 700);
    EXPECT_EQ(b.text.colors[kSkinNormal], MakeSkinColor(255, 0, 0));  // red is the low byte
    EXPECT_EQ(b.text.colors[kSkinHover], MakeSkinColor(255, 0, 0));
    EXPECT_EQ(b.text.colors[kSkinDisabled], MakeSkinColor(128, 128, 128));
}

TEST(SkinDocumentTest, WindowKeysAndProfileRules) {
    EXPECT_EQ(ReadWindow("[IDD_MAIN]\nBKN=n.png\n").maskColor, MakeSkinColor(255, 0, 255));
    SkinWindow w = ReadWindow(
        "[IDD_MAIN]\nBKNO=o.png\nBKN=n.png\nBKD=d.png\nIsUseMaskColor=1\n"
        "RValue=1\nGValue=2\nBValue=3\nIsResizing=1\nResizingPtX=40\nResizingPtY=-5\n");
    EXPECT_EQ(w.bkno, "o.png");
    EXPECT_EQ(w.backgrounds[3], "d.png");
    EXPECT_EQ(w.maskColor, MakeSkinColor(1, 2, 3));
    EXPECT_TRUE(w.isResizing);
    EXPECT_EQ(w.resizingPtY, -5);

    const SkinDocument doc = SkinDocument::Parse(
        "; a comment\r\nstray=before any section\r\n[idd_main]\r\n"
        "  bkn  =  \"quoted name.png\"  \r\nRVALUE = 12abc\r\nrvalue=13\r\n"
        "[IDD_MAIN_0]\r\ntype=Check\r\n[IDD_MAIN]\r\nBKN=second.png\r\nBKH=second.png\r\n",
        kHeader);
    auto read = doc.Window(1000);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->backgrounds[0], "quoted name.png");
    EXPECT_EQ(read->backgrounds[1], "");      // a repeated section is not read
    EXPECT_EQ(SkinRed(read->maskColor), 12);  // the first key of a name wins
    ASSERT_EQ(read->controls.size(), 1u);
    EXPECT_EQ(doc.Int("IDD_MAIN", "missing", 77), 77);
    EXPECT_EQ(doc.Int("IDD_MAIN", "BKN", 77), 0);  // present but not a number
    EXPECT_FALSE(doc.HasSection("stray"));
    EXPECT_FALSE(doc.Window(4242).has_value());  // no name in Resource.h
    EXPECT_FALSE(doc.Window(2000).has_value());  // a name without a section
    EXPECT_EQ(doc.WindowNumbers(), std::vector<int>{1000});
}

TEST(SkinDocumentTest, ResourceHeaderMatchesWholeNamesAndSkipsOddLines) {
    const SkinResourceTable t =
        SkinResourceTable::Parse(std::string(kHeader) +
                                 "#ifndef X\n#define\n#define ONLY\n  #define  LEAD   5  \n"
                                 "define NOT 6\n#define BIG 99999999999\n");
    EXPECT_EQ(t.NumberOfName("IDC_A"), 1001);  // not the IDC_AB line above it
    EXPECT_EQ(t.NumberOfName("IDC_C"), 1003);
    EXPECT_EQ(t.NumberOfName("LEAD"), 5);
    for (const char* absent : {"IDC", "IDC_HEX", "", "idc_a", "NOT", "ONLY", "BIG"})
        EXPECT_EQ(t.NumberOfName(absent), std::nullopt) << absent;
    EXPECT_EQ(t.NameOfNumber(1001), "IDC_A");
    EXPECT_EQ(t.NameOfNumber(1003), "");  // its last word is "third"
}

std::string Utf16Le(const std::string& ascii, bool bom = true) {
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST(SkinDocumentTest, EncodingsAndLoadCodes) {
    EXPECT_EQ(ReadWindow(Utf16Le("[IDD_MAIN]\r\nBKN=n.png\r\n")).backgrounds[0], "n.png");
    // UTF-16 text beyond ASCII arrives as UTF-8; a UTF-8 mark does not hide the first section.
    std::string accented =
        Utf16Le("[IDD_MAIN]\nBKN=") + std::string("\xE9\x00", 2) + Utf16Le(".png\n", false);
    EXPECT_EQ(ReadWindow(accented).backgrounds[0], "\xC3\xA9.png");
    EXPECT_EQ(ReadWindow("\xEF\xBB\xBF[IDD_MAIN]\nBKN=x\n").backgrounds[0], "x");

    test::ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "skins" / "zqr");
    test::WriteFile(dir.File("skins/zqr/Resource.h"), kHeader);
    test::WriteFile(dir.File("skins/zqr/plain.ui"), "[IDD_MAIN]\nBKN=n.png\n");
    test::WriteFile(dir.File("skins/zqr/wide.ui"), Utf16Le("[IDD_MAIN]\nBKN=n.png\n"));
    test::WriteFile(dir.File("alone.ui"), "[IDD_MAIN]\nBKN=n.png\n");

    SkinLoadResult missing = LoadSkin(dir.File("nothing.ui"), true);
    EXPECT_EQ(missing.code, kSkinFileMissing);
    EXPECT_EQ(missing.document, nullptr);
    EXPECT_EQ(LoadSkin(dir.path().string(), true).code, kSkinFileMissing);  // a folder
    const std::string widePath = dir.File("skins/zqr/wide.ui");
    SkinLoadResult wide = LoadSkin(widePath, true);
    EXPECT_EQ(wide.code, kSkinIsUnicode);
    EXPECT_EQ(wide.message,
              "The skin file:\"" + widePath + "\" supports Unicode, but the skin editor doesn't!");
    EXPECT_EQ(wide.document, nullptr);
    ASSERT_EQ(LoadSkin(widePath, false).code, kSkinLoaded);

    // A relative path is taken from the base folder; Resource.h lies beside the description.
    SkinLoadResult plain = LoadSkin("skins/zqr/plain.ui", true, dir.path().string());
    ASSERT_EQ(plain.code, kSkinLoaded);
    EXPECT_EQ(plain.descriptionPath, dir.File("skins/zqr/plain.ui"));
    EXPECT_EQ(plain.folder, dir.File("skins/zqr/"));
    EXPECT_EQ(plain.resourcePath, dir.File("skins/zqr/Resource.h"));
    EXPECT_EQ(plain.document->Window(1000)->backgrounds[0], "n.png");
    // Without Resource.h the sections are read but no window has a number.
    SkinLoadResult alone = LoadSkin(dir.File("alone.ui"), true);
    ASSERT_EQ(alone.code, kSkinLoaded);
    EXPECT_FALSE(alone.document->Window(1000).has_value());
    EXPECT_TRUE(alone.document->HasSection("IDD_MAIN"));
}

}  // namespace
}  // namespace quelt
