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
std::string CliCommand(const ScratchDir& home, const std::string& arguments,
                       const std::string& launcher = "", const std::string& environment = "") {
    return "cd " + ShellQuote(home.path().string()) + " && exec " + launcher + " env HOME=" +
           ShellQuote(home.path().string()) + " XDG_CONFIG_HOME=" + ShellQuote(home.File("config")) +
           " XDG_CACHE_HOME=" + ShellQuote(home.File("cache")) +
           " XDG_MUSIC_DIR=" + ShellQuote(home.File("music")) +
           " SDL_AUDIODRIVER=dummy " + environment + " " + ShellQuote(CliPath()) + " " +
           arguments;
}

void SplitLines(CliResult& r) {
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(line);
}

}  // namespace

std::string CliPath() { return QUELT_CLI_PATH; }

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

CliResult RunCli(const ScratchDir& home, const std::string& arguments,
                 const std::string& launcher, const std::string& environment) {
    // The captured streams sit beside the folders the program uses, under names no test
    // gives its own files.
    const std::string out = home.File(".cli-stdout"), err = home.File(".cli-stderr");
    CliResult r;
    r.status = Run(CliCommand(home, arguments, launcher, environment) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err));
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    SplitLines(r);
    return r;
}

CliProcess::CliProcess(const ScratchDir& home, const std::string& arguments) {
    static int count = 0;
    errFile_ = home.File(".cli-stderr-" + std::to_string(++count));
    const std::string command = CliCommand(home, arguments) + " 2>" + ShellQuote(errFile_);
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    out_ = fdopen(out[0], "r");
}

CliProcess::~CliProcess() {
    if (pid_ > 0) Finish();
}

bool CliProcess::WaitForLine(const std::string& prefix) {
    char buffer[4096];
    while (out_ && std::fgets(buffer, sizeof buffer, out_)) {
        result_.out += buffer;
        if (std::string(buffer).rfind(prefix, 0) == 0) return true;
    }
    return false;
}

void CliProcess::Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

CliResult CliProcess::Finish() {
    if (out_) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, out_)) result_.out += buffer;
        std::fclose(out_);
        out_ = nullptr;
    }
    if (pid_ > 0) {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result_.err = ReadFile(errFile_);
        SplitLines(result_);
    }
    return result_;
}

CliResult RunCliInterrupted(const ScratchDir& home, const std::string& arguments,
                            const std::string& linePrefix, int signal) {
    CliProcess process(home, arguments);
    if (process.WaitForLine(linePrefix)) process.Signal(signal);
    return process.Finish();
}

}  // namespace quelt::test
