// A settings file the program cannot read is never replaced by defaults, and a special file
// at its place is refused at once instead of hanging every command.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

class SettingsFaultTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(home_.File("config/quelt")); }
    std::string SettingsPath() const { return home_.File("config/quelt/zqrprocfg.cfg"); }
    ScratchDir home_;
};

TEST_F(SettingsFaultTest, AnUnreadableFileIsKeptAndTheUserIsTold) {
    const std::string mine = "[CDRIP]\nOutputDirectory=/srv/music/mine/\nFreedbProxy=cache:3128\n";
    ASSERT_TRUE(WriteFile(SettingsPath(), mine));
    ::chmod(SettingsPath().c_str(), 0200);
    // Root reads any file: the program then runs as an unprivileged user owning the file.
    std::string launcher;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(home_.File("config/quelt").c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(SettingsPath().c_str(), 65534, 65534), 0);
        launcher = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }

    CliResult set = RunCli(home_, "settings set Convert IfExists 2", launcher);
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("The settings file " + SettingsPath() +
                           " cannot be read (Permission denied). Default settings are used, "
                           "and no settings are saved."),
              std::string::npos)
        << set.err;
    ::chmod(SettingsPath().c_str(), 0600);
    EXPECT_EQ(ReadFile(SettingsPath()), mine);
    EXPECT_EQ(fs::status(SettingsPath()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SettingsFaultTest, AFifoIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(SettingsPath().c_str(), 0644), 0);
    CliResult get = RunCli(home_, "settings get Main Priority");
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "1\n");
    EXPECT_NE(get.err.find("cannot be read (not a regular file)"), std::string::npos) << get.err;

    CliResult set = RunCli(home_, "settings set Main Priority 3");
    EXPECT_EQ(set.status, 1);
    EXPECT_TRUE(fs::is_fifo(SettingsPath()));
}

TEST_F(SettingsFaultTest, RewritingKeepsTheFilesMode) {
    ASSERT_TRUE(WriteFile(SettingsPath(), "[Main]\nPriority=2\n"));
    fs::permissions(SettingsPath(), fs::perms::owner_read | fs::perms::owner_write |
                                        fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(RunCli(home_, "settings set Main Priority 3").status, 0);
    EXPECT_EQ(fs::status(SettingsPath()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_NE(ReadFile(SettingsPath()).find("Priority=3"), std::string::npos);
}

}  // namespace
}  // namespace quelt::test
