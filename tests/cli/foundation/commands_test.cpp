// quelt-cli formats, presets and settings, run as a user runs them, with the settings file
// in a scratch folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/settings/profile_file.h"
#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

using Result = test::CliResult;

class CliTest : public ::testing::Test {
  protected:
    Result Cli(const std::string& arguments) { return test::RunCli(scratch_, arguments); }
    std::string SettingsFile() const { return scratch_.File("config") + "/quelt/zqrprocfg.cfg"; }
    void WriteSettings(const std::string& text) {
        fs::create_directories(scratch_.File("config") + "/quelt");
        std::ofstream(SettingsFile()) << text;
    }

    test::ScratchDir scratch_;
};

TEST_F(CliTest, PresetsPrintsSixtyEightRowsWithTheirTrailingBlank) {
    Result r = Cli("presets");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 69u);
    EXPECT_EQ(r.lines[0], "0\t320kbit/s 44100Hz Stereo ");
    EXPECT_EQ(r.lines[7], "7\t128kbit/s 44100Hz Mono ");
    EXPECT_EQ(r.lines[67], "67\t8kbit/s 8000Hz Mono ");
    EXPECT_EQ(r.lines[68], "68\tSame as source");
}

TEST_F(CliTest, FormatsPrintsThirteenRows) {
    Result r = Cli("formats");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 16u);
    EXPECT_EQ(r.lines[0], "0\t.3gp (AAC-Advanced Audio Coding)");
    EXPECT_EQ(r.lines[12], "12\t.wma (Microsoft Media Audio)");
    EXPECT_EQ(r.lines[14], "14\tALAC (.m4a)");
}

TEST_F(CliTest, FirstStartShowsDefaultsAndWritesNothing) {
    Result r = Cli("settings get CDRIP OutputDirectory");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, scratch_.File("music") + "/zqr_output/\n");
    EXPECT_EQ(Cli("settings get CDBurn VolumeLabel").out, "Audio CD\n");
    EXPECT_EQ(Cli("settings get Main Priority").out, "1\n");
    EXPECT_EQ(Cli("settings get CDRIP OutputNameCustom").out, "0|2|3|\n");
    EXPECT_FALSE(fs::exists(scratch_.File("config")));
}

TEST_F(CliTest, SetAppliesTheLoadFixUpsToTheWholeFile) {
    WriteSettings("[Main]\nPriority=7\n[CDRIP]\nFreedbPort=-5\n");
    EXPECT_EQ(Cli("settings get Main Priority").out, "1\n");
    Result r = Cli("settings set CDBurn VolumeLabel X");
    EXPECT_EQ(r.status, 0) << r.err;
    ProfileFile file(SettingsFile());
    EXPECT_EQ(file.ReadInt("Main", "Priority"), 1);
    EXPECT_EQ(file.ReadInt("CDRIP", "FreedbPort"), 80);
    EXPECT_EQ(file.ReadString("CDBurn", "VolumeLabel"), "X");
    EXPECT_EQ(Cli("settings get main priority").out, "1\n");
}

struct RoundTrip {
    const char* section;
    const char* key;
    const char* value;
    const char* readBack;
};

class CliRoundTripTest : public CliTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(CliRoundTripTest, SetThenGet) {
    const RoundTrip& c = GetParam();
    Result set = Cli(std::string("settings set ") + c.section + " " + c.key + " " +
                     test::ShellQuote(c.value));
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "");
    Result get = Cli(std::string("settings get ") + c.section + " " + c.key);
    EXPECT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, std::string(c.readBack) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CliRoundTripTest,
    ::testing::Values(RoundTrip{"CDBurn", "VolumeLabel", "My Disc", "My Disc"},
                      RoundTrip{"cdrip", "outputdirectory", "/srv/rips", "/srv/rips/"},
                      RoundTrip{"Convert", "OutputDirectory", "/srv/conv/", "/srv/conv/"},
                      RoundTrip{"CDRIP", "OutputNameIndex", "13", "3"},
                      RoundTrip{"CDRIP", "OutputNameIndex", "12", "12"},
                      RoundTrip{"CDRIP", "FreedbPort", "-5", "80"},
                      RoundTrip{"CDRIP", "FreedbPort", "8880", "8880"},
                      RoundTrip{"Convert", "IfExists", "2", "2"},
                      RoundTrip{"Main", "Priority", "4", "4"},
                      RoundTrip{"Main", "Priority", "0", "1"},
                      RoundTrip{"CONVERT", "FormatIndex", "9", "9"},
                      RoundTrip{"cdrip", "fparamindex", "7", "7"},
                      RoundTrip{"CDRIP", "FreedbProxy", "proxy.example:3128", "proxy.example:3128"},
                      RoundTrip{"CDRIP", "OutputNameCustom", "1|1|", "1|1|"}));

