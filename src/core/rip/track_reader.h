// Reads tracks' audio through libcdio-paranoia, sector by sector, with verification and
// re-reads. One reader (and so one paranoia instance with its buffers) serves every track
// read from one open disc: Start() points it at the next track. Used by one thread at a
// time.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

typedef struct _CdIo CdIo_t;
typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

namespace quelt {

struct ReadSwitches {
    bool skipVerify = false;   // switch A: no overlap verification
    bool singleTry = false;    // switch B: give up an unreadable sector after one attempt
    bool skipRepair = false;   // switch C: no fragment repair
};

// The span of the disc a reader delivers: `sectors` sectors' worth of frames starting
// `shiftFrames` frames after `firstSector` (a drive's read offset correction). Frames outside
// [areaFirst, areaEnd) (sectors: the run of audio around the track) come as silence.
struct ReadSpan {
    int32_t firstSector = 0;
    int32_t sectors = 0;
    int32_t shiftFrames = 0;
    int32_t areaFirst = 0;
    int32_t areaEnd = 0;
};

class TrackReader {
public:
    using RetryHandler = std::function<void(int attempt, int32_t sector)>;

    // `cdio` must stay open while the reader lives. `imageSource` says the disc is an image
    // file: its samples are little-endian (guessing the order from a silent track fails),
    // and it has no drive cache for paranoia to defeat. Throws ComponentError when the drive
    // cannot be read as audio.
    TrackReader(CdIo_t* cdio, bool imageSource, RetryHandler onRetry, int simulatedFaults = 0);
    ~TrackReader();
    TrackReader(const TrackReader&) = delete;
    TrackReader& operator=(const TrackReader&) = delete;

    // Starts delivering `span` with these switches and attempts per sector; forgets the
    // previous track's unreadable and retried sectors.
    void Start(const ReadSpan& span, ReadSwitches switches, int attempts);

    // Up to `blocks` sectors into `pcm`; returns the count, 0 at the end of the track.
    int32_t Read(int blocks, std::vector<uint8_t>& pcm);
    // Reading goes on at `block` sectors from the track's start (clamped to the track).
    void Seek(int32_t block);
    int32_t UnreadableSectors() const { return static_cast<int32_t>(unreadable_.size()); }
    // Sectors that needed more than one attempt.
    int32_t RetriedSectors() const { return static_cast<int32_t>(retried_.size()); }

    // paranoia's events for the sector at `position` (in 16-bit words); called from inside
    // Read on the same thread.
    void OnEvent(long position, int mode);

private:
    void AppendSector(int32_t sector);
    void PlaceAt(int32_t block);

    cdrom_drive_t* drive_ = nullptr;
    cdrom_paranoia_t* paranoia_ = nullptr;
    int32_t lastSector_ = -1;  // the disc's last audio sector, -1 when unknown
    ReadSpan span_;            // the span being delivered
    int32_t total_ = 0;        // sectors of the span that can be delivered
    int32_t remaining_ = 0;    // sectors still to deliver
    int32_t nextRaw_ = 0;      // next sector to read from the disc (LSN)
    int32_t areaFirst_ = 0, areaEnd_ = 0;
    bool seeked_ = false;
    std::size_t skipBytes_ = 0;     // raw bytes before the first delivered frame
    std::vector<uint8_t> pending_;  // read but not yet delivered
    int attempts_ = 1;
    RetryHandler onRetry_;
    std::set<int32_t> unreadable_;
    std::set<int32_t> retried_;
    int retriesAtSector_ = 0;
    int32_t retrySector_ = -1;
};

}  // namespace quelt
