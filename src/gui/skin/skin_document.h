// The skin description as data: a skin folder holds "the.ui" (a profile file describing
// windows and their controls), "Resource.h" (the numbers of windows and controls) and the
// images both name. This header reads them into plain values. It has no widgets and no Qt,
// so malformed files can be thrown at it alone; src/gui/skin/skinned_window.h builds Qt
// widgets from what it returns.
//
// Reading rules, shared with the settings file: section and key names compare without
// regard to case; the first section and the first key of a name win; blanks around names
// and values are dropped and one pair of double quotes around a value is removed; a
// missing key reads its default; integers are an optional sign and decimal digits (a text
// that does not start with a number reads 0); texts are cut at the limit of their key.
// A description may be UTF-8 (with or without a byte-order mark) or UTF-16 little-endian
// with its byte-order mark FF FE; UTF-16 is decoded to UTF-8. Every text here is UTF-8.
//
// Nothing here throws on bad input and nothing reads outside its buffers: a malformed
// description yields fewer or default-valued windows and controls, never a failure.
//
// Thread safety: values only; a SkinDocument is immutable after Parse and may be shared.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quelt {

// ---------------------------------------------------------------------------------------
// Values

// A rectangle in window client pixels: left, top, right, bottom (right and bottom are
// exclusive, so width = right - left). Parsed from "l,t,r,b"; missing or non-numeric parts
// read 0, so "10,20" is {10, 20, 0, 0} (a rectangle of negative size, which widgets treat
// as empty). Each coordinate is held to +-kSkinCoordinateMax, so that sizes and sums of
// coordinates can never overflow, whatever a description says.
inline constexpr int kSkinCoordinateMax = 32767;
struct SkinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const SkinRect&) const = default;
};
SkinRect ParseSkinRect(std::string_view text);

// A colour as the skin stores it: one integer with red in the low byte, then green, then
// blue (0x00BBGGRR). The high byte is ignored.
using SkinColor = std::uint32_t;
constexpr int SkinRed(SkinColor c) { return int(c & 0xFF); }
constexpr int SkinGreen(SkinColor c) { return int((c >> 8) & 0xFF); }
constexpr int SkinBlue(SkinColor c) { return int((c >> 16) & 0xFF); }
constexpr SkinColor MakeSkinColor(int r, int g, int b) {
    return SkinColor(r & 0xFF) | (SkinColor(g & 0xFF) << 8) | (SkinColor(b & 0xFF) << 16);
}

// A logical-font record of 60 bytes (little-endian): height, width, escapement,
// orientation, weight (five 32-bit signed integers), italic, underline, strike-out,
// character set, output precision, clip precision, quality, pitch and family (eight
// bytes), then a 32-byte face name terminated by a zero byte.
// height < 0: the character (em) height in pixels is -height; height > 0: the cell height
// in pixels; 0: the default size. weight 0 is the default weight, 400 normal, 700 bold.
struct SkinFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;  // at most 31 bytes

    bool operator==(const SkinFont&) const = default;
};
constexpr std::size_t kSkinFontRecordSize = 60;

// The profile-file form of a font record: the 60 bytes as upper-case hexadecimal digit
// pairs, then one checksum byte (the sum of the 60 bytes modulo 256) as a digit pair:
// 122 digits in all. DecodeSkinFont accepts upper or lower case and returns nothing when
// the length, a digit or the checksum is wrong (the key then counts as missing).
std::string EncodeSkinFont(const SkinFont& font);
std::optional<SkinFont> DecodeSkinFont(std::string_view text);

// ---------------------------------------------------------------------------------------
// "Resource.h": names and numbers of windows and controls.

// Lines of the form `#define NAME NUMBER` (blanks or tabs between the words). Lines that
// do not have that form are ignored.
class SkinResourceTable {
  public:
    SkinResourceTable() = default;
    static SkinResourceTable Parse(std::string_view headerText);

    // The number of the first definition line whose name is exactly `name` (names are
    // compared as whole words, with case, as the compiler would); nothing when no such line
    // has a decimal number after the name.
    std::optional<int> NumberOfName(std::string_view name) const;
    // The name of the first definition line whose last word is the decimal text of
    // `number`; empty when there is none.
    std::string NameOfNumber(int number) const;

    bool empty() const { return defines_.empty(); }
    // Every defined name with a number, in file order.
    std::vector<std::pair<std::string, int>> Entries() const;

  private:
    struct Define {
        std::string name;
        std::string lastWord;
        std::optional<int> number;
    };
    std::vector<Define> defines_;
};

// ---------------------------------------------------------------------------------------
// Controls

