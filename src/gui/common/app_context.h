// The program's process-wide state as one object: the settings record and its file, the
// current mode, the drive hand-over flag and the busy/cancel flags of each job kind.
// Owned by the start-up code and passed by reference, so tests can make several.
// Everything here is touched on the GUI thread only, except the JobControl atomics,
// which a worker polls.
#pragma once

#include <string>

#include "core/jobs/job_control.h"
#include "core/jobs/prompter.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings.h"

namespace quelt {

struct AppContext {
    explicit AppContext(std::string settingsPath, Prompter& prompter)
        : profile(std::move(settingsPath)), prompter(&prompter) {}

    Settings settings;
    ProfileFile profile;  // also holds the keys the pages write directly ("FormatIndex")
    Prompter* prompter;
    int mode = kModeRip;  // AppMode: 100, 200 or 300
    int driveFlag = 1;    // 1 while the grabber holds the drives, 0 once the burner has them
    // The preview player's state: `previewPlaying` while a preview plays; `previewActive`
    // while a preview holds the active page (start button and list edits are refused).
    bool previewPlaying = false;
    bool previewActive = false;
    JobControl ripControl;
    JobControl convertControl;
    JobControl burnControl;

    JobControl& ControlOfMode(int m) {
        return m == kModeRip ? ripControl : m == kModeBurn ? burnControl : convertControl;
    }
};

}  // namespace quelt
