#include "support/cli_runner.h"

#include <sstream>

namespace quelt::test {

std::string CliPath() { return QUELT_CLI_PATH; }

CliResult RunCli(const ScratchDir& home, const std::string& arguments) {
    // The captured streams sit beside the folders the program uses, under names no test
    // gives its own files.
    const std::string out = home.File(".cli-stdout"), err = home.File(".cli-stderr");
    CliResult r;
    r.status = Run("cd " + ShellQuote(home.path().string()) + " && env HOME=" +
                   ShellQuote(home.path().string()) +
                   " XDG_CONFIG_HOME=" + ShellQuote(home.File("config")) +
                   " XDG_CACHE_HOME=" + ShellQuote(home.File("cache")) +
                   " XDG_MUSIC_DIR=" + ShellQuote(home.File("music")) +
                   " SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 " + ShellQuote(CliPath()) +
                   " " + arguments + " >" + ShellQuote(out) + " 2>" + ShellQuote(err));
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(line);
    return r;
}

}  // namespace quelt::test
