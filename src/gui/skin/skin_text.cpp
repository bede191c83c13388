#include "gui/skin/skin_text.h"

#include <climits>
#include <cstdint>

namespace quelt::skin_text {

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) -> std::uint32_t {
        auto b0 = std::uint8_t(bytes[i]);
        auto b1 = std::uint8_t(bytes[i + 1]);
        return bigEndian ? (std::uint32_t(b0) << 8 | b1) : (std::uint32_t(b1) << 8 | b0);
    };
    std::size_t i = 0;
    const std::size_t n = bytes.size() & ~std::size_t(1);  // an odd last byte is dropped
    while (i < n) {
        std::uint32_t u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i < n) {
                std::uint32_t low = unit(i);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    i += 2;
                    AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                    continue;
                }
            }
            AppendUtf8(out, 0xFFFD);
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

}  // namespace

bool StartsWithUtf16Bom(std::string_view bytes) {
    return bytes.size() >= 2 && std::uint8_t(bytes[0]) == 0xFF && std::uint8_t(bytes[1]) == 0xFE;
}

std::string DecodeDescription(std::string_view bytes) {
    if (StartsWithUtf16Bom(bytes)) return DecodeUtf16(bytes.substr(2), false);
    if (bytes.size() >= 2 && std::uint8_t(bytes[0]) == 0xFE && std::uint8_t(bytes[1]) == 0xFF)
        return DecodeUtf16(bytes.substr(2), true);
    if (bytes.size() >= 3 && std::uint8_t(bytes[0]) == 0xEF && std::uint8_t(bytes[1]) == 0xBB &&
        std::uint8_t(bytes[2]) == 0xBF)
        return std::string(bytes.substr(3));
    return std::string(bytes);
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

std::string_view Trim(std::string_view text) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
    };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

int ParseInt(std::string_view text) {
    text = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return int(value);
}

std::string Cut(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    std::size_t end = limit;
    // Step back over continuation bytes so that no sequence is split.
    while (end > 0 && (std::uint8_t(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

}  // namespace quelt::skin_text
