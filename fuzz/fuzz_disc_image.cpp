// Disc image checking on arbitrary bytes: the first byte chooses a cue sheet or a TOC file,
// the rest is its text, written beside two small data files it may name. The check must
// either accept the image or refuse it with a ComponentError, and clean up after itself.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/jobs/component_error.h"
#include "core/rip/disc_image.h"

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        std::string path = std::filesystem::temp_directory_path() /
                           ("quelt-fuzz-image-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::ofstream(path + "/image.bin", std::ios::binary) << std::string(2352 * 4, '\0');
        std::ofstream(path + "/other.bin", std::ios::binary) << std::string(2352 * 2, '\1');
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string path = Folder() + ((data[0] & 1) ? "/image.toc" : "/image.cue");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    try {
        quelt::DiscImage image(path);
        (void)image.openPath();
    } catch (const quelt::ComponentError&) {
    }
    return 0;
}
