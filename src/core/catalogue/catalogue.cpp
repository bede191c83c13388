#include "core/catalogue/catalogue.h"

#include <array>
#include <cctype>

namespace quelt {
namespace {

// clang-format off
constexpr std::array<OutputFormat, kOutputFormatCount> kFormats{{
    {0, ".3gp", ".3gp (AAC-Advanced Audio Coding)", true},
    {1, ".3g2", ".3g2 (AAC-Advanced Audio Coding)", true},
    {2, ".aac", ".aac (AAC-Advanced Audio Coding)", true},
    {3, ".mp4", ".mp4 (AAC-Advanced Audio Coding)", true},
    {4, ".m4a", ".m4a (AAC-Advanced Audio Coding)", true},
    {5, ".mp3", ".mp3 (MPEG Layer - 3)", false},
    {6, ".mp2", ".mp2 (MPEG Layer - 2)", false},
    {7, ".ogg", ".ogg (Ogg Vorbis)", false},
    {8, ".ac3", ".ac3 (Dolby Digital)", false},
    {9, ".flac", ".flac (Free Lossless Audio Codec)", false, {}, 0, true},
    {10, ".wav", ".wav (Standard)", false, {}, 0, true},
    {11, ".aiff", ".aiff (Macintosh)", false, {}, 0, true},
    {12, ".wma", ".wma (Microsoft Media Audio)", false},
    {13, ".opus", ".opus (Opus)", false, "libopus", 48000},
    {14, ".m4a", "ALAC (.m4a)", false, "alac", 0, true},
    {15, ".wv", ".wv (WavPack)", false, "wavpack", 0, true},
}};

struct Preset {
    int kbit;
    int rate;
    bool mono;
};

// In list order: falling bit rate; within one bit rate stereo first, each by falling rate.
constexpr std::array<Preset, kSameAsSourcePreset> kPresets{{
    {320, 44100, false}, {256, 44100, false}, {224, 44100, false}, {192, 44100, false},
    {160, 44100, false}, {160, 44100, true},
    {128, 44100, false}, {128, 44100, true},
    {112, 44100, false}, {112, 44100, true},
    {96, 44100, false},  {96, 32000, false},  {96, 44100, true},  {96, 32000, true},
    {64, 44100, false},  {64, 32000, false},  {64, 44100, true},  {64, 32000, true},
    {56, 44100, false},  {56, 32000, false},  {56, 24000, false}, {56, 22050, false},
    {56, 44100, true},   {56, 32000, true},   {56, 24000, true},  {56, 22050, true},
    {48, 44100, false},  {48, 32000, false},  {48, 24000, false}, {48, 22050, false},
    {48, 44100, true},   {48, 32000, true},   {48, 24000, true},  {48, 22050, true},
    {32, 24000, false},  {32, 22050, false},  {32, 16000, false}, {32, 12000, false},
    {32, 11025, false},  {32, 44100, true},   {32, 32000, true},  {32, 24000, true},
    {32, 22050, true},   {32, 16000, true},   {32, 12000, true},  {32, 11025, true},
    {24, 24000, false},  {24, 22050, false},  {24, 16000, false}, {24, 12000, false},
    {24, 11025, false},  {24, 32000, true},   {24, 24000, true},  {24, 22050, true},
    {24, 16000, true},   {24, 12000, true},   {24, 11025, true},
    {16, 12000, false},  {16, 11025, false},  {16, 8000, false},  {16, 24000, true},
    {16, 22050, true},   {16, 16000, true},   {16, 12000, true},  {16, 11025, true},
    {8, 12000, true},    {8, 11025, true},    {8, 8000, true},
}};
// clang-format on

int LeadingNumber(std::string_view word) {
    long long value = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = value * 10 + (c - '0');
        if (value > 2147483647LL / 1000) break;  // keeps K x 1000 inside 32 bits
    }
    return static_cast<int>(value);
}

std::string_view Word(std::string_view text, int n) {
    for (int i = 0;; ++i) {
        size_t blank = text.find(' ');
        if (i == n) return text.substr(0, blank);
        if (blank == std::string_view::npos) return {};
        text.remove_prefix(blank + 1);
    }
}

}  // namespace

std::optional<OutputFormat> OutputFormatRow(int row) {
    if (row < 0 || row >= kOutputFormatCount) return std::nullopt;
    return kFormats[row];
}

bool IsAacRow(int row) {
    const auto format = OutputFormatRow(row);
    return format && format->aac;
}

std::optional<OutputFormat> OutputFormatByExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    for (const auto& f : kFormats) {
        std::string_view ext = f.extension.substr(1);
        if (ext.size() != extension.size()) continue;
        bool same = true;
        for (size_t i = 0; i < ext.size(); ++i)
            same = same && std::tolower(static_cast<unsigned char>(extension[i])) == ext[i];
        if (same) return f;
    }
    return std::nullopt;
}

std::string EncodePresetLabel(int row) {
    if (row == kSameAsSourcePreset) return std::string(kSameAsSourceLabel);
    if (row < 0 || row >= kEncodePresetCount) return {};
    const Preset& p = kPresets[row];
    return std::to_string(p.kbit) + "kbit/s " + std::to_string(p.rate) + "Hz " +
           (p.mono ? "Mono " : "Stereo ");
}

int EncodePresetRow(std::string_view label) {
    for (int row = 0; row < kEncodePresetCount; ++row)
        if (EncodePresetLabel(row) == label) return row;
    return -1;
}

EncodeParameters PresetFromLabel(std::string_view label) {
    EncodeParameters p;
    if (label == kSameAsSourceLabel) {
        p.sameAsSource = true;
        p.channels = 0;
        return p;
    }
    p.bitRate = LeadingNumber(Word(label, 0)) * 1000;
    p.sampleRate = LeadingNumber(Word(label, 1));
    p.channels = Word(label, 2) == "Mono" ? 1 : 2;
    return p;
}

bool NeedsGlobalHeader(std::string_view name) {
    return name == "mp4" || name == "m4a" || name == "mov" || name == "3g2" || name == "3gp";
}

}  // namespace quelt
