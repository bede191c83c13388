// Disc images and AccurateRip database entries for the tests: test tracks with a data track
// after them, shifted as a drive with a read offset returns them, and the reference
// checksums of tests/fixtures/accuraterip_reference.py (the published algorithm, written
// apart from the program's code), which can also write the disc's entry for a server.
#pragma once

#include <string>
#include <vector>

namespace quelt::test {

// Tracks of `trackSectors` sectors (TestPcm(sectors, index)) and a 300-sector data track,
// the audio moved `shiftFrames` frames later (silence before it, its last frames lost), or
// earlier when negative.
std::string MakeShiftedImage(const std::string& folder, const std::string& name,
                             const std::vector<int>& trackSectors, int shiftFrames = 0, int pregapSectors = 0);

struct ReferenceSums {
    std::string v1, v2, crc32;  // "%08X"
};

struct AccurateRipReference {
    std::string path;  // "/accuraterip/a/b/c/dBAR-....bin"
    std::vector<ReferenceSums> tracks;
};

// The reference's checksums of the image `cue`. With `entryArguments` ("--confidence N",
// "--wrong-track K") it also writes the disc's entry at servedRoot + path.
AccurateRipReference ReferenceOf(const std::string& cue, const std::string& servedRoot = "",
                                 const std::string& entryArguments = "");

}  // namespace quelt::test
