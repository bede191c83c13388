// The fixed vocabulary of what a rip or a conversion produces: the output formats and the
// encoding presets, shown in the same order on the ripper and converter pages. The first
// 13 formats and 68 presets are the classic lists; rows added later come after them, so a
// stored row number keeps its meaning.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quelt {

struct OutputFormat {
    int row;
    std::string_view extension;  // lower case, with the leading dot
    std::string_view label;
    bool aac;                       // AAC rows force the AAC codec whatever the container's default
    std::string_view encoder = {};  // an encoder by name instead of the container's default
    int fixedSampleRate = 0;        // the output's rate whatever the preset says (Opus: 48 kHz)
    bool lossless = false;          // offers "Same as source"
};

inline constexpr int kOutputFormatCount = 16;
inline constexpr int kEncodePresetCount = 69;
// The preset that keeps the source's sample rate, channel count and bit depth; only the
// lossless rows can use it.
inline constexpr int kSameAsSourcePreset = 68;
inline constexpr std::string_view kSameAsSourceLabel = "Same as source";

// nullopt for a row outside the list.
std::optional<OutputFormat> OutputFormatRow(int row);
// True for the AAC rows (0..4), whose outputs are forced to the AAC codec.
bool IsAacRow(int row);
// Finds a format by its extension (".flac" or "flac", any case); nullopt when unknown.
std::optional<OutputFormat> OutputFormatByExtension(std::string_view extension);

// The label of preset `row` ("128kbit/s 44100Hz Mono ", trailing blank included, or
// kSameAsSourceLabel); empty for a row outside the list.
std::string EncodePresetLabel(int row);
// The row of a label (exact text); -1 when no preset has it.
int EncodePresetRow(std::string_view label);

struct EncodeParameters {
    int bitRate = 0;     // bit/s
    int sampleRate = 0;  // Hz
    int channels = 2;
    bool sameAsSource = false;  // rate, channels and bit depth come from the source
};

// Parses a preset label as a job does at start: word 0's leading digits x 1000 give the bit
// rate, word 1's leading digits the sample rate, and word 2 exactly "Mono" one channel.
// kSameAsSourceLabel gives sameAsSource and no numbers.
EncodeParameters PresetFromLabel(std::string_view label);

// Containers whose encoders must put their codec headers into the global header.
bool NeedsGlobalHeader(std::string_view containerShortName);

}  // namespace quelt
