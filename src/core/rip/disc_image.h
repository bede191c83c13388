// Checking a disc image before libcdio opens it. libcdio's cue reader takes one BIN named
// like the cue sheet and ignores the names on FILE lines, so an image whose cue names a
// differently-named BIN is opened through a private copy of the cue sheet beside a link to
// that BIN, and an image with several data files (which would give wrong track starts) is
// refused.
#pragma once

#include <string>

namespace quelt {

enum class DiscImageKind { kCue, kToc, kNrg };

class DiscImage {
public:
    // Throws ComponentError with a sentence for the user when the image cannot be read
    // correctly.
    explicit DiscImage(const std::string& path);
    ~DiscImage();
    DiscImage(const DiscImage&) = delete;
    DiscImage& operator=(const DiscImage&) = delete;

    const std::string& path() const { return path_; }          // as the user gave it
    const std::string& openPath() const { return openPath_; }  // what libcdio opens
    DiscImageKind kind() const { return kind_; }
    const char* KindName() const;  // "CUE/BIN", "TOC", "NRG"

private:
    std::string path_, openPath_, stagingDir_;
    DiscImageKind kind_;
};

// True when `path` names a file of an image kind (by extension: .cue, .toc, .nrg).
bool LooksLikeDiscImage(const std::string& path);

}  // namespace quelt
