// Data CDs through libburn onto "stdio:" pseudo-drives, read back with libiso9660.
#include <cdio/iso9660.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "burn_events.h"
#include "core/burn/disc_writer.h"
#include "core/burn/erase_job.h"
#include "core/burn/libburn_burner.h"
#include "core/burn/libburn_runtime.h"
#include "support/fixtures.h"
#include "support/recording_report.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

struct IsoContents {
    std::string volumeId;
    std::map<std::string, std::string> rootFiles;  // name -> bytes
};

IsoContents ReadIso(const std::string& path) {
    IsoContents contents;
    iso9660_t* iso = iso9660_open_ext(path.c_str(), ISO_EXTENSION_ALL);
    if (!iso) return contents;
    char* volume = nullptr;
    if (iso9660_ifs_get_volume_id(iso, &volume) && volume) contents.volumeId = volume;
    free(volume);
    CdioList_t* entries = iso9660_ifs_readdir(iso, "/");
    for (CdioListNode_t* node = entries ? _cdio_list_begin(entries) : nullptr; node;
         node = _cdio_list_node_next(node)) {
        auto* stat = static_cast<iso9660_stat_t*>(_cdio_list_node_data(node));
        if (stat->type != iso9660_stat_s::_STAT_FILE) continue;
        std::string bytes(size_t(stat->secsize) * ISO_BLOCKSIZE, '\0');
        if (stat->secsize &&
            iso9660_iso_seek_read(iso, bytes.data(), stat->lsn, stat->secsize) <= 0)
            continue;
        bytes.resize(stat->size);
        contents.rootFiles[stat->filename] = bytes;
    }
    if (entries) iso9660_filelist_free(entries);
    iso9660_close(iso);
    return contents;
}

class StdioWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(burner.Initialize(), 0); }

    std::string Burn(int32_t type, const std::vector<std::string>& files, const std::string& target,
                     bool testMode = false, bool finalize = true) {
        EXPECT_EQ(burner.SetDevice("stdio:" + target), 0);
        return test::BurnAndWait(burner, events, type, files, testMode, finalize);
    }

    std::vector<std::string> Sources() {
        std::vector<std::string> files;
        for (int i = 1; i <= 3; ++i) {
            test::ToneOptions toneOptions;
            toneOptions.seconds = 0.3 * i;
            toneOptions.frequency = 300 * i;
            files.push_back(dir.File("0" + std::to_string(i) + ".wav"));
            EXPECT_TRUE(test::MakeTone(files.back(), toneOptions));
        }
        return files;
    }

    ScratchDir dir;
    LibburnBurner burner;
    test::BurnEvents events{burner};
};

TEST_F(StdioWriterTest, DataCdHoldsEveryFileAtTheRootUnderTheVolumeLabel) {
    const auto files = Sources();
    const std::string target = dir.File("disc.iso");
    ASSERT_EQ(Burn(kDataCdProject, files, target), "");
    const IsoContents iso = ReadIso(target);
    EXPECT_EQ(iso.volumeId, "Quelt Disc");
    ASSERT_EQ(iso.rootFiles.size(), 3u);
    for (const auto& file : files) {
        const std::string name = fs::path(file).filename().string();
        ASSERT_TRUE(iso.rootFiles.count(name)) << name << " among " << iso.rootFiles.begin()->first;
        EXPECT_TRUE(iso.rootFiles.at(name) == test::ReadFile(file)) << name;
    }
    EXPECT_FALSE(events.percents.empty());
    EXPECT_FLOAT_EQ(events.percents.back(), 100.f);
    EXPECT_EQ(events.order, (std::vector<std::string>{"finalize", "done"}));
}

