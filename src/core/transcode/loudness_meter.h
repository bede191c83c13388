// Loudness of what an output's encoder receives, measured with FFmpeg's EBU R128 filter
// (ebur128) while the file is encoded, and the ReplayGain 2 values made from it.
//
// Threads: one meter is fed by one thread at a time (the thread encoding its output).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct AVFrame;

namespace quelt {

struct Loudness {
    double integrated = -70.0;  // LUFS, gated as EBU R128 says; -70 for silence
    double peak = 0.0;          // the largest sample, 1.0 = full scale
    std::vector<float> blocks;  // momentary loudness (LUFS) of every 100 ms step
    bool valid = false;         // the meter saw audio and its filter ran
};

class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Measures `frame` (any sample format; the first frame fixes the rate and layout).
    // The frame itself is not changed. A failure leaves the measurement invalid.
    void Add(const AVFrame* frame);
    // Ends the measurement and returns it; Add must not be called afterwards.
    Loudness Finish();

private:
    struct Graph;
    bool SetUp(const AVFrame* frame);
    void Drain();

    std::unique_ptr<Graph> graph_;
    Loudness result_;
    bool failed_ = false;
};

// The gated loudness of several tracks played one after another (an album), from their
// momentary blocks.
double AlbumLoudness(const std::vector<const Loudness*>& tracks);

// The REPLAYGAIN_* tags of a track, with the album's values when `album` is given:
// gains to the reference of -18 LUFS as "-6.52 dB", peaks as "0.988312".
std::vector<std::pair<std::string, std::string>> ReplayGainTags(const Loudness& track,
                                                                 const Loudness* album);

// Album values over `tracks`: the gated loudness of all of them and the largest peak.
Loudness AlbumOf(const std::vector<const Loudness*>& tracks);

}  // namespace quelt
