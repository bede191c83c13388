// The start of a burn from the burner page: the start checks, the image file writer's
// target, and the burn job run under the modal progress window until the user closes it.
#pragma once

#include <QString>
#include <functional>

#include "core/burn/burn_job.h"

class QWidget;

namespace quelt {

struct AppContext;
class BurnerLibrary;

// `request` carries the compilation's paths, the disc type and the selected writer, which
// the library has already been given. `chooseImage` asks where the image file writer writes
// (called only for that writer, after the checks passed); an empty answer starts nothing.
// `setup` (may be empty) may change the job's parameters before it is built. Returns when the
// progress window has been closed, which it can only be once the burn has ended (burn-done
// came, or the decode pass was cancelled), or at once when a check refused.
void StartBurn(AppContext& context, BurnerLibrary& library, BurnRequest request, QWidget* owner,
               const std::function<QString(QWidget*, bool dataCd)>& chooseImage,
               const std::function<void(BurnJobParameters&)>& setup);

// The image file for the user's choice: ".cue" (Audio CD) or ".iso" (data CD) appended
// when the name does not end in it.
QString ImagePathWithExtension(const QString& chosen, bool dataCd);

}  // namespace quelt
