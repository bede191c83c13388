// Odd media for tests, made with ffmpeg at test time: files without a known duration,
// video without audio, damaged copies.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "support/fixtures.h"

namespace quelt::test {

// A FLAC-in-Matroska tone written through a pipe, so its container states no duration.
inline bool MakeToneWithoutDuration(const std::string& path, double seconds = 2.0) {
    return Run("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i " +
               ShellQuote("sine=frequency=440:sample_rate=44100:duration=" +
                          std::to_string(seconds)) +
               " -ac 2 -c:a flac -f matroska - > " + ShellQuote(path)) == 0;
}

// A short video with no audio stream (MPEG-4 Part 2 in AVI).
inline bool MakeVideoOnly(const std::string& path, double seconds = 1.0) {
    return Run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i " +
               ShellQuote("testsrc=size=64x48:rate=10:duration=" + std::to_string(seconds)) +
               " -c:v mpeg4 " + ShellQuote(path)) == 0;
}

// Copies `from` to `to` with `count` bytes from a third of the way in replaced by random
// bytes (a fixed seed, so the damage is the same on every run).
inline bool CopyWithDamage(const std::string& from, const std::string& to, size_t count = 3000) {
    std::string bytes = ReadFile(from);
    if (bytes.size() < count * 3) return false;
    std::mt19937 random(3);
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + count; ++i)
        bytes[i] = static_cast<char>(random() & 0xff);
    return WriteFile(to, bytes);
}

// A WAV file with a one-second silent stereo stream whose header says `formatTag` and
// `bitsPerSample`: an unknown tag gives a stream without a decoder, a known tag with
// impossible parameters a decoder that refuses to open.
inline bool MakeOddWav(const std::string& path, uint16_t formatTag, uint16_t bitsPerSample) {
    auto le16 = [](std::string& s, uint16_t v) {
        s += static_cast<char>(v & 0xff), s += static_cast<char>(v >> 8);
    };
    auto le32 = [&](std::string& s, uint32_t v) { le16(s, v & 0xffff), le16(s, v >> 16); };
    std::string fmt;
    le16(fmt, formatTag);
    le16(fmt, 2);
    le32(fmt, 44100);
    le32(fmt, 176400);
    le16(fmt, 4);
    le16(fmt, bitsPerSample);
    std::string data(176400, '\0');
    std::string body = "WAVEfmt ";
    le32(body, static_cast<uint32_t>(fmt.size()));
    body += fmt + "data";
    le32(body, static_cast<uint32_t>(data.size()));
    body += data;
    std::string file = "RIFF";
    le32(file, static_cast<uint32_t>(body.size()));
    return WriteFile(path, file + body);
}

// Copies the first `keep` bytes of `from` to `to`.
inline bool CopyTruncated(const std::string& from, const std::string& to, size_t keep) {
    return WriteFile(to, ReadFile(from).substr(0, keep));
}

}  // namespace quelt::test
