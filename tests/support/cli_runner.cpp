#include "support/cli_runner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace quelt::test {
namespace {

// "cd HOME && exec env VARIABLES quelt-cli ARGUMENTS" without redirections; exec keeps one
// process, so a signal sent to the shell's id reaches the program.
std::string CliCommand(const ScratchDir& home, const std::string& arguments) {
    return "cd " + ShellQuote(home.path().string()) + " && exec env HOME=" +
           ShellQuote(home.path().string()) + " XDG_CONFIG_HOME=" + ShellQuote(home.File("config")) +
           " XDG_CACHE_HOME=" + ShellQuote(home.File("cache")) +
           " XDG_MUSIC_DIR=" + ShellQuote(home.File("music")) +
           " SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 " + ShellQuote(CliPath()) + " " +
           arguments;
}

void SplitLines(CliResult& r) {
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(line);
}

}  // namespace

std::string CliPath() { return QUELT_CLI_PATH; }

CliResult RunCli(const ScratchDir& home, const std::string& arguments) {
    // The captured streams sit beside the folders the program uses, under names no test
    // gives its own files.
    const std::string out = home.File(".cli-stdout"), err = home.File(".cli-stderr");
    CliResult r;
    r.status = Run(CliCommand(home, arguments) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err));
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    SplitLines(r);
    return r;
}

CliResult RunCliInterrupted(const ScratchDir& home, const std::string& arguments,
                            const std::string& linePrefix) {
    const std::string err = home.File(".cli-stderr");
    const std::string command = CliCommand(home, arguments) + " 2>" + ShellQuote(err);
    CliResult r;
    int out[2];
    if (pipe(out) != 0) return r;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    char buffer[4096];
    bool signalled = false;
    while (std::fgets(buffer, sizeof buffer, lines)) {
        r.out += buffer;
        if (!signalled && std::string(buffer).rfind(linePrefix, 0) == 0) {
            kill(pid, SIGINT);
            signalled = true;
        }
    }
    std::fclose(lines);
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFile(err);
    SplitLines(r);
    return r;
}

}  // namespace quelt::test
