#include "core/transcode/cover_picture.h"

#include <cstring>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

namespace quelt {
namespace {

// The width and height in a JPEG's frame header (FLAC's picture block records them).
bool JpegSize(const std::string& image, int& width, int& height) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(image[at]); };
    std::size_t at = 2;  // after the start-of-image marker
    while (at + 9 < image.size()) {
        if (byte(at) != 0xFF) return false;
        const unsigned char marker = byte(at + 1);
        const std::size_t length = byte(at + 2) << 8 | byte(at + 3);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            height = byte(at + 5) << 8 | byte(at + 6);
            width = byte(at + 7) << 8 | byte(at + 8);
            return width > 0 && height > 0;
        }
        at += 2 + length;
    }
    return false;
}

}  // namespace

AVStream* AddCoverStream(AVFormatContext* format, const std::string& image) {
    const std::string_view name = format->oformat->name;
    int width = 0, height = 0;
    if (image.empty() || !(name == "mp3" || name == "flac" || name == "mp4" || name == "ipod" || name == "mov") ||
        !JpegSize(image, width, height))
        return nullptr;
    AVStream* stream = avformat_new_stream(format, nullptr);
    if (!stream) return nullptr;
    stream->disposition = AV_DISPOSITION_ATTACHED_PIC;
    stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    stream->codecpar->codec_id = AV_CODEC_ID_MJPEG;
    stream->codecpar->width = width;
    stream->codecpar->height = height;
    stream->time_base = AVRational{1, 90000};
    av_dict_set(&stream->metadata, "comment", "Cover (front)", 0);
    return stream;
}

int WriteCoverPicture(AVFormatContext* format, AVStream* stream, const std::string& image) {
    AVPacket* packet = av_packet_alloc();
    if (!packet) return AVERROR(ENOMEM);
    int result = av_new_packet(packet, static_cast<int>(image.size()));
    if (result >= 0) {
        std::memcpy(packet->data, image.data(), image.size());
        packet->stream_index = stream->index;
        packet->flags |= AV_PKT_FLAG_KEY;
        packet->pts = packet->dts = 0;
        result = av_interleaved_write_frame(format, packet);
    }
    av_packet_free(&packet);
    return result;
}

}  // namespace quelt
