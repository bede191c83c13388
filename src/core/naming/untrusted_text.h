// Cleaning texts that come from outside (a CDDB server, CD-Text, a file's tags): the result is valid UTF-8
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

// The text as it may be printed on a terminal: control characters are written as escapes
// ("\n", "\r", "\t", "\e" or "\xNN" for each of their bytes) and every byte of an invalid
// UTF-8 sequence as "\xNN", so that no text can move the cursor, change colours or clear
// the screen. A backslash stays as it is.
std::string TerminalText(std::string_view text);

}  // namespace quelt