enum class SkinControlType {
    PushButton,   // "PUSHBUTTON"
    Check,        // "CHECK"
    Radio,        // "RADIO"
    Edit,         // "EDIT"
    ComboBox,     // "COMBOBOX"
    Static,       // "STATIC"
    Slider,       // "SLIDER"
    SliderEx,     // "SLIDEREX"
    Spin,         // "SPIN"
    Progress,     // "PROGRESS"
    HotKey,       // "HOTKEY"
    IpAddress,    // "IPADDRESS"
    ListCtrl,     // "LISTCTRL"
    TreeCtrl,     // "TREECTRL"
    ScrollBarEx,  // "SCROLLBAREX"
    Thumbnail,    // "THUMBNAIL"
    TreeList,     // "TREELIST"
    RichEdit,     // "RICHEDIT"
    Unknown,      // any other non-empty "Type": read, listed, but no widget is made for it
};
// Case-insensitive; Unknown for anything outside the list above.
SkinControlType SkinControlTypeOf(std::string_view typeText);
// The upper-case type word ("PUSHBUTTON", ...); "" for Unknown.
const char* SkinControlTypeName(SkinControlType type);

// Index into the four-state arrays below.
enum SkinState { kSkinNormal = 0, kSkinHover = 1, kSkinPressed = 2, kSkinDisabled = 3 };

// Text look of a control: fonts and text colours by state, alignment.
// Buttons, check boxes and radio buttons read "FontN" and, for H/S/D, "IsHSameNFont" (1)
// then "FontH" (likewise S, D); colours "ColorN" (0) and "IsHSameNColor" (1) then "ColorH"
// (likewise S, D). Labels read only the N and D pair. Edits, combo boxes and progress bars
// read "FontN" only. `fonts` and `colors` hold the resolved values: where the "same as
// normal" flag is set, the state's entry equals the normal one.
struct SkinTextStyle {
    std::array<std::optional<SkinFont>, 4> fonts;  // nothing: the key is missing or invalid
    std::array<SkinColor, 4> colors{0, 0, 0, 0};
    std::array<bool, 4> sameFontAsNormal{true, true, true, true};   // [0] unused
    std::array<bool, 4> sameColorAsNormal{true, true, true, true};  // [0] unused
    // "HorAlignMode": "DEFAULT", "LEFT", "RIGHT" or "CENTER"; "VerAlignMode": "DEFAULT",
    // "TOP", "BOTTOM" or "CENTER" (upper-cased as read). Offsets "HorAlig", "VerAlig" in px.
    std::string horAlignMode = "DEFAULT";
    std::string verAlignMode = "DEFAULT";
    int horAlig = 0;
    int verAlig = 0;
};

// PUSHBUTTON, CHECK, RADIO.
struct SkinButtonKeys {
    std::string caption;
    bool isTabStop = false;        // PUSHBUTTON 0, CHECK and RADIO 1
    bool isDefPushButton = false;  // PUSHBUTTON only
    bool isMultiline = false;
    std::string maskBmp;  // file of a mask image
    bool useToolTip = false;
    std::string toolTips;  // 519 characters
    std::string tag;       // 522 characters; not read for RADIO
    bool isGroup = false;  // RADIO: starts a new group of exclusive radios
    // CHECK and RADIO: files of the checked-state images "BKCN", "BKCH", "BKCS", "BKCD".
    // An image of the window's size is cut at the control's Rect like the window's
    // backgrounds; a smaller image is the control's own picture.
    std::array<std::string, 4> checkedImages;
};

// EDIT and RICHEDIT (RICHEDIT reads no alignment or font keys).
struct SkinEditKeys {
    bool isTabStop = true;
    bool isHScroll = false;
    bool isVScroll = false;
    bool isWantReturn = false;
    bool isR2LReadOrder = false;
    bool isAutoHScroll = true;
    bool isAutoVScroll = false;
    bool isLowerCase = false;
    bool isUpperCase = false;
    bool isNumber = false;
    bool isPassword = false;
    bool isReadOnly = false;
    bool isMultiline = true;  // note the default: a single-line field must say IsMultiline=0
    int horAligMode = 0;      // "HorAligMode": 0 left, 1 centre, 2 right
};

// COMBOBOX.
struct SkinComboKeys {
    // "ComboStyle": 1 simple, 2 drop-down (both editable), 3 drop-down list (choose only).
    int comboStyle = 1;
    int dropListHeight = 16;  // items shown in the open list
    bool isTabStop = true;
    bool isVScroll = true;
    bool isAutoHScroll = false;
    bool isDisableNoScroll = false;
    bool isSort = true;  // note the default: a list kept in insertion order must say IsSort=0
    bool isUppercase = false;
    bool isLowercase = false;
    int btnWidth = 18;  // width of the drop button at the right edge, px
};

