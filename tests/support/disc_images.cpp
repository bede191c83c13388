#include "support/disc_images.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "support/fixtures.h"

namespace quelt::test {
namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string ScriptPath() { return std::string(QUELT_TEST_FIXTURES) + "/../../scripts/make-disc-image"; }

}  // namespace

std::vector<int16_t> TestPcm(int sectors, int seed) {
    const std::size_t frames = static_cast<std::size_t>(sectors) * 588;
    std::vector<int16_t> pcm(frames * 2);
    uint32_t noise = 12345u + static_cast<uint32_t>(seed) * 7919u;
    const double left = 220.0 * (1 + seed % 7), right = 330.0 * (1 + seed % 5);
    for (std::size_t i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const int jitter = static_cast<int>(noise >> 24) - 128;
        pcm[2 * i] = static_cast<int16_t>(9000 * std::sin(2 * M_PI * left * i / 44100.0) + jitter);
        pcm[2 * i + 1] = static_cast<int16_t>(7000 * std::sin(2 * M_PI * right * i / 44100.0) - jitter);
    }
    return pcm;
}

std::string MakeDiscImage(const std::string& folder, const std::string& name, const DiscLayout& layout) {
    std::string json = "{\"cue\": " + JsonString(folder + "/" + name + ".cue") + ", \"artist\": " +
                       JsonString(layout.artist) + ", \"album\": " + JsonString(layout.album) +
                       ", \"cdtext\": " + (layout.cdText ? "true" : "false") +
                       ", \"data_sectors\": " + std::to_string(layout.dataSectors) +
                       ", \"pregap_sectors\": " + std::to_string(layout.pregapSectors) +
                       ", \"extra_file_line\": " + (layout.extraFileLine ? "true" : "false") + ", \"tracks\": [";
    for (std::size_t i = 0; i < layout.tracks.size(); ++i) {
        const std::string raw = folder + "/" + name + "-track" + std::to_string(i + 1) + ".raw";
        std::ofstream out(raw, std::ios::binary);
        out.write(reinterpret_cast<const char*>(layout.tracks[i].pcm.data()),
                  static_cast<std::streamsize>(layout.tracks[i].pcm.size() * 2));
        if (!out) return {};
        json += std::string(i ? ", " : "") + "{\"pcm\": " + JsonString(raw) + ", \"title\": " +
                JsonString(layout.tracks[i].title) + ", \"artist\": " + JsonString(layout.tracks[i].artist) + "}";
    }
    json += "]}";
    const std::string layoutPath = folder + "/" + name + ".json";
    {
        std::ofstream out(layoutPath);
        out << json;
        if (!out) return {};
    }
    if (Run("python3 " + ShellQuote(ScriptPath()) + " layout " + ShellQuote(layoutPath)) != 0) return {};
    return folder + "/" + name + ".cue";
}

std::string MakeDiscImage(const std::string& folder, const std::string& name,
                          const std::vector<int>& trackSectors) {
    DiscLayout layout;
    for (std::size_t i = 0; i < trackSectors.size(); ++i)
        layout.tracks.push_back({TestPcm(trackSectors[i], static_cast<int>(i) + 1), "", ""});
    return MakeDiscImage(folder, name, layout);
}

std::vector<int16_t> ReadRawPcm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> pcm(bytes.size() / 2);
    std::copy_n(reinterpret_cast<const int16_t*>(bytes.data()), pcm.size(), pcm.data());
    return pcm;
}

bool PlayedExactly(const std::vector<int16_t>& played, const std::vector<int16_t>& expected) {
    auto sound = [](const std::vector<int16_t>& pcm) {
        std::vector<int16_t> samples;
        std::copy_if(pcm.begin(), pcm.end(), std::back_inserter(samples),
                     [](int16_t v) { return v != 0; });
        return samples;
    };
    const std::vector<int16_t> wanted = sound(expected);
    return !wanted.empty() && sound(played) == wanted;
}

}  // namespace quelt::test
