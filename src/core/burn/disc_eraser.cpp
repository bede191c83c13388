#include "core/burn/disc_eraser.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/burn/libburn_runtime.h"

namespace quelt {

namespace fs = std::filesystem;

std::string WriterEraseRefusal(burn::burn_drive* drive) {
    const auto status = burn::burn_disc_get_status(drive);
    if (status == burn::BURN_DISC_EMPTY) return "No disc in the writer";
    if (!burn::burn_disc_erasable(drive)) return "The disc in the writer is not rewritable";
    if (status == burn::BURN_DISC_BLANK) return "The disc in the writer is already blank";
    if (status != burn::BURN_DISC_FULL && status != burn::BURN_DISC_APPENDABLE)
        return "The disc in the writer cannot be read";
    return {};
}

std::string FileEraseRefusal(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return "There is no file " + path + " to erase";
    if (fs::file_size(path, ec) == 0 || ec) return "The file " + path + " holds nothing to erase";
    if (::access(path.c_str(), W_OK) != 0) return "The file " + path + " cannot be written";
    return {};
}

std::string BlankMedium(burn::burn_drive* drive, bool fast,
                        const std::function<void(double)>& progress) {
    LibburnRuntime::Instance().TakeMessage();
    burn::burn_disc_erase(drive, fast ? 1 : 0);
    double last = -1;
    burn::burn_progress state{};
    while (burn::burn_drive_get_status(drive, &state) != burn::BURN_DRIVE_IDLE) {
        if (state.sectors > 0) {
            const double percent = 100.0 * double(state.sector) / double(state.sectors);
            if (percent > last && percent < 100 && progress) progress(last = percent);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (burn::burn_drive_wrote_well(drive) <= 0) {
        const std::string message = LibburnRuntime::Instance().TakeMessage();
        return message.empty() ? "The writer could not erase the disc" : message;
    }
    if (progress) progress(100);
    return {};
}

std::string BlankFile(const std::string& path, bool fast,
                      const std::function<void(double)>& progress) {
    // libburn blanks a pseudo-drive only when it sees a file it may write but not read;
    // a descriptor opened write-only is one.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return "The file " + path + " cannot be written";
    std::string error;
    {
        GrabbedDrive grabbed("stdio:/dev/fd/" + std::to_string(fd));
        error = grabbed.drive() ? BlankMedium(grabbed.drive(), fast, progress) : grabbed.error();
    }
    ::close(fd);
    return error;
}

}  // namespace quelt
