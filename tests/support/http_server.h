// The tests' static web server (tests/fixtures/http_server.py) on 127.0.0.1, serving the
// files under one folder for one test; also /silent, /endless and /redirect?to=PATH.
#pragma once

#include <memory>
#include <string>

#include "support/fixture_server.h"

namespace quelt::test {

class HttpServer {
public:
    explicit HttpServer(const std::string& root);
    ~HttpServer();

    bool running() const { return server_->running(); }
    int port() const { return server_->port(); }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path = "") const;
    // Every request seen, "GET <path>" one per line.
    std::string RequestLog() const;

private:
    std::string logPath_;
    std::unique_ptr<FixtureServer> server_;
};

}  // namespace quelt::test
