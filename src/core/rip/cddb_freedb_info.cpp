// FreedbInfo on libcddb.
//
// libcddb facts this code is shaped by: cddb_new() crashes when HOME is unset, so HOME is
// supplied first; any charset conversion failure inside libcddb crashes, so no charset is
// ever set and texts are checked here instead; the read cache would write ~/.cddbslave, so
// it is disabled; libcddb's log goes to stderr unless a handler is installed; libcddb writes
// to its sockets with plain write(), which raises SIGPIPE when the other end has closed.
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdlib>
#include <mutex>

#include <cddb/cddb.h>

#include "core/rip/cddb_entry.h"
#include "core/rip/cddb_relay.h"
#include "core/rip/freedb_info.h"
#include "core/rip/rip_log.h"
#include "core/naming/untrusted_text.h"

namespace quelt {
namespace {

// Holds SIGPIPE back on the calling thread while libcddb talks to a peer that may hang up
// (the relay closes its end on a cancel or the deadline): the write then fails with EPIPE
// instead of the signal ending the whole program. A SIGPIPE raised meanwhile is taken off
// the thread before the old mask comes back.
class SigpipeHeldBack {
  public:
    SigpipeHeldBack() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~SigpipeHeldBack() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{0, 0};
            while (sigtimedwait(&pipe_, nullptr, &now) == -1 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeldBack(const SigpipeHeldBack&) = delete;
    SigpipeHeldBack& operator=(const SigpipeHeldBack&) = delete;

  private:
    sigset_t pipe_{};
    sigset_t previous_{};
    bool wasPending_ = false;
};

struct ServerEntry {
    const char* name;  // what the options page lists
    const char* host;
    int port;
    bool http;
};

// Entry 0 is the live gnudb service; 1 and 2 are other real services; the rest are clearly
// marked entries for a user's own mirror on this machine or the local network.
constexpr ServerEntry kServers[kFreedbServerCount] = {
    {"gnudb.gnudb.org (HTTP)", "gnudb.gnudb.org", 80, true},
    {"gnudb.gnudb.org (CDDBP)", "gnudb.gnudb.org", 8880, false},
    {"freedb.dbpoweramp.com (HTTP)", "freedb.dbpoweramp.com", 80, true},
    {"Own mirror: localhost (HTTP, port 80)", "localhost", 80, true},
    {"Own mirror: localhost (CDDBP, port 8880)", "localhost", 8880, false},
    {"Own mirror: localhost (HTTP, port 8080)", "localhost", 8080, true},
    {"Own mirror: localhost (CDDBP, port 888)", "localhost", 888, false},
    {"Own mirror: freedb.local (HTTP, port 80)", "freedb.local", 80, true},
    {"Own mirror: freedb.local (CDDBP, port 8880)", "freedb.local", 8880, false},
    {"Own mirror: cddb.local (HTTP, port 80)", "cddb.local", 80, true},
    {"Own mirror: cddb.local (CDDBP, port 8880)", "cddb.local", 8880, false},
};

constexpr int kDefaultTimeOutMs = 10000;
// A CDDB entry is a few kilobytes; 99 tracks of long texts stay far below this.
constexpr size_t kReplyCap = 1 << 20;
constexpr const char* kQueryPath = "/~cddb/cddb.cgi";

void LogFromCddb(cddb_log_level_t level, const char* message) {
    if (level >= CDDB_LOG_WARN && message) RipLog(std::string("cddb: ") + message);
}

void PrepareLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!std::getenv("HOME")) {
            const passwd* pw = getpwuid(getuid());
            setenv("HOME", pw && pw->pw_dir ? pw->pw_dir : "/", 0);
        }
        cddb_log_set_handler(LogFromCddb);
    });
}

// Splits "host:port"; the port stays `port` when absent or not a number in 1..65535.
void SplitHostPort(const std::string& text, std::string& host, int& port) {
    host = text;
    auto colon = text.rfind(':');
    if (colon == std::string::npos) return;
    host = text.substr(0, colon);
    const std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return;
    int p = std::stoi(digits);
    if (p >= 1 && p <= 65535) port = p;
}


// The server settings a look-up uses, copied under the lock when it starts: the options page
// may change them on its thread while a look-up runs on the grabber's.
struct ServerSettings {
    int serverIndex = 0;
    int port = 0;
    std::string proxy;
    int timeOut = 0;
    std::string customServer;
};

