#include "core/burn/image_writer.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/burn/cd_text.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCopyBlock = 64 * kCdAudioSectorBytes;

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

// A file written under a temporary name in the same folder and renamed when complete.
class PendingFile {
  public:
    explicit PendingFile(std::string path)
        : path_(std::move(path)),
          temporary_((fs::path(path_).parent_path() / ("." + FileName(path_) + ".part")).string()) {
    }
    ~PendingFile() {
        if (!committed_) {
            out_.close();
            std::error_code ec;
            fs::remove(temporary_, ec);
        }
    }

    bool Open(std::string& error) {
        out_.open(temporary_, std::ios::binary | std::ios::trunc);
        if (!out_) error = "Cannot create " + path_ + " (" + std::strerror(errno) + ")";
        return bool(out_);
    }
    bool Write(const void* data, size_t bytes, std::string& error) {
        out_.write(static_cast<const char*>(data), std::streamsize(bytes));
        if (!out_) error = "Cannot write " + path_ + " (" + std::strerror(errno) + ")";
        return bool(out_);
    }
    bool Commit(std::string& error) {
        out_.close();
        if (out_.fail()) {
            error = "Cannot write " + path_;
            return false;
        }
        std::error_code ec;
        fs::rename(temporary_, path_, ec);
        if (ec) {
            error = "Cannot write " + path_ + " (" + ec.message() + ")";
            return false;
        }
        committed_ = true;
        return true;
    }

  private:
    std::string path_, temporary_;
    std::ofstream out_;
    bool committed_ = false;
};

std::string CueSheet(const CueImagePaths& paths, const std::vector<AudioTrackFile>& tracks,
                     bool withCdText) {
    std::string cue = "REM Audio CD written by Quelt CD Ripper Pro\n";
    if (withCdText) cue += "CDTEXTFILE \"" + FileName(paths.cdText) + "\"\n";
    cue += "FILE \"" + FileName(paths.bin) + "\" BINARY\n";
    int64_t start = 0;
    char line[64];
    for (size_t i = 0; i < tracks.size(); ++i) {
        std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\n    INDEX 01 %s\n", i + 1,
                      CueTime(start).c_str());
        cue += line;
        start += AudioSectors(tracks[i].layout.dataBytes);
    }
    return cue;
}

}  // namespace

std::string CueTime(int64_t sectors) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(sectors / (60 * kCdFramesPerSecond)),
                  int(sectors / kCdFramesPerSecond % 60), int(sectors % kCdFramesPerSecond));
    return text;
}

int64_t AudioSectors(uint64_t pcmBytes) {
    return int64_t((pcmBytes + kCdAudioSectorBytes - 1) / kCdAudioSectorBytes);
}

CueImagePaths CueImagePathsFor(const std::string& imagePath) {
    fs::path cue(imagePath);
    std::string extension = cue.extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".cue") cue += ".cue";
    CueImagePaths paths;
    paths.cue = cue.string();
    paths.bin = fs::path(cue).replace_extension(".bin").string();
    paths.cdText = fs::path(cue).replace_extension(".cdt").string();
    return paths;
}

std::vector<std::string> ExistingImageFiles(const std::string& imagePath, bool dataCd) {
    std::vector<std::string> candidates{imagePath};
    if (!dataCd) {
        const CueImagePaths paths = CueImagePathsFor(imagePath);
        candidates = {paths.cue, paths.bin, paths.cdText};
    }
    std::vector<std::string> existing;
    for (const auto& path : candidates) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(path, ec))) existing.push_back(path);
    }
    return existing;
}

