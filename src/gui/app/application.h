// Start-up and exit of the GUI program, in this order: --help and --version answered on the
// terminal, one instance per session (a second start hands its files to the running window,
// which comes to the front, and ends with status 0, touching nothing),
// the skin, the settings, the main window; at exit the main window is destroyed and the
// settings are saved, also when the desktop ends the program with SIGTERM or SIGINT.
#pragma once

namespace quelt {

int RunQuelt(int argc, char** argv);

}  // namespace quelt
