// Cleaning texts that come from outside (a CDDB server, CD-Text): the result is valid UTF-8
// with no control characters and at most `maxBytes` bytes, cut at a character boundary.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quelt {

inline constexpr std::size_t kMaxTagBytes = 1024;

// Invalid UTF-8 sequences become U+FFFD; control characters (tabs and line breaks
// included) become blanks; leading and trailing blanks are trimmed.
std::string CleanUntrustedText(std::string_view text, std::size_t maxBytes = kMaxTagBytes);

}  // namespace quelt
