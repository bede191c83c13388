#include "core/rip/playlist.h"

#include <cstdio>
#include <fstream>

#include "core/naming/paths.h"
#include "core/naming/text.h"

namespace quelt {

std::string PlaylistPath(const std::string& outputFolder, const std::tm& date) {
    char name[64];
    std::snprintf(name, sizeof name, "%d-%s-%s playlist.m3u", date.tm_year + 1900,
                  FormatTrackNumber(date.tm_mon + 1, 2).c_str(), FormatTrackNumber(date.tm_mday, 2).c_str());
    return outputFolder + name;
}

bool AppendPlaylist(const std::string& playlistPath, const std::vector<std::string>& paths) {
    std::ofstream out(playlistPath, std::ios::binary | std::ios::app);
    if (!out) return false;
    out << "#EXTM3U\n";
    for (const auto& path : paths) {
        out << "#EXTINF:0, " << PathFileName(path) << "\n";
        out << path << "\n";
        out << "\n";
    }
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace quelt
