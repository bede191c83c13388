#include "core/burn/cd_text.h"

#include <cstdlib>
#include <memory>

#include "core/burn/libburn_runtime.h"

namespace quelt {
namespace {

constexpr int kPackTitle = 0x80;
constexpr int kPackPerformer = 0x81;
constexpr int kCharCodeLatin1 = 0x00;
constexpr int kLanguageEnglish = 0x09;
// libburn's limit for one text of one pack type.
constexpr size_t kMaxTextBytes = 160;

// UTF-8 to ISO-8859-1; anything beyond U+00FF and broken sequences become '?'.
std::string ToLatin1(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size() && out.size() < kMaxTextBytes;) {
        const unsigned char c = utf8[i];
        if (c < 0x80) {
            out += char(c);
            ++i;
            continue;
        }
        int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        unsigned codePoint = 0xFFFF;
        if (length == 2 && i + 1 < utf8.size() && (utf8[i + 1] & 0xC0) == 0x80)
            codePoint = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
        out += codePoint <= 0xFF ? char(codePoint) : '?';
        i += length;
    }
    return out;
}

struct SessionDeleter {
    void operator()(burn::burn_session* s) const { burn::burn_session_free(s); }
};

bool SetText(burn::burn_session* session, burn::burn_track* track, int packType,
             const std::string& utf8) {
    if (utf8.empty()) return true;
    std::string text = ToLatin1(utf8);
    auto* payload = reinterpret_cast<unsigned char*>(text.data());
    const int length = int(text.size()) + 1;  // with its terminating zero
    return track ? burn::burn_track_set_cdtext(track, 0, packType, nullptr, payload, length, 0) > 0
                 : burn::burn_session_set_cdtext(session, 0, packType, nullptr, payload, length,
                                                 0) > 0;
}

}  // namespace

bool CdTextDisc::Empty() const {
    // Text without a single title is left out: readers expect the title packs first.
    if (!title.empty()) return false;
    for (const auto& track : tracks)
        if (!track.title.empty()) return false;
    return true;
}

CdTextDisc CdTextFromTags(const std::vector<WavTags>& tracks) {
    CdTextDisc disc;
    for (const auto& tags : tracks) {
        if (disc.title.empty()) disc.title = tags.album;
        if (disc.performer.empty()) disc.performer = tags.performer;
        disc.tracks.push_back({tags.title, tags.performer});
    }
    return disc;
}

Expected<std::vector<unsigned char>> MakeCdTextPacks(const CdTextDisc& disc) {
    if (disc.Empty() || disc.tracks.empty()) return std::vector<unsigned char>();
    if (!LibburnRuntime::Instance().ok())
        return Failure{"The burning libraries could not be started"};
    std::unique_ptr<burn::burn_session, SessionDeleter> session(burn::burn_session_create());
    int charCodes[8] = {kCharCodeLatin1}, copyrights[8] = {0}, languages[8] = {kLanguageEnglish};
    burn::burn_session_set_cdtext_par(session.get(), charCodes, copyrights, languages, 0);
    bool ok = SetText(session.get(), nullptr, kPackTitle, disc.title) &&
              SetText(session.get(), nullptr, kPackPerformer, disc.performer);
    for (const auto& text : disc.tracks) {
        burn::burn_track* track = burn::burn_track_create();
        burn::burn_track_define_data(track, 0, 0, 1, BURN_AUDIO);
        ok = ok && SetText(nullptr, track, kPackTitle, text.title) &&
             SetText(nullptr, track, kPackPerformer, text.performer);
        burn::burn_session_add_track(session.get(), track, BURN_POS_END);
        burn::burn_track_free(track);
    }
    unsigned char* packs = nullptr;
    int count = 0;
    if (!ok || burn::burn_cdtext_from_session(session.get(), &packs, &count, 0) <= 0 || !packs) {
        const std::string reason = LibburnRuntime::Instance().TakeMessage();
        return Failure{reason.empty() ? "The CD-Text cannot be built" : reason};
    }
    std::vector<unsigned char> bytes(packs, packs + size_t(count) * 18);
    std::free(packs);
    return bytes;
}

std::vector<unsigned char> CdTextFileBytes(const std::vector<unsigned char>& packs) {
    return packs;
}

}  // namespace quelt
