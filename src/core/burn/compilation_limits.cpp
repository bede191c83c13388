#include "core/burn/compilation_limits.h"

#include <set>

#include "core/burn/image_writer.h"

namespace quelt {
namespace {

constexpr int64_t kCdFramesPerSecondLong = kCdFramesPerSecond;
constexpr int64_t kWavHeaderBytes = 44;
constexpr int64_t kPcmBytesPerSecond = 44100 * 4;

int64_t CeilDiv(int64_t value, int64_t by) { return (value + by - 1) / by; }

// "74:59" for a sector count of CD audio.
std::string Minutes(int64_t sectors) {
    const int64_t seconds = sectors / kCdFramesPerSecondLong;
    const std::string s = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ":" + (s.size() < 2 ? "0" + s : s);
}

std::string Megabytes(int64_t sectors) {
    return std::to_string(sectors * kCdDataSectorBytes / (1024 * 1024)) + " MB";
}

}  // namespace

int64_t EstimatedSectors(bool dataCd, int64_t durationMs) {
    if (durationMs <= 0) return 0;
    if (!dataCd) return CeilDiv(durationMs * kCdFramesPerSecondLong, 1000);
    const int64_t bytes = kWavHeaderBytes + CeilDiv(durationMs * kPcmBytesPerSecond, 1000);
    return CeilDiv(bytes, kCdDataSectorBytes);
}

std::string BrokenCompilationLimit(const CompilationEstimate& estimate) {
    const int64_t tracks = int64_t(estimate.durationsMs.size());
    if (!estimate.dataCd && tracks > kMaxAudioCdTracks)
        return "Cannot burn: an Audio CD holds at most 99 tracks, the compilation has " +
               std::to_string(tracks) + ".";
    if (estimate.dataCd) {
        std::set<std::string> seen;
        for (const auto& name : estimate.discNames)
            if (!seen.insert(name).second)
                return "Cannot burn: two files would be named " + name + " on the data CD.";
    }
    int64_t sectors = 0;
    for (int64_t ms : estimate.durationsMs) sectors += EstimatedSectors(estimate.dataCd, ms);
    if (estimate.capacitySectors >= 0 && sectors > estimate.capacitySectors) {
        const bool data = estimate.dataCd;
        return "Cannot burn: the compilation needs " +
               (data ? Megabytes(sectors) : Minutes(sectors) + " of audio") +
               ", more than the disc's capacity of " +
               (data ? Megabytes(estimate.capacitySectors)
                     : Minutes(estimate.capacitySectors)) +
               ".";
    }
    return {};
}

}  // namespace quelt