// STATIC.
struct SkinStaticKeys {
    std::string caption;
    bool noWrap = false;
    bool useToolTip = false;
    std::string toolTips;
};

// SLIDER and SLIDEREX.
struct SkinSliderKeys {
    bool isVertical = false;
    std::array<std::string, 4> thumbImages;  // SLIDEREX: "ThumbN", "ThumbH", "ThumbS", "ThumbD"
    bool isUseMark = false;                  // SLIDEREX
};

// SPIN.
struct SkinSpinKeys {
    std::string alignment = "UNATTACHED";  // "UNATTACHED", "LEFT" or "RIGHT"
    bool isVertical = true;
    bool isTabStop = false;
    bool isAutoBuddy = false;
    bool isSetBuddyInt = false;
    bool isNoThousands = false;
    bool isWrap = false;
    bool isArrowKeys = true;
    bool isHotTrack = false;
};

// PROGRESS.
struct SkinProgressKeys {
    bool isVertical = false;
    bool isShowText = false;  // shows the percentage as "%d%%"
    std::string thumb;        // "Thumb": image of the filled part
};

// LISTCTRL.
struct SkinListKeys {
    int listStyle = 0;  // 0 report (columns), 1 icon, 2 small icon, 3 list
    int listAlign = 0;
    int listSort = 0;  // 0 none, 1 ascending, 2 descending
    bool isTabStop = false;
    bool isAutoArrange = false;
    bool isEditLabels = false;
    bool isNoHeader = false;
    bool isNoLabelWrap = false;
    bool isNoScroll = false;
    bool isNoSortHeader = false;
    bool isShowSelAlways = false;
    bool isSingleSel = false;
    std::array<std::string, 4> headerImages;  // "HeaderBkN", "HeaderBkH", "HeaderBkS", "HeaderBkD"
    std::string headerSeparatorImage;         // "HeaderSeparatorBkN"
    std::string tag;
};

// TREECTRL (and TREELIST, which reads "IsTabStop" only).
struct SkinTreeKeys {
    bool isTabStop = false;
    bool isCheckBoxed = false;
    bool isDisDragDrop = false;
    bool isEditLabels = false;
    bool isFullRowSel = false;
    bool isHasButtons = false;
    bool isHasLines = false;
    bool isInfoTip = false;
    bool isLineAtRoot = false;
    bool isNonEvenHeight = false;
    bool isScroll = true;
    bool isShowSelAlways = false;
    bool isSingleExpand = false;
    bool isTooltips = true;
    bool isTrackSel = false;
};

// SCROLLBAREX.
struct SkinScrollBarKeys {
    bool isVertical = false;
    std::array<std::string, 4> thumbImages;          // "ThumbN", "ThumbH", "ThumbS", "ThumbD"
    std::array<std::string, 4> trackImages;          // "BkN", "BkH", "BkS", "BkD"
    int ltupX = 0, ltupY = 0, rtdnX = 0, rtdnY = 0;  // "LTUPx", "LTUPy", "RTDNx", "RTDNy"
};

// THUMBNAIL.
struct SkinThumbnailKeys {
    bool isListStyle = false;
    bool isTabStop = false;
    std::array<std::string, 3> itemImages;  // "ThmBkN", "ThmBkH", "ThmBkS"
    int totalWidth = 140;
    int totalHeight = 140;
    SkinRect imageRectN{4, 4, 96, 83};    // "ThmRectLeftN", "ThmRectTopN", ...
    SkinRect imageRectH{4, 4, 96, 83};    // "ThmRectLeftH", ...
    SkinRect labelRectN{4, 90, 96, 116};  // "LblRectLeftN", ...
    SkinRect labelRectH{4, 90, 96, 116};  // "LblRectLeftH", ...
};

// One control section ("<window section>_<n>"). Every control has the common keys; the
// keys of its type are in the member struct of that type, the others keep their defaults.
struct SkinControl {
    std::string section;   // e.g. "IDD_MAIN_0"
    std::string typeText;  // "Type" as written (at most 31 characters)
    SkinControlType type = SkinControlType::Unknown;
    SkinRect rect;            // "Rect"
    std::string idsName;      // "IDs": a name of "Resource.h"
    int id = -1;              // its number; -1 when "IDs" is empty or not defined
    bool isVisible = true;    // "IsVisible"
    bool isDisabled = false;  // "IsDisabled"

    SkinTextStyle text;
    SkinButtonKeys button;
    SkinEditKeys edit;
    SkinComboKeys combo;
    SkinStaticKeys label;
    SkinSliderKeys slider;
    SkinSpinKeys spin;
    SkinProgressKeys progress;
    SkinListKeys list;
    SkinTreeKeys tree;
    SkinScrollBarKeys scrollBar;
    SkinThumbnailKeys thumbnail;

