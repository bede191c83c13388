// The media probe (what the converter and burner pages learn from a file) on arbitrary
// bytes, written to a file under a name whose extension the first byte chooses.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "core/transcode/media_info.h"

namespace {

constexpr const char* kExtensions[] = {".mp3", ".wav", ".flac", ".ogg", ".m4a",
                                       ".aiff", ".wma", ".ac3", ".au", ".mka"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const std::string stem = std::filesystem::temp_directory_path() /
                                    ("quelt-fuzz-media-" + std::to_string(::getpid()));
    const std::string path = stem + kExtensions[data[0] % std::size(kExtensions)];
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    (void)quelt::ReadMediaInfo(path);
    std::filesystem::remove(path);
    return 0;
}
