#include "cli/progress_clock.h"

#include <cmath>
#include <cstdio>

namespace quelt::cli {

ProgressClock::ProgressClock(long long totalAudioMs)
    : start_(std::chrono::steady_clock::now()), totalAudioMs_(totalAudioMs) {}

std::string ProgressClock::Describe(int totalPercent) const {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
    return Describe(elapsed.count(), totalPercent, totalAudioMs_);
}

std::string ProgressClock::Describe(double elapsedSeconds, int totalPercent,
                                    long long totalAudioMs) {
    if (totalPercent <= 0 || totalPercent > 100 || elapsedSeconds < 0.5) return "";
    std::string text;
    char part[64];
    if (totalAudioMs > 0) {
        const double audioDoneSeconds = totalAudioMs / 1000.0 * totalPercent / 100.0;
        std::snprintf(part, sizeof part, "  %.1fx", audioDoneSeconds / elapsedSeconds);
        text += part;
    }
    const double left = elapsedSeconds * (100 - totalPercent) / totalPercent;
    text += "  " + FormatTimeLeft(std::llround(left)) + " left";
    return text;
}

std::string FormatTimeLeft(long long seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

}  // namespace quelt::cli