    // Every key of the section as written (names in lower case, values after the reading
    // rules, uncut), for keys this toolkit adds beyond the tables above.
    std::map<std::string, std::string> raw;
    std::string Raw(std::string_view key, std::string_view fallback = {}) const;
    int RawInt(std::string_view key, int fallback) const;
};

// ---------------------------------------------------------------------------------------
// Windows

// Background image keys of a window, by state: "BKN", "BKH", "BKS", "BKD".
struct SkinWindow {
    int number = 0;       // the window's number in "Resource.h"
    std::string section;  // its section name (NameOfNumber of the number)
    std::string bkno;     // "BKNO": painted background; "BKN" when it cannot be loaded
    std::array<std::string, 4> backgrounds;            // "BKN" (required), "BKH", "BKS", "BKD"
    bool isUseMaskColor = false;                       // "IsUseMaskColor"
    SkinColor maskColor = MakeSkinColor(255, 0, 255);  // "RValue", "GValue", "BValue"
    bool isResizing = false;                           // "IsResizing"
    int resizingPtX = 0;                               // "ResizingPtX"
    int resizingPtY = 0;                               // "ResizingPtY"
    // "W_0", "W_1", ... in order, up to (not including) the first section with an empty
    // "Type" (a missing section has an empty "Type"); at most 4096 controls are read.
    std::vector<SkinControl> controls;

    // The first control with that number, or nullptr.
    const SkinControl* FindControl(int id) const;
};

// One parsed skin description together with its "Resource.h".
class SkinDocument {
  public:
    SkinDocument() = default;
    // `description` is the content of "the.ui" (any encoding named above), `resourceHeader`
    // the content of "Resource.h". Never fails; see the reading rules at the top.
    static SkinDocument Parse(std::string_view description, std::string_view resourceHeader);

    const SkinResourceTable& resources() const { return resources_; }
    std::optional<int> NumberOfName(std::string_view name) const {
        return resources_.NumberOfName(name);
    }
    std::string NameOfNumber(int number) const { return resources_.NameOfNumber(number); }

    // The window whose section is NameOfNumber(number), with its controls; nothing when the
    // number has no name or the description has no such section.
    std::optional<SkinWindow> Window(int number) const;
    // Every window number that "Resource.h" names and the description has a section for.
    std::vector<int> WindowNumbers() const;

    // Profile look-ups with the reading rules above ("" or `fallback` when missing).
    bool HasSection(std::string_view section) const;
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::string Text(std::string_view section, std::string_view key, std::string_view fallback = {},
                     std::size_t limit = 259) const;
    int Int(std::string_view section, std::string_view key, int fallback) const;
    // Every key of a section (lower-case names, values after the reading rules), or
    // nullptr when the section is missing.
    const std::map<std::string, std::string>* SectionKeys(std::string_view section) const;

  private:
    // lower-case section -> lower-case key -> value
    std::map<std::string, std::map<std::string, std::string>> sections_;
    SkinResourceTable resources_;
};

// ---------------------------------------------------------------------------------------
// Loading a skin from disk

enum SkinLoadCode : int {
    kSkinLoaded = 0,         // the skin was taken
    kSkinFileMissing = 200,  // the description does not exist (no message)
    kSkinIsUnicode = 202,    // refused: UTF-16 file while the test was asked for
};

struct SkinLoadResult {
    int code = kSkinFileMissing;
    // For kSkinIsUnicode, the text to show to the user:
    // "The skin file:"<path>" supports Unicode, but the skin editor doesn't!"
    std::string message;
    std::string descriptionPath;  // absolute path of the description
    std::string folder;           // its folder, ending in "/": images are relative to it
    std::string resourcePath;     // folder + "Resource.h"
    std::shared_ptr<const SkinDocument> document;  // set when code is kSkinLoaded
};

// Loads the skin description at `path`. A relative `path` is taken relative to
// `baseFolder` (the program's data folder; the current folder when empty). With
// `testUnicode` set, a file that begins with FF FE is refused with kSkinIsUnicode;
// without it, such a file is read as UTF-16. A missing or unreadable "Resource.h" leaves
// the skin without numbers (no window can then be found). Never shows anything: the
// caller shows `message`.
SkinLoadResult LoadSkin(const std::string& path, bool testUnicode,
                        const std::string& baseFolder = {});

// The message for kSkinIsUnicode with `path` filled in.
std::string SkinUnicodeMessage(const std::string& path);

}  // namespace quelt
