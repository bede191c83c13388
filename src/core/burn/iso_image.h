// The ISO 9660 image of a data CD, with Joliet and Rock Ridge names, built by libisofs
// from files placed at the root. The image is generated while it is read, on a thread
// of libisofs.
#pragma once

#include <libburn/libburn.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/transcode/expected.h"

struct Iso_Image;  // libisofs

namespace quelt {

struct IsoEntry {
    std::string sourcePath;  // a file of the local file system
    std::string name;        // its name at the image's root ("01.wav")
};

class IsoImageStream {
  public:
    // The image of `entries` at the root, or why it cannot be set up.
    static Expected<std::unique_ptr<IsoImageStream>> Create(const std::string& volumeLabel,
                                                            const std::vector<IsoEntry>& entries);
    ~IsoImageStream();
    IsoImageStream(const IsoImageStream&) = delete;
    IsoImageStream& operator=(const IsoImageStream&) = delete;

    // The stream of image bytes; stays owned by this object.
    burn::burn_source* source() const { return source_; }
    // The whole image in bytes (a multiple of 2048).
    int64_t sizeBytes() const;

  private:
    IsoImageStream() = default;
    ::Iso_Image* image_ = nullptr;
    burn::burn_source* source_ = nullptr;
};

}  // namespace quelt
