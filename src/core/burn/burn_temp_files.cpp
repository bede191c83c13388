#include "core/burn/burn_temp_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/naming/paths.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

int OpenLock(const std::string& folder) {
    return ::open((WithTrailingBackslash(folder) + ".lock").c_str(),
                  O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

BurnTempFolderHold::BurnTempFolderHold(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    fd_ = OpenLock(folder);
    // Without a lock the burn still runs; a clean-up could then take its files, which the
    // burn reports as a failed write.
    if (fd_ >= 0) ::flock(fd_, LOCK_SH);
}

BurnTempFolderHold::~BurnTempFolderHold() {
    if (fd_ >= 0) ::close(fd_);
}

bool IsBurnTempFileName(const std::string& name) {
    if (EndsWith(name, ".wav")) return AllDigits(name.substr(0, name.size() - 4));
    // The pipeline writes "." + name + "." + six hex digits + ".part" until a file is whole.
    if (name.size() > 1 && name[0] == '.' && EndsWith(name, ".part")) {
        const size_t wav = name.find(".wav.");
        return wav != std::string::npos && AllDigits(name.substr(1, wav - 1));
    }
    return false;
}

void RemoveBurnTempFiles(const std::vector<std::string>& paths) {
    for (const auto& path : paths) {
        std::error_code ec;
        fs::remove(path, ec);
    }
}

int RemoveLeftoverBurnTempFiles(const std::string& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return 0;
    const int fd = OpenLock(folder);
    if (fd < 0) return 0;
    int removed = 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        std::vector<std::string> leftovers;
        for (const auto& entry : fs::directory_iterator(folder, ec))
            if (IsBurnTempFileName(entry.path().filename().string()))
                leftovers.push_back(entry.path().string());
        RemoveBurnTempFiles(leftovers);
        removed = int(leftovers.size());
    }
    ::close(fd);
    return removed;
}

}  // namespace quelt
