#include "core/naming/templates.h"

#include <array>

#include "core/catalogue/catalogue.h"
#include "core/naming/text.h"
#include "core/naming/untrusted_text.h"
#include "core/settings/settings.h"

namespace quelt {
namespace {

// Field positions of the tags text.
enum Field { kNumber = 0, kTitle, kArtist, kAlbum, kGenre, kBitrate, kSample, kSourceTitle };

// One template: literal pieces around the fields, "/" standing for a folder level.
struct Template {
    const char* label;
    std::array<const char*, 5> pieces;  // pieces[0] field0 pieces[1] field1 ... (nullptr ends)
    std::array<int, 4> fields;
};

// Rip templates 0..10; convert templates 1..11 are the same in the same order.
// clang-format off
const std::array<Template, 11> kRipTemplates{{
    {"track <number>", {"track ", "", nullptr}, {kNumber}},
    {"<artist> - <title>", {"", " - ", "", nullptr}, {kArtist, kTitle}},
    {"<artist> - <album>\\<number>. <title>", {"", " - ", "/", ". ", ""}, {kArtist, kAlbum, kNumber, kTitle}},
    {"<artist> - <album>\\<number> - <title>", {"", " - ", "/", " - ", ""}, {kArtist, kAlbum, kNumber, kTitle}},
    {"<artist>\\<album>\\<number>. <title>", {"", "/", "/", ". ", ""}, {kArtist, kAlbum, kNumber, kTitle}},
    {"<artist>\\<album>\\<number> - <title>", {"", "/", "/", " - ", ""}, {kArtist, kAlbum, kNumber, kTitle}},
    {"<album>\\<number>. <artist> - <title>", {"", "/", ". ", " - ", ""}, {kAlbum, kNumber, kArtist, kTitle}},
    {"<album>\\<number> - <artist> - <title>", {"", "/", " - ", " - ", ""}, {kAlbum, kNumber, kArtist, kTitle}},
    {"<number>. <title>", {"", ". ", "", nullptr}, {kNumber, kTitle}},
    {"<number> - <title>", {"", " - ", "", nullptr}, {kNumber, kTitle}},
    {"<artist> - <album> - <number> - <title> ", {"", " - ", " - ", " - ", ""}, {kArtist, kAlbum, kNumber, kTitle}},
}};
const Template kOldNameTemplate{"<old filename> <number>", {"", " ", "", nullptr}, {kSourceTitle, kNumber}};
// clang-format on
constexpr const char* kCustomLabel = "custom by yourself";

std::string Apply(const Template& t, const std::string& tagsText) {
    std::string name = t.pieces[0];
    for (size_t i = 0; i + 1 < t.pieces.size() && t.pieces[i + 1]; ++i)
        name += TagField(tagsText, t.fields[i]) + t.pieces[i + 1];
    return name;
}

// A "|" inside a tag would end its field early and shift every later field, so it is kept
// out of the tags text. Tags come from files and discs: line breaks, escape sequences and
// invalid UTF-8 never reach a file name.
std::string FieldText(const std::string& text) {
    std::string field = CleanUntrustedText(text);
    for (char& c : field)
        if (c == '|') c = '_';
    return field;
}

}  // namespace

std::string SafeRelativeName(const std::string& name) {
    std::string result;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (part == "." || part == "..") part.assign(part.size(), '_');
        if (!part.empty()) {
            if (!result.empty()) result += '/';
            result += part;
        }
        start = end + 1;
    }
    return result;
}

std::string RipTagsText(const TrackTags& tags) {
    return std::to_string(tags.number) + "|" + FieldText(tags.title) + "|" +
           FieldText(tags.artist) + "|" + FieldText(tags.album) + "|" + FieldText(tags.genre) +
           "|" + std::to_string(tags.bitrate) + "|" + std::to_string(tags.sampleRate) + "|";
}

std::string ConvertTagsText(const TrackTags& tags) {
    return FormatTrackNumber(tags.number, 2) + "|" + FieldText(tags.title) + "|" +
           FieldText(tags.artist) + "|" + FieldText(tags.album) + "|" + FieldText(tags.genre) +
           "|" + std::to_string(tags.bitrate) + "|" + std::to_string(tags.sampleRate) + "|" +
           FieldText(tags.sourceTitle) + "|";
}

const std::vector<std::string>& CustomSeparators() {
    static const std::vector<std::string> separators{"", " ", "-", ".", "_"};
    return separators;
}

std::string CustomPatternName(const std::string& pattern, const std::string& tagsText,
                              int separatorEntry) {
    const auto& separators = CustomSeparators();
    const bool chosen = separatorEntry >= 0 && separatorEntry < static_cast<int>(separators.size());
    std::string name;
    for (int i = 0;; ++i) {
        const std::string code = TagField(pattern, i);
        if (code.empty()) break;
        const int field = ParseDecimalInt(code);
        std::string value = TagField(tagsText, field);
        if (!chosen) {
            name += value;
            continue;
        }
        if (field == kNumber) value = FormatTrackNumber(ParseDecimalInt(value), 2);
        if (i > 0) name += separators[static_cast<size_t>(separatorEntry)];
        name += value;
    }
    return name;
}

std::string BuildRipName(int index, const std::string& tagsText, const std::string& customPattern,
                         int separatorEntry) {
    if (index >= 0 && index < static_cast<int>(kRipTemplates.size()))
        return SafeRelativeName(Apply(kRipTemplates[index], tagsText));
    if (index == 11)
        return SafeRelativeName(CustomPatternName(customPattern, tagsText, separatorEntry));
    return {};
}

std::string BuildConvertName(int index, const std::string& tagsText) {
    if (index == 0) return SafeRelativeName(Apply(kOldNameTemplate, tagsText));
    if (index >= 1 && index <= static_cast<int>(kRipTemplates.size()))
        return SafeRelativeName(Apply(kRipTemplates[index - 1], tagsText));
    return {};
}

const std::vector<std::string>& RipTemplateLabels() {
    static const std::vector<std::string> labels = [] {
        std::vector<std::string> list;
        for (const auto& t : kRipTemplates) list.emplace_back(t.label);
        list.emplace_back(kCustomLabel);
        return list;
    }();
    return labels;
}

const std::vector<std::string>& ConvertTemplateLabels() {
    static const std::vector<std::string> labels = [] {
        std::vector<std::string> list{kOldNameTemplate.label};
        for (const auto& t : kRipTemplates) list.emplace_back(t.label);
        return list;
    }();
    return labels;
}

const std::vector<std::string>& CustomPatternFieldNames() {
    static const std::vector<std::string> names{"Track No.", "Title",   "Artist", "Album",
                                                "Genre",     "Bitrate", "Sample"};
    return names;
}

std::string ExtensionForFormat(Settings& settings, int row, bool forRip) {
    std::string& extension = forRip ? settings.ripExtension : settings.convertExtension;
    if (auto format = OutputFormatRow(row)) extension = format->extension;
    return extension;
}

}  // namespace quelt
