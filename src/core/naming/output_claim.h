// Holding an output name while its file is written, so that two jobs (in one process or in
// two) never choose the same name: the name is taken by creating it as a new empty file
// (O_EXCL), which succeeds for exactly one of them. The output's temporary file is later
// renamed over this placeholder. A claim that is not kept removes the placeholder and the
// folders that were made for it (when they are empty) on destruction.
#pragma once

#include <string>
#include <vector>

namespace quelt {

enum class ClaimStatus {
    kClaimed,  // the name was free and is now ours
    kTaken,    // something (a file, a folder, a dangling link) has the name
    kFailed,   // the folder cannot be written, the name is too long, ...
};

// Creates `path` as a new, empty file (mode 0666 less umask).
ClaimStatus ClaimNewFile(const std::string& path);

class OutputClaim {
  public:
    OutputClaim() = default;
    ~OutputClaim();
    OutputClaim(OutputClaim&& other) noexcept;
    OutputClaim& operator=(OutputClaim&& other) noexcept;
    OutputClaim(const OutputClaim&) = delete;
    OutputClaim& operator=(const OutputClaim&) = delete;

    // The placeholder at `path` is ours to remove when the output is not finished.
    void HoldPlaceholder(std::string path) { placeholder_ = std::move(path); }
    // Folders made for the output, outermost first: removed (when empty) if it fails.
    void AddCreatedFolders(const std::vector<std::string>& folders);
    // The output is complete: nothing is removed any more.
    void Keep();
    // Removes the placeholder and the empty folders now.
    void Abandon();

    bool holdsPlaceholder() const { return !placeholder_.empty(); }

  private:
    std::string placeholder_;
    std::vector<std::string> folders_;
};

}  // namespace quelt
