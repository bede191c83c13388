// Start-up and exit of the GUI program, in this order: one instance per session (a second
// start ends at once with status 0, touching nothing), the skin, the settings, the main
// window; at exit the main window is destroyed and the settings are saved, also when the
// desktop ends the program with SIGTERM or SIGINT.
#pragma once

namespace quelt {

int RunQuelt(int argc, char** argv);

}  // namespace quelt
