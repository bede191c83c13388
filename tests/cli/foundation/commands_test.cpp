// quelt-cli's command words, its help and its settings command, run as a user runs them,
// with the settings file in a scratch folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/settings/profile_file.h"
#include "support/cli_runner.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;
using CliCommands = CliTest;

// A usage error is one line on standard error and status 2; help is the command's usage
// line on standard output and status 0. Nothing here writes the settings file.
TEST_F(CliCommands, UsageErrorsAndHelp) {
    // clang-format off
    const char* const usageErrors[] = {
        "", "no-such-command", "info", "play", "presets extra", "formats --bogus",
        "settings", "settings frob", "settings get CDRIP", "settings get CDRIP NoSuchKey",
        "settings get NoSection OutputDirectory", "settings set Main Priority",
        "settings set Main Priority high", "settings set CDRIP Bogus 1", "settings list extra",
        "settings --bogus", "drives extra", "drives --bogus", "drives --drive ''", "disc extra",
        "disc --case 0", "disc --server ''", "disc --drive ''", "disc --port 65536", "rip extra",
        "rip --case 5", "rip --server 11", "rip --proxy ''", "rip --port 0", "rip --timeout soon",
        "rip --format .xyz", "rip --preset 69", "rip --name-template 12", "rip --tracks",
        "rip --separator +", "rip --output-dir ''", "writers extra", "writers --bogus",
        "burn --bogus", "burn --writer", "convert --if-exists maybe a.wav",
        "convert --format .xyz a.wav"};
    // clang-format on
    for (const char* arguments : usageErrors) {
        const CliResult r = Cli(arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << arguments << ": " << r.err;
        EXPECT_EQ(r.out, "") << arguments;
    }
    const std::pair<const char*, const char*> reasons[] = {
        {"convert --bogus", "convert: unknown option --bogus (see quelt-cli convert --help)"},
        {"convert --delete-source=1",
         "convert: option --delete-source takes no value (see quelt-cli convert --help)"},
        {"rip --tracks", "rip: option --tracks needs a value (LIST) (see quelt-cli rip --help)"},
        {"disc --case x",
         "disc: --case takes a number from 1 to 4, not \"x\" (see quelt-cli disc --help)"},
        {"settings set CDRIP 'Output\nDirectory' 1",
         "settings: unknown setting CDRIP Output Directory (see quelt-cli settings --help)"}};
    for (const auto& [arguments, reason] : reasons)
        EXPECT_EQ(Cli(arguments).err, std::string("quelt-cli ") + reason + "\n");

    const std::pair<const char*, const char*> helps[] = {
        {"--help", "COMMAND [OPTIONS] [ARGS]"},
        {"formats -h", "formats"},
        {"presets --help", "presets"},
        {"settings --help", "settings list | get SECTION KEY | set SECTION KEY VALUE"},
        {"writers --help", "writers [--json]"},
        {"drives --help", "drives [--drive IMAGE]... [--json]"},
        {"disc --help", "disc [--drive D] [FREEDB OPTIONS] [--json]"},
        {"rip --help", "rip [--drive D] [--tracks 1,3-5] [OPTIONS] [FREEDB OPTIONS]"},
        {"burn -h", "burn [--writer W] [--data] [--image FILE] [OPTIONS] FILE..."},
        {"play --help", "play FILE | --drive D --track N [--start SECONDS]"}};
    for (const auto& [arguments, usage] : helps) {
        const CliResult r = Cli(arguments);
        EXPECT_EQ(r.status, 0) << arguments;
        EXPECT_EQ(r.err, "") << arguments;
        ASSERT_FALSE(r.lines.empty()) << arguments;
        EXPECT_EQ(r.lines[0], std::string("Usage: quelt-cli ") + usage);
    }
    EXPECT_FALSE(fs::exists(home_.File("config")));
}

// "get" shows the value in force; "set" loads, changes one value and saves, so the load
// fix-ups reach the whole file.
TEST_F(CliCommands, SettingsGetAndSet) {
    EXPECT_EQ(Cli("settings get CDRIP OutputDirectory").out,
              home_.File("music") + "/zqr_output/\n");
    EXPECT_EQ(Cli("settings get CDRIP OutputNameCustom").out, "0|2|3|\n");
    EXPECT_FALSE(fs::exists(home_.File("config"))) << "a first start writes nothing";

    WriteSettings("[Main]\nPriority=7\n[CDRIP]\nFreedbPort=-5\n");
    EXPECT_EQ(Cli("settings get main priority").out, "1\n");
    for (const char* change :
         {"CDBurn VolumeLabel 'My Disc'", "cdrip outputdirectory /srv/rips",
          "Convert OutputDirectory out/../rips", "CDRIP OutputNameIndex 13", "Convert IfExists 2",
          "CONVERT FormatIndex 9", "cdrip fparamindex 7", "CDRIP FreedbProxy proxy.example:3128"}) {
        const CliResult r = Cli(std::string("settings set ") + change);
        EXPECT_EQ(r.status, 0) << change << ": " << r.err;
        EXPECT_EQ(r.out, "") << change;
    }
    ProfileFile file(SettingsPath());
    EXPECT_EQ(file.ReadInt("Main", "Priority"), 1);
    EXPECT_EQ(file.ReadInt("CDRIP", "FreedbPort"), 80);

    const CliResult list = Cli("settings list");
    for (const std::string& line : std::vector<std::string>{
             "CDBurn\tVolumeLabel\tMy Disc", "CDRIP\tOutputDirectory\t/srv/rips/",
             "Convert\tOutputDirectory\t" + home_.File("rips") + "/", "CDRIP\tOutputNameIndex\t3",
             "Convert\tIfExists\t2", "CONVERT\tFormatIndex\t9", "CDRIP\tFParamIndex\t7",
             "CDRIP\tFreedbProxy\tproxy.example:3128", "Main\tPriority\t1"})
        EXPECT_TRUE(HasLine(list.out, line)) << line << "\n" << list.out;
}

}  // namespace
}  // namespace quelt::test
