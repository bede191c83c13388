#include "core/burn/disc_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "core/burn/cd_text.h"
#include "core/burn/libburn_runtime.h"

namespace quelt {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr int kFifoChunkBytes = 2048;
constexpr int kFifoChunks = 2048;  // 4 MiB between the image generator and the drive

struct DiscDeleter {
    void operator()(burn::burn_disc* d) const { burn::burn_disc_free(d); }
};
struct OptsDeleter {
    void operator()(burn::burn_write_opts* o) const { burn::burn_write_opts_free(o); }
};

std::string Reason(const std::string& fallback) {
    std::string message = LibburnRuntime::Instance().TakeMessage();
    return message.empty() ? fallback : message;
}

// Adds one track fed from `source`; the track and session keep their own references.
void AddTrack(burn::burn_session* session, burn::burn_source* source, int mode) {
    burn::burn_track* track = burn::burn_track_create();
    burn::burn_track_define_data(track, 0, 0, 1, mode);
    burn::burn_track_set_source(track, source);
    burn::burn_session_add_track(session, track, BURN_POS_END);
    burn::burn_track_free(track);
}

void WaitWhileBusy(burn::burn_drive* drive) {
    while (burn::burn_drive_get_status(drive, nullptr) != burn::BURN_DRIVE_IDLE)
        std::this_thread::sleep_for(kPollInterval);
}

}  // namespace

std::string WriteToDisc(const DiscWrite& job, const WriteProgress& progress,
                        const std::function<void()>& closing) {
    LibburnRuntime::Instance().TakeMessage();  // forget what earlier calls left
    std::unique_ptr<burn::burn_disc, DiscDeleter> disc(burn::burn_disc_create());
    burn::burn_session* session = burn::burn_session_create();
    burn::burn_disc_add_session(disc.get(), session, BURN_POS_END);
    burn::burn_session_free(session);  // the disc holds it now

    std::unique_ptr<burn::burn_write_opts, OptsDeleter> opts(burn::burn_write_opts_new(job.drive));
    if (!opts) return Reason("The writer cannot be set up");
    std::vector<unsigned char> cdText;  // the lead-in's CD-Text packs of an Audio CD
    if (job.data) {
        burn::burn_source* fifo =
            burn::burn_fifo_source_new(job.data->source(), kFifoChunkBytes, kFifoChunks, 0);
        if (!fifo) return Reason("The disc image cannot be streamed");
        AddTrack(session, fifo, BURN_MODE1);
        burn::burn_source_free(fifo);
    } else {
        std::vector<WavTags> tags;
        for (const auto& track : job.audio) {
            int fd = ::open(track.path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::lseek(fd, off_t(track.layout.dataOffset), SEEK_SET) < 0) {
                if (fd >= 0) ::close(fd);
                return "Cannot read " + track.path;
            }
            // The source owns the descriptor from here on and closes it when freed.
            burn::burn_source* source =
                burn::burn_fd_source_new(fd, -1, off_t(track.layout.dataBytes));
            if (!source) {
                ::close(fd);
                return Reason("Cannot read " + track.path);
            }
            AddTrack(session, source, BURN_AUDIO);
            burn::burn_source_free(source);
            tags.push_back(track.layout.tags);
        }
        // Text the library cannot pack leaves the disc without CD-Text; its audio burns all
        // the same, as on a writer that cannot write text into the lead-in.
        if (auto packs = MakeCdTextPacks(CdTextFromTags(tags))) cdText = std::move(*packs);
    }

    burn::burn_write_opts_set_perform_opc(opts.get(), 0);
    burn::burn_write_opts_set_underrun_proof(opts.get(), 1);
    burn::burn_write_opts_set_simulate(opts.get(), job.simulate ? 1 : 0);
    burn::burn_write_opts_set_multi(opts.get(), job.finalize ? 0 : 1);
    char reasons[BURN_REASONS_LEN] = {};
    const auto choose = [&] {
        // An Audio CD goes session-at-once when the writer and medium allow it.
        if (!job.data) {
            burn::burn_write_opts_set_write_type(opts.get(), burn::BURN_WRITE_SAO,
                                                 burn::BURN_BLOCK_SAO);
            if (burn::burn_write_opts_auto_write_type(opts.get(), disc.get(), reasons, 1) ==
                burn::BURN_WRITE_SAO)
                return burn::BURN_WRITE_SAO;
        }
        return burn::burn_write_opts_auto_write_type(opts.get(), disc.get(), reasons, 0);
    };
    burn::burn_write_types chosen = choose();
    if (chosen == burn::BURN_WRITE_NONE && !job.finalize && job.closeWhenOpenImpossible) {
        burn::burn_write_opts_set_multi(opts.get(), 0);
        chosen = choose();
    }
    if (chosen == burn::BURN_WRITE_NONE) {
        // libburn's reasons name the cause ("audio track prohibited by non-CD").
        std::string why = reasons;
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        LibburnRuntime::Instance().TakeMessage();
        return why.empty() ? Reason("The medium cannot take this disc")
                           : "The medium cannot take this disc: " + why;
    }
    // CD-Text lives in the lead-in, which only a session-at-once write lays down.
    if (chosen == burn::BURN_WRITE_SAO && !cdText.empty())
        burn::burn_write_opts_set_leadin_text(opts.get(), cdText.data(), int(cdText.size() / 18),
                                              0);

    WaitWhileBusy(job.drive);
    burn::burn_disc_write(opts.get(), disc.get());
    // burn_disc_write works on a thread of libburn; follow it until the drive is idle.
    double last = 0;
    bool closed = false;
    burn::burn_progress state{};
    burn::burn_drive_status status;
    while ((status = burn::burn_drive_get_status(job.drive, &state)) != burn::BURN_DRIVE_IDLE) {
        if (state.sectors > 0 && progress) {
            const double percent =
                std::min(100.0, 100.0 * double(state.sector) / double(state.sectors));
            if (percent > last) progress(last = percent);
        }
        if (status == burn::BURN_DRIVE_CLOSING_SESSION && job.finalize && !closed && closing) {
            closed = true;
            closing();
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    if (burn::burn_drive_wrote_well(job.drive) <= 0)
        return Reason("The writer reported a failed write");
    if (progress && last < 100) progress(100);
    if (job.finalize && !closed && closing) closing();
    return "";
}

}  // namespace quelt
