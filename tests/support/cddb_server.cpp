#include "support/cddb_server.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace quelt::test {

CddbServer::CddbServer(const std::string& mode, const std::vector<std::string>& extraRoots)
    : logPath_(MakeRequestLogFile()) {
    std::vector<std::string> args = {"--root", std::string(QUELT_TEST_FIXTURES) + "/cddb", "--mode", mode,
                                     "--log", logPath_};
    for (const auto& extra : extraRoots) {
        args.push_back("--root");
        args.push_back(extra);
    }
    server_ = std::make_unique<FixtureServer>("cddb_server.py", args);
}

CddbServer::~CddbServer() {
    server_.reset();
    std::remove(logPath_.c_str());
}

std::string CddbServer::RequestLog() const {
    std::ifstream in(logPath_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace quelt::test
