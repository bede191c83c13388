#include "support/fixture_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/fixtures.h"

namespace quelt::test {

FixtureServer::FixtureServer(const std::string& script, std::vector<std::string> args,
                             bool logRequests) {
    if (logRequests) {
        char logTemplate[] = "/tmp/quelt-server-log-XXXXXX";
        const int fd = mkstemp(logTemplate);
        if (fd >= 0) close(fd);
        logPath_ = logTemplate;
        args.insert(args.end(), {"--log", logPath_});
    }
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> command = {"python3", std::string(QUELT_TEST_FIXTURES) + "/" + script};
    command.insert(command.end(), args.begin(), args.end());
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (auto& a : command) argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp("python3", argv.data());
        _exit(127);
    }
    close(out[1]);
    FILE* in = fdopen(out[0], "r");
    if (!in) return;
    int port = 0;
    if (std::fscanf(in, "PORT %d", &port) == 1) port_ = port;
    std::fclose(in);
}

FixtureServer::~FixtureServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (!logPath_.empty()) std::remove(logPath_.c_str());
}

std::string FixtureServer::RequestLog() const { return ReadFile(logPath_); }

int UnusedLoopbackPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

}  // namespace quelt::test
