#include "core/transcode/asset_tags.h"

#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

namespace quelt {
namespace {

constexpr uint64_t kMaxMoovBytes = 64u << 20;  // a moov box this big is not a music file's

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint64_t Be64(const uint8_t* p) { return uint64_t(Be32(p)) << 32 | Be32(p + 4); }

struct Box {
    std::string_view type;
    const uint8_t* body;
    size_t size;
};

// The child boxes of a box body; stops at the first malformed size.
std::vector<Box> Children(const uint8_t* data, size_t size) {
    std::vector<Box> boxes;
    size_t at = 0;
    while (size - at >= 8) {
        uint64_t length = Be32(data + at);
        size_t header = 8;
        if (length == 1) {
            if (size - at < 16) break;
            length = Be64(data + at + 8);
            header = 16;
        } else if (length == 0) {
            length = size - at;
        }
        if (length < header || length > size - at) break;
        boxes.push_back({std::string_view(reinterpret_cast<const char*>(data + at + 4), 4),
                         data + at + header, static_cast<size_t>(length - header)});
        at += static_cast<size_t>(length);
    }
    return boxes;
}

// An asset string: version and flags (4), pad bit and language (2), then a UTF-8 text ended
// by a zero (UTF-16 texts, marked by a byte-order mark, are not read). `rest` receives the
// bytes after the zero.
std::string AssetString(const Box& box, const uint8_t** rest = nullptr,
                        size_t* restSize = nullptr) {
    if (box.size < 6) return {};
    const uint8_t* text = box.body + 6;
    size_t length = box.size - 6;
    if (length >= 2 && text[0] == 0xFE && text[1] == 0xFF) return {};
    size_t end = 0;
    while (end < length && text[end] != 0) ++end;
    if (rest && end < length) {
        *rest = text + end + 1;
        *restSize = length - end - 1;
    }
    return std::string(reinterpret_cast<const char*>(text), end);
}

void Fill(std::string& field, const std::string& value) {
    if (field.empty()) field = value;
}

// Reads the payload of the top-level "moov" box.
bool ReadMoov(const std::string& path, std::vector<uint8_t>& moov) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    file.seekg(0, std::ios::end);
    const uint64_t fileSize = static_cast<uint64_t>(file.tellg());
    uint64_t at = 0;
    while (at + 8 <= fileSize) {
        uint8_t header[16];
        file.seekg(static_cast<std::streamoff>(at));
        if (!file.read(reinterpret_cast<char*>(header), 8)) return false;
        uint64_t length = Be32(header);
        uint64_t headerSize = 8;
        if (length == 1) {
            if (!file.read(reinterpret_cast<char*>(header + 8), 8)) return false;
            length = Be64(header + 8);
            headerSize = 16;
        } else if (length == 0) {
            length = fileSize - at;
        }
        if (length < headerSize || length > fileSize - at) return false;
        if (std::string_view(reinterpret_cast<const char*>(header + 4), 4) == "moov") {
            if (length - headerSize > kMaxMoovBytes) return false;
            moov.resize(static_cast<size_t>(length - headerSize));
            return static_cast<bool>(file.read(reinterpret_cast<char*>(moov.data()),
                                               static_cast<std::streamsize>(moov.size())));
        }
        at += length;
    }
    return false;
}

}  // namespace

bool ReadAssetTags(const std::string& path, MediaInfo& info) {
    std::vector<uint8_t> moov;
    if (!ReadMoov(path, moov)) return false;
    bool found = false;
    for (const Box& udta : Children(moov.data(), moov.size())) {
        if (udta.type != "udta") continue;
        found = true;
        for (const Box& box : Children(udta.body, udta.size)) {
            if (box.type == "titl")
                Fill(info.title, AssetString(box));
            else if (box.type == "perf" || box.type == "auth")
                Fill(info.artist, AssetString(box));
            else if (box.type == "gnre")
                Fill(info.genre, AssetString(box));
            else if (box.type == "dscp")
                Fill(info.comment, AssetString(box));
            else if (box.type == "cprt")
                Fill(info.copyright, AssetString(box));
            else if (box.type == "albm") {
                const uint8_t* rest = nullptr;
                size_t restSize = 0;
                Fill(info.album, AssetString(box, &rest, &restSize));
                if (info.track == 0 && rest && restSize >= 1) info.track = rest[0];
            } else if (box.type == "yrrc" && box.size >= 6 && info.year.empty()) {
                int year = box.body[4] << 8 | box.body[5];
                if (year > 0) info.year = std::to_string(year);
            }
        }
    }
    return found;
}

}  // namespace quelt
