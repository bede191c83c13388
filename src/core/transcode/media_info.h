// Probing a media file for its duration and tags: what the converter page lists for each file
// it adds and what the burner page takes a file's length from.
#pragma once

#include <cstdint>
#include <string>

#include "core/transcode/expected.h"

namespace quelt {

struct MediaInfo {
    int64_t durationMs = 0;  // the container's duration; 0 when it does not know it
    // Container tags (an Ogg file's Vorbis comments count as the container's).
    std::string artist, album, title, genre;
    std::string year;  // the leading number of the date tag written with "%d"; "" when none
    std::string comment, copyright;
    int track = 0;  // the leading number of the track tag ("3/12" gives 3); 0 when none
    // What the probe found, for listings such as `quelt-cli info`.
    bool hasAudio = false;  // an audio stream whose decoder opened
    bool hasVideo = false;  // a video stream whose decoder opened
    int sampleRate = 0;     // of the audio stream, 0 without one
    int channels = 0;
    std::string codecName;      // of the audio stream ("flac"), else of the video stream
    std::string containerName;  // "flac", "mov,mp4,m4a,3gp,3g2,mj2", ...
};

// Opens `path`, reads its stream information and tries the last video and the last audio
// stream's decoders. Fails (with a short English reason) when the file cannot be opened or
// read, or when neither stream has a decoder that opens; a video-only file succeeds.
// Thread-safe; each call opens its own file.
Expected<MediaInfo> ReadMediaInfo(const std::string& path);

}  // namespace quelt
