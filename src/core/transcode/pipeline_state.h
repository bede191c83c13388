// Inside the pipeline: what an AudioInput and an AudioOutput hold. Only the pipeline's own
// sources include this.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <string>

#include "core/transcode/loudness_meter.h"
#include "core/transcode/pipeline.h"

namespace quelt {

struct AudioInput::State {
    std::string path;
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    int streamIndex = -1;
    AVRational timeBase{0, 1};
    int64_t durationMs = 0;
    int64_t statedMs = 0;  // a lossless stream's own header length; 0 when only estimated

    ~State();
};

// The samples as they arrive, before the output's resampler.
struct SampleSource {
    const uint8_t* const* data;  // one pointer per plane (one for interleaved formats)
    int samples;                 // per channel
    AVSampleFormat format;
    int sampleRate;
    const AVChannelLayout* layout;
};

struct AudioOutput::State {
    std::string path;           // final
    std::string temporaryPath;  // written until the output is closed
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    AVStream* cover = nullptr;  // the attached front cover, written after the header
    std::string coverImage;
    AVCodecContext* encoder = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;    // encoder input, reused
    AVPacket* packet = nullptr;  // encoder output, reused
    int frameSize = 0;           // samples per encoder frame; 0 means any size (PCM)
    bool smallLastFrame = false;
    int64_t nextPts = 0;  // in samples, the encoder's time base

    // One resampler for the whole output, set up for the first samples' format and set up
    // again (after draining) only if the input's format changes mid-stream.
    SwrContext* resampler = nullptr;
    bool passThrough = false;  // input already in the encoder's format, rate and layout
    bool sourceKnown = false;
    AVSampleFormat sourceFormat = AV_SAMPLE_FMT_NONE;
    int sourceRate = 0;
    AVChannelLayout sourceLayout{};
    uint8_t** converted = nullptr;  // resampler output
    int convertedCapacity = 0;      // samples per channel

    LoudnessMeter* meter = nullptr;  // sees every frame handed to the encoder

    bool fileOpen = false;
    std::string error;          // the first write or encode error, as the line to log
    bool encodeFailed = false;  // that error came from converting or encoding, not writing

    ~State();
};

// The encoding half, shared by EncodePcmBlock, DecodeIntoOutput and CloseAudioOutput.
// Each returns false once an error is recorded in state.error.
bool FeedSamples(AudioOutput::State& out, const SampleSource& source);
// The same for a decoded frame described by `source`; may hand the frame itself to the
// encoder (it then changes the frame's time stamp and channel layout).
bool FeedFrame(AudioOutput::State& out, AVFrame* frame, const SampleSource& source);
bool FinishEncoding(AudioOutput::State& out);

// Record the first error of an output as its log line; return false.
bool RecordWriteError(AudioOutput::State& out, int averror);  // the file could not be written
bool RecordEncodeError(AudioOutput::State& out,
                       int averror);  // samples could not be converted/encoded
// "Could not write the output file %s (reason), skip."
std::string WriteErrorLine(const std::string& path, int averror);

// FFmpeg's messages are kept to errors once per process.
void QuietCodecLibrary();

}  // namespace quelt
