// The drive a quelt-cli command names with --drive: a device path, a disc image or "demo".
#pragma once

#include <optional>
#include <string>

namespace quelt {
class CdGrabber;
}

namespace quelt::cli {

inline constexpr const char* kDriveNeeded = "--drive takes a device path, a disc image or \"demo\"";

// Opens the grabber's drives (adding an image or the demo disc named by `drive`) and returns
// the 0-based entry of the requested drive (0 when none is named); -1 with a reason.
int ResolveDrive(CdGrabber& grabber, const std::optional<std::string>& drive, std::string& error);

}  // namespace quelt::cli
