#include "core/naming/output_claim.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quelt {

ClaimStatus ClaimNewFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
        ::close(fd);
        return ClaimStatus::kClaimed;
    }
    return errno == EEXIST ? ClaimStatus::kTaken : ClaimStatus::kFailed;
}

OutputClaim::~OutputClaim() { Abandon(); }

OutputClaim::OutputClaim(OutputClaim&& other) noexcept
    : placeholder_(std::move(other.placeholder_)), folders_(std::move(other.folders_)) {
    other.Keep();
}

OutputClaim& OutputClaim::operator=(OutputClaim&& other) noexcept {
    if (this != &other) {
        Abandon();
        placeholder_ = std::move(other.placeholder_);
        folders_ = std::move(other.folders_);
        other.Keep();
    }
    return *this;
}

void OutputClaim::AddCreatedFolders(const std::vector<std::string>& folders) {
    folders_.insert(folders_.end(), folders.begin(), folders.end());
}

void OutputClaim::Keep() {
    placeholder_.clear();
    folders_.clear();
}

void OutputClaim::Abandon() {
    if (!placeholder_.empty()) ::unlink(placeholder_.c_str());
    // Innermost first; a folder something else was put in meanwhile stays.
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        ::rmdir(folder->c_str());
    Keep();
}

}  // namespace quelt
