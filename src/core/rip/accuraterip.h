// AccurateRip: the checksums of a ripped track, the disc's identity in the database, the
// database entry's binary form and the verdict of one track against it.
//
// Units. A frame is one stereo sample pair (4 bytes of 16-bit little-endian PCM); a CD sector
// holds 588 frames. The database keys a disc by its audio tracks' first sectors (LSN) and
// the lead-out of the whole disc, so the data track of an enhanced CD moves the lead-out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelt {

struct DiscLayout;

struct TrackChecksums {
    uint32_t v1 = 0;
    uint32_t v2 = 0;
    uint32_t crc32 = 0;  // the plain CRC32 of the track's PCM bytes (the "copy CRC")
};

// Accumulates the checksums of one track's PCM handed in pieces of any size.
class TrackChecksummer {
public:
    // `totalFrames` is the track's length. The first track of the disc leaves out its first
    // five sectors (less one frame) and the last track its last five sectors, as the
    // database's own checksums do.
    TrackChecksummer(int64_t totalFrames, bool firstTrack, bool lastTrack);
    void Add(const uint8_t* pcm, std::size_t bytes);
    TrackChecksums Result() const;

private:
    uint32_t multiplier_ = 1;  // 1-based position of the next frame
    uint32_t from_ = 0, to_ = 0;
    uint32_t sumLow_ = 0, sumHigh_ = 0;
    uint32_t crc_ = 0;
    uint8_t partial_[4] = {};
    std::size_t partialBytes_ = 0;
};

struct AccurateRipDiscId {
    int audioTracks = 0;
    uint32_t id1 = 0, id2 = 0, cddbId = 0;
    // "/accuraterip/a/b/c/dBAR-nnn-id1-id2-cddb.bin" (a, b, c: the last three hex digits of id1)
    std::string Path() const;
    // "nnn-id1-id2-cddb" as the rip log shows it
    std::string Text() const;
};

AccurateRipDiscId AccurateRipIdOf(const DiscLayout& layout);

// One pressing's checksums in a database entry, per audio track in disc order.
struct AccurateRipPressing {
    uint32_t id1 = 0, id2 = 0, cddbId = 0;
    std::vector<uint8_t> confidence;
    std::vector<uint32_t> crc;
};

// The entry's pressings; nothing when the bytes are not an entry.
std::optional<std::vector<AccurateRipPressing>> ParseAccurateRipEntry(const std::string& bytes);

enum class AccurateRipMatch { kAccurate, kNotAccurate, kNotInDatabase };

struct AccurateRipVerdict {
    AccurateRipMatch match = AccurateRipMatch::kNotInDatabase;
    int confidence = 0;  // summed over the pressings whose checksum matched
    std::string Text() const;
};

// `audioIndex` is the track's 0-based place among the disc's audio tracks. A track the
// entry has no checksum for (or only ones of confidence 0) is not in the database.
AccurateRipVerdict VerdictOf(const std::vector<AccurateRipPressing>& pressings, int audioIndex,
                             const TrackChecksums& sums);

// "%08X" of a checksum, as logs show them.
std::string HexText(uint32_t value);

}  // namespace quelt
