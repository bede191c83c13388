// DecodeIntoOutput: every packet of the input's audio stream, decoded and handed to the
// output's encoding half in the decoder's own sample format (the output's one resampler
// converts it once, with no detour through 16-bit PCM).
#include "core/transcode/pipeline_state.h"

namespace quelt {
namespace {

struct Owned {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    ~Owned() {
        av_packet_free(&packet);
        av_frame_free(&frame);
    }
};

bool FeedDecoded(AudioOutput::State& out, AVFrame* frame, const AVCodecContext* decoder) {
    AVChannelLayout layout{};
    av_channel_layout_copy(
        &layout, frame->ch_layout.nb_channels > 0 ? &frame->ch_layout : &decoder->ch_layout);
    SampleSource source{
        frame->extended_data, frame->nb_samples, static_cast<AVSampleFormat>(frame->format),
        frame->sample_rate > 0 ? frame->sample_rate : decoder->sample_rate, &layout};
    bool fed = FeedFrame(out, frame, source);
    av_channel_layout_uninit(&layout);
    return fed;
}

enum class Received { kNone, kSamples, kDecodeError, kWriteError };

// Takes every frame the decoder has ready.
Received ReceiveFrames(AudioInput::State& in, AudioOutput::State& out, AVFrame* frame,
                       int64_t& samples) {
    Received what = Received::kNone;
    for (;;) {
        int result = avcodec_receive_frame(in.decoder, frame);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return what;
        if (result < 0) return what == Received::kSamples ? what : Received::kDecodeError;
        samples += frame->nb_samples;
        bool fed = FeedDecoded(out, frame, in.decoder);
        av_frame_unref(frame);
        if (!fed) return Received::kWriteError;
        what = Received::kSamples;
    }
}

}  // namespace

DecodeResult DecodeIntoOutput(AudioInput& input, AudioOutput& output,
                              const std::atomic<bool>& cancel, const PositionCallback& position,
                              const std::function<void()>& onDecodeError) {
    DecodeResult result;
    AudioInput::State* in = input.state();
    AudioOutput::State* out = output.state();
    if (!in || !out) {
        result.status = DecodeStatus::kWriteError;
        return result;
    }
    Owned work;
    int64_t samples = 0;  // decoded so far, for positions of packets without a time stamp
    auto decodeError = [&] {
        ++result.decodeErrors;
        if (onDecodeError) onDecodeError();
    };

    int read;
    while ((read = av_read_frame(in->format, work.packet)) >= 0) {
        if (cancel.load(std::memory_order_relaxed)) {
            av_packet_unref(work.packet);
            result.status = DecodeStatus::kCancelled;
            return result;
        }
        if (work.packet->stream_index != in->streamIndex) {
            av_packet_unref(work.packet);
            continue;
        }
        int64_t pts = work.packet->pts;
        int sent = avcodec_send_packet(in->decoder, work.packet);
        av_packet_unref(work.packet);
        Received got = ReceiveFrames(*in, *out, work.frame, samples);
        if (got == Received::kWriteError) {
            result.status = DecodeStatus::kWriteError;
            return result;
        }
        if ((sent < 0 && sent != AVERROR(EAGAIN)) || got == Received::kDecodeError) decodeError();
        if (got == Received::kSamples && position) {
            int64_t ms = pts != AV_NOPTS_VALUE
                             ? av_rescale_q(pts, in->timeBase, AVRational{1, 1000})
                             : samples * 1000 / in->decoder->sample_rate;
            position(ms);
        }
    }

    result.readError = read != AVERROR_EOF;

    // The decoder's delayed frames.
    avcodec_send_packet(in->decoder, nullptr);
    Received got = ReceiveFrames(*in, *out, work.frame, samples);
    if (got == Received::kWriteError) result.status = DecodeStatus::kWriteError;
    if (got == Received::kDecodeError) decodeError();
    if (in->decoder->sample_rate > 0) result.decodedMs = samples * 1000 / in->decoder->sample_rate;
    return result;
}

bool AudioWasLost(const DecodeResult& result, const AudioInput& input) {
    constexpr int64_t kSlackMs = 50;
    if (input.statedMs() > 0 && result.decodedMs < input.statedMs() - kSlackMs) return true;
    if (!result.readError && result.decodeErrors == 0) return false;
    if (input.durationMs() <= 0) return true;
    const int64_t difference = result.decodedMs - input.durationMs();
    return difference < -kSlackMs || difference > kSlackMs;
}

}  // namespace quelt
