#include "cli/drive_choice.h"

#include "core/jobs/component_error.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc_image.h"

namespace quelt::cli {

int ResolveDrive(CdGrabber& grabber, const std::optional<std::string>& drive, std::string& error) {
    grabber.Open();
    if (!drive) return 0;
    std::string id = *drive;
    if (id.empty()) {
        error = kDriveNeeded;
        return -1;
    }
    if (id == "demo") {
        id = DemoDiscPath();
        if (id.empty()) {
            error = "the demo disc is not installed";
            return -1;
        }
    }
    try {
        if (LooksLikeDiscImage(id)) return grabber.AddImage(id) - 1;
        for (int n = 1; n <= grabber.DriveCount(); ++n) {
            grabber.SelectDrive(n);
            if (grabber.DriveId() == id) return n - 1;
        }
    } catch (const ComponentError& e) {
        error = e.what();
        return -1;
    }
    error = "no CD drive or disc image " + id;
    return -1;
}

}  // namespace quelt::cli
