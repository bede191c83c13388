#include "gui/app/help_manual.h"

#include "core/settings/app_paths.h"
#include "gui/common/desktop_opener.h"

namespace quelt {

QString HelpManualPath() { return QString::fromStdString(DataFile("help/index.html")); }

bool OpenHelpManual() { return OpenWithDesktop(HelpManualPath()); }

}  // namespace quelt
