#include "support/fixtures.h"

#include <unistd.h>

#include <array>
#include <cstring>
#include <sys/wait.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace quelt::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::random_device rd;
    for (;;) {
        path_ = fs::temp_directory_path() /
                ("quelt-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directories(path_, ec)) break;
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string ScratchDir::File(const std::string& name) const { return (path_ / name).string(); }

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int Run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Capture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

bool MakeTone(const std::string& path, const ToneOptions& toneOptions) {
    std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i " +
                      ShellQuote("sine=frequency=" + std::to_string(toneOptions.frequency) +
                                 ":sample_rate=" + std::to_string(toneOptions.sampleRate) +
                                 ":duration=" + std::to_string(toneOptions.seconds)) +
                      " -ac " + std::to_string(toneOptions.channels);
    for (const auto& [key, value] : toneOptions.tags) cmd += " -metadata " + ShellQuote(key + "=" + value);
    cmd += " " + toneOptions.extraArgs + " " + ShellQuote(path);
    return Run(cmd) == 0;
}

std::vector<int16_t> DecodePcm(const std::string& path) {
    std::string raw = Capture("ffmpeg -nostdin -hide_banner -loglevel error -i " + ShellQuote(path) +
                              " -f s16le -acodec pcm_s16le -");
    std::vector<int16_t> pcm(raw.size() / 2);
    std::memcpy(pcm.data(), raw.data(), pcm.size() * 2);
    return pcm;
}

std::string DecodePcmBytes(const std::string& path) {
    const std::vector<int16_t> pcm = DecodePcm(path);
    return std::string(reinterpret_cast<const char*>(pcm.data()), pcm.size() * sizeof(int16_t));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace quelt::test
