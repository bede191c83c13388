// MusicBrainz, CD-Text and cover art as a user meets them through quelt-cli: a generated
// image with CD-Text, an MCN and ISRCs; a loopback web server answering the MusicBrainz web
// service for the image's disc id with two releases and holding a front cover; the tags
// read back with ffprobe.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/cddb_server.h"
#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"
#include "support/http_server.h"
#include "support/musicbrainz_site.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

constexpr int kTrackSectors[] = {300, 450, 375};

// The disc id worked out by hand from the image's table of contents (SHA-1 over the
// hexadecimal TOC, base64 with MusicBrainz's alphabet), without libdiscid.
std::string HandDiscId() {
    std::string offsets = "150";
    int sector = 150;
    for (int sectors : kTrackSectors) offsets += "," + std::to_string(sector += sectors);
    const std::string script =
        "import base64,hashlib\n"
        "o=[" + offsets + "]\n"
        "toc=[o[-1]]+o[:-1]\n"
        "s='%02X%02X'%(1,len(o)-1)+''.join('%08X'%(toc[i] if i<len(toc) else 0) for i in range(100))\n"
        "print(base64.b64encode(hashlib.sha1(s.encode()).digest()).decode()"
        ".replace('+','.').replace('/','_').replace('=','-'))\n";
    std::string id = Capture("python3 -c " + ShellQuote(script));
    while (!id.empty() && (id.back() == '\n' || id.back() == '\r')) id.pop_back();
    return id;
}

// Tag name (lower case) -> value of the container and of the first audio stream.
std::map<std::string, std::string> ProbeTags(const std::string& path) {
    std::map<std::string, std::string> tags;
    std::istringstream lines(Capture(
        "ffprobe -v error -show_entries format_tags:stream_tags -of default=noprint_wrappers=1 " +
        ShellQuote(path)));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (line.rfind("TAG:", 0) != 0 || eq == std::string::npos) continue;
        std::string key = line.substr(4, eq - 4);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        tags.emplace(key, line.substr(eq + 1));
    }
    return tags;
}

// Whether ffprobe sees an attached picture in `path`.
bool HasAttachedPicture(const std::string& path) {
    return Capture("ffprobe -v error -show_entries stream_disposition=attached_pic -of csv=p=0 " +
                   ShellQuote(path))
               .find('1') != std::string::npos;
}

class CliMusicBrainz : public CliTest {
  protected:
    void SetUp() override {
        DiscLayout layout;
        layout.cdText = true;
        layout.artist = "Cdtext Band";
        layout.album = "Cdtext Album";
        const char* titles[] = {"Text One", "Text Two", "Text Three"};
        for (int i = 0; i < 3; ++i)
            layout.tracks.push_back({TestPcm(kTrackSectors[i], i), titles[i], "Cdtext Band"});
        cue_ = MakeDiscImage(home_.path().string(), "album", layout);
        ASSERT_FALSE(cue_.empty());
        AddCodesToCue();

        // The web service answers only the hand-computed disc id.
        discId_ = HandDiscId();
        ASSERT_EQ(discId_.size(), 28u) << discId_;
        ASSERT_TRUE(WriteMusicBrainzSite(root_, discId_, 150 + 300 + 450 + 375));
        server_ = std::make_unique<HttpServer>(root_);
        ASSERT_TRUE(server_->running());
    }

    // An MCN for the disc and an ISRC for every track, as a mastering house's cue sheet has.
    void AddCodesToCue() {
        std::ifstream in(cue_);
        std::string line, text = "CATALOG 5012345678900\n";
        int track = 0;
        while (std::getline(in, line)) {
            text += line + "\n";
            if (line.find("TRACK") != std::string::npos) text += "    ISRC GBQLT010000" + std::to_string(++track) + "\n";
        }
        ASSERT_TRUE(WriteFile(cue_, text));
    }

    std::string Server() const { return "127.0.0.1:" + std::to_string(server_->port()); }

    std::string root_ = home_.File("web");
    std::string out_ = home_.File("out") + "/";
    std::string cue_, discId_;
    std::unique_ptr<HttpServer> server_;
};

