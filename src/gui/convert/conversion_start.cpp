#include "gui/convert/conversion_start.h"

#include "core/naming/templates.h"
#include "core/playback/closing_sound.h"
#include "core/settings/settings.h"
#include "gui/common/app_context.h"
#include "gui/common/job_runner.h"
#include "gui/common/progress_window.h"

namespace quelt {

void StartConversion(AppContext& context, const std::vector<ConvertItem>& items, int formatRow,
                     const std::string& presetLabel, QWidget* owner,
                     const std::function<void(ConversionJobParameters&)>& setup) {
    if (!CheckConvertList(items, *context.prompter)) return;
    JobControl& control = context.convertControl;
    ExtensionForFormat(context.settings, formatRow, false);
    // The progress window's folder button opens the converter's folder, the default one when
    // none was set.
    ApplyConvertFolderDefault(context.settings.convert);
    ProgressWindow window(kModeConvert, control, *context.prompter,
                          QString::fromStdString(context.settings.convert.outputDirectory), owner);
    ConversionJobParameters parameters;
    parameters.settings = context.settings;
    parameters.items = items;
    parameters.formatRow = formatRow;
    parameters.presetLabel = presetLabel;
    parameters.closingSound = PlayClosingSound;
    if (setup) setup(parameters);
    ConversionJob job(std::move(parameters));
    RunJobUnderProgressWindow(window, control, context.settings.priority,
                              [&] { job.Run(window, control); });
}

}  // namespace quelt