TEST_F(CliTest, RelativeFoldersAreStoredAbsolute) {
    ASSERT_EQ(test::Run("cd " + test::ShellQuote(scratch_.path().string()) +
                        " && env XDG_CONFIG_HOME=" + test::ShellQuote(scratch_.File("config")) +
                        " " + test::ShellQuote(QUELT_CLI_PATH) +
                        " settings set Convert OutputDirectory out/../rips"),
              0);
    EXPECT_EQ(Cli("settings get Convert OutputDirectory").out, scratch_.File("rips") + "/\n");
}

TEST_F(CliTest, SetKeepsOtherValues) {
    ASSERT_EQ(Cli("settings set Convert IfExists 2").status, 0);
    ASSERT_EQ(Cli("settings set CONVERT FormatIndex 5").status, 0);
    ASSERT_EQ(Cli("settings set CDRIP Metadata 1").status, 0);
    EXPECT_EQ(Cli("settings get convert ifexists").out, "2\n");
    EXPECT_EQ(Cli("settings get Convert FormatIndex").out, "5\n");
    EXPECT_EQ(Cli("settings get CDRIP Metadata").out, "1\n");
}

TEST_F(CliTest, ListShowsEveryKeyInForce) {
    WriteSettings("[Convert]\nIfExists=2\n");
    Result r = Cli("settings list");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines.size(), 42u);  // with Convert Jobs and ReplayGain, CDRIP ReplayGain, OutputNameSeparator, the four proof keys and the five album look-up keys
    EXPECT_NE(r.out.find("Convert\tIfExists\t2\n"), std::string::npos);
    EXPECT_NE(r.out.find("CDBurn\tVolumeLabel\tAudio CD\n"), std::string::npos);
    EXPECT_NE(r.out.find("Main\tPriority\t1\n"), std::string::npos);
    EXPECT_NE(r.out.find("CONVERT\tFParamIndex\t0\n"), std::string::npos);
}

struct Usage {
    const char* arguments;
    int status;
};

class CliStatusTest : public CliTest, public ::testing::WithParamInterface<Usage> {};

