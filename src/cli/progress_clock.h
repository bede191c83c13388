// The speed and the time left of a job, for the progress line on the terminal: how many
// seconds of audio each second of work gets through ("times real time") and, from the rate
// the total bar moved so far, how long the rest will take.
#pragma once

#include <chrono>
#include <string>

namespace quelt::cli {

class ProgressClock {
  public:
    // `totalAudioMs`: the playing time of everything the job works through; 0 when unknown
    // (the speed is then left out).
    explicit ProgressClock(long long totalAudioMs = 0);

    // "  4.2x  0:42 left" for the total bar at `totalPercent` now; empty while nothing can
    // be measured yet (before the first percent, or in the first half second).
    std::string Describe(int totalPercent) const;

    // The same text for a given time spent.
    static std::string Describe(double elapsedSeconds, int totalPercent, long long totalAudioMs);

  private:
    std::chrono::steady_clock::time_point start_;
    long long totalAudioMs_;
};

// "M:SS", or "H:MM:SS" from an hour on.
std::string FormatTimeLeft(long long seconds);

}  // namespace quelt::cli
