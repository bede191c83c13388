// Creating, finishing and discarding an output file.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <span>
#include <random>

extern "C" {
#include <libavutil/opt.h>
}

#include "core/catalogue/catalogue.h"
#include "core/transcode/album_tags.h"
#include "core/transcode/cover_picture.h"
#include "core/transcode/pipeline_state.h"

namespace quelt {
namespace {

constexpr int kFifoBytes = 655360;

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new, empty, hidden file beside `path` and returns its name; "" when the folder
// cannot be written. The file gets the mode a plain new file would get (0666 less umask).
std::string CreateTemporaryFile(const std::string& path) {
    static thread_local std::mt19937 random{std::random_device{}()};
    const std::string stem = FolderOf(path) + "." + NameOf(path).substr(0, 200) + ".";
    for (int attempt = 0; attempt < 20; ++attempt) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "%06x", static_cast<unsigned>(random() & 0xffffff));
        std::string candidate = stem + tag + ".part";
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

// Cuts a text to at most `max` bytes without splitting a UTF-8 character.
std::string Cut(const std::string& text, size_t max) {
    if (text.size() <= max) return text;
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

int LeadingNumber(const std::string& text) {
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > 999999999) break;
    }
    return static_cast<int>(value);
}

void SetTag(AVDictionary** dict, const char* key, const std::string& value) {
    if (!value.empty()) av_dict_set(dict, key, value.c_str(), 0);
}

void CopyTags(AVDictionary** dict, std::string_view container, const OutputTags& tags) {
    SetTag(dict, "title", Cut(tags.title, 511));
    SetTag(dict, "artist", Cut(tags.artist, 511));
    SetTag(dict, "copyright", Cut(tags.copyright, 511));
    SetTag(dict, "comment", Cut(tags.comment, 511));
    SetTag(dict, "album", Cut(tags.album, 511));
    if (int year = LeadingNumber(tags.year); year > 0) SetTag(dict, "date", std::to_string(year));
    if (tags.track > 0) SetTag(dict, "track", std::to_string(tags.track));
    SetTag(dict, "genre", Cut(tags.genre, 31));
    CopyAlbumTags(dict, container, tags.track, tags.albumTags);
}

// The encoder's sample format: 16-bit when the encoder takes it (nothing to convert), else
// the nearest the encoder offers; for a deeper output, 32-bit integers first.
AVSampleFormat ChooseSampleFormat(const AVCodec* codec, int bitsPerSample) {
    const AVSampleFormat* formats = codec->sample_fmts;
    if (!formats) return bitsPerSample > 16 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
    static constexpr AVSampleFormat kDeep[] = {AV_SAMPLE_FMT_S32, AV_SAMPLE_FMT_S32P,
                                               AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT};
    static constexpr AVSampleFormat kCd[] = {AV_SAMPLE_FMT_S16,  AV_SAMPLE_FMT_S16P,
                                             AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT,
                                             AV_SAMPLE_FMT_S32,  AV_SAMPLE_FMT_S32P};
    const std::span<const AVSampleFormat> order =
        bitsPerSample > 16 ? std::span<const AVSampleFormat>(kDeep) : std::span<const AVSampleFormat>(kCd);
    for (AVSampleFormat wanted : order)
        for (const AVSampleFormat* f = formats; *f != AV_SAMPLE_FMT_NONE; ++f)
            if (*f == wanted) return wanted;
    return formats[0];
}

// A PCM container's default codec at a greater depth (WAV and AIFF keep 24-bit sources).
AVCodecID DeeperPcm(AVCodecID id, int bitsPerSample) {
    if (bitsPerSample <= 16) return id;
    const bool wide = bitsPerSample > 24;
    switch (id) {
        case AV_CODEC_ID_PCM_S16LE: return wide ? AV_CODEC_ID_PCM_S32LE : AV_CODEC_ID_PCM_S24LE;
        case AV_CODEC_ID_PCM_S16BE: return wide ? AV_CODEC_ID_PCM_S32BE : AV_CODEC_ID_PCM_S24BE;
        default: return id;
    }
}

}  // namespace

std::string WriteErrorLine(const std::string& path, int averror) {
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, reason, sizeof reason);
    return "Could not write the output file " + path + " (" + reason + "), skip.";
}

bool RecordWriteError(AudioOutput::State& out, int averror) {
    if (out.error.empty()) out.error = WriteErrorLine(out.path, averror);
    return false;
}

