#include "support/accuraterip_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt::test {
namespace {

std::string Hex(const std::string& decimal) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", std::stoul(decimal));
    return text;
}

}  // namespace

std::string MakeShiftedImage(const std::string& folder, const std::string& name,
                             const std::vector<int>& trackSectors, int shiftFrames, int pregapSectors) {
    std::vector<int16_t> all;
    for (std::size_t i = 0; i < trackSectors.size(); ++i) {
        auto pcm = TestPcm(trackSectors[i], static_cast<int>(i));
        all.insert(all.end(), pcm.begin(), pcm.end());
    }
    const std::size_t shift = static_cast<std::size_t>(std::abs(shiftFrames)) * 2;
    if (shiftFrames >= 0) {
        all.insert(all.begin(), shift, 0);
        all.resize(all.size() - shift);
    } else {
        all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(shift));
        all.resize(all.size() + shift, 0);
    }
    DiscLayout layout;
    std::size_t at = 0;
    for (int sectors : trackSectors) {
        const std::size_t samples = static_cast<std::size_t>(sectors) * 588 * 2;
        layout.tracks.push_back({std::vector<int16_t>(all.begin() + at, all.begin() + at + samples), "", ""});
        at += samples;
    }
    layout.dataSectors = 300;
    layout.pregapSectors = pregapSectors;
    return MakeDiscImage(folder, name, layout);
}

AccurateRipReference ReferenceOf(const std::string& cue, const std::string& servedRoot,
                                 const std::string& entryArguments) {
    AccurateRipReference reference;
    const std::string script = std::string(QUELT_TEST_FIXTURES) + "/accuraterip_reference.py";
    const std::string probe = Capture("python3 " + ShellQuote(script) + " " + ShellQuote(cue));
    std::smatch m;
    if (std::regex_search(probe, m, std::regex(R"re("path": "([^"]+)")re"))) reference.path = m[1];
    const std::regex track(R"re("v1": (\d+), "v2": (\d+), "crc32": (\d+))re");
    for (auto it = std::sregex_iterator(probe.begin(), probe.end(), track); it != std::sregex_iterator(); ++it)
        reference.tracks.push_back({Hex((*it)[1]), Hex((*it)[2]), Hex((*it)[3])});
    if (!entryArguments.empty())
        Capture("python3 " + ShellQuote(script) + " " + ShellQuote(cue) + " --entry " +
                ShellQuote(servedRoot + reference.path) + " " + entryArguments);
    return reference;
}

}  // namespace quelt::test
