// Blanking a medium through libburn: a rewritable CD in a writer, or the file of a
// "stdio:" pseudo-drive, which blanking empties.
#pragma once

#include <libburn/libburn.h>

#include <functional>
#include <string>

namespace quelt {

// Why the medium in the grabbed writer cannot be blanked ("" when it can): no disc, a disc
// that is not rewritable, or one that is already blank.
std::string WriterEraseRefusal(burn::burn_drive* drive);

// Why the file of a pseudo-drive cannot be blanked ("" when it can): it is missing, cannot
// be written, or holds nothing.
std::string FileEraseRefusal(const std::string& path);

// Blanks the medium of the grabbed drive, fast (the table of contents only) or full,
// reporting rising percentages to `progress` from the calling thread. Returns "" or what
// went wrong. libburn offers no way to stop a blanking once it has started.
std::string BlankMedium(burn::burn_drive* drive, bool fast,
                        const std::function<void(double percent)>& progress);

// Grabs the file at `path` as a write-only pseudo-drive, the kind libburn blanks by
// emptying it, runs BlankMedium on it and gives it back.
std::string BlankFile(const std::string& path, bool fast,
                      const std::function<void(double percent)>& progress);

}  // namespace quelt
