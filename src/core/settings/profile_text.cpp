#include "core/settings/profile_text.h"

namespace quelt {
namespace {

constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\r\n\f\v";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

std::string Lower(std::string_view s) {
    std::string lower(s);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    return lower;
}

// A line of the file seen through the reading rules.
struct Line {
    enum Kind { kOther, kSection, kEntry } kind = kOther;
    std::string_view name;   // section name or key
    std::string_view value;  // entry value
};

Line Classify(std::string_view raw) {
    Line line;
    std::string_view text = Trim(raw);
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        size_t close = text.find(']');
        if (close == std::string_view::npos) return line;
        line.kind = Line::kSection;
        line.name = Trim(text.substr(1, close - 1));
        return line;
    }
    size_t eq = text.find('=');
    if (eq == std::string_view::npos) return line;
    line.kind = Line::kEntry;
    line.name = Trim(text.substr(0, eq));
    line.value = Trim(text.substr(eq + 1));
    return line;
}

// A line break inside a name or value would split it into lines of its own (and could
// forge other keys), so breaks are stored as blanks.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void StoreOne(std::vector<std::string>& lines, const ProfileEntry& entry) {
    const std::string section = OneLine(entry.section);
    const std::string key = OneLine(entry.key);
    const std::string newLine = key + "=" + OneLine(entry.value);
    const std::string sectionName = Lower(section), keyName = Lower(key);
    size_t sectionLine = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        Line line = Classify(lines[i]);
        if (line.kind == Line::kSection && Lower(line.name) == sectionName) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine == lines.size()) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(newLine);
        return;
    }
    size_t insertAt = sectionLine + 1;
    for (size_t i = sectionLine + 1; i < lines.size(); ++i) {
        Line line = Classify(lines[i]);
        if (line.kind == Line::kSection) break;
        if (line.kind == Line::kEntry && Lower(line.name) == keyName) {
            lines[i] = newLine;
            return;
        }
        if (!Trim(lines[i]).empty()) insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
}

}  // namespace

ProfileText::ProfileText(std::string_view bytes) {
    byteOrderMark_ = bytes.substr(0, 3) == kByteOrderMark;
    if (byteOrderMark_) bytes.remove_prefix(3);
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    Index();
}

void ProfileText::Index() {
    sections_.clear();
    byName_.clear();
    Section* current = nullptr;  // null outside a section, and in a repeated section
    for (const auto& raw : lines_) {
        Line line = Classify(raw);
        if (line.kind == Line::kSection) {
            auto [it, added] = byName_.try_emplace(Lower(line.name), sections_.size());
            current = nullptr;
            if (added) current = &sections_.emplace_back(Section{std::string(line.name), {}, {}});
        } else if (current && line.kind == Line::kEntry) {
            if (current->keys.try_emplace(Lower(line.name), current->entries.size()).second)
                current->entries.emplace_back(line.name, line.value.substr(0, kProfileValueMax));
        }
    }
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const {
    auto s = byName_.find(Lower(section));
    if (s == byName_.end()) return std::nullopt;
    const Section& found = sections_[s->second];
    auto k = found.keys.find(Lower(key));
    if (k == found.keys.end()) return std::nullopt;
    return found.entries[k->second].second;
}

std::vector<std::string> ProfileText::Sections() const {
    std::vector<std::string> names;
    for (const auto& section : sections_) names.push_back(section.name);
    return names;
}

std::vector<std::pair<std::string, std::string>> ProfileText::Entries(
    std::string_view section) const {
    auto s = byName_.find(Lower(section));
    return s == byName_.end() ? std::vector<std::pair<std::string, std::string>>{}
                              : sections_[s->second].entries;
}

void ProfileText::Store(const std::vector<ProfileEntry>& entries) {
    for (const auto& entry : entries) StoreOne(lines_, entry);
    Index();
}

std::string ProfileText::Text() const {
    // The mark goes back too: dropping it would let a second one that follows become the
    // one that is skipped, and the first line would change its meaning.
    std::string text(byteOrderMark_ ? kByteOrderMark : std::string_view());
    for (const auto& line : lines_) text += line + "\n";
    return text;
}

}  // namespace quelt
