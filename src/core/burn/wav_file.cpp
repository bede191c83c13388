#include "core/burn/wav_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace quelt {
namespace {

constexpr int kFormatExtensible = 0xFFFE;

uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

bool WriteLe32At(std::fstream& file, uint64_t at, uint64_t value) {
    const unsigned char bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                                    uint8_t(value >> 24)};
    file.seekp(std::streamoff(at));
    return bool(file.write(reinterpret_cast<const char*>(bytes), 4));
}

// A zero-terminated text field of an INFO sub-chunk.
std::string InfoText(const std::vector<unsigned char>& body, size_t at, size_t size) {
    std::string text(reinterpret_cast<const char*>(body.data() + at), size);
    if (size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

void ReadInfoList(const std::vector<unsigned char>& body, WavTags& tags) {
    if (body.size() < 4 || std::memcmp(body.data(), "INFO", 4) != 0) return;
    size_t at = 4;
    while (at + 8 <= body.size()) {
        const unsigned char* head = body.data() + at;
        size_t size = Le32(head + 4);
        if (at + 8 + size > body.size()) break;
        std::string text = InfoText(body, at + 8, size);
        if (!std::memcmp(head, "INAM", 4))
            tags.title = text;
        else if (!std::memcmp(head, "IART", 4))
            tags.performer = text;
        else if (!std::memcmp(head, "IPRD", 4))
            tags.album = text;
        at += 8 + size + (size & 1);
    }
}

}  // namespace

Expected<WavLayout> ReadWavLayout(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure{"Cannot open " + path};
    std::error_code ec;
    const uint64_t fileSize = std::filesystem::file_size(path, ec);
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), 12) || std::memcmp(riff, "RIFF", 4) ||
        std::memcmp(riff + 8, "WAVE", 4))
        return Failure{"Not a WAVE file: " + path};
    WavLayout layout;
    bool haveFormat = false, haveData = false;
    uint64_t at = 12;
    while (at + 8 <= fileSize) {
        unsigned char head[8];
        in.seekg(std::streamoff(at));
        if (!in.read(reinterpret_cast<char*>(head), 8)) break;
        uint64_t size = Le32(head + 4);
        const uint64_t body = at + 8;
        if (!std::memcmp(head, "fmt ", 4) && size >= 16) {
            unsigned char fmt[40] = {};
            in.read(reinterpret_cast<char*>(fmt), std::streamsize(std::min<uint64_t>(size, 40)));
            layout.formatTag = Le16(fmt);
            layout.channels = Le16(fmt + 2);
            layout.sampleRate = int(Le32(fmt + 4));
            layout.bitsPerSample = Le16(fmt + 14);
            // The sub-format GUID of WAVE_FORMAT_EXTENSIBLE starts with the real tag.
            if (layout.formatTag == kFormatExtensible && size >= 26)
                layout.formatTag = Le16(fmt + 24);
            haveFormat = true;
        } else if (!std::memcmp(head, "data", 4)) {
            // A writer that never came back to fix the size leaves 0 or 0xFFFFFFFF: the
            // samples then run to the end of the file.
            const uint64_t rest = fileSize - body;
            if (size == 0 || size == 0xFFFFFFFFu || size > rest) size = rest;
            layout.dataOffset = body;
            layout.dataBytes = size;
            haveData = true;
        } else if (!std::memcmp(head, "LIST", 4) && size <= (1u << 20)) {
            std::vector<unsigned char> list(size);
            if (in.read(reinterpret_cast<char*>(list.data()), std::streamsize(size)))
                ReadInfoList(list, layout.tags);
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) return Failure{"No audio data in " + path};
    // Only whole sample frames are audio; a torn last frame is dropped.
    const uint64_t frame = uint64_t(layout.channels) * uint64_t(layout.bitsPerSample / 8);
    if (frame) layout.dataBytes -= layout.dataBytes % frame;
    return layout;
}

Expected<void> PadWavWithSilence(const std::string& path, uint64_t minDataBytes) {
    auto layout = ReadWavLayout(path);
    if (!layout) return Failure{layout.message()};
    if (layout->dataBytes >= minDataBytes) return {};
    std::error_code ec;
    const uint64_t fileSize = std::filesystem::file_size(path, ec);
    const uint64_t newSize = layout->dataOffset + minDataBytes;
    if (ec || layout->dataOffset + layout->dataBytes != fileSize || newSize - 8 > 0xFFFFFFFFu)
        return Failure{"Cannot pad " + path + ": its samples are not at its end"};
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(0, std::ios::end);
    const std::vector<char> silence(size_t(minDataBytes - layout->dataBytes), 0);
    if (!file || !file.write(silence.data(), std::streamsize(silence.size())) ||
        !WriteLe32At(file, 4, newSize - 8) ||
        !WriteLe32At(file, layout->dataOffset - 4, minDataBytes) || !file.flush())
        return Failure{"Cannot pad " + path};
    return {};
}

}  // namespace quelt
