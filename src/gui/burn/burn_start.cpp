#include "gui/burn/burn_start.h"

#include <cstdio>

#include "core/burn/burner_library.h"
#include "core/burn/image_writer.h"
#include "core/burn/libburn_burner.h"
#include "core/playback/closing_sound.h"
#include "core/settings/settings.h"
#include "gui/common/app_context.h"
#include "gui/common/job_runner.h"
#include "gui/common/progress_window.h"

namespace quelt {

namespace {

std::string ReplaceImageQuestion(const std::vector<std::string>& existing) {
    std::string names;
    for (const auto& path : existing) names += "\n" + path;
    return "These files of the image exist already:" + names + "\n\nReplace them?";
}

}  // namespace

QString ImagePathWithExtension(const QString& chosen, bool dataCd) {
    const QString extension = dataCd ? QStringLiteral(".iso") : QStringLiteral(".cue");
    if (chosen.endsWith(extension, Qt::CaseInsensitive)) return chosen;
    return chosen + extension;
}

void StartBurn(AppContext& context, BurnerLibrary& library, BurnRequest request, QWidget* owner,
               const std::function<QString(QWidget*, bool)>& chooseImage,
               const std::function<void(BurnJobParameters&)>& setup) {
    // The library's error texts go nowhere the user sees: the burn-done line is the verdict.
    const BurnerResultSink sink = [](const std::string& text) {
        std::fprintf(stderr, "quelt: burner %s\n", text.c_str());
    };
    if (!CheckBurnStart(request, library, *context.prompter, sink)) return;
    if (request.writerText == kImageWriterText) {
        const QString chosen = chooseImage ? chooseImage(owner, request.dataCd) : QString();
        if (chosen.isEmpty()) return;
        request.imagePath = ImagePathWithExtension(chosen, request.dataCd).toStdString();
        // The file dialog asked about the one name it saw; an image is up to three files.
        const auto existing = ExistingImageFiles(request.imagePath, request.dataCd);
        if (!existing.empty() &&
            !context.prompter->AskYesNo(kBurnCaption, ReplaceImageQuestion(existing)))
            return;
    }
    // The label in force, with its default when the settings file has none.
    ApplyVolumeLabelDefault(context.settings.burn);

    JobControl& control = context.burnControl;
    ProgressWindow window(kModeBurn, control, *context.prompter, QString(), owner);
    BurnJobParameters parameters;
    parameters.settings = context.settings;
    parameters.request = std::move(request);
    parameters.resultSink = sink;
    parameters.closingSound = PlayClosingSound;
    if (setup) setup(parameters);
    BurnJob job(library, std::move(parameters));
    // Run() returns once the burn has ended: burn-done and the library's last progress
    // still write into the window (which posts every update to this thread) until then.
    RunJobUnderProgressWindow(window, control, context.settings.priority,
                              [&] { job.Run(window, control); });
}

}  // namespace quelt
