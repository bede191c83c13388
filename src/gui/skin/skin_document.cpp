#include "gui/skin/skin_document.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "gui/skin/skin_text.h"

namespace quelt {

using skin_text::Cut;
using skin_text::Lower;
using skin_text::ParseInt;
using skin_text::Trim;
using skin_text::Upper;

// ---------------------------------------------------------------------------------------
// Values

SkinRect ParseSkinRect(std::string_view text) {
    int parts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        std::size_t comma = text.find(',');
        parts[i] = std::clamp(ParseInt(text.substr(0, comma)), -kSkinCoordinateMax,
                              kSkinCoordinateMax);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return {parts[0], parts[1], parts[2], parts[3]};
}

namespace {

void PutInt32(std::uint8_t* p, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(u >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= std::uint32_t(p[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string EncodeSkinFont(const SkinFont& font) {
    std::uint8_t bytes[kSkinFontRecordSize] = {};
    PutInt32(bytes + 0, font.height);
    PutInt32(bytes + 4, font.width);
    PutInt32(bytes + 8, font.escapement);
    PutInt32(bytes + 12, font.orientation);
    PutInt32(bytes + 16, font.weight);
    const std::uint8_t flags[8] = {font.italic,  font.underline,     font.strikeOut,
                                   font.charSet, font.outPrecision,  font.clipPrecision,
                                   font.quality, font.pitchAndFamily};
    for (int i = 0; i < 8; ++i) bytes[20 + i] = flags[i];
    for (std::size_t i = 0; i < font.faceName.size() && i < 31; ++i)
        bytes[28 + i] = std::uint8_t(font.faceName[i]);
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    unsigned sum = 0;
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
        sum += b;
    }
    out += digits[(sum >> 4) & 15];
    out += digits[sum & 15];
    return out;
}

std::optional<SkinFont> DecodeSkinFont(std::string_view text) {
    text = Trim(text);
    if (text.size() != 2 * (kSkinFontRecordSize + 1)) return std::nullopt;
    std::uint8_t bytes[kSkinFontRecordSize + 1];
    for (std::size_t i = 0; i <= kSkinFontRecordSize; ++i) {
        int hi = HexDigit(text[2 * i]);
        int lo = HexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes[i] = std::uint8_t(hi * 16 + lo);
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < kSkinFontRecordSize; ++i) sum += bytes[i];
    if ((sum & 0xFF) != bytes[kSkinFontRecordSize]) return std::nullopt;
    SkinFont font;
    font.height = GetInt32(bytes + 0);
    font.width = GetInt32(bytes + 4);
    font.escapement = GetInt32(bytes + 8);
    font.orientation = GetInt32(bytes + 12);
    font.weight = GetInt32(bytes + 16);
    font.italic = bytes[20];
    font.underline = bytes[21];
    font.strikeOut = bytes[22];
    font.charSet = bytes[23];
    font.outPrecision = bytes[24];
    font.clipPrecision = bytes[25];
    font.quality = bytes[26];
    font.pitchAndFamily = bytes[27];
    std::size_t len = 0;
    while (len < 32 && bytes[28 + len] != 0) ++len;
    font.faceName.assign(reinterpret_cast<const char*>(bytes + 28), std::min<std::size_t>(len, 31));
    return font;
}

// ---------------------------------------------------------------------------------------
// Resource.h

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A whole word of decimal digits with an optional sign.
std::optional<int> DecimalWord(std::string_view word) {
    std::size_t i = (!word.empty() && (word[0] == '-' || word[0] == '+')) ? 1 : 0;
    if (i >= word.size() || word.size() - i > 10) return std::nullopt;
    for (std::size_t k = i; k < word.size(); ++k)
        if (word[k] < '0' || word[k] > '9') return std::nullopt;
    long long v = std::stoll(std::string(word));
    if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return int(v);
}

}  // namespace

SkinResourceTable SkinResourceTable::Parse(std::string_view headerText) {
    SkinResourceTable table;
    std::string decoded = skin_text::DecodeDescription(headerText);
    std::string_view rest = decoded;
    while (!rest.empty()) {
        std::size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        auto words = Words(line);
        if (words.size() < 2 || words[0] != "#define") continue;
        Define d;
        d.name = std::string(words[1]);
        d.lastWord = std::string(words.back());
        if (words.size() >= 3) d.number = DecimalWord(words[2]);
        table.defines_.push_back(std::move(d));
    }
    return table;
}

std::optional<int> SkinResourceTable::NumberOfName(std::string_view name) const {
    if (name.empty()) return std::nullopt;
    for (const Define& d : defines_)
        if (d.name == name && d.number) return d.number;
    return std::nullopt;
}

std::vector<std::pair<std::string, int>> SkinResourceTable::Entries() const {
    std::vector<std::pair<std::string, int>> out;
    for (const Define& d : defines_)
        if (d.number) out.emplace_back(d.name, *d.number);
    return out;
}

std::string SkinResourceTable::NameOfNumber(int number) const {
    const std::string text = std::to_string(number);
    for (const Define& d : defines_)
        if (d.lastWord == text && d.lastWord != d.name) return d.name;
    return {};
}

// ---------------------------------------------------------------------------------------
// Control types

namespace {

struct TypeName {
    SkinControlType type;
    const char* name;
};
constexpr TypeName kTypeNames[] = {
    {SkinControlType::PushButton, "PUSHBUTTON"},
    {SkinControlType::Check, "CHECK"},
    {SkinControlType::Radio, "RADIO"},
    {SkinControlType::Edit, "EDIT"},
    {SkinControlType::ComboBox, "COMBOBOX"},
    {SkinControlType::Static, "STATIC"},
    {SkinControlType::Slider, "SLIDER"},
    {SkinControlType::SliderEx, "SLIDEREX"},
    {SkinControlType::Spin, "SPIN"},
    {SkinControlType::Progress, "PROGRESS"},
    {SkinControlType::HotKey, "HOTKEY"},
    {SkinControlType::IpAddress, "IPADDRESS"},
    {SkinControlType::ListCtrl, "LISTCTRL"},
    {SkinControlType::TreeCtrl, "TREECTRL"},
    {SkinControlType::ScrollBarEx, "SCROLLBAREX"},
    {SkinControlType::Thumbnail, "THUMBNAIL"},
    {SkinControlType::TreeList, "TREELIST"},
    {SkinControlType::RichEdit, "RICHEDIT"},
};

}  // namespace

SkinControlType SkinControlTypeOf(std::string_view typeText) {
    const std::string upper = Upper(Trim(typeText));
    for (const auto& t : kTypeNames)
        if (upper == t.name) return t.type;
    return SkinControlType::Unknown;
}

const char* SkinControlTypeName(SkinControlType type) {
    for (const auto& t : kTypeNames)
        if (t.type == type) return t.name;
    return "";
}

std::string SkinControl::Raw(std::string_view key, std::string_view fallback) const {
    auto it = raw.find(Lower(key));
    return it == raw.end() ? std::string(fallback) : it->second;
}

int SkinControl::RawInt(std::string_view key, int fallback) const {
    auto it = raw.find(Lower(key));
    return it == raw.end() ? fallback : ParseInt(it->second);
}

const SkinControl* SkinWindow::FindControl(int id) const {
    if (id < 0) return nullptr;
    for (const SkinControl& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// The profile text

namespace {

// Removes one pair of double quotes around a value, as the profile functions do.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

SkinDocument SkinDocument::Parse(std::string_view description, std::string_view resourceHeader) {
    SkinDocument doc;
    doc.resources_ = SkinResourceTable::Parse(resourceHeader);
    const std::string text = skin_text::DecodeDescription(description);
    std::string_view rest = text;
    std::map<std::string, std::string>* current = nullptr;
    std::map<std::string, bool> seen;  // a repeated section adds nothing: the first one wins
    while (!rest.empty()) {
        std::size_t eol = rest.find('\n');
        std::string_view line = Trim(rest.substr(0, eol));
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            std::string name = Lower(Trim(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            if (seen.count(name)) {
                current = nullptr;
            } else {
                seen[name] = true;
                current = &doc.sections_[name];
            }
            continue;
        }
        if (!current) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string key = Lower(Trim(line.substr(0, eq)));
        if (key.empty()) continue;
        current->emplace(std::move(key), std::string(Unquote(Trim(line.substr(eq + 1)))));
    }
    return doc;
}

const std::map<std::string, std::string>* SkinDocument::SectionKeys(
    std::string_view section) const {
    auto s = sections_.find(Lower(Trim(section)));
    return s == sections_.end() ? nullptr : &s->second;
}

bool SkinDocument::HasSection(std::string_view section) const {
    return sections_.count(Lower(Trim(section))) != 0;
}

std::optional<std::string> SkinDocument::Value(std::string_view section,
                                               std::string_view key) const {
    auto s = sections_.find(Lower(Trim(section)));
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(Lower(Trim(key)));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string SkinDocument::Text(std::string_view section, std::string_view key,
                               std::string_view fallback, std::size_t limit) const {
    auto v = Value(section, key);
    return Cut(v ? std::string_view(*v) : fallback, limit);
}

int SkinDocument::Int(std::string_view section, std::string_view key, int fallback) const {
    auto v = Value(section, key);
    return v ? ParseInt(*v) : fallback;
}

// ---------------------------------------------------------------------------------------
// Windows and controls

namespace {

class SectionReader {
  public:
    SectionReader(const SkinDocument& doc, const std::string& section)
        : keys_(doc.SectionKeys(section)) {}
    const std::string* Find(std::string_view key) const {
        if (!keys_) return nullptr;
        auto it = keys_->find(Lower(key));
        return it == keys_->end() ? nullptr : &it->second;
    }
    std::string Text(std::string_view key, std::string_view fallback = {},
                     std::size_t limit = 259) const {
        const std::string* v = Find(key);
        return Cut(v ? std::string_view(*v) : fallback, limit);
    }
    int Int(std::string_view key, int fallback) const {
        const std::string* v = Find(key);
        return v ? ParseInt(*v) : fallback;
    }
    bool Bool(std::string_view key, bool fallback) const { return Int(key, fallback ? 1 : 0) != 0; }
    std::optional<SkinFont> Font(std::string_view key) const {
        const std::string* v = Find(key);
        return v ? DecodeSkinFont(*v) : std::nullopt;
    }
    SkinColor Color(std::string_view key) const { return SkinColor(Int(key, 0)) & 0xFFFFFFu; }
    std::array<std::string, 4> Files(const char* const keys[4]) const {
        return {Text(keys[0]), Text(keys[1]), Text(keys[2]), Text(keys[3])};
    }

  private:
    const std::map<std::string, std::string>* keys_;
};

// Fonts and colours by state. `states` lists which of H, S, D this type reads.
void ReadTextStyle(const SectionReader& r, SkinTextStyle& style, bool hover, bool pressed,
                   bool disabled, bool colors) {
    style.fonts[kSkinNormal] = r.Font("FontN");
    if (colors) style.colors[kSkinNormal] = r.Color("ColorN");
    struct StateKeys {
        SkinState state;
        bool read;
        const char* same;
        const char* font;
        const char* sameColor;
        const char* color;
    };
    const StateKeys states[] = {
        {kSkinHover, hover, "IsHSameNFont", "FontH", "IsHSameNColor", "ColorH"},
        {kSkinPressed, pressed, "IsSSameNFont", "FontS", "IsSSameNColor", "ColorS"},
        {kSkinDisabled, disabled, "IsDSameNFont", "FontD", "IsDSameNColor", "ColorD"},
    };
    for (const auto& s : states) {
        style.fonts[s.state] = style.fonts[kSkinNormal];
        style.colors[s.state] = style.colors[kSkinNormal];
        if (!s.read) continue;
        style.sameFontAsNormal[s.state] = r.Bool(s.same, true);
        if (!style.sameFontAsNormal[s.state]) style.fonts[s.state] = r.Font(s.font);
        if (!colors) continue;
        style.sameColorAsNormal[s.state] = r.Bool(s.sameColor, true);
        if (!style.sameColorAsNormal[s.state]) style.colors[s.state] = r.Color(s.color);
    }
}

void ReadAlignment(const SectionReader& r, SkinTextStyle& style, std::size_t limit) {
    style.horAlignMode = Upper(r.Text("HorAlignMode", "DEFAULT", limit));
    style.verAlignMode = Upper(r.Text("VerAlignMode", "DEFAULT", limit));
    style.horAlig = r.Int("HorAlig", 0);
    style.verAlig = r.Int("VerAlig", 0);
}

void ReadButton(const SectionReader& r, SkinControl& c) {
    SkinButtonKeys& b = c.button;
    const bool push = c.type == SkinControlType::PushButton;
    b.caption = r.Text("Caption");
    b.isTabStop = r.Bool("IsTabStop", !push);
    if (push) b.isDefPushButton = r.Bool("IsDefPushButton", false);
    b.isMultiline = r.Bool("IsMultiline", false);
    b.maskBmp = r.Text("MaskBmp");
    ReadTextStyle(r, c.text, true, true, true, true);
    ReadAlignment(r, c.text, 31);
    b.useToolTip = r.Bool("UseToolTip", false);
    b.toolTips = r.Text("ToolTips", {}, 519);
    if (c.type != SkinControlType::Radio) b.tag = r.Text("Tag", {}, 522);
    if (!push) {
        static const char* const keys[4] = {"BKCN", "BKCH", "BKCS", "BKCD"};
        b.checkedImages = r.Files(keys);
    }
    if (c.type == SkinControlType::Radio) b.isGroup = r.Bool("IsGroup", false);
}

void ReadEdit(const SectionReader& r, SkinControl& c) {
    SkinEditKeys& e = c.edit;
    e.isTabStop = r.Bool("IsTabStop", true);
    e.isHScroll = r.Bool("IsHScroll", false);
    e.isVScroll = r.Bool("IsVScroll", false);
    e.isWantReturn = r.Bool("IsWantReturn", false);
    e.isR2LReadOrder = r.Bool("IsR2LReadOrder", false);
    e.isAutoHScroll = r.Bool("IsAutoHScroll", true);
    e.isAutoVScroll = r.Bool("IsAutoVScroll", false);
    e.isLowerCase = r.Bool("IsLowerCase", false);
    e.isUpperCase = r.Bool("IsUpperCase", false);
    e.isNumber = r.Bool("IsNumber", false);
    e.isPassword = r.Bool("IsPassword", false);
    e.isReadOnly = r.Bool("IsReadOnly", false);
    e.isMultiline = r.Bool("IsMultiline", true);
    if (c.type == SkinControlType::Edit) {
        e.horAligMode = r.Int("HorAligMode", 0);
        c.text.fonts[kSkinNormal] = r.Font("FontN");
        for (int s = 1; s < 4; ++s) c.text.fonts[s] = c.text.fonts[kSkinNormal];
        c.text.horAlig = r.Int("HorAlig", 0);
        c.text.verAlig = r.Int("VerAlig", 0);
    }
}

void ReadCombo(const SectionReader& r, SkinControl& c) {
    SkinComboKeys& k = c.combo;
    k.comboStyle = r.Int("ComboStyle", 1);
    k.dropListHeight = r.Int("DropListHeight", 16);
    k.isTabStop = r.Bool("IsTabStop", true);
    k.isVScroll = r.Bool("IsVScroll", true);
    k.isAutoHScroll = r.Bool("IsAutoHScroll", false);
    k.isDisableNoScroll = r.Bool("IsDisableNoScroll", false);
    k.isSort = r.Bool("IsSort", true);
    k.isUppercase = r.Bool("IsUppercase", false);
    k.isLowercase = r.Bool("IsLowercase", false);
    c.text.fonts[kSkinNormal] = r.Font("FontN");
    for (int s = 1; s < 4; ++s) c.text.fonts[s] = c.text.fonts[kSkinNormal];
    c.text.horAlig = r.Int("HorAlig", 0);
    c.text.verAlig = r.Int("VerAlig", 0);
    k.btnWidth = r.Int("BtnWidth", 18);
}

void ReadStatic(const SectionReader& r, SkinControl& c) {
    c.label.caption = r.Text("Caption");
    ReadAlignment(r, c.text, 259);
    c.label.noWrap = r.Bool("NoWrap", false);
    c.label.useToolTip = r.Bool("UseToolTip", false);
    c.label.toolTips = r.Text("ToolTips", {}, 519);
    ReadTextStyle(r, c.text, false, false, true, true);
}

void ReadSlider(const SectionReader& r, SkinControl& c) {
    c.slider.isVertical = r.Bool("IsVertical", false);
    if (c.type == SkinControlType::SliderEx) {
        static const char* const keys[4] = {"ThumbN", "ThumbH", "ThumbS", "ThumbD"};
        c.slider.thumbImages = r.Files(keys);
        c.slider.isUseMark = r.Bool("IsUseMark", false);
    }
}

void ReadSpin(const SectionReader& r, SkinControl& c) {
    SkinSpinKeys& s = c.spin;
    s.alignment = Upper(r.Text("Alignment", "UNATTACHED"));
    s.isVertical = r.Bool("IsVertical", true);
    s.isTabStop = r.Bool("IsTabStop", false);
    s.isAutoBuddy = r.Bool("IsAutoBuddy", false);
    s.isSetBuddyInt = r.Bool("IsSetBuddyInt", false);
    s.isNoThousands = r.Bool("IsNoThousands", false);
    s.isWrap = r.Bool("IsWrap", false);
    s.isArrowKeys = r.Bool("IsArrowKeys", true);
    s.isHotTrack = r.Bool("IsHotTrack", false);
}

void ReadProgress(const SectionReader& r, SkinControl& c) {
    c.progress.isVertical = r.Bool("IsVertical", false);
    c.progress.isShowText = r.Bool("IsShowText", false);
    c.text.fonts[kSkinNormal] = r.Font("FontN");
    for (int s = 1; s < 4; ++s) c.text.fonts[s] = c.text.fonts[kSkinNormal];
    c.progress.thumb = r.Text("Thumb");
}

void ReadList(const SectionReader& r, SkinControl& c) {
    SkinListKeys& l = c.list;
    l.listStyle = r.Int("ListStyle", 0);
    l.listAlign = r.Int("ListAlign", 0);
    l.listSort = r.Int("ListSort", 0);
    l.isTabStop = r.Bool("IsTabStop", false);
    l.isAutoArrange = r.Bool("IsAutoArrange", false);
    l.isEditLabels = r.Bool("IsEditLabels", false);
    l.isNoHeader = r.Bool("IsNoHeader", false);
    l.isNoLabelWrap = r.Bool("IsNoLabelWrap", false);
    l.isNoScroll = r.Bool("IsNoScroll", false);
    l.isNoSortHeader = r.Bool("IsNoSortHeader", false);
    l.isShowSelAlways = r.Bool("IsShowSelAlways", false);
    l.isSingleSel = r.Bool("IsSingleSel", false);
    static const char* const keys[4] = {"HeaderBkN", "HeaderBkH", "HeaderBkS", "HeaderBkD"};
    l.headerImages = r.Files(keys);
    l.headerSeparatorImage = r.Text("HeaderSeparatorBkN");
    l.tag = r.Text("Tag", {}, 522);
}

void ReadTree(const SectionReader& r, SkinControl& c) {
    SkinTreeKeys& t = c.tree;
    t.isTabStop = r.Bool("IsTabStop", false);
    if (c.type == SkinControlType::TreeList) return;
    t.isCheckBoxed = r.Bool("IsCheckBoxed", false);
    t.isDisDragDrop = r.Bool("IsDisDragDrop", false);
    t.isEditLabels = r.Bool("IsEditLabels", false);
    t.isFullRowSel = r.Bool("IsFullRowSel", false);
    t.isHasButtons = r.Bool("IsHasButtons", false);
    t.isHasLines = r.Bool("IsHasLines", false);
    t.isInfoTip = r.Bool("IsInfoTip", false);
    t.isLineAtRoot = r.Bool("IsLineAtRoot", false);
    t.isNonEvenHeight = r.Bool("IsNonEvenHeight", false);
    t.isScroll = r.Bool("IsScroll", true);
    t.isShowSelAlways = r.Bool("IsShowSelAlways", false);
    t.isSingleExpand = r.Bool("IsSingleExpand", false);
    t.isTooltips = r.Bool("IsTooltips", true);
    t.isTrackSel = r.Bool("IsTrackSel", false);
}

void ReadScrollBar(const SectionReader& r, SkinControl& c) {
    SkinScrollBarKeys& s = c.scrollBar;
    s.isVertical = r.Bool("IsVertical", false);
    static const char* const thumbs[4] = {"ThumbN", "ThumbH", "ThumbS", "ThumbD"};
    static const char* const tracks[4] = {"BkN", "BkH", "BkS", "BkD"};
    s.thumbImages = r.Files(thumbs);
    s.trackImages = r.Files(tracks);
    s.ltupX = r.Int("LTUPx", 0);
    s.ltupY = r.Int("LTUPy", 0);
    s.rtdnX = r.Int("RTDNx", 0);
    s.rtdnY = r.Int("RTDNy", 0);
}

SkinRect ReadRectKeys(const SectionReader& r, const char* prefix, char state, SkinRect d) {
    auto key = [&](const char* side) { return std::string(prefix) + side + state; };
    return {r.Int(key("Left"), d.left), r.Int(key("Top"), d.top), r.Int(key("Right"), d.right),
            r.Int(key("Bottom"), d.bottom)};
}

void ReadThumbnail(const SectionReader& r, SkinControl& c) {
    SkinThumbnailKeys& t = c.thumbnail;
    t.isListStyle = r.Bool("IsListStyle", false);
    t.isTabStop = r.Bool("IsTabStop", false);
    t.itemImages = {r.Text("ThmBkN"), r.Text("ThmBkH"), r.Text("ThmBkS")};
    t.totalWidth = r.Int("TotalWidth", 140);
    t.totalHeight = r.Int("TotalHeight", 140);
    t.imageRectN = ReadRectKeys(r, "ThmRect", 'N', t.imageRectN);
    t.imageRectH = ReadRectKeys(r, "ThmRect", 'H', t.imageRectH);
    t.labelRectN = ReadRectKeys(r, "LblRect", 'N', t.labelRectN);
    t.labelRectH = ReadRectKeys(r, "LblRect", 'H', t.labelRectH);
}

}  // namespace

std::optional<SkinWindow> SkinDocument::Window(int number) const {
    SkinWindow w;
    w.number = number;
    w.section = NameOfNumber(number);
    if (w.section.empty() || !HasSection(w.section)) return std::nullopt;
    const SectionReader win(*this, w.section);
    w.bkno = win.Text("BKNO");
    static const char* const keys[4] = {"BKN", "BKH", "BKS", "BKD"};
    w.backgrounds = win.Files(keys);
    w.isUseMaskColor = win.Bool("IsUseMaskColor", false);
    w.maskColor =
        MakeSkinColor(win.Int("RValue", 255), win.Int("GValue", 0), win.Int("BValue", 255));
    w.isResizing = win.Bool("IsResizing", false);
    w.resizingPtX = win.Int("ResizingPtX", 0);
    w.resizingPtY = win.Int("ResizingPtY", 0);

    // Bounded so that a huge numbered run cannot stall start-up; far beyond any real skin.
    constexpr int kMaxControls = 4096;
    for (int n = 0; n < kMaxControls; ++n) {
        SkinControl c;
        c.section = w.section + "_" + std::to_string(n);
        const SectionReader r(*this, c.section);
        c.typeText = r.Text("Type", {}, 31);
        if (Trim(c.typeText).empty()) break;
        c.type = SkinControlTypeOf(c.typeText);
        c.rect = ParseSkinRect(r.Text("Rect", "0,0,0,0"));
        c.idsName = std::string(Trim(r.Text("IDs")));
        if (auto id = NumberOfName(c.idsName)) c.id = *id;
        c.isVisible = r.Bool("IsVisible", true);
        c.isDisabled = r.Bool("IsDisabled", false);
        switch (c.type) {
            case SkinControlType::PushButton:
            case SkinControlType::Check:
            case SkinControlType::Radio:
                ReadButton(r, c);
                break;
            case SkinControlType::Edit:
            case SkinControlType::RichEdit:
                ReadEdit(r, c);
                break;
            case SkinControlType::ComboBox:
                ReadCombo(r, c);
                break;
            case SkinControlType::Static:
                ReadStatic(r, c);
                break;
            case SkinControlType::Slider:
            case SkinControlType::SliderEx:
                ReadSlider(r, c);
                break;
            case SkinControlType::Spin:
                ReadSpin(r, c);
                break;
            case SkinControlType::Progress:
                ReadProgress(r, c);
                break;
            case SkinControlType::ListCtrl:
                ReadList(r, c);
                break;
            case SkinControlType::TreeCtrl:
            case SkinControlType::TreeList:
                ReadTree(r, c);
                break;
            case SkinControlType::ScrollBarEx:
                ReadScrollBar(r, c);
                break;
            case SkinControlType::Thumbnail:
                ReadThumbnail(r, c);
                break;
            case SkinControlType::HotKey:
            case SkinControlType::IpAddress:
            case SkinControlType::Unknown:
                break;
        }
        if (auto* keys = SectionKeys(c.section)) c.raw = *keys;
        w.controls.push_back(std::move(c));
    }
    return w;
}

std::vector<int> SkinDocument::WindowNumbers() const {
    std::vector<int> numbers;
    for (const auto& [name, number] : resources_.Entries())
        if (HasSection(name) && NameOfNumber(number) == name) numbers.push_back(number);
    return numbers;
}

// ---------------------------------------------------------------------------------------
// Loading

std::string SkinUnicodeMessage(const std::string& path) {
    return "The skin file:\"" + path + "\" supports Unicode, but the skin editor doesn't!";
}

namespace {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

}  // namespace

SkinLoadResult LoadSkin(const std::string& path, bool testUnicode, const std::string& baseFolder) {
    namespace fs = std::filesystem;
    SkinLoadResult result;
    fs::path p(path);
    if (p.is_relative()) p = (baseFolder.empty() ? fs::current_path() : fs::path(baseFolder)) / p;
    p = p.lexically_normal();
    result.descriptionPath = p.string();
    result.folder = p.parent_path().string();
    if (result.folder.empty() || result.folder.back() != '/') result.folder += '/';
    result.resourcePath = result.folder + "Resource.h";

    auto bytes = ReadWholeFile(p);
    if (!bytes) {
        result.code = kSkinFileMissing;
        return result;
    }
    if (testUnicode && skin_text::StartsWithUtf16Bom(*bytes)) {
        result.code = kSkinIsUnicode;
        result.message = SkinUnicodeMessage(result.descriptionPath);
        return result;
    }
    auto header = ReadWholeFile(result.resourcePath);
    result.document = std::make_shared<const SkinDocument>(
        SkinDocument::Parse(*bytes, header ? std::string_view(*header) : std::string_view()));
    result.code = kSkinLoaded;
    return result;
}

}  // namespace quelt
