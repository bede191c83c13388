// The start of a conversion from the converter page: checks the list, raises the busy flag,
// fixes the format, preset and extension, and runs the conversion job on its own thread
// under the modal progress window until the user closes it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/convert/conversion_job.h"

class QWidget;

namespace quelt {

struct AppContext;

// `items` is the page's list; the job works on a copy. `setup` (may be empty) may change
// the job's parameters before it is built. Returns when the progress window has been closed
// (or at once when the list is empty: "Please add audio files..." is shown instead).
void StartConversion(AppContext& context, const std::vector<ConvertItem>& items, int formatRow,
                     const std::string& presetLabel, QWidget* owner,
                     const std::function<void(ConversionJobParameters&)>& setup);

}  // namespace quelt
