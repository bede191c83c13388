#include "support/http_server.h"

#include <cstdio>

#include "support/fixtures.h"

namespace quelt::test {

HttpServer::HttpServer(const std::string& root)
    : logPath_(MakeRequestLogFile()),
      server_(std::make_unique<FixtureServer>("http_server.py",
                                              std::vector<std::string>{"--root", root, "--log", logPath_})) {}

HttpServer::~HttpServer() {
    server_.reset();
    std::remove(logPath_.c_str());
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

std::string HttpServer::RequestLog() const { return ReadFile(logPath_); }

}  // namespace quelt::test
