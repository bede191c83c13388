// Fetching a disc's AccurateRip entry: "<server>/accuraterip/a/b/c/dBAR-....bin" over HTTP,
// with a deadline for the whole exchange, a size cap and the caller's cancel flag.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "core/rip/accuraterip.h"

namespace quelt {

inline constexpr const char* kDefaultAccurateRipServer = "http://www.accuraterip.com";

struct AccurateRipLookup {
    enum class Result { kFound, kNotFound, kFailed, kCancelled };
    Result result = Result::kFailed;
    std::vector<AccurateRipPressing> pressings;  // when found
    std::string text;                            // a sentence for the log
};

// `server` "" stands for the public database.
AccurateRipLookup LookUpAccurateRip(const std::string& server, const AccurateRipDiscId& id,
                                    const std::atomic<bool>& cancel,
                                    std::chrono::milliseconds deadline = std::chrono::milliseconds(15000));

}  // namespace quelt
