// Full output paths of a ripped track and a converted file. A name built from tags never
// leaves its output folder: "." and ".." parts are neutralised and empty parts collapse.
#pragma once

#include <string>

#include "core/naming/templates.h"

namespace quelt {

struct Settings;

// Folder + rip name + settings.ripExtension; creates the folder. No existence test:
// an existing file is overwritten.
std::string RipOutputPath(const Settings& settings, const TrackTags& tags);

struct ConvertTarget {
    std::string path;     // where to write
    bool skip = false;    // "IfExists" 2 and the file exists
    std::string logLine;  // the "IfExists" line for the log, empty when none
};

// The converted file's path for the source at list position tags.number - 1, with the
// "IfExists" rule applied (0 never overwrites: "n" is added until the name is unused).
ConvertTarget ConvertOutputPath(const Settings& settings, const std::string& sourcePath,
                                const TrackTags& tags);

}  // namespace quelt
