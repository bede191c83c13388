#include "core/naming/untrusted_text.h"

#include <cstdint>

namespace quelt {
namespace {

// Length of the valid UTF-8 sequence at `s[i]`, 0 when it is not valid (overlong forms,
// surrogates and code points above U+10FFFF are invalid).
std::size_t ValidSequenceLength(std::string_view s, std::size_t i, uint32_t& cp) {
    auto byte = [&](std::size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t b0 = byte(i);
    std::size_t len;
    uint32_t min;
    if (b0 < 0x80) { cp = b0; return 1; }
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

bool IsControl(uint32_t cp) { return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0); }

}  // namespace

std::string CleanUntrustedText(std::string_view text, std::size_t maxBytes) {
    std::string out;
    out.reserve(text.size() < maxBytes ? text.size() : maxBytes);
    for (std::size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        std::size_t len = ValidSequenceLength(text, i, cp);
        std::string piece;
        if (len == 0) {
            piece = "\xEF\xBF\xBD";
            len = 1;
        } else if (IsControl(cp)) {
            piece = " ";
        } else {
            piece = std::string(text.substr(i, len));
        }
        if (out.size() + piece.size() > maxBytes) break;
        out += piece;
        i += len;
    }
    std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::size_t last = out.find_last_not_of(' ');
    return out.substr(first, last - first + 1);
}

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    auto hex = [&out](std::string_view bytes) {
        static const char kDigits[] = "0123456789abcdef";
        for (unsigned char b : bytes) out += std::string("\\x") + kDigits[b >> 4] + kDigits[b & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        std::size_t len = ValidSequenceLength(text, i, cp);
        if (len == 0) {
            hex(text.substr(i, 1));
            len = 1;
        } else if (cp == '\n') {
            out += "\\n";
        } else if (cp == '\r') {
            out += "\\r";
        } else if (cp == '\t') {
            out += "\\t";
        } else if (cp == 0x1B) {
            out += "\\e";
        } else if (IsControl(cp)) {
            hex(text.substr(i, len));
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

}  // namespace quelt
