// The skin description reader: profile reading rules, windows and their control sections,
// every key's default, fonts, colours, "Resource.h" look-ups and loading from disk.
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
}

TEST(SkinRectTest, RectKeyOfTwoPartsGivesEmptyRightAndBottom) {
    SkinControl c = OneControl("STATIC", "Rect=10,20\n");
    EXPECT_EQ(c.rect, (SkinRect{10, 20, 0, 0}));
    EXPECT_EQ(OneControl("STATIC").rect, (SkinRect{0, 0, 0, 0}));
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

TEST(SkinControlsTest, AMissingSectionEndsTheControls) {
    SkinWindow w = ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=CHECK\n[IDD_MAIN_2]\nType=CHECK\n");
    EXPECT_EQ(w.controls.size(), 1u);
}

TEST(SkinControlsTest, BlankTypeCountsAsEmpty) {
    SkinWindow w = ReadWindow("[IDD_MAIN]\n[IDD_MAIN_0]\nType=   \n[IDD_MAIN_1]\nType=CHECK\n");
    EXPECT_TRUE(w.controls.empty());
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

class SkinTypeNameTest : public ::testing::TestWithParam<std::pair<const char*, SkinControlType>> {
};

TEST_P(SkinTypeNameTest, TypeIsComparedWithoutCase) {
    const auto [name, type] = GetParam();
    EXPECT_EQ(SkinControlTypeOf(name), type);
    std::string lower = name, mixed = name;
    for (char& c : lower) c = char(std::tolower(c));
    for (std::size_t i = 0; i < mixed.size(); i += 2) mixed[i] = char(std::tolower(mixed[i]));
    EXPECT_EQ(SkinControlTypeOf(lower), type);
    EXPECT_EQ(SkinControlTypeOf(mixed), type);
    EXPECT_EQ(OneControl(lower).type, type);
    EXPECT_STREQ(SkinControlTypeName(type), name);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, SkinTypeNameTest,
                         ::testing::Values(std::pair{"PUSHBUTTON", SkinControlType::PushButton},
                                           std::pair{"CHECK", SkinControlType::Check},
                                           std::pair{"RADIO", SkinControlType::Radio},
                                           std::pair{"EDIT", SkinControlType::Edit},
                                           std::pair{"COMBOBOX", SkinControlType::ComboBox},
                                           std::pair{"STATIC", SkinControlType::Static},
                                           std::pair{"SLIDER", SkinControlType::Slider},
                                           std::pair{"SLIDEREX", SkinControlType::SliderEx},
                                           std::pair{"SPIN", SkinControlType::Spin},
                                           std::pair{"PROGRESS", SkinControlType::Progress},
                                           std::pair{"HOTKEY", SkinControlType::HotKey},
                                           std::pair{"IPADDRESS", SkinControlType::IpAddress},
                                           std::pair{"LISTCTRL", SkinControlType::ListCtrl},
                                           std::pair{"TREECTRL", SkinControlType::TreeCtrl},
                                           std::pair{"SCROLLBAREX", SkinControlType::ScrollBarEx},
                                           std::pair{"THUMBNAIL", SkinControlType::Thumbnail},
                                           std::pair{"TREELIST", SkinControlType::TreeList},
                                           std::pair{"RICHEDIT", SkinControlType::RichEdit}));

// ------------------------------------------------------------------------- defaults

TEST(SkinDefaultsTest, CommonKeys) {
    SkinControl c = OneControl("SPIN");
    EXPECT_TRUE(c.isVisible);
    EXPECT_FALSE(c.isDisabled);
    EXPECT_EQ(c.id, -1);
    c = OneControl("SPIN", "IsVisible=0\nIsDisabled=1\n");
    EXPECT_FALSE(c.isVisible);
    EXPECT_TRUE(c.isDisabled);
}

TEST(SkinDefaultsTest, ButtonsCheckBoxesAndRadios) {
    SkinControl push = OneControl("PUSHBUTTON");
    EXPECT_FALSE(push.button.isTabStop);
    EXPECT_FALSE(push.button.isDefPushButton);
    EXPECT_FALSE(push.button.isMultiline);
    EXPECT_EQ(push.text.horAlignMode, "DEFAULT");
    EXPECT_EQ(push.text.verAlignMode, "DEFAULT");
    EXPECT_EQ(push.text.colors[kSkinNormal], 0u);
    EXPECT_FALSE(push.text.fonts[kSkinNormal].has_value());
    for (int s = 1; s < 4; ++s) {
        EXPECT_TRUE(push.text.sameFontAsNormal[s]);
        EXPECT_TRUE(push.text.sameColorAsNormal[s]);
    }
    SkinControl check = OneControl("CHECK");
    EXPECT_TRUE(check.button.isTabStop);
    SkinControl radio = OneControl("RADIO", "Tag=kept out\nIsGroup=1\nBKCN=c.png\n");
    EXPECT_TRUE(radio.button.isTabStop);
    EXPECT_TRUE(radio.button.isGroup);
    EXPECT_EQ(radio.button.tag, "");
    EXPECT_EQ(radio.button.checkedImages[0], "c.png");
    EXPECT_EQ(OneControl("CHECK", "Tag=kept\n").button.tag, "kept");
    EXPECT_EQ(OneControl("PUSHBUTTON", "BKCN=c.png\n").button.checkedImages[0], "");
}

TEST(SkinDefaultsTest, EditAndRichEdit) {
    SkinControl e = OneControl("EDIT");
    EXPECT_TRUE(e.edit.isTabStop);
    EXPECT_TRUE(e.edit.isAutoHScroll);
    EXPECT_TRUE(e.edit.isMultiline);
    EXPECT_FALSE(e.edit.isAutoVScroll);
    EXPECT_FALSE(e.edit.isPassword);
    EXPECT_FALSE(e.edit.isReadOnly);
    EXPECT_EQ(e.edit.horAligMode, 0);
    e = OneControl("EDIT", "IsMultiline=0\nIsPassword=1\nIsNumber=1\nHorAligMode=2\nHorAlig=4\n");
    EXPECT_FALSE(e.edit.isMultiline);
    EXPECT_TRUE(e.edit.isPassword);
    EXPECT_TRUE(e.edit.isNumber);
    EXPECT_EQ(e.edit.horAligMode, 2);
    EXPECT_EQ(e.text.horAlig, 4);
    // A rich edit reads no alignment or font keys.
    SkinControl r = OneControl("RICHEDIT", "HorAligMode=2\nHorAlig=4\nIsReadOnly=1\n");
    EXPECT_EQ(r.edit.horAligMode, 0);
    EXPECT_EQ(r.text.horAlig, 0);
    EXPECT_TRUE(r.edit.isReadOnly);
}

TEST(SkinDefaultsTest, ComboBox) {
    SkinControl c = OneControl("COMBOBOX");
    EXPECT_EQ(c.combo.comboStyle, 1);
    EXPECT_EQ(c.combo.dropListHeight, 16);
    EXPECT_TRUE(c.combo.isTabStop);
    EXPECT_TRUE(c.combo.isVScroll);
    EXPECT_FALSE(c.combo.isAutoHScroll);
    EXPECT_TRUE(c.combo.isSort);
    EXPECT_EQ(c.combo.btnWidth, 18);
    c = OneControl("COMBOBOX", "ComboStyle=3\nIsSort=0\nBtnWidth=24\nDropListHeight=5\n");
    EXPECT_EQ(c.combo.comboStyle, 3);
    EXPECT_FALSE(c.combo.isSort);
    EXPECT_EQ(c.combo.btnWidth, 24);
    EXPECT_EQ(c.combo.dropListHeight, 5);
}

TEST(SkinDefaultsTest, StaticSliderSpinProgress) {
    SkinControl s = OneControl("STATIC", "Caption=Artist:\nHorAlignMode=right\n");
    EXPECT_EQ(s.label.caption, "Artist:");
    EXPECT_EQ(s.text.horAlignMode, "RIGHT");
    EXPECT_FALSE(s.label.noWrap);
    EXPECT_TRUE(s.text.sameFontAsNormal[kSkinDisabled]);

    SkinControl slider = OneControl("SLIDEREX", "ThumbN=t.png\nThumbD=td.png\n");
    EXPECT_FALSE(slider.slider.isVertical);
    EXPECT_FALSE(slider.slider.isUseMark);
    EXPECT_EQ(slider.slider.thumbImages[0], "t.png");
    EXPECT_EQ(slider.slider.thumbImages[1], "");
    EXPECT_EQ(slider.slider.thumbImages[3], "td.png");
    EXPECT_EQ(OneControl("SLIDER", "ThumbN=t.png\n").slider.thumbImages[0], "");

    SkinControl spin = OneControl("SPIN");
    EXPECT_EQ(spin.spin.alignment, "UNATTACHED");
    EXPECT_TRUE(spin.spin.isVertical);
    EXPECT_TRUE(spin.spin.isArrowKeys);
    EXPECT_FALSE(spin.spin.isTabStop);
    EXPECT_FALSE(spin.spin.isWrap);

    SkinControl p = OneControl("PROGRESS", "IsShowText=1\nThumb=bar.png\n");
    EXPECT_TRUE(p.progress.isShowText);
    EXPECT_EQ(p.progress.thumb, "bar.png");
    EXPECT_FALSE(p.progress.isVertical);
}

TEST(SkinDefaultsTest, ListTreeScrollBarThumbnail) {
    SkinControl l =
        OneControl("LISTCTRL", "HeaderBkH=h.png\nHeaderSeparatorBkN=s.png\nIsNoHeader=1\n");
    EXPECT_EQ(l.list.listStyle, 0);
    EXPECT_FALSE(l.list.isTabStop);
    EXPECT_TRUE(l.list.isNoHeader);
    EXPECT_FALSE(l.list.isSingleSel);
    EXPECT_EQ(l.list.headerImages[1], "h.png");
    EXPECT_EQ(l.list.headerSeparatorImage, "s.png");

    SkinControl t = OneControl("TREECTRL");
    EXPECT_TRUE(t.tree.isScroll);
    EXPECT_TRUE(t.tree.isTooltips);
    EXPECT_FALSE(t.tree.isCheckBoxed);
    EXPECT_TRUE(OneControl("TREELIST", "IsTabStop=1\n").tree.isTabStop);

    SkinControl sb = OneControl("SCROLLBAREX", "LTUPx=3\nRTDNy=-2\nBkS=s.png\n");
    EXPECT_EQ(sb.scrollBar.ltupX, 3);
    EXPECT_EQ(sb.scrollBar.ltupY, 0);
    EXPECT_EQ(sb.scrollBar.rtdnY, -2);
    EXPECT_EQ(sb.scrollBar.trackImages[2], "s.png");

    SkinControl th = OneControl("THUMBNAIL", "ThmRectTopH=9\nLblRectBottomN=120\n");
    EXPECT_EQ(th.thumbnail.totalWidth, 140);
    EXPECT_EQ(th.thumbnail.totalHeight, 140);
    EXPECT_EQ(th.thumbnail.imageRectN, (SkinRect{4, 4, 96, 83}));
    EXPECT_EQ(th.thumbnail.imageRectH, (SkinRect{4, 9, 96, 83}));
    EXPECT_EQ(th.thumbnail.labelRectN, (SkinRect{4, 90, 96, 120}));
    EXPECT_EQ(th.thumbnail.labelRectH, (SkinRect{4, 90, 96, 116}));
}

TEST(SkinDefaultsTest, TextLimits) {
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

TEST(SkinDefaultsTest, CutNeverSplitsAUtf8Sequence) {
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
}

TEST(SkinFontTest, FaceNameOfThirtyTwoBytesWithoutZeroIsCut) {
    auto bytes = FontBytes(-12, 400, false, std::string(32, 'F'));
    auto font = DecodeSkinFont(HexOf(bytes));
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
    EXPECT_EQ(b.text.colors[kSkinNormal], MakeSkinColor(255, 0, 0));
    EXPECT_EQ(b.text.colors[kSkinHover], MakeSkinColor(255, 0, 0));
    EXPECT_EQ(b.text.colors[kSkinDisabled], MakeSkinColor(128, 128, 128));
    EXPECT_FALSE(b.text.sameColorAsNormal[kSkinDisabled]);
    // A label reads only the normal and disabled pair.
    SkinControl s = OneControl("STATIC", "ColorN=255\nIsHSameNColor=0\nColorH=65280\n");
    EXPECT_EQ(s.text.colors[kSkinHover], MakeSkinColor(255, 0, 0));
}

TEST(SkinColorTest, RedIsTheLowByte) {
    EXPECT_EQ(SkinRed(255), 255);
    EXPECT_EQ(SkinGreen(255), 0);
    EXPECT_EQ(SkinGreen(0x00FF00), 255);
    EXPECT_EQ(SkinBlue(0xFF0000), 255);
    EXPECT_EQ(MakeSkinColor(0x12, 0x34, 0x56), 0x563412u);
}

// ------------------------------------------------------------------------- windows

TEST(SkinWindowTest, WindowKeysAndTheirDefaults) {
    SkinWindow w = ReadWindow("[IDD_MAIN]\nBKN=n.png\n");
    EXPECT_EQ(w.section, "IDD_MAIN");
    EXPECT_EQ(w.bkno, "");
    EXPECT_EQ(w.backgrounds[0], "n.png");
    EXPECT_EQ(w.backgrounds[3], "");
    EXPECT_FALSE(w.isUseMaskColor);
    EXPECT_EQ(w.maskColor, MakeSkinColor(255, 0, 255));
    EXPECT_FALSE(w.isResizing);
    EXPECT_EQ(w.resizingPtX, 0);

    w = ReadWindow(
        "[IDD_MAIN]\nBKNO=o.png\nBKN=n.png\nBKH=h.png\nBKS=s.png\nBKD=d.png\nIsUseMaskColor=1\n"
        "RValue=1\nGValue=2\nBValue=3\nIsResizing=1\nResizingPtX=40\nResizingPtY=-5\n");
    EXPECT_EQ(w.bkno, "o.png");
    EXPECT_EQ(w.backgrounds[1], "h.png");
    EXPECT_EQ(w.backgrounds[2], "s.png");
    EXPECT_EQ(w.backgrounds[3], "d.png");
    EXPECT_TRUE(w.isUseMaskColor);
    EXPECT_EQ(w.maskColor, MakeSkinColor(1, 2, 3));
    EXPECT_TRUE(w.isResizing);
    EXPECT_EQ(w.resizingPtX, 40);
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
}

TEST(SkinResourceTest, NameOfNumberLooksAtTheLastWord) {
    const SkinResourceTable t = SkinResourceTable::Parse(kHeader);
    EXPECT_EQ(t.NameOfNumber(1000), "IDD_MAIN");
    EXPECT_EQ(t.NameOfNumber(1001), "IDC_A");
    EXPECT_EQ(t.NameOfNumber(1003), "");  // its last word is "third"
    EXPECT_EQ(t.NameOfNumber(7), "");
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

TEST(SkinLoadTest, MissingResourceHeaderLeavesNoWindows) {
    test::ScratchDir dir;
    WriteFile(dir.File("the.ui"), "[IDD_MAIN]\nBKN=n.png\n");
    SkinLoadResult r = LoadSkin(dir.File("the.ui"), true);
    ASSERT_EQ(r.code, kSkinLoaded);
    EXPECT_FALSE(r.document->Window(1000).has_value());
    EXPECT_TRUE(r.document->HasSection("IDD_MAIN"));
}

TEST(SkinLoadTest, AFolderIsNotASkinFile) {
    test::ScratchDir dir;
    EXPECT_EQ(LoadSkin(dir.path().string(), true).code, kSkinFileMissing);
}

}  // namespace
}  // namespace quelt
