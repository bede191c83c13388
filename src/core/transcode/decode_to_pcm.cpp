// DecodeToPcm: an input decoded straight to 16-bit PCM for players.
#include <vector>

#include "core/transcode/pipeline_state.h"

namespace quelt {
namespace {

class PcmConverter {
  public:
    PcmConverter(int rate, int channels) : rate_(rate) {
        av_channel_layout_default(&layout_, channels);
    }
    ~PcmConverter() {
        swr_free(&swr_);
        av_channel_layout_uninit(&layout_);
        av_channel_layout_uninit(&sourceLayout_);
    }

    // Converts one decoded frame (null: drain) and hands the result to the sink.
    bool Convert(const AVFrame* frame, const PcmSink& sink) {
        if (frame && !Prepare(frame)) return false;
        if (!swr_) return true;
        int in = frame ? frame->nb_samples : 0;
        for (;;) {
            int room = swr_get_out_samples(swr_, in) + 16;
            buffer_.resize(static_cast<size_t>(room) * layout_.nb_channels);
            uint8_t* out[1] = {reinterpret_cast<uint8_t*>(buffer_.data())};
            int got = swr_convert(
                swr_, out, room,
                frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, in);
            if (got < 0) return false;
            if (got > 0 && !sink(buffer_.data(), static_cast<size_t>(got))) return false;
            if (frame || got == 0) return true;
        }
    }

  private:
    bool Prepare(const AVFrame* frame) {
        if (swr_ && frame->format == sourceFormat_ && frame->sample_rate == sourceRate_ &&
            av_channel_layout_compare(&frame->ch_layout, &sourceLayout_) == 0)
            return true;
        swr_free(&swr_);
        sourceFormat_ = frame->format;
        sourceRate_ = frame->sample_rate;
        av_channel_layout_uninit(&sourceLayout_);
        if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&sourceLayout_, frame->ch_layout.nb_channels);
        else
            av_channel_layout_copy(&sourceLayout_, &frame->ch_layout);
        if (swr_alloc_set_opts2(&swr_, &layout_, AV_SAMPLE_FMT_S16, rate_, &sourceLayout_,
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                nullptr) < 0 ||
            swr_init(swr_) < 0) {
            swr_free(&swr_);
            return false;
        }
        return true;
    }

    int rate_;
    AVChannelLayout layout_{};
    SwrContext* swr_ = nullptr;
    int sourceFormat_ = -1;
    int sourceRate_ = 0;
    AVChannelLayout sourceLayout_{};
    std::vector<int16_t> buffer_;
};

}  // namespace

DecodeStatus DecodeToPcm(AudioInput& input, int sampleRate, int channels,
                         const std::atomic<bool>& stop, const PcmSink& sink) {
    AudioInput::State* in = input.state();
    if (!in || sampleRate <= 0 || channels <= 0) return DecodeStatus::kCancelled;
    PcmConverter converter(sampleRate, channels);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    DecodeStatus status = DecodeStatus::kCompleted;
    auto receive = [&] {
        while (avcodec_receive_frame(in->decoder, frame) >= 0) {
            bool ok = converter.Convert(frame, sink);
            av_frame_unref(frame);
            if (!ok) return false;
        }
        return true;
    };
    bool going = true;
    while (going && av_read_frame(in->format, packet) >= 0) {
        if (stop.load(std::memory_order_relaxed))
            going = false;
        else if (packet->stream_index == in->streamIndex) {
            avcodec_send_packet(in->decoder, packet);  // a bad packet is passed over
            going = receive();
        }
        av_packet_unref(packet);
    }
    if (going) {
        avcodec_send_packet(in->decoder, nullptr);
        going = receive() && converter.Convert(nullptr, sink);
    }
    if (!going) status = DecodeStatus::kCancelled;
    av_packet_free(&packet);
    av_frame_free(&frame);
    return status;
}

}  // namespace quelt