// A test run leaves an existing file as it was; a real one replaces it whole rather than
// writing over its start, and a file cannot stay open, so it is closed without a finalize
// event.
TEST_F(StdioWriterTest, AnOldFileIsKeptByATestRunAndReplacedWholeByABurn) {
    const auto files = Sources();
    const std::string target = dir.File("old.iso");
    const std::string junk(8 * 1024 * 1024, 'J');
    test::WriteFile(target, junk);
    ASSERT_EQ(Burn(kDataCdProject, files, target, true, false), "");
    EXPECT_TRUE(test::ReadFile(target) == junk);
    events.order.clear();
    ASSERT_EQ(Burn(kDataCdProject, {files[0]}, target, false, false), "");
    const std::string image = test::ReadFile(target);
    EXPECT_LT(image.size(), junk.size());
    EXPECT_EQ(image.find("JJJJJJJJ"), std::string::npos);
    EXPECT_EQ(ReadIso(target).rootFiles.size(), 1u);
    EXPECT_EQ(events.order, (std::vector<std::string>{"done"}));
}

TEST_F(StdioWriterTest, AnAudioCdIsRefusedWithItsReasonInBurnDone) {
    const auto files = Sources();
    const std::string target = dir.File("audio.iso");
    const std::string text = Burn(kAudioCdProject, files, target);
    EXPECT_NE(text.find("image file writer"), std::string::npos) << text;
    EXPECT_EQ(events.doneTexts.size(), 1u);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(StdioWriterTest, APseudoDriveIsABlankMedium) {
    ASSERT_EQ(burner.SetDevice("stdio:" + dir.File("blank.iso")), 0);
    MediumInformation info;
    ASSERT_EQ(burner.GetMediumInformation(info), 0);
    EXPECT_TRUE(info.HasMedium());
    EXPECT_EQ(info.discState, kDiscEmpty);
    EXPECT_GT(info.sizeBytes, 0);
}

TEST_F(StdioWriterTest, AFolderThatDoesNotExistFailsTheBurnWithLibburnsReason) {
    const auto files = Sources();
    const std::string text = Burn(kDataCdProject, files, dir.File("no/such/folder/x.iso"));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(events.doneTexts.size(), 1u);
}

size_t OpenDescriptors() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// Without a CD writer the Audio CD path of libburn can run up to the drive's refusal: its
// tracks are set up from the WAV files' PCM and the reason comes back as the error.
TEST_F(StdioWriterTest, TheAudioTrackSetUpRunsUpToTheDrivesRefusalAndClosesItsFiles) {
    const auto files = Sources();
    std::vector<AudioTrackFile> tracks;
    for (const auto& file : files) {
        auto layout = ReadWavLayout(file);
        ASSERT_TRUE(layout && layout->IsCdAudio()) << (layout ? "" : layout.message());
        tracks.push_back({file, *layout});
    }
    const size_t before = OpenDescriptors();
    {
        GrabbedDrive drive("stdio:" + dir.File("audio.img"));
        ASSERT_NE(drive.drive(), nullptr) << drive.error();
        DiscWrite job;
        job.drive = drive.drive();
        job.audio = tracks;
        bool closing = false;
        const std::string error = WriteToDisc(job, {}, [&] { closing = true; });
        EXPECT_NE(error.find("audio"), std::string::npos) << error;
        EXPECT_FALSE(closing);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(BurnerLibraryTest, DevicesEndWithTheImageWriterAndUnknownTextsAreRefused) {
    LibburnBurner burner;
    DeviceTable table;
    int32_t count = -1;
    EXPECT_NE(burner.GetDevices(table, count), 0) << "before Initialize";
    ASSERT_EQ(burner.Initialize(), 0);
    ASSERT_EQ(burner.GetDevices(table, count), 0);
    ASSERT_GE(count, 1);
    ASSERT_EQ(table.texts.size(), size_t(count));
    EXPECT_EQ(table.texts.back(), "Image file writer (CUE/BIN)");
    for (const auto& text : table.texts) EXPECT_EQ(burner.SetDevice(text), 0) << text;
    const int32_t code = burner.SetDevice("[/dev/nothing] no such writer");
    EXPECT_NE(code, 0);
    EXPECT_EQ(ReportBurnerResult(burner, code),
              "error: Unknown writer \"[/dev/nothing] no such writer\"");
    EXPECT_EQ(ReportBurnerResult(burner, 0), "");
}

TEST(BurnerLibraryTest, TheImageWriterHasNoTrayAndNoDiscToErase) {
    LibburnBurner burner;
    ASSERT_EQ(burner.Initialize(), 0);
    EXPECT_NE(burner.EjectDevice(), 0) << "no writer chosen yet";
    ASSERT_EQ(burner.SetDevice("Image file writer (CUE/BIN)"), 0);
    EXPECT_EQ(burner.EjectDevice(), 0);
    EXPECT_EQ(burner.CloseDevice(), 0);
    const int32_t code = burner.CheckErasable();
    EXPECT_NE(code, 0);
    EXPECT_EQ(ReportBurnerResult(burner, code), "error: The image file writer has no disc to erase");
    EXPECT_EQ(burner.Erase(true, {}), code);
}

// A written pseudo-drive file is blanked through libburn by the erase job, which reports
// its progress and "Erase done"; the emptied file then has nothing left to erase.
TEST_F(StdioWriterTest, TheEraseJobBlanksAWrittenFile) {
    const std::string target = dir.File("disc.iso");
    ASSERT_EQ(Burn(kDataCdProject, Sources(), target), "");
    ASSERT_GT(fs::file_size(target), 0u);
    test::RecordingReport report;
    JobControl control;
    const std::string writer = "stdio:" + target;
    EXPECT_EQ(EraseRefusal(burner, writer), "");
    EraseOutcome outcome = EraseJob(burner, {writer, false}).Run(report, control);
    EXPECT_EQ(outcome.result, EraseResult::kDone) << outcome.text;
    EXPECT_EQ(report.log, std::vector<std::string>{"Erase done"});
    EXPECT_EQ(report.itemBars.back(), 100);
    EXPECT_EQ(report.button, "Close");
    EXPECT_EQ(fs::file_size(target), 0u);

    outcome = EraseJob(burner, {writer, true}).Run(report, control);
    EXPECT_EQ(outcome.result, EraseResult::kRefused);
    EXPECT_EQ(outcome.text, "The file " + fs::absolute(target).string() + " holds nothing to erase");
    control.cancel = true;
    EXPECT_EQ(EraseJob(burner, {writer, true}).Run(report, control).result, EraseResult::kCancelled);
}

TEST(BurnerLibraryTest, UndefinedOptionFieldsKeepTheLibrarysValues) {
    LibburnBurner burner;
    ASSERT_EQ(burner.Initialize(), 0);
    BurnOptions set;
    set.volumeLabel = "Mine";
    set.testMode = 1;
    ASSERT_EQ(burner.SetOptions(set), 0);
    BurnOptions keep;  // every field "not defined"
    ASSERT_EQ(burner.SetOptions(keep), 0);
    BurnOptions got;
    ASSERT_EQ(burner.GetOptions(got), 0);
    EXPECT_EQ(got.volumeLabel, "Mine");
    EXPECT_EQ(got.testMode, 1);
    EXPECT_EQ(got.finalize, 1) << "the library's own value";
}

TEST(BurnerLibraryTest, BurnWithoutPrepareOrWriterStillEndsWithOneBurnDone) {
    LibburnBurner burner;
    test::BurnEvents events(burner);
    ASSERT_EQ(burner.Initialize(), 0);
    EXPECT_NE(burner.Burn(), 0);
    ASSERT_TRUE(events.WaitDone(1));
    EXPECT_NE(burner.Prepare(), 0);  // no writer chosen
    EXPECT_NE(burner.Burn(), 0);
    ASSERT_TRUE(events.WaitDone(2));
    burner.WaitForBurn();
    ASSERT_EQ(events.doneTexts.size(), 2u);
    EXPECT_FALSE(events.doneTexts[0].empty());
    EXPECT_FALSE(events.doneTexts[1].empty());
}

}  // namespace
}  // namespace quelt
