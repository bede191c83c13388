// A profile (INI-style) file with the reading rules of the Windows profile functions:
// case-insensitive sections and keys, "" and 0 for what is missing, values cut at 1023
// characters, integers as signed decimal text. Every write rewrites the file through a
// temporary file and a rename, so a crash never leaves half a file.
#pragma once

#include <string>
#include <string_view>
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

class ProfileFile {
  public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key) const;
    int ReadInt(const std::string& section, const std::string& key) const;
    // Failures are not reported (the folder is created when missing).
    void WriteString(const std::string& section, const std::string& key, const std::string& text);
    void WriteInt(const std::string& section, const std::string& key, int value);
    // Stores every entry in one rewrite, in order (a later entry wins over an earlier one).
    // Returns false when the file could not be written; the old file is then untouched.
    bool WriteEntries(const std::vector<ProfileEntry>& entries);

    // Every section name of the file, in file order, as written.
    std::vector<std::string> Sections() const;
    // Every (key, value) of a section, in file order, values cut as ReadString cuts them.
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

  private:
    std::string path_;
};

// The decimal value of a text as the profile functions read it: an optional sign followed by
// digits; a text that does not begin with a number gives 0. Saturates at the int range.
int ParseDecimalInt(std::string_view text);

}  // namespace quelt
