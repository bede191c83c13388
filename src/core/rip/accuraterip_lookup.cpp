#include "core/rip/accuraterip_lookup.h"

#include "core/net/http_get.h"

namespace quelt {

namespace {
constexpr std::size_t kEntryMaxBytes = 256 * 1024;
}

AccurateRipLookup LookUpAccurateRip(const std::string& server, const AccurateRipDiscId& id,
                                    const std::atomic<bool>& cancel, std::chrono::milliseconds deadline) {
    std::string base = server.empty() ? kDefaultAccurateRipServer : server;
    while (!base.empty() && base.back() == '/') base.pop_back();
    HttpRequest request;
    request.url = base + id.Path();
    request.deadline = deadline;
    request.maxBytes = kEntryMaxBytes;
    request.cancel = &cancel;
    const HttpReply reply = HttpGet(request);

    AccurateRipLookup lookup;
    if (reply.ok()) {
        if (auto pressings = ParseAccurateRipEntry(reply.body)) {
            lookup.result = AccurateRipLookup::Result::kFound;
            lookup.pressings = std::move(*pressings);
            lookup.text = "AccurateRip: disc " + id.Text() + " found in the database (" +
                          std::to_string(lookup.pressings.size()) + " pressing(s))";
        } else {
            lookup.text = "AccurateRip: the database sent an entry that cannot be read";
        }
    } else if (reply.outcome == HttpOutcome::HttpError && reply.status == 404) {
        lookup.result = AccurateRipLookup::Result::kNotFound;
        lookup.text = "AccurateRip: disc " + id.Text() + " is not in the database";
    } else if (reply.outcome == HttpOutcome::Cancelled) {
        lookup.result = AccurateRipLookup::Result::kCancelled;
    } else {
        lookup.text = "AccurateRip: " + reply.error;
    }
    return lookup;
}

}  // namespace quelt
