// The FreeDB information component: which CDDB server to ask and how, and the look-up of
// one disc's table of contents. Speaks CDDB protocol level 6 (UTF-8) over HTTP, or CDDBP
// for the list entries that say so, through libcddb.
//
// Everything a server sends is untrusted: texts are checked to be UTF-8 (invalid bytes
// become U+FFFD), control characters become blanks and each text is cut to a sane length.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quelt {

inline constexpr int kFreedbServerCount = 11;

// The table of contents a CDDB look-up needs: every track of every session, in order.
struct DiscToc {
    std::vector<int32_t> trackOffsets;  // each track's first sector as an LBA (+150 lead-in)
    int32_t leadOut = 0;                // the lead-out's LBA (+150 lead-in)
};

// What a look-up found. Track vectors are indexed like DiscToc::trackOffsets.
struct FreedbEntry {
    std::string artist, album, genre;
    int year = 0;
    std::vector<std::string> trackArtists;  // the disc's artist unless "Artist / Title" split
    std::vector<std::string> trackTitles;
};

// The look-up's progress and outcomes, as OnFreedbProgress reports them.
inline constexpr int kFreedbConnecting = 1;
inline constexpr int kFreedbQuerying = 2;
inline constexpr int kFreedbFound = 3;
inline constexpr int kFreedbConnectionFailed = -1;
inline constexpr int kFreedbNotFound = -2;

// The properties may be read and set from any thread; a look-up copies them when it starts.
class FreedbInfo {
public:
    virtual ~FreedbInfo() = default;

    // The server list entry 0..10; a value outside is refused (the index stays).
    virtual int ServerIndex() const = 0;
    virtual void SetServerIndex(int index) = 0;
    virtual std::string ServerName() const = 0;  // name of the entry at ServerIndex
    // 0 or below: the entry's own port.
    virtual int Port() const = 0;
    virtual void SetPort(int port) = 0;
    // "host:port" of an HTTP proxy; "" for none.
    virtual std::string Proxy() const = 0;
    virtual void SetProxy(const std::string& proxy) = 0;
    // Milliseconds as stored in the settings; 0 or below: 10000. libcddb counts whole
    // seconds, so the value is rounded up.
    virtual int TimeOut() const = 0;
    virtual void SetTimeOut(int ms) = 0;
    // A server used instead of the list entry ("host" or "host:port", HTTP, path
    // /~cddb/cddb.cgi); "" returns to the list.
    virtual std::string CustomServer() const = 0;
    virtual void SetCustomServer(const std::string& host) = 0;
    // A flag that ends a running look-up at once when it rises (Ctrl-C, an abort button);
    // null for none. The flag must outlive every look-up that starts while it is set.
    virtual void SetCancelFlag(const std::atomic<bool>* cancel) {}

    // Looks the disc up; blocks up to three time-outs in all (connect, query, read), and
    // ends early on the cancel flag or a reply over 1 MB, as a failed connection. `progress`
    // receives kFreedbConnecting and kFreedbQuerying on the calling thread. Returns
    // kFreedbFound (with `entry` filled), kFreedbConnectionFailed or kFreedbNotFound.
    virtual int Lookup(const DiscToc& toc, const std::function<void(int)>& progress,
                       FreedbEntry& entry) = 0;
};

std::unique_ptr<FreedbInfo> CreateFreedbInfo();

// The CDDB disc id of a table of contents (the FreeDB checksum formula).
uint32_t FreedbDiscId(const DiscToc& toc);

}  // namespace quelt
