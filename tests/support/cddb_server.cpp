#include "support/cddb_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace quelt::test {

CddbServer::CddbServer(const std::string& mode, const std::vector<std::string>& extraRoots) {
    char logTemplate[] = "/tmp/quelt-cddb-log-XXXXXX";
    int logFd = mkstemp(logTemplate);
    if (logFd >= 0) close(logFd);
    logPath_ = logTemplate;

    int out[2];
    if (pipe(out) != 0) return;
    const std::string script = std::string(QUELT_TEST_FIXTURES) + "/cddb_server.py";
    const std::string root = std::string(QUELT_TEST_FIXTURES) + "/cddb";
    std::vector<std::string> args = {"python3", script, "--root", root, "--mode", mode, "--log", logPath_};
    for (const auto& extra : extraRoots) {
        args.push_back("--root");
        args.push_back(extra);
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
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

CddbServer::~CddbServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (!logPath_.empty()) std::remove(logPath_.c_str());
}

std::string CddbServer::RequestLog() const {
    std::ifstream in(logPath_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

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
