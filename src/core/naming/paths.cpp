#include "core/naming/paths.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>

namespace quelt {
namespace {

size_t NameStart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Position of the extension's dot inside the file name, or npos.
size_t ExtensionDot(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < NameStart(path) ? std::string::npos : dot;
}

template <size_t N>
bool ExtensionIn(const std::string& path, const std::array<const char*, N>& list) {
    const std::string ext = PathUpperExtension(path);
    for (const char* item : list)
        if (ext == item) return true;
    return false;
}

}  // namespace

std::string PathFolder(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string PathFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string PathFileTitle(const std::string& path) {
    size_t start = NameStart(path);
    size_t dot = ExtensionDot(path);
    return path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

std::string PathUpperExtension(const std::string& path) {
    size_t dot = ExtensionDot(path);
    if (dot == std::string::npos) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

std::string WithTrailingBackslash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

bool PathExists(const std::string& path) {
    if (path == "/") return true;
    if (path.empty()) return false;
    // lstat: a dangling symbolic link is an existing name too, and must not be written through.
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> MakeDirectoryPath(const std::string& folder) {
    std::vector<std::string> created;
    // Every prefix that ends before a "/", then the whole path; the root prefix is skipped.
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string prefix = folder.substr(0, slash);
        if (!prefix.empty() && prefix.back() != '/' && ::mkdir(prefix.c_str(), 0777) == 0)
            created.push_back(prefix);
        if (slash == std::string::npos) break;
    }
    return created;
}

bool IsMediaFile(const std::string& path) {
    static constexpr std::array<const char*, 20> kMedia{
        "MP3", "WMA", "WAV", "OGG", "AAC", "FLAC", "AIFF", "AU",  "M4A",  "AC3",
        "3G2", "3GP", "MPG", "WMV", "AVI", "MOV",  "RM",   "VOB", "MPEG", "MP4"};
    return ExtensionIn(path, kMedia);
}

bool IsAudioFile(const std::string& path) {
    static constexpr std::array<const char*, 9> kAudio{"MP3",  "WMA",  "WAV", "OGG", "AAC",
                                                       "FLAC", "AIFF", "MP2", "AC3"};
    return ExtensionIn(path, kAudio);
}

}  // namespace quelt
