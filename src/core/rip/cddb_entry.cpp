#include "core/rip/cddb_entry.h"

#include <cctype>
#include <string>

#include "core/naming/untrusted_text.h"

namespace quelt {
namespace {

bool StartsWithVarious(const std::string& artist) {
    std::string lower;
    for (char c : artist) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.rfind("various", 0) == 0;
}

}  // namespace

bool EntryFromCddbDisc(cddb_disc_t* disc, int trackCount, FreedbEntry& entry) {
    entry = FreedbEntry{};
    auto text = [](const char* s) { return CleanUntrustedText(s ? s : ""); };
    entry.artist = text(cddb_disc_get_artist(disc));
    entry.album = text(cddb_disc_get_title(disc));
    entry.genre = text(cddb_disc_get_genre(disc));
    if (entry.genre.empty()) entry.genre = text(cddb_disc_get_category_str(disc));
    unsigned year = cddb_disc_get_year(disc);
    entry.year = year <= 9999 ? static_cast<int>(year) : 0;
    const bool various = StartsWithVarious(entry.artist);
    bool anything = !entry.artist.empty() || !entry.album.empty();
    for (int i = 0; i < trackCount; ++i) {
        cddb_track_t* track = cddb_disc_get_track(disc, i);
        std::string title = text(track ? cddb_track_get_title(track) : nullptr);
        // libcddb splits every "Artist / Title" into the track's own artist; only a
        // various-artists disc keeps that split, elsewhere the title is whole again.
        std::string artist = text(track ? cddb_track_get_artist(track) : nullptr);
        if (artist.empty()) artist = entry.artist;
        if (!various && artist != entry.artist) {
            title = artist + " / " + title;
            artist = entry.artist;
        }
        auto slash = title.find(" / ");
        if (various && slash != std::string::npos) {
            artist = title.substr(0, slash);
            title = title.substr(slash + 3);
        }
        anything = anything || !title.empty();
        entry.trackArtists.push_back(artist);
        entry.trackTitles.push_back(title);
    }
    // A reply the library could not parse leaves every field empty.
    if (!anything) entry = FreedbEntry{};
    return anything;
}

}  // namespace quelt
