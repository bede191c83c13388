#include "support/http_server.h"

namespace quelt::test {

HttpServer::HttpServer(const std::string& root)
    : FixtureServer("http_server.py", {"--root", root}, true) {}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

}  // namespace quelt::test
