// Runs the built quelt-cli as a user runs it, with everything it reads or writes kept in a
// test's scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
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
// card; the sanitizer settings are the test's own. `launcher`, when given, is a command the
// program is run through ("setpriv ..." to run it as another user). `environment` ("NAME=VALUE
// ...", quoted) is set last, so it wins over the variables above.
CliResult RunCli(const ScratchDir& home, const std::string& arguments,
                 const std::string& launcher = "", const std::string& environment = "");

// RunCli, and sends the program `signal` (SIGINT: as Ctrl-C does) once it has printed a line
// that starts with `linePrefix` on standard output.
CliResult RunCliInterrupted(const ScratchDir& home, const std::string& arguments,
                            const std::string& linePrefix, int signal = 2);

// quelt-cli started as RunCli starts it, left running while the test reads its standard
// output line by line and signals it (its standard error goes to a file of its own).
class CliProcess {
  public:
    CliProcess(const ScratchDir& home, const std::string& arguments);
    ~CliProcess();  // finishes the program when Finish was not called
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Reads standard output until a line starting with `prefix`; false at its end.
    bool WaitForLine(const std::string& prefix);
    void Signal(int signal);
    // Reads the rest of standard output and waits for the program's end.
    CliResult Finish();

  private:
    std::string errFile_;
    int pid_ = -1;
    std::FILE* out_ = nullptr;
    CliResult result_;
};

// The built quelt-cli program.
std::string CliPath();

// Whether `text` holds `line` as one whole line.
bool HasLine(const std::string& text, const std::string& line);

// A test that runs quelt-cli in a scratch home of its own.
class CliTest : public ::testing::Test {
  protected:
    CliResult Cli(const std::string& arguments, const std::string& launcher = "",
                  const std::string& environment = "") {
        return RunCli(home_, arguments, launcher, environment);
    }
    // A sine tone `name` in the home folder, made by ffmpeg; its full path.
    std::string Tone(const std::string& name, double seconds = 0.5,
                     const std::string& ffmpegArgs = "") {
        ToneOptions tone;
        tone.seconds = seconds;
        tone.extraArgs = ffmpegArgs;
        EXPECT_TRUE(MakeTone(home_.File(name), tone));
        return home_.File(name);
    }
    std::string SettingsPath() const { return home_.File("config/quelt/zqrprocfg.cfg"); }
    void WriteSettings(const std::string& text) {
        std::filesystem::create_directories(home_.File("config/quelt"));
        EXPECT_TRUE(WriteFile(SettingsPath(), text));
    }

    ScratchDir home_;
};

}  // namespace quelt::test
