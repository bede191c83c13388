// CD-Text of an Audio CD: titles and performers of the disc and its tracks, as the
// 18-byte packs of the lead-in (built by libburn, block 0, ISO-8859-1).
#pragma once

#include <string>
#include <vector>

#include "core/burn/wav_file.h"
#include "core/transcode/expected.h"

namespace quelt {

struct CdTextTrack {
    std::string title;      // UTF-8
    std::string performer;  // UTF-8
};

struct CdTextDisc {
    std::string title;  // the album
    std::string performer;
    std::vector<CdTextTrack> tracks;

    bool Empty() const;
};

// The disc's text from the tags of its tracks' WAV files: the album and performer of the
// first track that has them, each track's own title and performer.
CdTextDisc CdTextFromTags(const std::vector<WavTags>& tracks);

// The packs of `disc`; none for a disc without any text. Characters outside ISO-8859-1
// become "?".
Expected<std::vector<unsigned char>> MakeCdTextPacks(const CdTextDisc& disc);

// The packs as a CD-Text file (".cdt") that a cue sheet names with CDTEXTFILE: the bare
// packs, which is the form libcdio's cue reader takes.
std::vector<unsigned char> CdTextFileBytes(const std::vector<unsigned char>& packs);

}  // namespace quelt
