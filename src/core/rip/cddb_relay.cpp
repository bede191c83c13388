#include "core/rip/cddb_relay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quelt {
namespace {

constexpr int kSliceMs = 50;  // how often the flags are looked at while waiting

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), kSliceMs));
}

bool SendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// "GET http://host:port/path HTTP/1.0" -> "GET /path HTTP/1.0"; other lines stay.
std::string ToOriginForm(const std::string& head) {
    const std::string prefix = "GET http://";
    if (head.compare(0, prefix.size(), prefix) != 0) return head;
    size_t path = head.find('/', prefix.size());
    size_t lineEnd = head.find('\n');
    if (path == std::string::npos || path > lineEnd) return head;
    return "GET " + head.substr(path);
}

}  // namespace

bool ResolveIpv4(const std::string& host, int port, sockaddr_in& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    address = *reinterpret_cast<sockaddr_in*>(found->ai_addr);
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::freeaddrinfo(found);
    return true;
}

CddbRelay::CddbRelay(sockaddr_in upstream, bool toOriginForm, Limits limits)
    : upstream_(upstream), toOriginForm_(toOriginForm), limits_(limits) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(local.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

CddbRelay::~CddbRelay() {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

bool CddbRelay::Stop(Outcome why) {
    Outcome running = Outcome::kRunning;
    outcome_.compare_exchange_strong(running, why);
    return false;
}

// True (and the outcome set) when the look-up must end now.
bool CddbRelay::Expired() {
    if (limits_.cancel && limits_.cancel->load()) return !Stop(Outcome::kCancelled);
    if (std::chrono::steady_clock::now() >= limits_.deadline) return !Stop(Outcome::kDeadline);
    return false;
}

void CddbRelay::Serve() {
    // One exchange at a time: libcddb opens a connection per HTTP command, one per CDDBP
    // session. After an early end every later connection is refused at once.
    while (!quit_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, kSliceMs) <= 0) continue;
        int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        if (outcome() == Outcome::kRunning && !Expired()) Relay(client);
        ::close(client);
    }
}

bool CddbRelay::Relay(int client) {
    int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (server < 0) return Stop(Outcome::kUnreachable);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closeServer{server};

    // Connecting, in slices, so that a cancel or the deadline ends a slow connect too.
    if (::connect(server, reinterpret_cast<const sockaddr*>(&upstream_), sizeof upstream_) != 0) {
        if (errno != EINPROGRESS) return Stop(Outcome::kUnreachable);
        for (;;) {
            if (quit_ || Expired()) return false;
            pollfd connecting{server, POLLOUT, 0};
            if (::poll(&connecting, 1, MillisecondsUntil(limits_.deadline)) == 1) break;
        }
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(server, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) return Stop(Outcome::kUnreachable);
    }
    // Connected: plain blocking writes from here on (poll says when there is something to read).
    ::fcntl(server, F_SETFL, ::fcntl(server, F_GETFL) & ~O_NONBLOCK);

    std::string head;  // the request's first line, until it has been rewritten
    bool headDone = !toOriginForm_;
    char buffer[16384];
    pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
    for (;;) {
        if (quit_ || Expired()) return false;
        if (::poll(ends, 2, MillisecondsUntil(limits_.deadline)) <= 0) continue;
        if (ends[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                ::shutdown(server, SHUT_WR);
                ends[0].fd = -1;  // libcddb has said everything; the reply still comes
            } else if (headDone) {
                if (!SendAll(server, buffer, static_cast<size_t>(n))) return true;
            } else {
                head.append(buffer, static_cast<size_t>(n));
                if (head.find('\n') != std::string::npos || head.size() > sizeof buffer) {
                    head = ToOriginForm(head);
                    headDone = true;
                    if (!SendAll(server, head.data(), head.size())) return true;
                }
            }
        }
        if (ends[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) return true;  // the reply is complete
            received_ += static_cast<size_t>(n);
            if (received_ > limits_.replyCap) return Stop(Outcome::kTooLarge);
            if (!SendAll(client, buffer, static_cast<size_t>(n))) return true;
        }
    }
}

}  // namespace quelt
