// Test helpers: a scratch folder per test and media files made by FFmpeg's own encoders.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace quelt::test {

// A fresh folder under the system temp folder, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path() / name, as a string.
    std::string File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Runs a shell command; returns its exit status. Output goes to the test's log.
int Run(const std::string& command);
// Runs a shell command and returns what it printed on standard output.
std::string Capture(const std::string& command);
// Quotes a text for the shell.
std::string ShellQuote(const std::string& text);

struct ToneOptions {
    double seconds = 2.0;
    int sampleRate = 44100;
    int channels = 2;
    double frequency = 440.0;
    std::vector<std::pair<std::string, std::string>> tags;  // container metadata
    std::string extraArgs;  // further ffmpeg output options (codec, bit rate)
};

// Writes a sine tone with ffmpeg; the container follows the extension. Fails the test
// (returns false) when ffmpeg fails.
bool MakeTone(const std::string& path, const ToneOptions& toneOptions = {});

// Decodes a file with ffmpeg to interleaved signed 16-bit PCM at its own rate and channels.
std::vector<int16_t> DecodePcm(const std::string& path);
// The same samples as the bytes a WAV file or a CD track holds (little-endian).
std::string DecodePcmBytes(const std::string& path);

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Replaces a file's content with `bytes`; false when it cannot be written.
bool WriteFile(const std::string& path, const std::string& bytes);

}  // namespace quelt::test