std::string WriteCueBinImage(const std::string& imagePath,
                             const std::vector<AudioTrackFile>& tracks, bool simulate,
                             const WriteProgress& progress, const std::atomic<bool>* cancel) {
    if (tracks.empty()) return "There are no tracks to write";
    const CueImagePaths paths = CueImagePathsFor(imagePath);
    if (FileName(paths.cue).find('"') != std::string::npos)
        return "An image name cannot hold a double quote: " + paths.cue;

    std::vector<WavTags> tags;
    uint64_t totalBytes = 0;
    for (const auto& track : tracks) {
        tags.push_back(track.layout.tags);
        totalBytes += uint64_t(AudioSectors(track.layout.dataBytes)) * kCdAudioSectorBytes;
    }
    const auto madePacks = MakeCdTextPacks(CdTextFromTags(tags));
    if (!madePacks) return madePacks.message();
    const std::vector<unsigned char>& packs = *madePacks;
    std::string error;

    PendingFile bin(paths.bin), cdText(paths.cdText), cue(paths.cue);
    if (!simulate && !bin.Open(error)) return error;
    std::vector<char> block(kCopyBlock);
    uint64_t done = 0;
    for (const auto& track : tracks) {
        std::ifstream in(track.path, std::ios::binary);
        in.seekg(std::streamoff(track.layout.dataOffset));
        if (!in) return "Cannot read " + track.path;
        const uint64_t padded =
            uint64_t(AudioSectors(track.layout.dataBytes)) * kCdAudioSectorBytes;
        for (uint64_t at = 0; at < padded;) {
            const size_t n = size_t(std::min<uint64_t>(block.size(), padded - at));
            const uint64_t fromFile = at < track.layout.dataBytes
                                          ? std::min<uint64_t>(n, track.layout.dataBytes - at)
                                          : 0;
            if (fromFile && !in.read(block.data(), std::streamsize(fromFile)))
                return "Cannot read " + track.path + " (it is shorter than its header says)";
            std::memset(block.data() + fromFile, 0, n - fromFile);
            if (cancel && cancel->load()) return kImageWriteCancelledText;
            if (!simulate && !bin.Write(block.data(), n, error)) return error;
            at += n;
            done += n;
            if (progress) progress(100.0 * double(done) / double(totalBytes));
        }
    }
    if (simulate) return "";
    if (!packs.empty()) {
        const auto bytes = CdTextFileBytes(packs);
        if (!cdText.Open(error) || !cdText.Write(bytes.data(), bytes.size(), error)) return error;
    }
    const std::string sheet = CueSheet(paths, tracks, !packs.empty());
    if (!cue.Open(error) || !cue.Write(sheet.data(), sheet.size(), error)) return error;
    if (!bin.Commit(error)) return error;
    if (!packs.empty() && !cdText.Commit(error)) return error;
    if (packs.empty()) {
        // A CD-Text file of an earlier image of that name would no longer fit this one.
        std::error_code ec;
        fs::remove(paths.cdText, ec);
    }
    return cue.Commit(error) ? "" : error;
}

std::string WriteIsoImage(const std::string& isoPath, IsoImageStream& iso, bool simulate,
                          const WriteProgress& progress, const std::atomic<bool>* cancel) {
    PendingFile out(isoPath);
    std::string error;
    if (!simulate && !out.Open(error)) return error;
    burn::burn_source* source = iso.source();
    const int64_t total = iso.sizeBytes();
    // libisofs hands its image out one sector per read, as libburn asks for it: a longer
    // read at the end of the image would find the end and return nothing.
    std::vector<unsigned char> sector(kCdDataSectorBytes);
    int64_t done = 0;
    for (;;) {
        const int n = source->read_xt ? source->read_xt(source, sector.data(), int(sector.size()))
                                      : source->read(source, sector.data(), int(sector.size()));
        if (n < 0) return "The disc image could not be generated";
        if (n == 0) break;
        if (cancel && cancel->load()) return kImageWriteCancelledText;
        if (!simulate && !out.Write(sector.data(), size_t(n), error)) return error;
        done += n;
        if (progress && total > 0 && (done % (64 * kCdDataSectorBytes) == 0 || done == total))
            progress(100.0 * double(done) / double(total));
    }
    if (total > 0 && done != total) return "The disc image ended early";
    return simulate || out.Commit(error) ? "" : error;
}

}  // namespace quelt
