// The tests' MusicBrainz web service and Cover Art Archive as files for a static loopback
// web server: the reply to a disc id look-up (tests/fixtures/musicbrainz/discid.xml, two
// releases holding the disc) and the front cover of the second release.
#pragma once

#include <filesystem>
#include <string>

#include "support/fixtures.h"

namespace quelt::test {

inline const char* const kFirstRelease = "11111111-1111-4111-8111-111111111111";
inline const char* const kSecondRelease = "44444444-4444-4444-8444-444444444444";

// Writes the site under `root` for the disc `discId` of `sectors` sectors; false on failure.
inline bool WriteMusicBrainzSite(const std::string& root, const std::string& discId, int sectors) {
    std::string reply = ReadFile(std::string(QUELT_TEST_FIXTURES) + "/musicbrainz/discid.xml");
    for (auto [from, to] : {std::pair<std::string, std::string>{"@DISCID@", discId},
                            {"@SECTORS@", std::to_string(sectors)}})
        for (size_t at; (at = reply.find(from)) != std::string::npos;) reply.replace(at, from.size(), to);
    const std::string cover = root + "/release/" + kSecondRelease;
    std::filesystem::create_directories(root + "/ws/2/discid");
    std::filesystem::create_directories(cover);
    if (reply.empty() || !WriteFile(root + "/ws/2/discid/" + discId, reply)) return false;
    // The archive answers the cover without an extension; ffmpeg wants one to write it.
    if (Run("ffmpeg -v error -f lavfi -i color=c=orange:s=64x64 -frames:v 1 -y " +
            ShellQuote(cover + "/front.jpg")) != 0)
        return false;
    std::error_code error;
    std::filesystem::rename(cover + "/front.jpg", cover + "/front", error);
    return !error;
}

}  // namespace quelt::test