TEST_F(CliMusicBrainz, RipsWithTheChosenReleaseEveryTagAndTheCover) {
    const std::string common = " --musicbrainz --musicbrainz-server " + Server() +
                               " --coverart-server " + ShellQuote(server_->Url()) +
                               " --metadata --name-template 8 --case 3 --drive " +
                               ShellQuote(cue_) + " --output-dir ";
    auto flac = Cli("rip --release " + std::string(kSecondRelease) +
                    " --cover-art --format .flac --preset 0" + common + ShellQuote(out_ + "flac/"));
    ASSERT_EQ(flac.status, 0) << flac.out << flac.err;
    const std::string track2 = out_ + "flac/2. Night Ferry (remastered).flac";
    ASSERT_TRUE(fs::exists(track2)) << flac.out;
    auto tags = ProbeTags(track2);
    const std::map<std::string, std::string> expected = {
        {"album", "Harbour Lights (deluxe)"},
        {"album_artist", "The Quelt Ensemble"},
        {"track", "2"},
        {"tracktotal", "3"},
        {"disc", "1"},
        {"disctotal", "2"},
        {"date", "2003-09-01"},
        {"musicbrainz_albumid", kSecondRelease},
        {"musicbrainz_releasegroupid", "22222222-2222-4222-8222-222222222222"},
        {"musicbrainz_trackid", "r1000000-0000-4000-8000-000000000002"},
        {"musicbrainz_artistid", "aaaaaaaa-aaaa-4aaa-8aaa-aaaaaaaaaaaa"},
        {"musicbrainz_albumartistid", "aaaaaaaa-aaaa-4aaa-8aaa-aaaaaaaaaaaa"},
        {"musicbrainz_discid", discId_},
        {"isrc", "GBQLT0100002"},
        {"mcn", "5012345678900"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(tags[key], value) << key << "\n" << flac.out;
    // The cover: saved once beside the tracks, embedded in each.
    const std::string cover = out_ + "flac/cover.jpg";
    EXPECT_EQ(ReadFile(cover), ReadFile(root_ + "/release/" + kSecondRelease + "/front"));
    EXPECT_TRUE(HasAttachedPicture(track2));

    // Without --release: the releases listed and the first used. The server only knows the
    // hand-computed disc id, so an answer proves the two ids agree. ID3v2 tags, and no cover
    // for a release the archive lacks, said in a log line.
    auto mp3 = Cli("rip --tracks 2 --cover-art --format .mp3 --preset 0" + common +
                   ShellQuote(out_ + "mp3/"));
    ASSERT_EQ(mp3.status, 0) << mp3.out << mp3.err;
    for (const std::string& line : std::vector<std::string>{
             "MusicBrainz: 2 release(s) found for disc id " + discId_,
             "Release 1: The Quelt Ensemble - Harbour Lights (2001-05-14, GB, Quelt Records, CD, 3 "
             "tracks) [" +
                 std::string(kFirstRelease) + "]",
             "Release 2: The Quelt Ensemble - Harbour Lights (Deluxe) (2003-09-01, US, Quelt "
             "America, "
             "CD, 3 tracks, disc 1/2) [" +
                 std::string(kSecondRelease) + "]",
             "Several MusicBrainz releases match; the first is used (choose with --release "
             "N|MBID).",
             "No cover art for release " + std::string(kFirstRelease) + "."})
        EXPECT_TRUE(HasLine(mp3.out, line)) << line << "\n" << mp3.out;
    EXPECT_FALSE(fs::exists(out_ + "mp3/cover.jpg"));
    tags = ProbeTags(out_ + "mp3/2. Night Ferry.mp3");
    for (const auto& [key, value] : std::map<std::string, std::string>{
             {"artist", "The Quelt Ensemble Feat. Mira Holt"},
             {"album_artist", "The Quelt Ensemble"},
             {"track", "2/3"},
             {"disc", "1/1"},
             {"date", "2001-05-14"},
             {"musicbrainz album id", kFirstRelease},
             {"musicbrainz track id", "r1000000-0000-4000-8000-000000000002"},
             {"musicbrainz disc id", discId_},
             {"tsrc", "GBQLT0100002"},
             {"mcn", "5012345678900"}})
        EXPECT_EQ(tags[key], value) << key << "\n" << mp3.out;
    EXPECT_EQ(Cli("rip --release 3" + common + ShellQuote(out_ + "none/")).status, 2);

    auto m4a = Cli("rip --tracks 1 --release 2 --cover-art --format .m4a --preset 0" + common +
                   ShellQuote(out_ + "m4a/"));
    ASSERT_EQ(m4a.status, 0) << m4a.out << m4a.err;
    const std::string track1 = out_ + "m4a/1. Morning Tide.m4a";
    tags = ProbeTags(track1);
    EXPECT_EQ(tags["album_artist"], "The Quelt Ensemble");
    EXPECT_EQ(tags["track"], "1/3");
    EXPECT_EQ(tags["disc"], "1/2");
    EXPECT_TRUE(HasAttachedPicture(track1));
}

// CD-Text names the rows without any look-up, and names the rip when the server stays silent.
TEST_F(CliMusicBrainz, CdTextNamesTheRowsAndTheRipWhenTheServerIsSilent) {
    auto disc = Cli("disc --no-freedb --drive " + ShellQuote(cue_));
    ASSERT_EQ(disc.status, 0) << disc.err;
    for (const char* line : {"Track names from CD-Text", "01\tCdtext Band\tText One\t00:04.000",
                             "03\tCdtext Band\tText Three\t00:05.000"})
        EXPECT_TRUE(HasLine(disc.out, line)) << line << "\n" << disc.out;

    CddbServer silent("silent");  // takes the connection and never answers
    ASSERT_TRUE(silent.running());
    const std::string server = silent.host();
    auto r = Cli("rip --musicbrainz --timeout 1500 --musicbrainz-server " + server +
                 " --format .wav --name-template 8 --drive " + ShellQuote(cue_) + " --output-dir " +
                 ShellQuote(out_));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(HasLine(r.out, "MusicBrainz did not answer within 1.5 s (" + server +
                                   "). Track names from CD-Text"))
        << r.out;
    EXPECT_TRUE(HasLine(r.out, "Done, 03 track(s) were successfully.")) << r.out;
    for (const char* name : {"1. Text One.wav", "2. Text Two.wav", "3. Text Three.wav"})
        EXPECT_TRUE(fs::exists(out_ + name)) << name << "\n" << r.out;
}

}  // namespace
}  // namespace quelt::test
