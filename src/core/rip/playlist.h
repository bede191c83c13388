// The M3U playlist a rip writes into its output folder.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace quelt {

// "<folder><yyyy>-<mm>-<dd> playlist.m3u" for the local date `date`.
std::string PlaylistPath(const std::string& outputFolder, const std::tm& date);

// Appends "#EXTM3U", then per path "#EXTINF:0, <file name>", the path and an empty line,
// each ending in "\n" and none with a trailing blank (a trailing blank would be part of the
// file name for players). A second rip on the same day appends to the same file. Returns
// false when the file cannot be written.
bool AppendPlaylist(const std::string& playlistPath, const std::vector<std::string>& paths);

}  // namespace quelt
