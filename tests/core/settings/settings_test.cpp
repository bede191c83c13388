// Loading, saving and the defaults in force of the settings record, on real files.
#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/settings/app_paths.h"
#include "core/settings/setting_fields.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_MUSIC_DIR", scratch_.File("music").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", scratch_.File("config").c_str(), 1);
    }
    void WriteText(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    // Reads the file as it is now (file_ keeps what it read first).
    Settings Load() {
        Settings s;
        LoadSettings(s, ProfileFile(path_));
        return s;
    }
    std::string DefaultFolder() const { return scratch_.File("music") + "/zqr_output/"; }

    test::ScratchDir scratch_;
    std::string path_ = scratch_.File("zqrprocfg.cfg");
    ProfileFile file_{path_};
};

// The folder default arrives when the folder is used, lands in the record and is saved.
TEST_F(SettingsTest, FirstStartWithoutAFile) {
    Settings s = Load();
    EXPECT_EQ(s.rip.outputDirectory, "");
    EXPECT_EQ(DefaultOutputFolder(), DefaultFolder());
    ApplyRipFolderDefault(s.rip);
    EXPECT_EQ(s.rip.outputDirectory, DefaultFolder());
    EXPECT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(file_.ReadString("CDRIP", "OutputDirectory"), DefaultFolder());
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 1);
}

TEST_F(SettingsTest, DialogsStartInTheMusicFolderWhenItExists) {
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", scratch_.File("home").c_str(), 1);
    EXPECT_EQ(DialogStartFolder(), scratch_.File("home") + "/");
    std::filesystem::create_directories(scratch_.File("music"));
    EXPECT_EQ(DialogStartFolder(), scratch_.File("music") + "/");
    ::setenv("HOME", savedHome.c_str(), 1);
}

// What a load fixes: a lone separator as a folder, negative FreeDB values (on save too),
// a priority outside 1-4; everything else is taken as stored.
TEST_F(SettingsTest, LoadFixesOnlyTheValuesItMust) {
    WriteText("[CDRIP]\nOutputDirectory=\\\n[Convert]\nOutputDirectory=/\n");
    EXPECT_EQ(Load().rip.outputDirectory, DefaultFolder());
    EXPECT_EQ(Load().convert.outputDirectory, DefaultFolder());
    WriteText("[CDRIP]\nOutputDirectory=//\n");
    EXPECT_EQ(Load().rip.outputDirectory, "//");
    for (const auto& [stored, loaded] : {std::pair{0, 1}, {5, 1}, {4, 4}}) {
        WriteText("[Main]\nPriority=" + std::to_string(stored) + "\n");
        EXPECT_EQ(static_cast<int>(Load().priority), loaded) << stored;
    }
    WriteText("[CDRIP]\nFreedbPort=0\nOutputNameIndex=13\n[Convert]\nIfExists=9\n");
    Settings s = Load();
    EXPECT_EQ(s.rip.freedbPort, 0);
    EXPECT_EQ(s.rip.outputNameIndex, 13);
    EXPECT_EQ(static_cast<int>(s.convert.ifExists), 9);
    // A rip template outside 0-12 becomes template 3 where a rip names files.
    FixUpRipNameTemplate(s.rip);
    EXPECT_EQ(s.rip.outputNameIndex, 3);

    WriteText("[CDRIP]\nFreedbServer=-2\nFreedbPort=-5\nFreedbTimeOut=-1\n");
    s = Load();
    EXPECT_EQ(s.rip.freedbServer, 0);
    EXPECT_EQ(s.rip.freedbPort, 80);
    EXPECT_EQ(s.rip.freedbTimeOut, 2000);
    // Negative values set while running are fixed on the way out, in the record too.
    s.rip.freedbServer = -3;
    s.rip.freedbPort = -1;
    s.rip.freedbTimeOut = -9;
    SaveSettings(s, file_);
    EXPECT_EQ(s.rip.freedbPort, 80);
    EXPECT_EQ(file_.ReadInt("CDRIP", "FreedbTimeOut"), 2000);
    EXPECT_EQ(file_.ReadInt("CDRIP", "FreedbServer"), 0);
}

TEST_F(SettingsTest, ReadOffsetsAreKeptPerDriveAndAResetOneLeavesTheFile) {
    WriteText("[ReadOffsets]\nPLEXTOR DVDR PX-716A=30\nODD Drive=99999\n");
    Settings s = Load();
    EXPECT_EQ(ReadOffsetFor(s.rip, "plextor", "dvdr px-716a"), 30);
    EXPECT_EQ(ReadOffsetFor(s.rip, "ODD", "Drive"), 0) << "beyond 2940 samples is no offset";
    SetReadOffsetFor(s.rip, "HL-DT-ST", "DVDRAM GH24NSD1 ", 6);
    SetReadOffsetFor(s.rip, "PLEXTOR", "DVDR PX-716A", 0);
    ASSERT_TRUE(SaveSettings(s, file_));
    const Settings again = Load();
    EXPECT_EQ(ReadOffsetFor(again.rip, "HL-DT-ST", "DVDRAM GH24NSD1"), 6);
    EXPECT_EQ(ReadOffsetFor(again.rip, "PLEXTOR", "DVDR PX-716A"), 0);
}

