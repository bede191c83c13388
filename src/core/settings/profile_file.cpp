#include "core/settings/profile_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace quelt {
namespace {

namespace fs = std::filesystem;

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\r\n\f\v";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
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

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in) return lines;
    std::string line;
    while (std::getline(in, line)) {
        // A byte-order mark that an editor put in front of the first section is not part of it.
        if (lines.empty() && line.rfind("\xef\xbb\xbf", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// A line break inside a name or value would split it into lines of its own (and could
// forge other keys), so breaks are stored as blanks.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

std::optional<std::string> Lookup(const std::vector<std::string>& lines, const std::string& section,
                                  const std::string& key) {
    bool inSection = false;
    for (const auto& raw : lines) {
        Line line = Classify(raw);
        if (line.kind == Line::kSection) {
            if (inSection) return std::nullopt;  // the first section of that name decides
            inSection = SameName(line.name, section);
        } else if (inSection && line.kind == Line::kEntry && SameName(line.name, key)) {
            return std::string(line.value.substr(0, kProfileValueMax));
        }
    }
    return std::nullopt;
}

void Store(std::vector<std::string>& lines, const ProfileEntry& entry) {
    const std::string section = OneLine(entry.section);
    const std::string key = OneLine(entry.key);
    const std::string newLine = key + "=" + OneLine(entry.value);
    size_t sectionLine = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        Line line = Classify(lines[i]);
        if (line.kind == Line::kSection && SameName(line.name, section)) {
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
        if (line.kind == Line::kEntry) {
            if (SameName(line.name, key)) {
                lines[i] = newLine;
                return;
            }
        }
        if (!Trim(lines[i]).empty()) insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
}

// Writes the whole text beside the file and renames it over the file.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::path target(path);
    // A settings file that is a symbolic link (kept in a dotfiles folder, say) stays one: the
    // file it points to is replaced, not the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    std::string temp = target.string() + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    const char* data = text.data();
    size_t left = text.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

int ParseDecimalInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key) const {
    return Lookup(ReadLines(path_), section, key).value_or(std::string());
}

int ProfileFile::ReadInt(const std::string& section, const std::string& key) const {
    return ParseDecimalInt(ReadString(section, key));
}

void ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& text) {
    WriteEntries({{section, key, text}});
}

void ProfileFile::WriteInt(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

bool ProfileFile::WriteEntries(const std::vector<ProfileEntry>& entries) {
    std::vector<std::string> lines = ReadLines(path_);
    for (const auto& entry : entries) Store(lines, entry);
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return ReplaceFile(path_, text);
}

std::vector<std::string> ProfileFile::Sections() const {
    std::vector<std::string> names;
    for (const auto& raw : ReadLines(path_)) {
        Line line = Classify(raw);
        if (line.kind != Line::kSection) continue;
        bool seen = false;
        for (const auto& name : names) seen = seen || SameName(name, line.name);
        if (!seen) names.emplace_back(line.name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> ProfileFile::Entries(
    const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    bool inSection = false;
    bool done = false;
    for (const auto& raw : ReadLines(path_)) {
        Line line = Classify(raw);
        if (line.kind == Line::kSection) {
            if (inSection) done = true;
            inSection = !done && SameName(line.name, section);
        } else if (inSection && line.kind == Line::kEntry) {
            bool seen = false;
            for (const auto& e : entries) seen = seen || SameName(e.first, line.name);
            if (!seen) entries.emplace_back(line.name, line.value.substr(0, kProfileValueMax));
        }
    }
    return entries;
}

}  // namespace quelt
