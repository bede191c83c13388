// The tests' static web server (tests/fixtures/http_server.py) on 127.0.0.1, serving the
// files under one folder for one test; also /silent, /endless and /redirect?to=PATH. Its
// request log has one line per request: "GET <path>".
#pragma once

#include <string>

#include "support/fixture_server.h"

namespace quelt::test {

class HttpServer : public FixtureServer {
  public:
    explicit HttpServer(const std::string& root);

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path = "") const;
};

}  // namespace quelt::test
