// The front cover embedded as an attached picture: APIC in MP3, covr in MP4/M4A, a picture
// block in FLAC. Other containers get no picture.
#pragma once

#include <string>

struct AVFormatContext;
struct AVStream;

namespace quelt {

// Adds the picture stream for a JPEG `image` to an output being set up (before its header).
// Returns nullptr when the container takes no picture or `image` is not a readable JPEG.
AVStream* AddCoverStream(AVFormatContext* format, const std::string& image);

// Writes the picture right after the header, before any audio. Returns an FFmpeg error code
// (0 on success).
int WriteCoverPicture(AVFormatContext* format, AVStream* stream, const std::string& image);

}  // namespace quelt
