// The text of a profile (INI-style) file held in memory, with the reading rules of the
// Windows profile functions: case-insensitive sections and keys, the first section of a
// name and the first key of a name decide, values cut at 1023 characters. The text is
// indexed once when it is made, so that each read is a look-up rather than a pass over the
// whole file; a hand-edited or hostile file of many megabytes stays quick to load.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quelt {

// The longest value a read returns (a 1024-byte buffer with its terminating zero).
inline constexpr size_t kProfileValueMax = 1023;

// One value to write: WriteEntries stores many of them in one rewrite of the file.
struct ProfileEntry {
    std::string section;
    std::string key;
    std::string value;
};

class ProfileText {
  public:
    ProfileText() = default;
    // Lines end at "\n" (a "\r" before it is dropped); a leading byte-order mark is skipped.
    explicit ProfileText(std::string_view bytes);

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Every section name in file order, as first written.
    std::vector<std::string> Sections() const;
    // Every (key, value) of a section in file order, values cut as Find cuts them.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // Stores the entries in order (a later entry wins over an earlier one): an existing key
    // is replaced in place, a new key goes after its section's last entry, a new section at
    // the end. Line breaks in names and values are stored as blanks.
    void Store(const std::vector<ProfileEntry>& entries);
    // The lines joined, each ending in "\n", after the byte-order mark when there was one.
    std::string Text() const;

  private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        std::unordered_map<std::string, size_t> keys;  // lower-case key -> entries index
    };
    void Index();

    bool byteOrderMark_ = false;
    std::vector<std::string> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> byName_;  // lower-case name -> sections_ index
};

}  // namespace quelt
