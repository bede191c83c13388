// The tests' CDDB server (tests/fixtures/cddb_server.py) on 127.0.0.1, started for one
// test and stopped by the destructor. Its request log has one line per request:
// "DIRECT|PROXY path=... proto=... cmd=...".
#pragma once

#include <string>
#include <vector>

#include "support/fixture_server.h"

namespace quelt::test {

class CddbServer : public FixtureServer {
  public:
    // mode: "normal", "silent" (never answers), "garbage" or "huge" (a 100 MB reply). `extraRoots`
    // are further entry folders beside tests/fixtures/cddb.
    explicit CddbServer(const std::string& mode = "normal",
                        const std::vector<std::string>& extraRoots = {});

    std::string host() const { return "127.0.0.1:" + std::to_string(port()); }
};

}  // namespace quelt::test
