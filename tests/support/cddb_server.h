// The tests' CDDB server (tests/fixtures/cddb_server.py) on 127.0.0.1, started for one
// test and stopped by the destructor.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace quelt::test {

class CddbServer {
public:
    // mode: "normal", "silent" (never answers) or "garbage". `extraRoots` are further entry
    // folders beside tests/fixtures/cddb.
    explicit CddbServer(const std::string& mode = "normal", const std::vector<std::string>& extraRoots = {});
    ~CddbServer();
    CddbServer(const CddbServer&) = delete;
    CddbServer& operator=(const CddbServer&) = delete;

    bool running() const { return port_ > 0; }
    int port() const { return port_; }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    // Every request seen: "DIRECT|PROXY path=... proto=... cmd=...", one per line.
    std::string RequestLog() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string logPath_;
};

// A loopback port with nothing listening on it: connecting is refused.
int UnusedLoopbackPort();

}  // namespace quelt::test
