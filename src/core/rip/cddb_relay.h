// Bounds on one FreeDB look-up. libcddb waits on its sockets with a time-out per read, so a
// server that trickles, or sends a reply of a hundred megabytes, keeps it busy for minutes,
// and nothing can interrupt it. So libcddb talks to this relay on 127.0.0.1 instead, and the
// relay talks to the server (or to the user's HTTP proxy) for it. The relay ends the exchange
// at once, by closing both sides (libcddb's waiting read then fails at once), when
//   - the cancel flag rises (Ctrl-C, the abort button),
//   - the look-up's total deadline passes,
//   - the server has sent more than the reply cap.
// HTTP requests reach the relay in proxy form ("GET http://host:port/path"): with a real
// proxy they go to it unchanged, without one the relay sends them to the server in origin
// form ("GET /path"). CDDBP sessions pass through unchanged.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <netinet/in.h>

namespace quelt {

class CddbRelay {
  public:
    enum class Outcome { kRunning, kCancelled, kDeadline, kTooLarge, kUnreachable };

    struct Limits {
        std::chrono::steady_clock::time_point deadline;
        size_t replyCap = 1 << 20;               // bytes from the server, all exchanges
        const std::atomic<bool>* cancel = nullptr;
    };

    // `upstream` is where the bytes go: the server, or the proxy. `toOriginForm`: the relay
    // stands in for an HTTP proxy and sends requests to the server itself.
    CddbRelay(sockaddr_in upstream, bool toOriginForm, Limits limits);
    ~CddbRelay();
    CddbRelay(const CddbRelay&) = delete;
    CddbRelay& operator=(const CddbRelay&) = delete;

    // The loopback port libcddb connects to; 0 when the relay could not listen.
    int port() const { return port_; }
    // Why the relay ended an exchange; kRunning while none was ended early.
    Outcome outcome() const { return outcome_.load(); }

  private:
    void Serve();
    bool Relay(int client);
    bool Stop(Outcome why);
    bool Expired();

    sockaddr_in upstream_;
    bool toOriginForm_;
    Limits limits_;
    int listener_ = -1;
    int port_ = 0;
    size_t received_ = 0;
    std::atomic<bool> quit_{false};
    std::atomic<Outcome> outcome_{Outcome::kRunning};
    std::thread thread_;
};

// The address of `host` (a name or an IPv4 address) at `port`; false when it has none.
bool ResolveIpv4(const std::string& host, int port, sockaddr_in& address);

}  // namespace quelt
