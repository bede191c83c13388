#include "core/rip/accuraterip.h"

#include <zlib.h>

#include <cstdio>

#include "core/rip/cd_grabber.h"
#include "core/rip/disc_layout.h"

namespace quelt {
namespace {

constexpr uint32_t kSkippedFrames = 5 * kSectorFrames;

uint32_t LittleEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TrackChecksummer::TrackChecksummer(int64_t totalFrames, bool firstTrack, bool lastTrack) {
    // The database's checksums start at frame 2940 of the first track (1-based), so the
    // first 2939 frames are left out, and end 2940 frames before the end of the last.
    from_ = firstTrack ? kSkippedFrames : 1;
    const int64_t to = lastTrack ? totalFrames - kSkippedFrames : totalFrames;
    to_ = to < 0 ? 0 : static_cast<uint32_t>(to);
    crc_ = static_cast<uint32_t>(crc32(0L, Z_NULL, 0));
}

void TrackChecksummer::Add(const uint8_t* pcm, std::size_t bytes) {
    if (bytes == 0) return;
    crc_ = static_cast<uint32_t>(crc32(crc_, pcm, static_cast<uInt>(bytes)));
    // A frame split between two pieces is completed first.
    while (partialBytes_ > 0 && partialBytes_ < 4 && bytes > 0) {
        partial_[partialBytes_++] = *pcm++;
        --bytes;
        if (partialBytes_ == 4) {
            partialBytes_ = 0;
            const uint64_t product = static_cast<uint64_t>(LittleEndian32(partial_)) * multiplier_;
            if (multiplier_ >= from_ && multiplier_ <= to_) {
                sumLow_ += static_cast<uint32_t>(product);
                sumHigh_ += static_cast<uint32_t>(product >> 32);
            }
            ++multiplier_;
        }
    }
    const std::size_t frames = bytes / 4;
    uint32_t low = sumLow_, high = sumHigh_, m = multiplier_;
    for (std::size_t i = 0; i < frames; ++i, ++m) {
        if (m < from_ || m > to_) continue;
        const uint64_t product = static_cast<uint64_t>(LittleEndian32(pcm + 4 * i)) * m;
        low += static_cast<uint32_t>(product);
        high += static_cast<uint32_t>(product >> 32);
    }
    sumLow_ = low;
    sumHigh_ = high;
    multiplier_ = m;
    for (std::size_t i = frames * 4; i < bytes; ++i) partial_[partialBytes_++] = pcm[i];
}

TrackChecksums TrackChecksummer::Result() const {
    return TrackChecksums{.v1 = sumLow_, .v2 = sumLow_ + sumHigh_, .crc32 = crc_};
}

std::string AccurateRipDiscId::Text() const {
    char text[64];
    std::snprintf(text, sizeof text, "%03d-%08x-%08x-%08x", audioTracks, id1, id2, cddbId);
    return text;
}

std::string AccurateRipDiscId::Path() const {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", id1);
    return std::string("/accuraterip/") + hex[7] + "/" + hex[6] + "/" + hex[5] + "/dBAR-" + Text() + ".bin";
}

AccurateRipDiscId AccurateRipIdOf(const DiscLayout& layout) {
    AccurateRipDiscId id;
    for (const DiscTrack& track : layout.tracks) {
        if (!track.audio) continue;
        ++id.audioTracks;
        const uint32_t offset = static_cast<uint32_t>(track.firstSector);
        id.id1 += offset;
        id.id2 += (offset > 0 ? offset : 1) * static_cast<uint32_t>(id.audioTracks);
    }
    // The lead-out of the whole disc: after an enhanced CD's data track, not its audio.
    const uint32_t leadOut = static_cast<uint32_t>(layout.leadOut);
    id.id1 += leadOut;
    id.id2 += (leadOut > 0 ? leadOut : 1) * static_cast<uint32_t>(id.audioTracks + 1);
    id.cddbId = FreedbDiscId(layout.Toc());
    return id;
}

std::optional<std::vector<AccurateRipPressing>> ParseAccurateRipEntry(const std::string& bytes) {
    // Each pressing: track count (1 byte), id1, id2, cddb id (4 bytes each, little-endian),
    // then per track its confidence (1 byte), checksum and offset-finding checksum (4 each).
    std::vector<AccurateRipPressing> pressings;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        if (left < 13) return std::nullopt;
        const int tracks = p[0];
        AccurateRipPressing pressing;
        pressing.id1 = LittleEndian32(p + 1);
        pressing.id2 = LittleEndian32(p + 5);
        pressing.cddbId = LittleEndian32(p + 9);
        p += 13;
        left -= 13;
        if (tracks == 0 || left < static_cast<std::size_t>(tracks) * 9) return std::nullopt;
        for (int t = 0; t < tracks; ++t, p += 9, left -= 9) {
            pressing.confidence.push_back(p[0]);
            pressing.crc.push_back(LittleEndian32(p + 1));
        }
        pressings.push_back(std::move(pressing));
    }
    if (pressings.empty()) return std::nullopt;
    return pressings;
}

std::string AccurateRipVerdict::Text() const {
    switch (match) {
        case AccurateRipMatch::kAccurate:
            return "Accurately ripped (confidence " + std::to_string(confidence) + ")";
        case AccurateRipMatch::kNotAccurate: return "Not accurately ripped";
        case AccurateRipMatch::kNotInDatabase: break;
    }
    return "Not in the database";
}

AccurateRipVerdict VerdictOf(const std::vector<AccurateRipPressing>& pressings, int audioIndex,
                             const TrackChecksums& sums) {
    AccurateRipVerdict verdict;
    bool known = false;
    for (const auto& pressing : pressings) {
        if (audioIndex < 0 || static_cast<std::size_t>(audioIndex) >= pressing.crc.size()) continue;
        const uint8_t confidence = pressing.confidence[audioIndex];
        const uint32_t crc = pressing.crc[audioIndex];
        if (confidence == 0) continue;
        known = true;
        if (crc == sums.v1 || crc == sums.v2) {
            verdict.match = AccurateRipMatch::kAccurate;
            verdict.confidence += confidence;
        }
    }
    if (verdict.match != AccurateRipMatch::kAccurate && known) verdict.match = AccurateRipMatch::kNotAccurate;
    return verdict;
}

std::string HexText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

}  // namespace quelt
