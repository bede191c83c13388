// Text helpers of the skin reader: decoding a description file to UTF-8 and the reading
// rules of profile values. Internal to the skin reader (and its tests).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quelt::skin_text {

// True when `bytes` begins with the UTF-16 little-endian byte-order mark FF FE.
bool StartsWithUtf16Bom(std::string_view bytes);

// The description as UTF-8: UTF-16LE (with FF FE) and UTF-16BE (with FE FF) are decoded,
// a UTF-8 byte-order mark is dropped, anything else is taken as it is. Unpaired
// surrogates decode to U+FFFD.
std::string DecodeDescription(std::string_view bytes);

// ASCII lower case (names are ASCII; other bytes are left alone).
std::string Lower(std::string_view text);
std::string Upper(std::string_view text);
std::string_view Trim(std::string_view text);

// An optional sign and decimal digits at the start of `text` (after blanks); 0 when it does
// not begin with a number; values beyond int clamp to its range.
int ParseInt(std::string_view text);

// `text` cut to at most `limit` bytes, never inside a UTF-8 sequence.
std::string Cut(std::string_view text, std::size_t limit);

}  // namespace quelt::skin_text
