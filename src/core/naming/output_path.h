// Full output paths of a ripped track and a converted file. A name built from tags never
// leaves its output folder: "." and ".." parts are neutralised and empty parts collapse.
#pragma once

#include <string>

#include "core/naming/output_claim.h"
#include "core/naming/templates.h"

namespace quelt {

struct Settings;

// Folder + rip name + settings.ripExtension; creates the folder, adding the folders it made
// to `createdFolders` when given. No existence test: an existing file is overwritten.
std::string RipOutputPath(const Settings& settings, const TrackTags& tags,
                          OutputClaim* createdFolders = nullptr);

struct ConvertTarget {
    std::string path;     // where to write
    bool skip = false;    // "IfExists" 2 and the file exists
    std::string logLine;  // the "IfExists" line for the log, empty when none
    OutputClaim claim;    // the name held while the file is written; Keep() once it is complete
};

// The converted file's path for the source at list position tags.number - 1, with the
// "IfExists" rule applied (0 never overwrites: "n" is added until the name is unused).
// An unused name is claimed at once (see OutputClaim), so that conversions running at the
// same time into one folder each get a name of their own; a name that another job claims
// first counts as existing. Folders made for the output are removed again, when empty, if
// the claim is not kept.
ConvertTarget ConvertOutputPath(const Settings& settings, const std::string& sourcePath,
                                const TrackTags& tags);

}  // namespace quelt
