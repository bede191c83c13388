#include "gui/rip/rip_start.h"

#include "core/jobs/component_error.h"
#include "core/naming/templates.h"
#include "core/playback/closing_sound.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc.h"
#include "core/settings/settings.h"
#include "gui/common/app_context.h"
#include "gui/common/job_runner.h"
#include "gui/common/progress_window.h"

namespace quelt {
namespace {

// The read offset stored for the drive the disc is in; 0 when the drive cannot say.
int DriveReadOffset(const Settings& settings, Disc& disc) {
    try {
        return ReadOffsetFor(settings.rip, disc.grabber().DriveText1(), disc.grabber().DriveText2());
    } catch (const ComponentError&) {
        return 0;
    }
}

}  // namespace

bool StartRip(AppContext& context, Disc& disc, Prompter& prompter, int formatRow,
              const std::string& presetLabel, QWidget* owner,
              const std::function<void(RipJobParameters&)>& setup) {
    if (!PrepareRip(disc, context.settings, prompter)) return false;

    JobControl& control = context.ripControl;
    ExtensionForFormat(context.settings, formatRow, true);
    ProgressWindow window(kModeRip, control, prompter,
                          QString::fromStdString(context.settings.rip.outputDirectory), owner);
    window.SetButton("Abort Rip", true);

    RipJobParameters parameters;
    parameters.settings = context.settings;
    parameters.formatRow = formatRow;
    parameters.presetLabel = presetLabel;
    parameters.closingSound = PlayClosingSound;
    parameters.verification = VerificationOptionsOf(context.settings.rip, DriveReadOffset(context.settings, disc));
    if (setup) setup(parameters);
    RipJob job(disc, std::move(parameters));

    return RunJobUnderProgressWindow(window, control, context.settings.priority,
                                     [&] { job.Run(window, control); });
}

}  // namespace quelt
