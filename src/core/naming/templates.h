// Output names from tags: 12 rip templates (11 is the custom pattern), 12 convert
// templates, and the tags text they read ("|"-terminated fields).
#pragma once

#include <string>
#include <vector>

namespace quelt {

struct Settings;

struct TrackTags {
    int number = 0;  // position in its list, from 1
    std::string title, artist, album, genre, year;
    int bitrate = 0;
    int sampleRate = 0;
    std::string sourceTitle;         // converter only
    std::string comment, copyright;  // written into files, not used in names
};

// "%d|%s|%s|%s|%s|%d|%d|": number, title, artist, album, genre, bitrate, sample rate.
std::string RipTagsText(const TrackTags& tags);
// "%s|%s|%s|%s|%s|%d|%d|%s|" with the number padded to width 2 and the source title.
std::string ConvertTagsText(const TrackTags& tags);

// The separators the custom pattern can put between its fields, by entry of the pattern
// dialog's separator list: "" (listed as "No"), " ", "-", ".", "_".
const std::vector<std::string>& CustomSeparators();
inline constexpr int kNoSeparatorChoice = -1;

// The name relative to the output folder, without extension; "\" and "/" make folders.
// Index 11 uses `customPattern`: with `separatorEntry` kNoSeparatorChoice the fields are
// joined as they are (the names of settings that never chose a separator); with an entry of
// CustomSeparators() the track number is written at width 2 and that separator stands
// between the fields, as the pattern dialog previews. Indexes outside 0..11 give "".
std::string BuildRipName(int index, const std::string& tagsText, const std::string& customPattern,
                         int separatorEntry = kNoSeparatorChoice);
// The custom pattern's name alone (see BuildRipName), before SafeRelativeName.
std::string CustomPatternName(const std::string& pattern, const std::string& tagsText,
                              int separatorEntry);
std::string BuildConvertName(int index, const std::string& tagsText);

// A name relative to an output folder that cannot leave it: "\" and "/" both separate
// folder levels, empty parts collapse, and a part that is "." or ".." becomes "_" or "__".
// The result uses "/" and never starts with it. BuildRipName and BuildConvertName apply it.
std::string SafeRelativeName(const std::string& name);

// The labels the option pages list, in index order.
const std::vector<std::string>& RipTemplateLabels();
const std::vector<std::string>& ConvertTemplateLabels();
// The field names of the custom pattern: "Track No.", "Title", ..., "Sample".
const std::vector<std::string>& CustomPatternFieldNames();

// Sets settings.ripExtension (forRip) or settings.convertExtension from a format row and
// returns the field; a row outside 0..12 leaves it unchanged.
std::string ExtensionForFormat(Settings& settings, int row, bool forRip);

}  // namespace quelt
