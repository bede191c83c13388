// Reading the layout and the INFO tags of a RIFF/WAVE file, so that its PCM can be
// handed to a disc writer without decoding it again.
#pragma once

#include <cstdint>
#include <string>

#include "core/transcode/expected.h"

namespace quelt {

struct WavTags {
    std::string title;      // INAM
    std::string performer;  // IART
    std::string album;      // IPRD
};

struct WavLayout {
    int formatTag = 0;  // 1 PCM (also for WAVE_FORMAT_EXTENSIBLE with PCM inside)
    int channels = 0;
    int sampleRate = 0;  // Hz
    int bitsPerSample = 0;
    uint64_t dataOffset = 0;  // bytes from the start of the file to the first sample
    uint64_t dataBytes = 0;   // PCM bytes, cut to what the file really holds
    WavTags tags;

    // 16-bit stereo PCM at 44100 Hz: what an Audio CD track holds.
    bool IsCdAudio() const {
        return formatTag == 1 && channels == 2 && sampleRate == 44100 && bitsPerSample == 16;
    }
};

// Reads the chunks of `path`; a failure says why it holds no readable audio.
Expected<WavLayout> ReadWavLayout(const std::string& path);

// Appends silence to the samples of `path` until they fill `minDataBytes`, fixing the RIFF
// and data sizes. Only a file whose data chunk ends it can grow this way; a failure says why
// the file cannot be padded. A file already long enough is left as it is.
Expected<void> PadWavWithSilence(const std::string& path, uint64_t minDataBytes);

}  // namespace quelt
