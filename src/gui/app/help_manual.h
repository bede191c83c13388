// The user manual: an HTML page in the data folder ("help/index.html"), opened in the
// desktop's browser.
#pragma once

#include <QString>

namespace quelt {

QString HelpManualPath();
// Asks the desktop to open the manual; false when it could not (no browser, no file).
bool OpenHelpManual();

}  // namespace quelt
