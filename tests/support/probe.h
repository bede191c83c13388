// Test helpers that look at a written media file from the outside, with ffprobe and ffmpeg,
// so that a test never judges the pipeline's output with the pipeline's own code.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/fixtures.h"

namespace quelt::test {

struct AudioProbe {
    std::string codec;  // "aac", "mp3", "pcm_s16le", ...
    int sampleRate = 0;
    int channels = 0;
    std::string container;  // ffprobe's format name
};

// ffprobe's values of `entries` ("stream=sample_rate", "format=duration") for `path`, one
// per line, without the keys.
inline std::string ProbeEntry(const std::string& path, const std::string& entries) {
    std::string out = Capture("ffprobe -v error -show_entries " + entries +
                              " -of default=noprint_wrappers=1:nokey=1 " + ShellQuote(path));
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

// A digest of every decoded sample of `path` as 32-bit integers (24-bit audio keeps all
// its bits), for comparing two files' audio.
inline std::string SamplesDigest32(const std::string& path) {
    return Capture("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s32le - | md5sum");
}

// The first audio stream of `path` as ffprobe sees it; codec empty when there is none.
inline AudioProbe ProbeAudio(const std::string& path) {
    AudioProbe probe;
    std::istringstream lines(Capture(
        "ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels "
        "-show_entries format=format_name -of default=noprint_wrappers=1 " +
        ShellQuote(path)));
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "codec_name") probe.codec = value;
        if (key == "sample_rate") probe.sampleRate = std::atoi(value.c_str());
        if (key == "channels") probe.channels = std::atoi(value.c_str());
        if (key == "format_name") probe.container = value;
    }
    return probe;
}

// Decode time stamps of every audio packet, in the stream's time base ("N/A" packets give
// INT64_MIN).
inline std::vector<int64_t> PacketDts(const std::string& path) {
    std::vector<int64_t> dts;
    std::istringstream lines(
        Capture("ffprobe -v error -select_streams a:0 -show_entries packet=dts "
                "-of csv=p=0 " +
                ShellQuote(path)));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        dts.push_back(line == "N/A" ? INT64_MIN : std::strtoll(line.c_str(), nullptr, 10));
    }
    return dts;
}

// Frames (samples per channel) that ffmpeg decodes from `path` at its own rate.
inline int64_t DecodedFrames(const std::string& path, int channels) {
    return static_cast<int64_t>(DecodePcm(path).size()) / (channels > 0 ? channels : 1);
}

}  // namespace quelt::test
