// Ctrl-C while FreeDB is asked and the server stays silent: the look-up ends at once and
// the rip with it, without ripping anything.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "support/cddb_server.h"
#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

TEST(FreedbLookupFault, CtrlCEndsALookupOnASilentServer) {
    CddbServer server("silent");
    ASSERT_TRUE(server.running());
    ScratchDir home;
    const std::string out = home.File("out") + "/";
    CliProcess process(home, "rip --drive demo --freedb --server 127.0.0.1 --port " +
                                 std::to_string(server.port()) +
                                 " --timeout 600000 --format .wav --preset 0 --output-dir " +
                                 ShellQuote(out));
    ASSERT_TRUE(process.WaitForLine("Quering for album entry..."));
    process.Signal(SIGINT);
    CliResult r = process.Finish();
    EXPECT_EQ(r.status, 130) << r.out << r.err;
    EXPECT_EQ(r.out.find("Create output file"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace quelt::test
