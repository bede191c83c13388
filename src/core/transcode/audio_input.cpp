// Opening an input file for decoding its first audio stream.
#include <mutex>

#include "core/transcode/pipeline_state.h"

namespace quelt {

void QuietCodecLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

AudioInput::State::~State() {
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
}

AudioInput::AudioInput() = default;
AudioInput::~AudioInput() = default;
AudioInput::AudioInput(AudioInput&&) noexcept = default;
AudioInput& AudioInput::operator=(AudioInput&&) noexcept = default;

bool AudioInput::isOpen() const { return state_ != nullptr; }

const std::string& AudioInput::path() const {
    static const std::string none;
    return state_ ? state_->path : none;
}

int64_t AudioInput::durationMs() const { return state_ ? state_->durationMs : 0; }
int64_t AudioInput::statedMs() const { return state_ ? state_->statedMs : 0; }
int AudioInput::sampleRate() const { return state_ ? state_->decoder->sample_rate : 0; }
int AudioInput::channels() const { return state_ ? state_->decoder->ch_layout.nb_channels : 0; }

int AudioInput::bitsPerSample() const {
    if (!state_) return 16;
    const AVCodecContext* decoder = state_->decoder;
    const AVCodecDescriptor* codec = avcodec_descriptor_get(decoder->codec_id);
    if (codec && (codec->props & AV_CODEC_PROP_LOSSY)) return 16;
    const AVSampleFormat format = av_get_packed_sample_fmt(decoder->sample_fmt);
    const int bytes = av_get_bytes_per_sample(format);
    if (bytes <= 2) return 16;
    // Float or 32-bit integer samples: the depth the codec says it carries, else 24 for
    // float (more than any such source holds) and 32 for integers.
    const int raw = decoder->bits_per_raw_sample > 0 ? decoder->bits_per_raw_sample
                                                     : decoder->bits_per_coded_sample;
    if (raw > 16 && raw <= 24) return 24;
    if (format == AV_SAMPLE_FMT_FLT || format == AV_SAMPLE_FMT_DBL) return 24;
    return raw > 24 || raw == 0 ? 32 : 16;
}

double AudioInput::readFraction() const {
    if (!state_ || !state_->format->pb) return -1;
    int64_t size = avio_size(state_->format->pb);
    if (size <= 0) return -1;
    int64_t at = avio_tell(state_->format->pb);
    if (at < 0) return -1;
    return at >= size ? 1.0 : static_cast<double>(at) / static_cast<double>(size);
}

Expected<AudioInput> OpenAudioInput(const std::string& path,
                                    const std::function<void()>& afterOpen) {
    QuietCodecLibrary();
    auto state = std::make_unique<AudioInput::State>();
    state->path = path;

    if (avformat_open_input(&state->format, path.c_str(), nullptr, nullptr) < 0)
        return Failure{"Could not open input audio " + path + ", skip.", 1};
    if (afterOpen) afterOpen();
    if (avformat_find_stream_info(state->format, nullptr) < 0)
        return Failure{"Couldn't find stream information, skip.", 2};

    AVStream* stream = nullptr;
    for (unsigned i = 0; i < state->format->nb_streams; ++i) {
        if (state->format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            stream = state->format->streams[i];
            state->streamIndex = static_cast<int>(i);
            break;
        }
    }
    if (!stream) return Failure{"Couldn't find audio stream information, skip.", 3};

    state->format->flags |= AVFMT_FLAG_GENPTS;
    state->timeBase = stream->time_base;
    int64_t duration = state->format->duration;
    state->durationMs = duration == AV_NOPTS_VALUE || duration < 0 ? 0 : duration / 1000;
    // A lossless stream's header states its exact length; a lossy one's includes the
    // encoder's priming and padding (a 1 s MP3 at 22050 Hz states 1.071 s), so only the
    // former can show that frames were skipped.
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(stream->codecpar->codec_id);
    const bool lossless = descriptor && (descriptor->props & AV_CODEC_PROP_LOSSLESS) &&
                          !(descriptor->props & AV_CODEC_PROP_LOSSY);
    if (lossless && state->format->duration_estimation_method == AVFMT_DURATION_FROM_STREAM &&
        stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        state->statedMs = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
    // Only the audio stream's packets are wanted.
    for (unsigned i = 0; i < state->format->nb_streams; ++i)
        if (static_cast<int>(i) != state->streamIndex)
            state->format->streams[i]->discard = AVDISCARD_ALL;

    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return Failure{"Decodec not found, skip.", 6};
    state->decoder = avcodec_alloc_context3(codec);
    if (!state->decoder || avcodec_parameters_to_context(state->decoder, stream->codecpar) < 0)
        return Failure{"Could not open decodec, skip.", 7};
    state->decoder->pkt_timebase = stream->time_base;
    // Decoders that can (FLAC, ...) decode ahead on other cores while this thread encodes.
    state->decoder->thread_count = 0;
    state->decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(state->decoder, codec, nullptr) < 0 || state->decoder->sample_rate <= 0 ||
        state->decoder->ch_layout.nb_channels <= 0)
        return Failure{"Could not open decodec, skip.", 7};

    AudioInput input;
    input.state_ = std::move(state);
    return input;
}

void CloseAudioInput(AudioInput& input) { input = AudioInput(); }

}  // namespace quelt
