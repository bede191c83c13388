#include "core/rip/rip_log.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace quelt {
namespace {

std::mutex& SinkMutex() {
    static std::mutex m;
    return m;
}

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

}  // namespace

void RipLog(const std::string& text) {
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(text);
    } else if (std::getenv("QUELT_CD_DEBUG")) {
        std::fprintf(stderr, "quelt: %s\n", text.c_str());
    }
}

void SetRipLogSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(SinkMutex());
    Sink() = std::move(sink);
}

}  // namespace quelt
