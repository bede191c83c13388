#include "core/transcode/tag_rewrite.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <unistd.h>

#include <cstdio>
#include <string_view>

namespace quelt {
namespace {

Failure Failed(const std::string& path, int averror) {
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, reason, sizeof reason);
    return Failure{"Could not add tags to " + path + " (" + reason + ")."};
}

struct Contexts {
    AVFormatContext* in = nullptr;
    AVFormatContext* out = nullptr;
    AVPacket* packet = av_packet_alloc();
    std::string temporary;
    ~Contexts() {
        avformat_close_input(&in);
        if (out) {
            if (out->pb) avio_closep(&out->pb);
            avformat_free_context(out);
        }
        av_packet_free(&packet);
        if (!temporary.empty()) ::unlink(temporary.c_str());
    }
};

}  // namespace

bool KeepsFreeTags(const std::string& path) {
    const AVOutputFormat* format = av_guess_format(nullptr, path.c_str(), nullptr);
    if (!format) return false;
    const std::string_view name = format->name;
    return name == "flac" || name == "ogg" || name == "opus" || name == "mp3" || name == "wv" ||
           name == "aiff" || name == "asf";
}

Expected<void> AddTagsToFile(const std::string& path,
                             const std::vector<std::pair<std::string, std::string>>& tags) {
    Contexts c;
    int result = avformat_open_input(&c.in, path.c_str(), nullptr, nullptr);
    if (result >= 0) result = avformat_find_stream_info(c.in, nullptr);
    if (result < 0) return Failed(path, result);
    const AVOutputFormat* format = av_guess_format(nullptr, path.c_str(), nullptr);
    if (!format || !c.packet) return Failed(path, AVERROR_MUXER_NOT_FOUND);
    result = avformat_alloc_output_context2(&c.out, format, nullptr, path.c_str());
    if (result < 0) return Failed(path, result);

    const std::string_view name = format->name;
    // Ogg keeps its comments with the stream; the others with the container.
    const bool streamTags = name == "ogg" || name == "opus";
    av_dict_copy(&c.out->metadata, c.in->metadata, 0);
    for (unsigned i = 0; i < c.in->nb_streams; ++i) {
        AVStream* stream = avformat_new_stream(c.out, nullptr);
        if (!stream) return Failed(path, AVERROR(ENOMEM));
        result = avcodec_parameters_copy(stream->codecpar, c.in->streams[i]->codecpar);
        if (result < 0) return Failed(path, result);
        stream->codecpar->codec_tag = 0;
        stream->time_base = c.in->streams[i]->time_base;
        av_dict_copy(&stream->metadata, c.in->streams[i]->metadata, 0);
    }
    for (const auto& [key, value] : tags) {
        AVDictionary** dict = streamTags && c.out->nb_streams > 0 ? &c.out->streams[0]->metadata
                                                                  : &c.out->metadata;
        av_dict_set(dict, key.c_str(), value.c_str(), 0);
    }

    const size_t slash = path.rfind('/');
    c.temporary = slash == std::string::npos ? "." + path + ".tags.part"
                                             : path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".tags.part";
    result = avio_open(&c.out->pb, c.temporary.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        c.temporary.clear();
        return Failed(path, result);
    }
    AVDictionary* options = nullptr;
    if (name == "aiff") av_dict_set(&options, "write_id3v2", "1", 0);
    result = avformat_write_header(c.out, &options);
    av_dict_free(&options);
    if (result < 0) return Failed(path, result);
    while ((result = av_read_frame(c.in, c.packet)) >= 0) {
        const AVStream* from = c.in->streams[c.packet->stream_index];
        av_packet_rescale_ts(c.packet, from->time_base, c.out->streams[c.packet->stream_index]->time_base);
        c.packet->pos = -1;
        result = av_interleaved_write_frame(c.out, c.packet);
        if (result < 0) return Failed(path, result);
    }
    if (result != AVERROR_EOF) return Failed(path, result);
    result = av_write_trailer(c.out);
    if (result >= 0) result = c.out->pb->error;
    if (result >= 0) result = avio_closep(&c.out->pb);
    if (result < 0) return Failed(path, result);
    if (std::rename(c.temporary.c_str(), path.c_str()) != 0) return Failed(path, AVERROR(errno));
    c.temporary.clear();
    return {};
}

std::vector<std::string> TagReplayGain(const std::vector<std::pair<std::string, Loudness>>& files) {
    std::vector<const Loudness*> tracks;
    for (const auto& [path, loudness] : files)
        if (!path.empty() && loudness.valid) tracks.push_back(&loudness);
    std::vector<std::string> errors;
    if (tracks.empty()) return errors;
    const Loudness album = AlbumOf(tracks);
    for (const auto& [path, loudness] : files) {
        if (path.empty() || !loudness.valid || !KeepsFreeTags(path)) continue;
        if (auto tagged = AddTagsToFile(path, ReplayGainTags(loudness, &album)); !tagged)
            errors.push_back(tagged.message());
    }
    return errors;
}

}  // namespace quelt
