// A fixture server of the tests (a Python script under tests/fixtures) on 127.0.0.1: started
// with its arguments, it prints "PORT <n>" once it listens; the destructor stops it and
// removes its request log.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quelt::test {

class FixtureServer {
  public:
    // `script` is a file name under tests/fixtures. With `logRequests` the script is also
    // given "--log FILE" for a fresh file that RequestLog reads.
    FixtureServer(const std::string& script, std::vector<std::string> args,
                  bool logRequests = false);
    ~FixtureServer();
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    bool running() const { return port_ > 0; }
    int port() const { return port_; }
    // Every request the script logged so far.
    std::string RequestLog() const;

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string logPath_;
};

// A loopback port with nothing listening on it: connecting is refused.
int UnusedLoopbackPort();

}  // namespace quelt::test