TEST_P(CliStatusTest, ExitStatusAndOneLineReason) {
    Result r = Cli(GetParam().arguments);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    if (GetParam().status == 2) {
        EXPECT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // exactly one line
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(fs::exists(SettingsFile()));  // nothing here writes the file
}

INSTANTIATE_TEST_SUITE_P(
    Words, CliStatusTest,
    ::testing::Values(Usage{"no-such-command", 2}, Usage{"settings", 2}, Usage{"settings frob", 2},
                      Usage{"settings get CDRIP", 2}, Usage{"settings get CDRIP NoSuchKey", 2},
                      Usage{"settings get NoSection OutputDirectory", 2},
                      Usage{"settings set Main Priority", 2},
                      Usage{"settings set Main Priority high", 2},
                      Usage{"settings set CDRIP Bogus 1", 2}, Usage{"settings list extra", 2},
                      Usage{"settings --bogus", 2}, Usage{"presets extra", 2},
                      Usage{"formats --bogus", 2}, Usage{"settings --help", 0},
                      Usage{"presets --help", 0}, Usage{"formats -h", 0}, Usage{"--help", 0},
                      Usage{"", 2}, Usage{"drives extra", 2}, Usage{"disc extra", 2},
                      Usage{"rip extra", 2}, Usage{"writers extra", 2}, Usage{"drives --bogus", 2},
                      Usage{"disc --case 0", 2}, Usage{"rip --case 5", 2},
                      Usage{"rip --server 11", 2}, Usage{"disc --server ''", 2}, Usage{"rip --proxy ''", 2},
                      Usage{"drives --drive ''", 2}, Usage{"disc --drive ''", 2}, Usage{"rip --port 0", 2},
                      Usage{"disc --port 65536", 2}, Usage{"rip --timeout soon", 2},
                      Usage{"rip --format .xyz", 2}, Usage{"rip --preset 69", 2},
                      Usage{"rip --name-template 12", 2}, Usage{"rip --tracks", 2},
                      Usage{"burn --bogus", 2}, Usage{"burn --writer", 2},
                      Usage{"writers --bogus", 2}, Usage{"settings get CDRIP 'Output\nDirectory'", 2},
                      Usage{"drives --help", 0}, Usage{"disc --help", 0}, Usage{"rip --help", 0},
                      Usage{"writers --help", 0}, Usage{"burn -h", 0}));

// Each command's help is on standard output, opens with its usage line and names every
// option the command takes.
struct Help {
    const char* command;
    const char* usage;
    std::vector<const char*> options;
};

void PrintTo(const Help& help, std::ostream* os) { *os << help.command << " --help"; }

class CliHelpTest : public CliTest, public ::testing::WithParamInterface<Help> {};

TEST_P(CliHelpTest, ListsEveryOption) {
    Result r = Cli(std::string(GetParam().command) + " --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines[0], "Usage: quelt-cli " + std::string(GetParam().command) + GetParam().usage);
    for (const char* option : GetParam().options)
        EXPECT_TRUE(r.out.find(std::string("\n  ") + option + " ") != std::string::npos ||
                    r.out.find(std::string("\n  ") + option + "\n") != std::string::npos)
            << option << "\n" << r.out;
}

const std::vector<const char*> kFreedbOptions = {"--freedb", "--no-freedb", "--server", "--port",
                                                 "--proxy", "--timeout"};

std::vector<const char*> Join(std::vector<const char*> a, const std::vector<const char*>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliHelpTest,
    ::testing::Values(
        Help{"formats", "", {"--json"}}, Help{"presets", "", {"--json"}},
        Help{"settings", " list | get SECTION KEY | set SECTION KEY VALUE", {"--json"}},
        Help{"writers", " [--json]", {"--json"}},
        Help{"drives", " [--drive IMAGE]... [--json]", {"--drive", "--json"}},
        Help{"disc", " [--drive D] [FREEDB OPTIONS] [--json]",
             Join({"--drive", "--case", "--json"}, kFreedbOptions)},
        Help{"rip", " [--drive D] [--tracks 1,3-5] [OPTIONS] [FREEDB OPTIONS]",
             Join({"--drive", "--tracks", "--format", "--preset", "--output-dir", "--name-template",
                   "--metadata", "--no-metadata", "--custom-pattern", "--m3u", "--eject",
                   "--lock-tray", "--case"},
                  kFreedbOptions)},
        Help{"burn", " [--writer W] [--data] [--image FILE] [OPTIONS] FILE...",
             {"--writer", "--data", "--image", "--label", "--test-mode", "--no-finalize",
              "--eject"}},
        Help{"play", " FILE | --drive D --track N [--start SECONDS]",
             {"--drive", "--track", "--start"}}),
    [](const ::testing::TestParamInfo<Help>& info) { return std::string(info.param.command); });

TEST_F(CliTest, SetReportsAFileItCannotWrite) {
    // The config folder is a regular file, so the settings file cannot be written.
    std::ofstream(scratch_.File("config")) << "x";
    Result r = Cli("settings set CDBurn VolumeLabel X");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("could not write"), std::string::npos);
}

}  // namespace
}  // namespace quelt
