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

void ParanoiaCallback(long position, paranoia_cb_mode_t mode) {
    if (tCurrentReader) tCurrentReader->OnEvent(position, static_cast<int>(mode));
}

}  // namespace

TrackReader::TrackReader(CdIo_t* cdio, bool littleEndianSource, RetryHandler onRetry,
                         int simulatedFaults)
    : onRetry_(std::move(onRetry)) {
    char* messages = nullptr;
    drive_ = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_LOGIT, &messages);
    if (messages) {
        RipLog(messages);
        cdio_cddap_free_messages(messages);
    }
    if (!drive_) throw ComponentError("The drive cannot read audio tracks.");
    cdio_cddap_verbose_set(drive_, CDDA_MESSAGE_LOGIT, CDDA_MESSAGE_LOGIT);
    if (littleEndianSource) drive_->bigendianp = 0;
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
}

void TrackReader::Start(int32_t firstSector, int32_t sectors, ReadSwitches switches,
                        int attempts) {
    attempts_ = switches.singleTry ? 1 : std::max(1, attempts);
    unreadable_.clear();
    retried_.clear();
    retriesAtSector_ = 0;
    retrySector_ = -1;
    // Never read beyond the disc's last audio sector: paranoia can wait there forever.
    next_ = firstSector;
    end_ = firstSector + std::max(0, sectors);
    if (lastSector_ >= 0 && end_ > lastSector_ + 1) end_ = lastSector_ + 1;
    if (end_ < next_) end_ = next_;

    int mode = PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
    if (switches.skipVerify) mode &= ~(PARANOIA_MODE_VERIFY | PARANOIA_MODE_OVERLAP);
    if (switches.skipRepair)
        mode &= ~(PARANOIA_MODE_FRAGMENT | PARANOIA_MODE_SCRATCH | PARANOIA_MODE_REPAIR);
    cdio_paranoia_modeset(paranoia_, mode);
    cdio_paranoia_seek(paranoia_, next_, SEEK_SET);
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
        if (onRetry_) onRetry_(retriesAtSector_, sector);
    } else if (mode == PARANOIA_CB_SKIP) {
        unreadable_.insert(sector);
    }
}

int32_t TrackReader::Read(int blocks, std::vector<uint8_t>& pcm) {
    pcm.clear();
    const int32_t count = std::max(0, std::min<int32_t>(blocks, end_ - next_));
    if (count == 0) return 0;
    pcm.resize(static_cast<std::size_t>(count) * kSectorBytes);
    tCurrentReader = this;
    for (int32_t i = 0; i < count; ++i) {
        int16_t* samples = cdio_paranoia_read_limited(paranoia_, ParanoiaCallback, attempts_);
        uint8_t* dest = pcm.data() + static_cast<std::size_t>(i) * kSectorBytes;
        if (samples) {
            std::memcpy(dest, samples, kSectorBytes);
        } else {
            std::memset(dest, 0, kSectorBytes);
            unreadable_.insert(next_ + i);
        }
    }
    tCurrentReader = nullptr;
    next_ += count;
    return count;
}

}  // namespace quelt
