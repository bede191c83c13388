// A profile (INI-style) file with the reading rules of the Windows profile functions:
// case-insensitive sections and keys, "" and 0 for what is missing, values cut at 1023
// characters, integers as signed decimal text. Every write rewrites the file through a
// temporary file and a rename, so a crash never leaves half a file.
#pragma once

#include <string>

namespace quelt {

class ProfileFile {
public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key) const;
    int ReadInt(const std::string& section, const std::string& key) const;
    // Failures are not reported (the folder is created when missing).
    void WriteString(const std::string& section, const std::string& key, const std::string& text);
    void WriteInt(const std::string& section, const std::string& key, int value);

private:
    std::string path_;
};

}  // namespace quelt
