// One HTTP(S) GET for the web services, on libcurl. The whole exchange (name look-up,
// connect, redirects, transfer) has one deadline; the reply body is capped; the cancel flag
// is polled about ten times a second while the transfer runs. Blocking: call it from a job
// or component thread, never from the GUI thread. Safe to call from several threads at once.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace quelt {

struct HttpRequest {
    std::string url;                                    // http:// or https:// only
    std::chrono::milliseconds deadline{15000};          // for the whole exchange
    std::size_t maxBytes = 4 * 1024 * 1024;             // a longer reply fails as TooLarge
    const std::atomic<bool>* cancel = nullptr;          // e.g. &JobControl::cancel
    std::string proxy;                                  // "host:port"; empty = direct
    int maxRedirects = 5;
};

enum class HttpOutcome {
    Ok,         // a 2xx answer; body holds it
    HttpError,  // the server answered with another status (status holds it)
    Cancelled,
    TimedOut,
    TooLarge,
    Failed,     // bad URL, refused, no such host, TLS, broken transfer
};

struct HttpReply {
    HttpOutcome outcome = HttpOutcome::Failed;
    long status = 0;          // the last HTTP status seen, 0 when none came
    std::string body;         // the reply (complete only when outcome is Ok or HttpError)
    std::string contentType;  // as the server sent it, may be empty
    std::string error;        // a sentence for the user when outcome is not Ok

    bool ok() const { return outcome == HttpOutcome::Ok; }
};

HttpReply HttpGet(const HttpRequest& request);

}  // namespace quelt
