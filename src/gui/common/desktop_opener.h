// Opening a local file or folder with the program the desktop has for it (the file
// manager, the web browser).
#pragma once

#include <QString>

namespace quelt {

// False when the path does not exist or no program of the desktop took it.
bool OpenWithDesktop(const QString& path);

}  // namespace quelt
