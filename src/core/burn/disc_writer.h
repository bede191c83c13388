// Writing a project to a drive through libburn: an Audio CD as BURN_AUDIO tracks fed
// from the WAV files' PCM (session-at-once where the writer offers it, with CD-Text in
// the lead-in), a data CD as one MODE1 track holding the ISO image. Runs on the calling
// thread until the drive is idle again.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/burn/image_writer.h"
#include "core/burn/iso_image.h"

namespace quelt {

struct DiscWrite {
    burn::burn_drive* drive = nullptr;  // grabbed
    std::vector<AudioTrackFile> audio;  // an Audio CD, or
    IsoImageStream* data = nullptr;     // a data CD
    bool simulate = false;              // libburn's simulation: nothing is written
    bool finalize = true;               // close the disc; else leave it appendable
    // A medium that cannot stay open (a file as pseudo-drive) is closed even without
    // `finalize`; `closing` is then not called.
    bool closeWhenOpenImpossible = false;
};

// Returns "" when the drive reports a good write, else libburn's reason. `progress`
// gets rising percentages; `closing` is called once when the drive starts closing the
// session of a disc being finalized.
std::string WriteToDisc(const DiscWrite& job, const WriteProgress& progress,
                        const std::function<void()>& closing);

}  // namespace quelt
