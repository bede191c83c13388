// The tests' CDDB server (tests/fixtures/cddb_server.py) on 127.0.0.1, started for one
// test and stopped by the destructor.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/fixture_server.h"

namespace quelt::test {

class CddbServer {
public:
    // mode: "normal", "silent" (never answers), "garbage" or "huge" (a 100 MB reply). `extraRoots` are further entry
    // folders beside tests/fixtures/cddb.
    explicit CddbServer(const std::string& mode = "normal", const std::vector<std::string>& extraRoots = {});
    ~CddbServer();
    CddbServer(const CddbServer&) = delete;
    CddbServer& operator=(const CddbServer&) = delete;

    bool running() const { return server_->running(); }
    int port() const { return server_->port(); }
    std::string host() const { return "127.0.0.1:" + std::to_string(port()); }
    // Every request seen: "DIRECT|PROXY path=... proto=... cmd=...", one per line.
    std::string RequestLog() const;

private:
    std::string logPath_;
    std::unique_ptr<FixtureServer> server_;
};

}  // namespace quelt::test