bool RecordEncodeError(AudioOutput::State& out, int averror) {
    if (out.error.empty()) {
        char reason[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(averror, reason, sizeof reason);
        out.error = "Could not encode the audio of " + out.path + " (" + reason + "), skip.";
        out.encodeFailed = true;
    }
    return false;
}

AudioOutput::State::~State() {
    if (fileOpen && format) avio_closep(&format->pb);
    if (!temporaryPath.empty()) ::unlink(temporaryPath.c_str());
    avcodec_free_context(&encoder);
    if (format) avformat_free_context(format);
    if (fifo) av_audio_fifo_free(fifo);
    av_frame_free(&frame);
    av_packet_free(&packet);
    swr_free(&resampler);
    if (converted) av_freep(&converted[0]);
    av_freep(&converted);
    av_channel_layout_uninit(&sourceLayout);
}

AudioOutput::AudioOutput() = default;
AudioOutput::~AudioOutput() = default;
AudioOutput::AudioOutput(AudioOutput&&) noexcept = default;
AudioOutput& AudioOutput::operator=(AudioOutput&&) noexcept = default;

bool AudioOutput::isOpen() const { return state_ != nullptr; }

const std::string& AudioOutput::path() const {
    static const std::string none;
    return state_ ? state_->path : none;
}

const std::string& AudioOutput::temporaryPath() const {
    static const std::string none;
    return state_ ? state_->temporaryPath : none;
}

int AudioOutput::sampleRate() const { return state_ ? state_->encoder->sample_rate : 0; }
int AudioOutput::channels() const { return state_ ? state_->encoder->ch_layout.nb_channels : 0; }
std::string AudioOutput::codecName() const {
    return state_ && state_->encoder->codec ? state_->encoder->codec->name : "";
}
std::string AudioOutput::containerName() const {
    return state_ ? state_->format->oformat->name : "";
}

Expected<AudioOutput> CreateAudioOutput(const OutputParameters& parameters) {
    QuietCodecLibrary();
    // 1. The container, from the name alone.
    const AVOutputFormat* container = av_guess_format(nullptr, parameters.path.c_str(), nullptr);
    if (!container)
        return Failure{"Could not encodec the output format <" + parameters.extension + ">, skip.",
                       1};

    // 2, 3. The container context, named after the final path.
    auto state = std::make_unique<AudioOutput::State>();
    state->path = parameters.path;
    state->meter = parameters.meter;
    state->format = avformat_alloc_context();
    if (!state->format) return Failure{"Could not allocate the output media, skip.", 2};
    state->format->oformat = container;
    state->format->url = av_strdup(parameters.path.c_str());

    // 4, 5. One audio stream with id 1.
    state->stream = avformat_new_stream(state->format, nullptr);
    if (!state->stream || !state->format->url)
        return Failure{"Could not set the output audio parameters, skip.", 5};
    state->stream->id = 1;

    // 6. The encoder: AAC when the row asks for it, one by name when the row names one,
    // else the container's default.
    const AVCodec* codec = nullptr;
    if (!parameters.encoder.empty()) {
        codec = avcodec_find_encoder_by_name(parameters.encoder.c_str());
    } else {
        AVCodecID codecId = parameters.forceAac
                                ? AV_CODEC_ID_AAC
                                : DeeperPcm(container->audio_codec, parameters.bitsPerSample);
        codec = codecId == AV_CODEC_ID_NONE ? nullptr : avcodec_find_encoder(codecId);
    }
    if (!codec) return Failure{"Could not find the audio encodec, skip.", 6};

    // 7. Open it with the preset's parameters.
    AVCodecContext* encoder = state->encoder = avcodec_alloc_context3(codec);
    if (!encoder) return Failure{"Could not open the audio encodec, skip.", 7};
    encoder->codec_type = AVMEDIA_TYPE_AUDIO;
    encoder->bit_rate = parameters.bitRate;
    encoder->sample_rate = parameters.sampleRate;
    av_channel_layout_default(&encoder->ch_layout, parameters.channels);
    encoder->sample_fmt = ChooseSampleFormat(codec, parameters.bitsPerSample);
    const AVSampleFormat packed = av_get_packed_sample_fmt(encoder->sample_fmt);
    if (packed == AV_SAMPLE_FMT_S32 && parameters.bitsPerSample > 16)
        encoder->bits_per_raw_sample = std::min(parameters.bitsPerSample, 32);
    encoder->time_base = AVRational{1, parameters.sampleRate > 0 ? parameters.sampleRate : 1};
    // Containers that keep codec headers globally get them there (the mp4 family, and any
    // other container that says it needs them, such as "ipod" for .m4a).
    if (NeedsGlobalHeader(container->name) || (container->flags & AVFMT_GLOBALHEADER))
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (parameters.sampleRate <= 0 || parameters.channels <= 0 ||
        avcodec_open2(encoder, codec, nullptr) < 0)
        return Failure{"Could not open the audio encodec, skip.", 7};
    if (avcodec_parameters_from_context(state->stream->codecpar, encoder) < 0)
        return Failure{"Could not open the audio encodec, skip.", 7};
    state->stream->time_base = encoder->time_base;
    state->frameSize =
        (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) ? 0 : encoder->frame_size;
    state->smallLastFrame = codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;

    // 8. The sample FIFO and the reused frame and packet.
    int bytesPerSample = av_get_bytes_per_sample(encoder->sample_fmt) * parameters.channels;
    state->fifo =
        av_audio_fifo_alloc(encoder->sample_fmt, parameters.channels, kFifoBytes / bytesPerSample);
    state->frame = av_frame_alloc();
    state->packet = av_packet_alloc();
    if (!state->fifo || !state->frame || !state->packet)
        return Failure{"Could not open the audio encodec, skip.", 8};
    state->frame->format = encoder->sample_fmt;
    state->frame->sample_rate = encoder->sample_rate;
    av_channel_layout_copy(&state->frame->ch_layout, &encoder->ch_layout);
    if (state->frameSize > 0) {
        state->frame->nb_samples = state->frameSize;
        if (av_frame_get_buffer(state->frame, 0) < 0)
            return Failure{"Could not open the audio encodec, skip.", 8};
    }

    // 9. The file, under a temporary name until the output is complete.
    if (!(container->flags & AVFMT_NOFILE)) {
        state->temporaryPath = CreateTemporaryFile(parameters.path);
        if (state->temporaryPath.empty() ||
            avio_open(&state->format->pb, state->temporaryPath.c_str(), AVIO_FLAG_WRITE) < 0)
            return Failure{"", kOutputFileOpenStep};
        state->fileOpen = true;
    }

    // 10. Tags. Ogg keeps its comments with the stream, the others with the container.
    if (parameters.tags) {
        const std::string_view name = container->name;
        CopyTags(&state->format->metadata, name, *parameters.tags);
        if (name == "ogg" || name == "opus")
            CopyTags(&state->stream->metadata, name, *parameters.tags);
    }
    state->cover = AddCoverStream(state->format, parameters.coverImage);
    if (state->cover) state->coverImage = parameters.coverImage;

    AudioOutput output;
    output.state_ = std::move(state);
    return output;
}

Expected<void> WriteOutputHeader(AudioOutput& output) {
    AudioOutput::State* out = output.state();
    if (!out) return Failure{"Could not write the output file, skip."};
    // AIFF keeps only four tags in its own chunks; its ID3 chunk carries them all.
    AVDictionary* options = nullptr;
    if (std::string_view(out->format->oformat->name) == "aiff" && out->format->metadata)
        av_dict_set(&options, "write_id3v2", "1", 0);
    int result = avformat_write_header(out->format, &options);
    av_dict_free(&options);
    if (result >= 0 && out->cover) result = WriteCoverPicture(out->format, out->cover, out->coverImage);
    if (result < 0) {
        RecordWriteError(*out, result);
        return Failure{out->error};
    }
    return {};
}

std::string WriteError(const AudioOutput& output) {
    return output.state() ? output.state()->error : std::string();
}

Expected<void> CloseAudioOutput(AudioOutput& output) {
    AudioOutput::State* out = output.state();
    if (!out) return {};
    bool ok = out->error.empty() && FinishEncoding(*out);
    if (ok) {
        int result = av_write_trailer(out->format);
        if (result < 0) ok = RecordWriteError(*out, result);
    }
    if (ok && out->fileOpen) {
        avio_flush(out->format->pb);
        int result = out->format->pb->error;
        int closed = avio_closep(&out->format->pb);
        out->fileOpen = false;
        if (result < 0 || closed < 0) ok = RecordWriteError(*out, result < 0 ? result : closed);
    }
    if (ok && !out->temporaryPath.empty()) {
        if (::rename(out->temporaryPath.c_str(), out->path.c_str()) != 0)
            ok = RecordWriteError(*out, AVERROR(errno));
        else
            out->temporaryPath.clear();
    }
    Expected<void> result;
    if (!ok) result = Failure{out->error};
    output.state_.reset();  // removes the temporary file when it is still there
    return result;
}

void DiscardAudioOutput(AudioOutput& output) { output.state_.reset(); }

}  // namespace quelt
