#include "core/transcode/media_info.h"

#include <cstdlib>

#include "core/transcode/asset_tags.h"
#include "core/transcode/pipeline_state.h"

namespace quelt {
namespace {

struct OpenedFile {
    AVFormatContext* format = nullptr;
    ~OpenedFile() { avformat_close_input(&format); }
};

// True when a decoder for the stream exists and opens.
bool DecoderOpens(const AVStream* stream) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return false;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    bool opens = context && avcodec_parameters_to_context(context, stream->codecpar) >= 0 &&
                 avcodec_open2(context, codec, nullptr) >= 0;
    avcodec_free_context(&context);
    return opens;
}

// The first of `keys` that the container (or else the stream) carries.
std::string Tag(const AVFormatContext* format, const AVStream* stream,
                std::initializer_list<const char*> keys) {
    for (const AVDictionary* dict :
         {static_cast<const AVDictionary*>(format->metadata),
          stream ? static_cast<const AVDictionary*>(stream->metadata) : nullptr}) {
        if (!dict) continue;
        for (const char* key : keys)
            if (const AVDictionaryEntry* entry = av_dict_get(dict, key, nullptr, 0);
                entry && *entry->value)
                return entry->value;
    }
    return {};
}

std::string YearText(const std::string& date) {
    long year = 0;
    size_t i = 0;
    for (; i < date.size() && date[i] >= '0' && date[i] <= '9' && year < 100000000; ++i)
        year = year * 10 + (date[i] - '0');
    return i == 0 ? std::string() : std::to_string(year);
}

}  // namespace

Expected<MediaInfo> ReadMediaInfo(const std::string& path) {
    QuietCodecLibrary();
    OpenedFile file;
    if (avformat_open_input(&file.format, path.c_str(), nullptr, nullptr) < 0)
        return Failure{"Could not open " + path};
    if (avformat_find_stream_info(file.format, nullptr) < 0)
        return Failure{"Could not read the streams of " + path};

    const AVStream* audio = nullptr;
    const AVStream* video = nullptr;
    for (unsigned i = 0; i < file.format->nb_streams; ++i) {
        const AVStream* stream = file.format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) audio = stream;
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            video = stream;
    }
    if (audio && !DecoderOpens(audio)) audio = nullptr;
    if (video && !DecoderOpens(video)) video = nullptr;
    if (!audio && !video) return Failure{"No audio or video stream of " + path + " can be decoded"};

    MediaInfo info;
    int64_t duration = file.format->duration;
    info.durationMs = duration == AV_NOPTS_VALUE || duration < 0 ? 0 : duration / 1000;
    const AVFormatContext* f = file.format;
    info.artist = Tag(f, audio, {"artist", "author", "album_artist"});
    info.album = Tag(f, audio, {"album"});
    info.title = Tag(f, audio, {"title"});
    info.genre = Tag(f, audio, {"genre"});
    info.year = YearText(Tag(f, audio, {"date", "year"}));
    info.comment = Tag(f, audio, {"comment", "description"});
    info.copyright = Tag(f, audio, {"copyright"});
    info.track = std::atoi(Tag(f, audio, {"track"}).c_str());
    info.hasAudio = audio != nullptr;
    info.hasVideo = video != nullptr;
    if (audio) {
        info.sampleRate = audio->codecpar->sample_rate;
        info.channels = audio->codecpar->ch_layout.nb_channels;
    }
    // 3GPP files keep their tags in asset boxes that FFmpeg's reader skips.
    if (std::string_view(file.format->iformat->name).find("3gp") != std::string_view::npos)
        ReadAssetTags(path, info);
    const AVStream* main = audio ? audio : video;
    info.codecName = avcodec_get_name(main->codecpar->codec_id);
    info.containerName = file.format->iformat->name;
    return info;
}

}  // namespace quelt
