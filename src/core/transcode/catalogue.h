// The fixed vocabulary of what a rip or a conversion produces: 13 output formats and
// 68 encoding presets, shown in the same order on the ripper and converter pages.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quelt {

struct OutputFormat {
    int row;
    std::string_view extension;  // lower case, with the leading dot
    std::string_view label;
    bool aac;  // AAC rows force the AAC codec whatever the container's default
};

inline constexpr int kOutputFormatCount = 13;
inline constexpr int kEncodePresetCount = 68;

// nullopt for a row outside 0..12.
std::optional<OutputFormat> OutputFormatRow(int row);
// True for the AAC rows (0..4), whose outputs are forced to the AAC codec.
bool IsAacRow(int row);
// Finds a format by its extension (".flac" or "flac", any case); nullopt when unknown.
std::optional<OutputFormat> OutputFormatByExtension(std::string_view extension);

// The label of preset `row` ("128kbit/s 44100Hz Mono ", trailing blank included);
// empty for a row outside 0..67.
std::string EncodePresetLabel(int row);
// The row of a label (exact text); -1 when no preset has it.
int EncodePresetRow(std::string_view label);

struct EncodeParameters {
    int bitRate = 0;     // bit/s
    int sampleRate = 0;  // Hz
    int channels = 2;
};

// Parses a preset label as a job does at start: word 0's leading digits x 1000 give the bit
// rate, word 1's leading digits the sample rate, and word 2 exactly "Mono" one channel.
EncodeParameters PresetFromLabel(std::string_view label);

// Containers whose encoders must put their codec headers into the global header.
bool NeedsGlobalHeader(std::string_view containerShortName);

}  // namespace quelt