class CddbFreedbInfo final : public FreedbInfo {
public:
    int ServerIndex() const override { return Locked().serverIndex; }
    void SetServerIndex(int index) override {
        if (index < 0 || index >= kFreedbServerCount) return;
        std::lock_guard lock(m_);
        settings_.serverIndex = index;
    }
    std::string ServerName() const override { return kServers[Locked().serverIndex].name; }
    int Port() const override { return Locked().port; }
    void SetPort(int port) override {
        std::lock_guard lock(m_);
        settings_.port = port;
    }
    std::string Proxy() const override { return Locked().proxy; }
    void SetProxy(const std::string& proxy) override {
        std::lock_guard lock(m_);
        settings_.proxy = proxy;
    }
    int TimeOut() const override { return Locked().timeOut; }
    void SetTimeOut(int ms) override {
        std::lock_guard lock(m_);
        settings_.timeOut = ms;
    }
    std::string CustomServer() const override { return Locked().customServer; }
    void SetCustomServer(const std::string& host) override {
        std::lock_guard lock(m_);
        settings_.customServer = host;
    }

    void SetCancelFlag(const std::atomic<bool>* cancel) override { cancel_ = cancel; }

    int Lookup(const DiscToc& toc, const std::function<void(int)>& progress,
               FreedbEntry& entry) override;

private:
    ServerSettings Locked() const {
        std::lock_guard lock(m_);
        return settings_;
    }
    // Where a connection goes: the server, or the proxy that carries HTTP to it.
    struct Endpoint {
        std::string host;
        int port = 0;
        bool http = true;
        bool viaProxy = false;
    };
    static cddb_conn_t* Connect(const ServerSettings& settings, Endpoint& upstream);

    mutable std::mutex m_;
    ServerSettings settings_;
    std::atomic<const std::atomic<bool>*> cancel_{nullptr};
};

// Sends the connection's exchanges through `relay` instead of straight to `upstream`.
void ThroughRelay(cddb_conn_t* conn, const CddbRelay& relay, bool http) {
    if (http) {
        cddb_http_proxy_enable(conn);
        cddb_set_http_proxy_server_name(conn, "127.0.0.1");
        cddb_set_http_proxy_server_port(conn, relay.port());
    } else {
        cddb_set_server_name(conn, "127.0.0.1");
        cddb_set_server_port(conn, relay.port());
    }
}

// The log line for a look-up the relay ended early; "" when it did not.
std::string EndedEarlyText(CddbRelay::Outcome outcome, int64_t totalMs) {
    switch (outcome) {
        case CddbRelay::Outcome::kCancelled: return "FreeDB look-up cancelled";
        case CddbRelay::Outcome::kDeadline:
            return "FreeDB look-up stopped after " + std::to_string(totalMs / 1000) + " s";
        case CddbRelay::Outcome::kTooLarge:
            return "FreeDB reply larger than " + std::to_string(kReplyCap >> 20) + " MB, ignored";
        default: return {};
    }
}

cddb_conn_t* CddbFreedbInfo::Connect(const ServerSettings& settings, Endpoint& upstream) {
    PrepareLibrary();
    cddb_conn_t* conn = cddb_new();
    if (!conn) return nullptr;
    cddb_cache_disable(conn);
    cddb_set_client(conn, "quelt", "1.0");
    cddb_set_email_address(conn, "quelt@localhost");

    std::string host;
    int port;
    bool http;
    if (!settings.customServer.empty()) {
        port = 80;
        SplitHostPort(settings.customServer, host, port);
        http = true;
    } else {
        const ServerEntry& entry = kServers[settings.serverIndex];
        host = entry.host;
        port = entry.port;
        http = entry.http;
    }
    if (settings.port > 0 && settings.port <= 65535) port = settings.port;
    cddb_set_server_name(conn, host.c_str());
    cddb_set_server_port(conn, port);

    // Whole seconds, rounded up, in 64 bits: a stored time-out near the integer limit must
    // not overflow on the way.
    const int64_t ms = settings.timeOut > 0 ? settings.timeOut : kDefaultTimeOutMs;
    cddb_set_timeout(conn, static_cast<unsigned>((ms + 999) / 1000));

    if (!settings.proxy.empty()) {
        // A proxy carries HTTP only, so a CDDBP entry is asked over HTTP through it.
        std::string proxyHost;
        int proxyPort = 8080;
        SplitHostPort(settings.proxy, proxyHost, proxyPort);
        cddb_http_proxy_enable(conn);
        cddb_set_http_proxy_server_name(conn, proxyHost.c_str());
        cddb_set_http_proxy_server_port(conn, proxyPort);
        http = true;
        upstream = {proxyHost, proxyPort, true, true};
    } else {
        upstream = {host, port, http, false};
    }
    if (http) {
        cddb_http_enable(conn);
        cddb_set_http_path_query(conn, kQueryPath);
    } else {
        cddb_http_disable(conn);
    }
    return conn;
}

