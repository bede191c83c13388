// HttpGet on libcurl's multi interface, so that the cancel flag and the deadline are checked
// between short waits instead of only in libcurl's once-a-second progress callback.
#include "core/net/http_get.h"

#include <memory>
#include <mutex>

#include <curl/curl.h>

namespace quelt {
namespace {

constexpr int kPollMs = 100;

void InitialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->maxBytes) {
        transfer->tooLarge = true;
        return 0;  // makes libcurl stop with CURLE_WRITE_ERROR
    }
    transfer->body.append(data, bytes);
    return bytes;
}

std::string SizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string SecondsText(std::chrono::milliseconds ms) {
    const auto tenths = (ms.count() + 50) / 100;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text + (tenths == 10 ? " second" : " seconds");
}

HttpReply Fail(HttpOutcome outcome, const std::string& error) {
    HttpReply reply;
    reply.outcome = outcome;
    reply.error = error;
    return reply;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

}  // namespace

HttpReply HttpGet(const HttpRequest& request) {
    const std::string& url = request.url;
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0)
        return Fail(HttpOutcome::Failed, "Not a web address (http:// or https://): " + url);
    if (request.cancel && request.cancel->load()) return Fail(HttpOutcome::Cancelled, "Cancelled");

    InitialiseCurl();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!easy || !multi) return Fail(HttpOutcome::Failed, "Could not start a web request for " + url);

    Transfer transfer;
    transfer.maxBytes = request.maxBytes;
    char curlError[CURL_ERROR_SIZE] = {};
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, request.maxRedirects > 0 ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(request.maxRedirects));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(request.deadline.count()));
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(e, CURLOPT_USERAGENT, "QueltCDRipperPro/1.0");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, curlError);
    if (!request.proxy.empty()) curl_easy_setopt(e, CURLOPT_PROXY, request.proxy.c_str());
    else curl_easy_setopt(e, CURLOPT_PROXY, "");  // no proxy from the environment either

    curl_multi_add_handle(multi.get(), e);
    const auto stopAt = std::chrono::steady_clock::now() + request.deadline;
    CURLcode result = CURLE_OK;
    bool finished = false;
    bool cancelled = false;
    bool pastDeadline = false;
    while (!finished) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                result = message->data.result;
                finished = true;
            }
        }
        if (finished) break;
        if (request.cancel && request.cancel->load()) {
            cancelled = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= stopAt) {
            pastDeadline = true;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr);
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    const char* contentType = nullptr;
    curl_easy_getinfo(e, CURLINFO_CONTENT_TYPE, &contentType);
    curl_multi_remove_handle(multi.get(), e);

    HttpReply reply;
    reply.status = status;
    if (contentType) reply.contentType = contentType;
    if (cancelled) return Fail(HttpOutcome::Cancelled, "Cancelled");
    if (pastDeadline || result == CURLE_OPERATION_TIMEDOUT) {
        reply.outcome = HttpOutcome::TimedOut;
        reply.error = "No complete answer from " + url + " within " + SecondsText(request.deadline);
        return reply;
    }
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        reply.outcome = HttpOutcome::TooLarge;
        reply.error = "The answer from " + url + " is larger than " + SizeText(request.maxBytes);
        return reply;
    }
    if (result != CURLE_OK) {
        reply.outcome = HttpOutcome::Failed;
        reply.error = "Could not fetch " + url + ": " + (curlError[0] ? curlError : curl_easy_strerror(result));
        return reply;
    }
    reply.body = std::move(transfer.body);
    if (status < 200 || status >= 300) {
        reply.outcome = HttpOutcome::HttpError;
        reply.error = "The server answered " + url + " with HTTP status " + std::to_string(status);
        return reply;
    }
    reply.outcome = HttpOutcome::Ok;
    return reply;
}

}  // namespace quelt
