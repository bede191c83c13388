// The encoding half of an output: resampler -> FIFO -> encoder frames -> packets -> muxer.
// Time stamps are counted in output samples (the encoder's time base is 1/sample rate), so
// every container receives a monotonic stream whatever the input's own stamps were.
#include <algorithm>

#include "core/transcode/pipeline_state.h"

namespace quelt {
namespace {

// Moves every packet the encoder has ready into the container.
bool WritePackets(AudioOutput::State& out) {
    for (;;) {
        int result = avcodec_receive_packet(out.encoder, out.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) return RecordEncodeError(out, result);
        av_packet_rescale_ts(out.packet, out.encoder->time_base, out.stream->time_base);
        out.packet->stream_index = out.stream->index;
        result = av_interleaved_write_frame(out.format, out.packet);  // takes the packet's data
        if (result < 0) return RecordWriteError(out, result);
        if (out.format->pb && out.format->pb->error < 0)
            return RecordWriteError(out, out.format->pb->error);
    }
}

// Encodes `samples` samples from the FIFO, padded with silence up to `padTo` samples.
bool EncodeFromFifo(AudioOutput::State& out, int samples, int padTo) {
    AVFrame* frame = out.frame;
    int length = std::max(samples, padTo);
    if (out.frameSize == 0) {
        // Any size goes: a fresh buffer of exactly this block's size.
        av_frame_unref(frame);
        frame->format = out.encoder->sample_fmt;
        frame->sample_rate = out.encoder->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &out.encoder->ch_layout);
        frame->nb_samples = length;
        if (av_frame_get_buffer(frame, 0) < 0) return RecordEncodeError(out, AVERROR(ENOMEM));
    } else {
        // The encoder may still hold a reference to the last frame's buffer.
        frame->nb_samples = out.frameSize;
        if (av_frame_make_writable(frame) < 0) return RecordEncodeError(out, AVERROR(ENOMEM));
        frame->nb_samples = length;
    }
    if (av_audio_fifo_read(out.fifo, reinterpret_cast<void**>(frame->extended_data), samples) <
        samples)
        return RecordEncodeError(out, AVERROR_BUG);
    if (length > samples)
        av_samples_set_silence(frame->extended_data, samples, length - samples,
                               out.encoder->ch_layout.nb_channels, out.encoder->sample_fmt);
    frame->pts = out.nextPts;
    out.nextPts += length;
    if (out.meter) out.meter->Add(frame);
    int result = avcodec_send_frame(out.encoder, frame);
    if (result < 0) return RecordEncodeError(out, result);
    return WritePackets(out);
}

// Encodes every complete frame the FIFO holds (for PCM encoders: everything).
bool DrainFifo(AudioOutput::State& out) {
    if (out.frameSize == 0) {
        int available = av_audio_fifo_size(out.fifo);
        return available == 0 || EncodeFromFifo(out, available, 0);
    }
    while (av_audio_fifo_size(out.fifo) >= out.frameSize)
        if (!EncodeFromFifo(out, out.frameSize, 0)) return false;
    return true;
}

bool SameLayout(const AVChannelLayout* a, const AVChannelLayout* b) {
    return av_channel_layout_compare(a, b) == 0;
}

// A layout the resampler can work with: an unspecified order becomes the default layout
// of its channel count.
void UsableLayout(const AVChannelLayout* in, AVChannelLayout* out) {
    if (in->order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(out, in->nb_channels);
    else
        av_channel_layout_copy(out, in);
}

bool EnsureConvertedCapacity(AudioOutput::State& out, int samples) {
    if (samples <= out.convertedCapacity) return true;
    if (out.converted) av_freep(&out.converted[0]);
    av_freep(&out.converted);
    out.convertedCapacity = 0;
    int capacity = std::max(samples, 8192);
    if (av_samples_alloc_array_and_samples(&out.converted, nullptr,
                                           out.encoder->ch_layout.nb_channels, capacity,
                                           out.encoder->sample_fmt, 0) < 0)
        return RecordEncodeError(out, AVERROR(ENOMEM));
    out.convertedCapacity = capacity;
    return true;
}

// Runs the resampler on `in` (null to drain it) and appends what it gives to the FIFO.
bool Resample(AudioOutput::State& out, const uint8_t* const* in, int samples) {
    for (;;) {
        int room = swr_get_out_samples(out.resampler, samples);
        if (room < 0) return RecordEncodeError(out, room);
        if (room == 0 && in) return true;
        room += 16;
        if (!EnsureConvertedCapacity(out, room)) return false;
        int got = swr_convert(out.resampler, out.converted, out.convertedCapacity,
                              const_cast<const uint8_t**>(in), in ? samples : 0);
        if (got < 0) return RecordEncodeError(out, got);
        if (got > 0 &&
            av_audio_fifo_write(out.fifo, reinterpret_cast<void**>(out.converted), got) < got)
            return RecordEncodeError(out, AVERROR(ENOMEM));
        if (in || got == 0) return true;  // a drain repeats until nothing is left
    }
}

// Drains the resampler of the previous input format into the FIFO.
bool DrainResampler(AudioOutput::State& out) {
    if (!out.resampler) return true;
    return Resample(out, nullptr, 0) && DrainFifo(out);
}

bool SetUpFor(AudioOutput::State& out, const SampleSource& source) {
    if (out.sourceKnown && source.format == out.sourceFormat &&
        source.sampleRate == out.sourceRate && SameLayout(source.layout, &out.sourceLayout))
        return true;
    if (!DrainResampler(out)) return false;
    swr_free(&out.resampler);
    out.sourceKnown = true;
    out.sourceFormat = source.format;
    out.sourceRate = source.sampleRate;
    av_channel_layout_uninit(&out.sourceLayout);
    av_channel_layout_copy(&out.sourceLayout, source.layout);
    AVChannelLayout inLayout{};
    UsableLayout(source.layout, &inLayout);
    out.passThrough = source.format == out.encoder->sample_fmt &&
                      source.sampleRate == out.encoder->sample_rate &&
                      inLayout.nb_channels == out.encoder->ch_layout.nb_channels &&
                      (inLayout.nb_channels <= 2 || SameLayout(&inLayout, &out.encoder->ch_layout));
    if (!out.passThrough) {
        int result = swr_alloc_set_opts2(&out.resampler, &out.encoder->ch_layout,
                                         out.encoder->sample_fmt, out.encoder->sample_rate,
                                         &inLayout, source.format, source.sampleRate, 0, nullptr);
        if (result >= 0) result = swr_init(out.resampler);
        if (result < 0) {
            av_channel_layout_uninit(&inLayout);
            return RecordEncodeError(out, result);
        }
    }
    av_channel_layout_uninit(&inLayout);
    return true;
}

}  // namespace

bool FeedSamples(AudioOutput::State& out, const SampleSource& source) {
    if (!out.error.empty()) return false;
    if (source.samples <= 0) return true;
    if (!SetUpFor(out, source)) return false;
    if (out.passThrough) {
        if (av_audio_fifo_write(
                out.fifo, const_cast<void**>(reinterpret_cast<const void* const*>(source.data)),
                source.samples) < source.samples)
            return RecordEncodeError(out, AVERROR(ENOMEM));
    } else if (!Resample(out, source.data, source.samples)) {
        return false;
    }
    return DrainFifo(out);
}

bool FeedFrame(AudioOutput::State& out, AVFrame* frame, const SampleSource& source) {
    if (!out.error.empty()) return false;
    if (source.samples <= 0) return true;
    if (!SetUpFor(out, source)) return false;
    // An encoder that takes any frame size, fed in its own format: the decoded frame goes to
    // it as it is (the encoder takes a reference), without a trip through the FIFO.
    if (out.passThrough && out.frameSize == 0 && av_audio_fifo_size(out.fifo) == 0 &&
        frame->nb_samples == source.samples) {
        av_channel_layout_uninit(&frame->ch_layout);
        av_channel_layout_copy(&frame->ch_layout, &out.encoder->ch_layout);
        frame->pts = out.nextPts;
        out.nextPts += frame->nb_samples;
        if (out.meter) out.meter->Add(frame);
        int result = avcodec_send_frame(out.encoder, frame);
        if (result < 0) return RecordEncodeError(out, result);
        return WritePackets(out);
    }
    return FeedSamples(out, source);
}

bool FinishEncoding(AudioOutput::State& out) {
    if (!out.error.empty()) return false;
    if (!DrainResampler(out)) return false;
    int left = av_audio_fifo_size(out.fifo);
    if (left > 0) {
        // The last partial frame: short when the encoder accepts that, else padded.
        int padTo = out.frameSize > 0 && !out.smallLastFrame ? out.frameSize : 0;
        if (!EncodeFromFifo(out, left, padTo)) return false;
    }
    int result = avcodec_send_frame(out.encoder, nullptr);
    if (result < 0 && result != AVERROR_EOF) return RecordEncodeError(out, result);
    return WritePackets(out);
}

BlockStatus EncodePcmBlock(AudioOutput& output, const int16_t* pcm, size_t bytes, int sampleRate,
                           int channels, EncodeVariant) {
    AudioOutput::State* out = output.state();
    if (!out) return BlockStatus::kEncodeError;
    if (!out->error.empty())
        return out->encodeFailed ? BlockStatus::kEncodeError : BlockStatus::kWriteError;
    if (channels <= 0 || sampleRate <= 0) return BlockStatus::kOk;
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    const uint8_t* planes[1] = {reinterpret_cast<const uint8_t*>(pcm)};
    SampleSource source{planes, static_cast<int>(bytes / (2 * static_cast<size_t>(channels))),
                        AV_SAMPLE_FMT_S16, sampleRate, &layout};
    bool ok = FeedSamples(*out, source);
    av_channel_layout_uninit(&layout);
    if (ok) return BlockStatus::kOk;
    return out->encodeFailed ? BlockStatus::kEncodeError : BlockStatus::kWriteError;
}

}  // namespace quelt
