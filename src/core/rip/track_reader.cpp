#include "core/rip/track_reader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstring>

#include "core/jobs/component_error.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/rip_log.h"

namespace quelt {
namespace {

// paranoia's callback carries no user pointer; the reader that is inside a read on this
// thread receives it.
thread_local TrackReader* tCurrentReader = nullptr;

constexpr long kWordsPerSector = kSectorBytes / 2;

// Paranoia reads beyond what it takes to be the drive's cache (1200 sectors unless told)
// so that a second read comes from the disc. An image has no such cache; a small model
// keeps paranoia's buffers at a few MiB instead of 20 and reads no slower.
constexpr int kImageCacheSectors = 150;

void ParanoiaCallback(long position, paranoia_cb_mode_t mode) {
    if (tCurrentReader) tCurrentReader->OnEvent(position, static_cast<int>(mode));
}

}  // namespace

TrackReader::TrackReader(CdIo_t* cdio, bool imageSource, RetryHandler onRetry, int simulatedFaults)
    : onRetry_(std::move(onRetry)) {
    char* messages = nullptr;
    drive_ = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_LOGIT, &messages);
    if (messages) {
        RipLog(messages);
        cdio_cddap_free_messages(messages);
    }
    if (!drive_) throw ComponentError("The drive cannot read audio tracks.");
    cdio_cddap_verbose_set(drive_, CDDA_MESSAGE_LOGIT, CDDA_MESSAGE_LOGIT);
    if (imageSource) drive_->bigendianp = 0;
    drive_->i_test_flags = simulatedFaults;
    if (cdio_cddap_open(drive_) != 0) {
        cdio_cddap_close_no_free_cdio(drive_);
        throw ComponentError("The disc cannot be opened for reading audio.");
    }
    lastSector_ = cdio_cddap_disc_lastsector(drive_);
    paranoia_ = cdio_paranoia_init(drive_);
    if (!paranoia_) {
        cdio_cddap_close_no_free_cdio(drive_);
        throw ComponentError("The audio reader cannot be started.");
    }
    if (imageSource) cdio_paranoia_cachemodel_size(paranoia_, kImageCacheSectors);
}

void TrackReader::Start(const ReadSpan& span, ReadSwitches switches, int attempts) {
    attempts_ = switches.singleTry ? 1 : std::max(1, attempts);
    unreadable_.clear();
    retried_.clear();
    retriesAtSector_ = 0;
    retrySector_ = -1;
    // Never read beyond the disc's last audio sector: paranoia can wait there forever.
    const int32_t last = lastSector_;
    span_ = span;
    areaFirst_ = std::max(0, span.areaFirst);
    areaEnd_ = span.areaEnd;
    if (last >= 0 && areaEnd_ > last + 1) areaEnd_ = last + 1;
    total_ = std::max(0, span.sectors);
    if (last >= 0 && span.shiftFrames == 0 && span.firstSector + total_ > last + 1)
        total_ = std::max(0, static_cast<int32_t>(last + 1) - span.firstSector);
    PlaceAt(0);

    int mode = PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
    if (switches.skipVerify) mode &= ~(PARANOIA_MODE_VERIFY | PARANOIA_MODE_OVERLAP);
    if (switches.skipRepair)
        mode &= ~(PARANOIA_MODE_FRAGMENT | PARANOIA_MODE_SCRATCH | PARANOIA_MODE_REPAIR);
    cdio_paranoia_modeset(paranoia_, mode);
}

TrackReader::~TrackReader() {
    if (paranoia_) cdio_paranoia_free(paranoia_);
    if (drive_) cdio_cddap_close_no_free_cdio(drive_);
}

void TrackReader::OnEvent(long position, int mode) {
    const int32_t sector = static_cast<int32_t>(position / kWordsPerSector);
    if (mode == PARANOIA_CB_READERR) {
        if (sector != retrySector_) {
            retrySector_ = sector;
            retriesAtSector_ = 0;
        }
        ++retriesAtSector_;
        retried_.insert(sector);
        if (onRetry_) onRetry_(retriesAtSector_, sector);
    } else if (mode == PARANOIA_CB_SKIP) {
        unreadable_.insert(sector);
    }
}

void TrackReader::AppendSector(int32_t sector) {
    const std::size_t at = pending_.size();
    pending_.resize(at + kSectorBytes);
    uint8_t* dest = pending_.data() + at;
    if (sector < areaFirst_ || sector >= areaEnd_) {
        std::memset(dest, 0, kSectorBytes);
        return;
    }
    if (!seeked_) {
        cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
        seeked_ = true;
    }
    tCurrentReader = this;
    int16_t* samples = cdio_paranoia_read_limited(paranoia_, ParanoiaCallback, attempts_);
    tCurrentReader = nullptr;
    if (samples) {
        std::memcpy(dest, samples, kSectorBytes);
    } else {
        std::memset(dest, 0, kSectorBytes);
        unreadable_.insert(sector);
    }
}

void TrackReader::Seek(int32_t block) { PlaceAt(std::clamp(block, 0, total_)); }

// Delivery goes on `block` sectors into the span: the first frame lies `shiftFrames` after
// that sector's start, in the raw sector floor((sector * 588 + shift) / 588).
void TrackReader::PlaceAt(int32_t block) {
    remaining_ = total_ - block;
    pending_.clear();
    seeked_ = false;
    const int64_t firstFrame =
        static_cast<int64_t>(span_.firstSector + block) * kSectorFrames + span_.shiftFrames;
    int64_t rawFirst = firstFrame / kSectorFrames;
    if (firstFrame < 0 && firstFrame % kSectorFrames != 0) --rawFirst;
    nextRaw_ = static_cast<int32_t>(rawFirst);
    skipBytes_ = static_cast<std::size_t>(firstFrame - rawFirst * kSectorFrames) * 4;
}

int32_t TrackReader::Read(int blocks, std::vector<uint8_t>& pcm) {
    pcm.clear();
    const int32_t count = std::max(0, std::min<int32_t>(blocks, remaining_));
    if (count == 0) return 0;
    const std::size_t wanted = static_cast<std::size_t>(count) * kSectorBytes;
    while (pending_.size() < skipBytes_ + wanted) AppendSector(nextRaw_++);
    pcm.assign(pending_.begin() + static_cast<std::ptrdiff_t>(skipBytes_),
               pending_.begin() + static_cast<std::ptrdiff_t>(skipBytes_ + wanted));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(skipBytes_ + wanted));
    skipBytes_ = 0;
    remaining_ -= count;
    return count;
}

}  // namespace quelt
