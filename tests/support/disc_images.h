// Disc images for tests: CUE/BIN (with CD-Text packs and a data track when asked) written
// from known PCM by scripts/make-disc-image, so a test can compare what a rip produced
// with exactly what the image holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelt::test {

struct ImageTrack {
    std::vector<int16_t> pcm;  // interleaved stereo at 44100 Hz, whole sectors (588 frames)
    std::string title, artist;
};

struct DiscLayout {
    std::vector<ImageTrack> tracks;
    std::string artist, album;
    bool cdText = false;
    int dataSectors = 0;        // a data track after the audio tracks
    int pregapSectors = 0;      // an INDEX 00 pregap before track 2 and later
    bool extraFileLine = false; // a second FILE line, which the program must refuse
};

// Deterministic, distinct and never silent audio of `sectors` sectors for track `seed`.
std::vector<int16_t> TestPcm(int sectors, int seed);

// Writes folder/name.cue, .bin and (with CD-Text) .cdt; returns the cue path, or "" when
// the generator failed.
std::string MakeDiscImage(const std::string& folder, const std::string& name, const DiscLayout& layout);

// An image whose tracks have the given lengths in sectors, made of TestPcm(sectors, i).
std::string MakeDiscImage(const std::string& folder, const std::string& name,
                          const std::vector<int>& trackSectors);

// Reads a file's bytes as 16-bit samples (a WAV's data chunk is found by DecodePcm instead).
std::vector<int16_t> ReadRawPcm(const std::string& path);

// True when what an audio device wrote (`played`) holds every sample of `expected` in order
// and nothing else but silence: before it, after it, and inside it where a busy machine let
// the device run dry for a moment (which a test must not count as a fault).
bool PlayedExactly(const std::vector<int16_t>& played, const std::vector<int16_t>& expected);

}  // namespace quelt::test
