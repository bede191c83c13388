// A CDDB read reply on arbitrary bytes, through the same parser that reads server replies
// (libcddb's, fed from its local cache folder so that no server is needed) and then through
// the entry building with its text cleaning. The first byte gives the disc's track count.
#include <unistd.h>

#include <cddb/cddb.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/rip/cddb_entry.h"

namespace {

constexpr unsigned kDiscId = 0x0d000703;

const std::string& CacheFolder() {
    static const std::string folder = [] {
        std::string path = std::filesystem::temp_directory_path() /
                           ("quelt-fuzz-cddb-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path + "/misc");
        return path;
    }();
    return folder;
}

void Quiet(cddb_log_level_t, const char*) {}

}  // namespace

// libcddb loses the artist text it has built when a reply repeats a track's title line with
// an "Artist / Title" split (cddb_track_append_artist reallocates it, and the track keeps
// another copy). Its own parser, not ours: excused here so that fuzzing goes on past it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:cddb_track_append_artist\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("HOME", "/", 0);
    cddb_log_set_handler(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int tracks = 1 + data[0] % 99;
    char name[32];
    std::snprintf(name, sizeof name, "/misc/%08x", kDiscId);
    const std::string entryPath = CacheFolder() + name;
    if (FILE* file = std::fopen(entryPath.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    }

    cddb_conn_t* conn = cddb_new();
    cddb_disc_t* disc = cddb_disc_new();
    if (conn && disc) {
        cddb_cache_set_dir(conn, CacheFolder().c_str());
        cddb_cache_only(conn);
        for (int i = 0; i < tracks; ++i) {
            cddb_track_t* track = cddb_track_new();
            cddb_track_set_frame_offset(track, 150 + 1000 * i);
            cddb_disc_add_track(disc, track);
        }
        cddb_disc_set_length(disc, static_cast<unsigned>(20 + 14 * tracks));
        cddb_disc_set_category_str(disc, "misc");
        cddb_disc_set_discid(disc, kDiscId);
        quelt::FreedbEntry entry;
        if (cddb_read(conn, disc)) quelt::EntryFromCddbDisc(disc, tracks, entry);
    }
    if (disc) cddb_disc_destroy(disc);
    if (conn) cddb_destroy(conn);
    return 0;
}
