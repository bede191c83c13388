// A fixture server of the tests (a Python script under tests/fixtures) on 127.0.0.1: started
// with its arguments, it prints "PORT <n>" once it listens; the destructor stops it.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace quelt::test {

class FixtureServer {
public:
    // `script` is a file name under tests/fixtures.
    FixtureServer(const std::string& script, const std::vector<std::string>& args);
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    bool running() const { return port_ > 0; }
    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// A fresh empty file under the temp folder for a server's request log.
std::string MakeRequestLogFile();

// A loopback port with nothing listening on it: connecting is refused.
int UnusedLoopbackPort();

}  // namespace quelt::test
