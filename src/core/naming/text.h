// Small text helpers shared by every list, log and name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quelt {

// Field n (from 0) of a text whose fields each end with "|"; empty when absent.
std::string TagField(std::string_view text, int n);
// Width 2: "07", "12", "123"; width 3: "007", "012", "123"; other widths: "".
std::string FormatTrackNumber(int n, int width);
// "00:03:25" or, with a millisecond part, "00:03:25.250".
std::string FormatDuration(int64_t ms);
// 1 upper, 2 lower, 3 each blank-separated word capitalised (joined by single blanks),
// 4 first character upper and the rest lower; other modes "". UTF-8 aware.
std::string ChangeTextCase(std::string_view text, int mode);

}  // namespace quelt