TEST_F(SettingsTest, SeparatorKeyIsWrittenOnlyOnceChosen) {
    WriteText("[CDRIP]\nOutputNameCustom=0|1|\n");
    Settings s = Load();
    EXPECT_EQ(s.rip.outputNameSeparator, -1);
    ASSERT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(file_.ReadString("CDRIP", "OutputNameSeparator"), "");
    s.rip.outputNameSeparator = 0;
    ASSERT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(Load().rip.outputNameSeparator, 0);
    // Chosen in the first run, it still comes last in its section, as when chosen later.
    std::filesystem::remove(path_);
    ASSERT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(ProfileFile(path_).Entries("CDRIP").back().first, "OutputNameSeparator");
    file_.WriteString("CDRIP", "OutputNameSeparator", "9");
    EXPECT_EQ(Load().rip.outputNameSeparator, 0);
}

TEST_F(SettingsTest, SaveKeepsThePagesOwnKeys) {
    file_.WriteInt("CONVERT", "FormatIndex", 9);
    file_.WriteInt("CDRIP", "FParamIndex", 7);
    Settings s = Load();
    SaveSettings(s, file_);
    EXPECT_EQ(file_.ReadInt("Convert", "FormatIndex"), 9);
    EXPECT_EQ(file_.ReadInt("CDRIP", "FParamIndex"), 7);
    s.ripExtension = ".flac";  // never persisted
    SaveSettings(s, file_);
    EXPECT_EQ(Load().ripExtension, "");
}

// The defaults that arrive on use, and the table every load and save walks.

TEST_F(SettingsTest, DefaultsInForceFillOnlyEmptyFields) {
    Settings s;
    ApplyDefaultsInForce(s);
    EXPECT_EQ(s.rip.outputDirectory, DefaultFolder());
    EXPECT_EQ(s.rip.outputNameCustom, "0|2|3|");
    EXPECT_EQ(s.burn.volumeLabel, "Audio CD");

    s.rip.outputDirectory = "/kept/";
    s.burn.volumeLabel = "Mine";
    ApplyDefaultsInForce(s);
    EXPECT_EQ(s.rip.outputDirectory, "/kept/");
    EXPECT_EQ(s.burn.volumeLabel, "Mine");
}

// A switch is on as the jobs always read it: most for any number but 0, the ReplayGain and
// converter switches only for 1. Either is written back as 0 or 1.
TEST_F(SettingsTest, SwitchesReadAsTheJobsReadThem) {
    WriteText(
        "[CDRIP]\nEjectAfterRip=2\nLockTray=-1\nReplayGain=2\n"
        "[Convert]\nMetadata=2\nDeleteSource=1\n");
    Settings s = Load();
    EXPECT_TRUE(s.rip.ejectAfterRip);
    EXPECT_TRUE(s.rip.lockTray);
    EXPECT_FALSE(s.rip.replayGain);
    EXPECT_FALSE(s.convert.metadata);
    EXPECT_TRUE(s.convert.deleteSource);
    ASSERT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(ProfileFile(path_).ReadString("CDRIP", "EjectAfterRip"), "1");
    EXPECT_EQ(ProfileFile(path_).ReadString("Convert", "Metadata"), "0");
}

// Each field saves under its own key and loads back into its own member, leaving the others.
TEST_F(SettingsTest, EveryFieldOfTheTableRoundTripsByName) {
    const Settings defaults = Load();
    for (const SettingField& field : SettingFields()) {
        std::filesystem::remove(path_);
        Settings s = defaults;
        std::string value = field.isText() ? "/x/" : "1";
        if (FieldText(field, s) == value) value = "2";
        SetFieldFromText(field, s, value);
        ProfileFile out(path_);
        ASSERT_TRUE(SaveSettings(s, out));
        EXPECT_EQ(ProfileFile(path_).ReadString(field.section, field.key), value) << field.key;
        Settings back;
        LoadSettings(back, ProfileFile(path_));
        Settings unchanged = defaults;
        for (const SettingField& other : SettingFields())
            EXPECT_EQ(FieldText(other, back),
                      &other == &field ? value : FieldText(other, unchanged))
                << field.key << " set, " << other.key << " read";
        EXPECT_EQ(FindSettingField(Lower(field.section), Lower(field.key)), &field);
    }
    EXPECT_EQ(FindSettingField("CDRIP", "FormatIndex"), nullptr);  // a page's own key
}

}  // namespace
}  // namespace quelt
