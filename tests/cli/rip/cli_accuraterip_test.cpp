// quelt-cli rip with AccurateRip, the read offset, the rip log and the cue sheet, against
// images made here, a database entry written by an independent reference of the published
// algorithm (tests/fixtures/accuraterip_reference.py) and served from 127.0.0.1.
#include <gtest/gtest.h>

#include <cdio/cdio.h>

#include <filesystem>
#include <regex>

#include "support/accuraterip_fixture.h"
#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"
#include "support/http_server.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

const std::vector<int> kTrackSectors = {400, 300, 350};

using Reference = AccurateRipReference;

class CliAccurateRip : public CliTest {
  protected:
    std::string MakeImage(const std::string& name, int shiftFrames = 0, int pregapSectors = 0) {
        return MakeShiftedImage(home_.path().string(), name, kTrackSectors, shiftFrames,
                                pregapSectors);
    }
    Reference ReferenceOf(const std::string& cue, const std::string& entryArguments = "") {
        return test::ReferenceOf(cue, served_.string(), entryArguments);
    }

    CliResult Rip(const std::string& cue, const std::string& output, const std::string& extra) {
        return Cli("rip --drive " + ShellQuote(cue) +
                   " --no-freedb --format .wav --preset 0 --output-dir " +
                   ShellQuote(home_.File(output) + "/") + " --accuraterip-server " + server_.Url() +
                   " " + extra);
    }

    static bool Has(const CliResult& r, const std::string& line) { return HasLine(r.out, line); }
    static std::string VerdictLine(int number, const std::string& verdict,
                                   const ReferenceSums& sums) {
        return "Track 0" + std::to_string(number) + ": " + verdict + " [v1 " + sums.v1 + ", v2 " + sums.v2 +
               ", copy CRC " + sums.crc32 + "]";
    }

    fs::path served_ = home_.path() / "served";
    HttpServer server_{(fs::create_directories(served_), served_.string())};
};

TEST_F(CliAccurateRip, EveryTrackAccurateWithTheServedConfidenceAndTheLogHoldsItsChecksums) {
    const std::string cue = MakeImage("disc");
    const Reference reference = ReferenceOf(cue, "--confidence 7");
    ASSERT_EQ(reference.tracks.size(), 3u);

    CliResult r = Rip(cue, "out", "--accuraterip --log --cue");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(server_.RequestLog().find("GET " + reference.path), std::string::npos) << server_.RequestLog();
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(Has(r, VerdictLine(n, "Accurately ripped (confidence 7)", reference.tracks[n - 1]))) << r.out;
    EXPECT_TRUE(Has(r, "All tracks accurately ripped")) << r.out;

    const std::string log = ReadFile(home_.File("out/Artist - Album.log"));
    for (int n = 1; n <= 3; ++n) {
        const ReferenceSums& sums = reference.tracks[n - 1];
        const std::size_t at = log.find("Track 0" + std::to_string(n) + "\n");
        ASSERT_NE(at, std::string::npos) << log;
        const std::string block = log.substr(at, log.find("\n\n", at) - at);
        EXPECT_NE(block.find("Copy CRC: " + sums.crc32), std::string::npos) << block;
        EXPECT_NE(block.find("AccurateRip CRC: v1 " + sums.v1 + ", v2 " + sums.v2), std::string::npos) << block;
        EXPECT_NE(block.find("AccurateRip: Accurately ripped (confidence 7)"), std::string::npos) << block;
    }
    EXPECT_NE(log.find("\nAll tracks accurately ripped\n"), std::string::npos) << log;
}

TEST_F(CliAccurateRip, OneWrongChecksumFlagsExactlyThatTrackAndExitsOne) {
    const std::string cue = MakeImage("disc");
    const Reference reference = ReferenceOf(cue, "--confidence 3 --wrong-track 2");
    CliResult r = Rip(cue, "out", "--accuraterip");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_TRUE(Has(r, VerdictLine(1, "Accurately ripped (confidence 3)", reference.tracks[0]))) << r.out;
    EXPECT_TRUE(Has(r, VerdictLine(2, "Not accurately ripped", reference.tracks[1]))) << r.out;
    EXPECT_TRUE(Has(r, VerdictLine(3, "Accurately ripped (confidence 3)", reference.tracks[2]))) << r.out;
    EXPECT_TRUE(Has(r, "Tracks not accurately ripped: 02")) << r.out;
    EXPECT_TRUE(Has(r, "Done, 03 track(s) were successfully.")) << r.out;
}

