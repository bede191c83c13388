// The image file writer: an Audio CD as a BIN/CUE pair, a data CD as an ISO file.
//
// The BIN holds every track's PCM (16-bit little-endian stereo at 44100 Hz, as in the WAV
// files) one after the other, each padded with silence to whole 2352-byte sectors; the
// CUE names that one BIN (readers such as libcdio take exactly one BIN per cue) and gives
// each track's start as INDEX 01 in minutes, seconds and 1/75 s frames. When the tracks
// carry tags, their CD-Text goes to a ".cdt" file that the cue names with CDTEXTFILE.
// Files are written under temporary names and renamed at the end, so a failed write
// leaves no half image behind.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/burn/iso_image.h"
#include "core/burn/wav_file.h"

namespace quelt {

inline constexpr int kCdAudioSectorBytes = 2352;
inline constexpr int kCdDataSectorBytes = 2048;
inline constexpr int kCdFramesPerSecond = 75;
// The 80-minute CD-R that the image writer reports as its medium.
inline constexpr int64_t kImageDiscSectors = 360000;

struct AudioTrackFile {
    std::string path;  // a WAV file
    WavLayout layout;  // IsCdAudio()
};

// Progress of a write, 0..100.
using WriteProgress = std::function<void(double percent)>;

// "mm:ss:ff" of a sector count.
std::string CueTime(int64_t sectors);
// Sectors a track of `pcmBytes` bytes fills, the last one padded.
int64_t AudioSectors(uint64_t pcmBytes);

// The file names of a BIN/CUE image for the path the user gave: the cue is that path
// (".cue" appended when it has another extension), the BIN and the CD-Text file take the
// cue's name with ".bin" and ".cdt".
struct CueImagePaths {
    std::string cue, bin, cdText;
};
CueImagePaths CueImagePathsFor(const std::string& imagePath);

// The files of the image at `imagePath` that exist already (the cue, BIN and CD-Text file
// of an Audio CD, the ISO file of a data CD): a front end asks before replacing them.
std::vector<std::string> ExistingImageFiles(const std::string& imagePath, bool dataCd);

// The reason a write stopped because `cancel` was raised.
inline constexpr const char* kImageWriteCancelledText = "Cancelled by user";

// Writes the Audio CD image. With `simulate` everything is read and checked and nothing
// is written. `cancel`, when given, is checked after every block: a cancelled write leaves
// nothing behind. Returns "" on success, else the reason.
std::string WriteCueBinImage(const std::string& imagePath,
                             const std::vector<AudioTrackFile>& tracks, bool simulate,
                             const WriteProgress& progress,
                             const std::atomic<bool>* cancel = nullptr);

// Writes the data CD image from `iso` to `isoPath`, or only reads it through with
// `simulate`; `cancel` as above. Returns "" on success, else the reason.
std::string WriteIsoImage(const std::string& isoPath, IsoImageStream& iso, bool simulate,
                          const WriteProgress& progress, const std::atomic<bool>* cancel = nullptr);

}  // namespace quelt
