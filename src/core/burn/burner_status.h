// The burner's status as the burner page and `quelt-cli burn` show it: starting the library
// and listing the writers, the medium lines, and the writable check of the burn start.
// Every library result goes through ReportBurnerResult with `sink`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/burn/burner_library.h"

namespace quelt {

inline constexpr const char* kNoCdBurnerEntry = "No CD Burner ...";
inline constexpr const char* kNoMediumText = "No Medium";
// The disc-type list of the page: entry 0 burns an Audio CD, entry 1 a data CD.
inline constexpr const char* kAudioCdEntry = "Audio CD";
inline constexpr const char* kDataCdEntry = "Data  CD(Audio)";

struct WriterList {
    std::vector<std::string>
        entries;          // the writer list's texts ("No CD Burner ..." alone without writers)
    int writerCount = 0;  // writers found
};

// The page's creation: Initialize, CreateProject(0), the options read and written back
// unchanged, GetDevices, and SetDevice with the first writer.
WriterList StartBurner(BurnerLibrary& library, const BurnerResultSink& sink = {});

// The three medium lines of the page. State and size stay unset when the library reports
// a state the page does not know (the lines then keep what they showed).
struct MediumLines {
    std::string type;
    std::optional<std::string> state;
    std::optional<std::string> size;
};

// Show medium: "No Medium", " ", "0" without a writer or a medium; otherwise the type
// text, "Empty Disc", "Incomplete Disc" or "Complete Disc", and the size as "%.2fMB".
MediumLines ShowMedium(BurnerLibrary& library, int writerCount, const BurnerResultSink& sink = {});

// True only with a writer holding an empty disc; incomplete and complete discs are refused.
bool IsWritableMedium(BurnerLibrary& library, int writerCount, const BurnerResultSink& sink = {});

}  // namespace quelt
