// How the main window hands the CD drives between the ripper (the grabbing component holds
// them) and the burner (which needs them free). SwitchMode calls TakeDrives when it shows
// the ripper page after the burner had the drives, and ReleaseDrives when it shows the
// burner page while the grabber holds them: once per change, never twice in a row.
// Both may throw ComponentError.
#pragma once

#include "core/rip/cd_grabber.h"

namespace quelt {

class DriveHandOver {
  public:
    virtual ~DriveHandOver() = default;
    virtual void TakeDrives() = 0;
    virtual void ReleaseDrives() = 0;
};

// The hand-over through the grabbing component's Open and Close.
class GrabberDriveHandOver : public DriveHandOver {
  public:
    explicit GrabberDriveHandOver(CdGrabber& grabber) : grabber_(grabber) {}
    void TakeDrives() override { grabber_.Open(); }
    void ReleaseDrives() override { grabber_.Close(); }

  private:
    CdGrabber& grabber_;
};

}  // namespace quelt
