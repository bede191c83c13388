// The start of a rip from the ripper page: checks that tracks are checked, refreshes the
// output folder and template, raises the rip busy flag, and runs the rip job on its own
// thread under the modal progress window (button "Abort Rip") until the user closes it.
#pragma once

#include <functional>
#include <string>

#include "core/rip/rip_job.h"

class QWidget;

namespace quelt {

struct AppContext;
class Disc;
class Prompter;

// `disc` is the page's model; the worker reads its rows and tag lists and unchecks ripped
// rows while the window is shown. `prompter` must be callable from the worker (the read
// retry warning). `setup` (may be empty) adjusts the job's parameters before it runs.
// Returns false when nothing was started (no checked track, or no thread); otherwise
// returns after the window was closed and the worker has ended.
bool StartRip(AppContext& context, Disc& disc, Prompter& prompter, int formatRow,
              const std::string& presetLabel, QWidget* owner,
              const std::function<void(RipJobParameters&)>& setup);

}  // namespace quelt
