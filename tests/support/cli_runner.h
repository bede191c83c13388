// Runs the built quelt-cli as a user runs it, with everything it reads or writes kept in a
// test's scratch folder.
#pragma once

#include <string>
#include <vector>

#include "support/fixtures.h"

namespace quelt::test {

struct CliResult {
    int status = -1;  // exit status; -1 when a signal ended the program
    std::string out;  // standard output, byte for byte
    std::string err;  // standard error, byte for byte
    std::vector<std::string> lines;  // `out` split at its line ends
};

// Runs quelt-cli with `arguments`, a shell word list (quote paths with ShellQuote), from
// the folder `home` and waits for it. HOME is `home`, and XDG_CONFIG_HOME, XDG_CACHE_HOME
// and XDG_MUSIC_DIR are its "config", "cache" and "music" folders, so settings, the
// temporary folder and the default output folder never touch the user's; there is no sound
// card and no leak check.
CliResult RunCli(const ScratchDir& home, const std::string& arguments);

// RunCli, and sends the program SIGINT (as Ctrl-C does) once it has printed a line that
// starts with `linePrefix` on standard output.
CliResult RunCliInterrupted(const ScratchDir& home, const std::string& arguments,
                            const std::string& linePrefix);

// The built quelt-cli program.
std::string CliPath();

}  // namespace quelt::test
