// A profile (INI-style) file with the reading rules of the Windows profile functions:
// case-insensitive sections and keys, "" and 0 for what is missing, values cut at 1023
// characters, integers as signed decimal text.
//
// The file is read and indexed once, at the first read or write, and kept in memory; the
// object's own writes keep that copy current. Every write rewrites the file through a
// temporary file and a rename, so a crash never leaves half a file, and the rewritten file
// keeps the permissions the old one had.
//
// A file that exists but cannot be read (no permission, not a regular file such as a FIFO
// or a device, larger than kProfileSizeMax, a read error) reads as empty, and is never
// written: a save would replace the user's settings with defaults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/profile_text.h"

namespace quelt {

// A settings file larger than this is not read.
inline constexpr size_t kProfileSizeMax = 64u << 20;

class ProfileFile {
  public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Why the existing file could not be read ("Permission denied", "not a regular file",
    // ...); empty when it was read or does not exist.
    const std::string& readError() const;

    std::string ReadString(const std::string& section, const std::string& key) const;
    int ReadInt(const std::string& section, const std::string& key) const;
    // Failures are not reported (the folder is created when missing).
    void WriteString(const std::string& section, const std::string& key, const std::string& text);
    void WriteInt(const std::string& section, const std::string& key, int value);
    // Stores every entry in one rewrite, in order (a later entry wins over an earlier one).
    // Returns false when the file could not be written, or could not be read in the first
    // place; the old file is then untouched.
    bool WriteEntries(const std::vector<ProfileEntry>& entries);

    // Every section name of the file, in file order, as written.
    std::vector<std::string> Sections() const;
    // Every (key, value) of a section, in file order, values cut as ReadString cuts them.
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

  private:
    const ProfileText& Text() const;

    std::string path_;
    mutable bool loaded_ = false;
    mutable ProfileText text_;
    mutable std::string readError_;
};

// The decimal value of a text as the profile functions read it: an optional sign followed by
// digits; a text that does not begin with a number gives 0. Saturates at the int range.
int ParseDecimalInt(std::string_view text);

}  // namespace quelt
