#include "support/cddb_server.h"

namespace quelt::test {
namespace {

std::vector<std::string> CddbArguments(const std::string& mode,
                                       const std::vector<std::string>& extraRoots) {
    std::vector<std::string> args = {"--root", std::string(QUELT_TEST_FIXTURES) + "/cddb", "--mode",
                                     mode};
    for (const auto& extra : extraRoots) args.insert(args.end(), {"--root", extra});
    return args;
}

}  // namespace

CddbServer::CddbServer(const std::string& mode, const std::vector<std::string>& extraRoots)
    : FixtureServer("cddb_server.py", CddbArguments(mode, extraRoots), true) {}

}  // namespace quelt::test
