// The GUI program's command line: --help and --version are answered on the terminal before
// any window or display is touched; every other word that is not an option is a file or a
// disc image to open in the window.
#pragma once

#include <string>
#include <vector>

namespace quelt {

struct GuiCommandLine {
    bool help = false;
    bool version = false;
    std::vector<std::string> files;  // absolute paths, in command-line order
    std::string error;               // an unknown option of our own; empty when none
};

// Qt's own options (-platform NAME, -style NAME, ...) are left to QApplication, and their
// values are not taken for files; "--" ends the options.
GuiCommandLine ParseGuiCommandLine(int argc, char** argv);

// The text of `quelt --help` and of `quelt --version`.
std::string GuiHelpText();
std::string GuiVersionText();

}  // namespace quelt