int CddbFreedbInfo::Lookup(const DiscToc& toc, const std::function<void(int)>& progress,
                           FreedbEntry& entry) {
    entry = FreedbEntry{};
    if (toc.trackOffsets.empty() || toc.trackOffsets.size() > 99) return kFreedbNotFound;
    if (progress) progress(kFreedbConnecting);
    SigpipeHeldBack sigpipe;
    const ServerSettings settings = Locked();
    Endpoint upstream;
    cddb_conn_t* conn = Connect(settings, upstream);
    if (!conn) return kFreedbConnectionFailed;
    // Three time-outs in all: connecting, the query and the read.
    const int64_t totalMs = 3 * static_cast<int64_t>(settings.timeOut > 0 ? settings.timeOut
                                                                            : kDefaultTimeOutMs);
    sockaddr_in address{};
    if (!ResolveIpv4(upstream.host, upstream.port, address)) {
        RipLog("FreeDB server " + upstream.host + " not found");
        cddb_destroy(conn);
        return kFreedbConnectionFailed;
    }
    CddbRelay relay(address, upstream.http && !upstream.viaProxy,
                    {std::chrono::steady_clock::now() + std::chrono::milliseconds(totalMs),
                     kReplyCap, cancel_.load()});
    if (!relay.port()) {
        cddb_destroy(conn);
        return kFreedbConnectionFailed;
    }
    ThroughRelay(conn, relay, upstream.http);
    cddb_disc_t* disc = cddb_disc_new();
    if (!disc) {
        cddb_destroy(conn);
        return kFreedbConnectionFailed;
    }
    for (int32_t offset : toc.trackOffsets) {
        cddb_track_t* track = cddb_track_new();
        if (!track) {
            cddb_disc_destroy(disc);
            cddb_destroy(conn);
            return kFreedbConnectionFailed;
        }
        cddb_track_set_frame_offset(track, offset);
        cddb_disc_add_track(disc, track);
    }
    cddb_disc_set_length(disc, static_cast<unsigned>(toc.leadOut / 75));
    cddb_disc_calc_discid(disc);

    if (progress) progress(kFreedbQuerying);
    int status = kFreedbNotFound;
    int matches = cddb_query(conn, disc);
    if (matches < 0) {
        RipLog(std::string("FreeDB query failed: ") + cddb_error_str(cddb_errno(conn)));
        status = kFreedbConnectionFailed;
    } else if (matches > 0) {
        if (!cddb_read(conn, disc)) {
            RipLog(std::string("FreeDB read failed: ") + cddb_error_str(cddb_errno(conn)));
            status = kFreedbNotFound;
        } else {
            status = EntryFromCddbDisc(disc, static_cast<int>(toc.trackOffsets.size()), entry)
                         ? kFreedbFound
                         : kFreedbNotFound;
        }
    }
    cddb_disc_destroy(disc);
    cddb_destroy(conn);
    if (const std::string early = EndedEarlyText(relay.outcome(), totalMs); !early.empty()) {
        RipLog(early);
        status = kFreedbConnectionFailed;
        entry = FreedbEntry{};
    }
    return status;
}

}  // namespace

std::unique_ptr<FreedbInfo> CreateFreedbInfo() { return std::make_unique<CddbFreedbInfo>(); }

uint32_t FreedbDiscId(const DiscToc& toc) {
    auto digitSum = [](int32_t n) {
        int32_t sum = 0;
        for (; n > 0; n /= 10) sum += n % 10;
        return sum;
    };
    uint32_t checksum = 0;
    for (int32_t offset : toc.trackOffsets) checksum += digitSum(offset / 75);
    const int32_t first = toc.trackOffsets.empty() ? 0 : toc.trackOffsets.front();
    const uint32_t seconds = static_cast<uint32_t>(toc.leadOut / 75 - first / 75);
    return ((checksum % 0xFF) << 24) | (seconds << 8) |
           static_cast<uint32_t>(toc.trackOffsets.size());
}

}  // namespace quelt