// A drive that returns the audio 6 frames late: the given offset undoes the shift bit for
// bit, a rip without it fails the check, and the offset found with a disc the database knows
// is stored for the drive and applied by the next rip.
TEST_F(CliAccurateRip, TheReadOffsetUndoesADrivesShiftAndIsFoundAndKept) {
    const Reference reference = ReferenceOf(MakeImage("plain"), "--confidence 2");
    const std::string shifted = MakeImage("shifted", 6);
    // The shifted image has the plain image's table of contents, so the same entry serves.
    ASSERT_EQ(ReferenceOf(shifted).path, reference.path);

    CliResult corrected = Rip(shifted, "corrected", "--accuraterip --offset 6");
    EXPECT_EQ(corrected.status, 0) << corrected.out << corrected.err;
    for (int n = 1; n <= 3; ++n) {
        const std::regex sums("Track 0" + std::to_string(n) + R"(: Accurately ripped \(confidence 2\) \[v1 )" +
                              reference.tracks[n - 1].v1 + ", v2 " + reference.tracks[n - 1].v2 + ", copy CRC");
        EXPECT_TRUE(std::regex_search(corrected.out, sums)) << corrected.out;
    }
    // The first tracks come out bit for bit as the plain disc holds them.
    EXPECT_EQ(DecodePcm(home_.File("corrected/track 1.wav")), TestPcm(400, 0));
    EXPECT_EQ(DecodePcm(home_.File("corrected/track 2.wav")), TestPcm(300, 1));

    CliResult uncorrected = Rip(shifted, "uncorrected", "--accuraterip");
    EXPECT_EQ(uncorrected.status, 1) << uncorrected.out;
    EXPECT_NE(uncorrected.out.find("Track 02: Not accurately ripped"), std::string::npos)
        << uncorrected.out;

    CliResult found = Cli("offset --drive " + ShellQuote(shifted) + " --accuraterip-server " +
                          server_.Url() + " --save");
    ASSERT_EQ(found.status, 0) << found.out << found.err;
    EXPECT_NE(found.out.find(
                  "Read offset: +6 (track 01 matches the AccurateRip database with confidence 2)"),
              std::string::npos)
        << found.out;
    CliResult r = Rip(shifted, "out", "--accuraterip");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r, "All tracks accurately ripped")) << r.out;
}

// The disc's audio tracks as libcdio reads them from a cue sheet: (first sector, pregap
// sector or -1) per track, then the end of the last audio track.
std::vector<std::pair<long, long>> AudioToc(const std::string& cue) {
    std::vector<std::pair<long, long>> toc;
    CdIo_t* cdio = cdio_open_cue(cue.c_str());
    if (!cdio) return toc;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    long end = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    for (track_t n = first; n < first + count; ++n) {
        if (cdio_get_track_format(cdio, n) != TRACK_FORMAT_AUDIO) {
            end = cdio_get_track_lsn(cdio, n);
            break;
        }
        const lsn_t pregap = cdio_get_track_pregap_lsn(cdio, n);
        toc.emplace_back(cdio_get_track_lsn(cdio, n), pregap == CDIO_INVALID_LSN ? -1 : pregap);
    }
    toc.emplace_back(end, -1);
    cdio_destroy(cdio);
    return toc;
}

// A disc the database does not know: no offset is found, and a rip says so for every track
// and is no error; its cue sheet over the ripped files gives the disc's table of contents.
TEST_F(CliAccurateRip, AnUnknownDiscIsNoErrorAndTheCueSheetGivesItsTableOfContents) {
    const std::string cue = MakeImage("gaps", 0, 30);
    const Reference reference = ReferenceOf(cue);
    CliResult unknown =
        Cli("offset --drive " + ShellQuote(cue) + " --accuraterip-server " + server_.Url());
    EXPECT_EQ(unknown.status, 1) << unknown.out;
    EXPECT_NE(
        unknown.out.find("This disc is not in the AccurateRip database; try a disc it knows."),
        std::string::npos)
        << unknown.out;

    CliResult r = Rip(cue, "out", "--accuraterip --cue");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(Has(r, VerdictLine(n, "Not in the database", reference.tracks[n - 1])))
            << r.out;
    const std::string sheet = home_.File("out/Artist - Album.cue");
    ASSERT_TRUE(fs::exists(sheet)) << r.out;
    EXPECT_NE(ReadFile(sheet).find("FILE \"track 2.wav\" WAVE"), std::string::npos);
    const std::string joined = home_.File("joined.cue");
    ASSERT_EQ(test::Run("python3 " +
                        ShellQuote(std::string(QUELT_TEST_FIXTURES) + "/cue_to_single_bin.py") +
                        " " + ShellQuote(sheet) + " " + ShellQuote(joined)),
              0);
    const auto original = AudioToc(cue);
    ASSERT_EQ(original.size(), 4u);
    EXPECT_NE(original[1].second, -1) << "the image has pregaps";
    EXPECT_EQ(AudioToc(joined), original);
}

}  // namespace
}  // namespace quelt::test
