#include "core/naming/text.h"

#include <locale.h>
#include <wctype.h>

#include <cstdio>

namespace quelt {
namespace {

// A UTF-8 character set for case mapping, made once and never installed as the thread's
// or the process's locale, so nothing else in the program changes behaviour. Null when
// the system has no UTF-8 locale; case mapping is then limited to ASCII.
locale_t Utf8Locale() {
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr)))
                return l;
        return static_cast<locale_t>(nullptr);
    }();
    return locale;
}

enum class Case { kUpper, kLower };

// Decodes one UTF-8 character at text[pos]; returns its length (at least 1) and sets
// `code` to its code point, or to -1 for a byte that does not start a valid sequence.
size_t DecodeOne(std::string_view text, size_t pos, long& code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    code = -1;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    size_t length = lead >= 0xF0 && lead <= 0xF4  ? 4
                    : lead >= 0xE0                ? 3
                    : lead >= 0xC2 && lead < 0xE0 ? 2
                                                  : 0;
    if (length == 0 || lead > 0xF4 || pos + length > text.size()) return 1;
    long value = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 1;
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    const long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < minimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 1;
    code = value;
    return length;
}

void Encode(long code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

long MapCase(long code, Case to) {
    if (locale_t locale = Utf8Locale()) {
        wint_t mapped = to == Case::kUpper ? towupper_l(static_cast<wint_t>(code), locale)
                                           : towlower_l(static_cast<wint_t>(code), locale);
        return static_cast<long>(mapped);
    }
    if (to == Case::kUpper && code >= 'a' && code <= 'z') return code - 'a' + 'A';
    if (to == Case::kLower && code >= 'A' && code <= 'Z') return code - 'A' + 'a';
    return code;
}

// Appends `text` to `out`, its first `firstCount` characters mapped to `first` and the rest
// to `rest`. Bytes that are not valid UTF-8 pass through unchanged.
void AppendCased(std::string_view text, size_t firstCount, Case first, Case rest,
                 std::string& out) {
    size_t index = 0;
    for (size_t pos = 0; pos < text.size(); ++index) {
        long code;
        size_t length = DecodeOne(text, pos, code);
        long mapped = code < 0 ? code : MapCase(code, index < firstCount ? first : rest);
        if (mapped == code || mapped < 0 || mapped > 0x10FFFF)
            out.append(text.substr(pos, length));
        else
            Encode(mapped, out);
        pos += length;
    }
}

}  // namespace

std::string TagField(std::string_view text, int n) {
    if (n < 0) return {};
    for (int i = 0; i < n; ++i) {
        size_t bar = text.find('|');
        if (bar == std::string_view::npos) return {};
        text.remove_prefix(bar + 1);
    }
    return std::string(text.substr(0, text.find('|')));
}

std::string FormatTrackNumber(int n, int width) {
    std::string number = std::to_string(n);
    if (width == 2) return n < 10 ? "0" + number : number;
    if (width == 3) return n < 10 ? "00" + number : n <= 99 ? "0" + number : number;
    return {};
}

std::string FormatDuration(int64_t ms) {
    if (ms < 0) ms = 0;
    const int64_t millis = ms % 1000;
    const int64_t seconds = ms / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    std::string result = text;
    if (millis != 0) {
        result += '.';
        result += FormatTrackNumber(static_cast<int>(millis), 3);
    }
    return result;
}

std::string ChangeTextCase(std::string_view text, int mode) {
    std::string out;
    out.reserve(text.size());
    switch (mode) {
        case 1:
            AppendCased(text, 0, Case::kUpper, Case::kUpper, out);
            break;
        case 2:
            AppendCased(text, 0, Case::kLower, Case::kLower, out);
            break;
        case 3:
            while (!text.empty()) {
                size_t start = text.find_first_not_of(' ');
                if (start == std::string_view::npos) break;
                text.remove_prefix(start);
                size_t end = text.find(' ');
                if (!out.empty()) out += ' ';
                AppendCased(text.substr(0, end), 1, Case::kUpper, Case::kLower, out);
                text.remove_prefix(end == std::string_view::npos ? text.size() : end);
            }
            break;
        case 4:
            AppendCased(text, 1, Case::kUpper, Case::kLower, out);
            break;
        default:
            break;
    }
    return out;
}

}  // namespace quelt
