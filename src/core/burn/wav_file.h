// Reading the layout and the INFO tags of a RIFF/WAVE file, so that its PCM can be
// handed to a disc writer without decoding it again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// Reads the chunks of `path`. On failure returns nullopt and a reason in `error`.
std::optional<WavLayout> ReadWavLayout(const std::string& path, std::string& error);

// Appends silence to the samples of `path` until they fill `minDataBytes`, fixing the RIFF
// and data sizes. Only a file whose data chunk ends it can grow this way. Returns false
// with a reason in `error` when the file cannot be padded; a file already long enough is
// left as it is.
bool PadWavWithSilence(const std::string& path, uint64_t minDataBytes, std::string& error);

}  // namespace quelt
