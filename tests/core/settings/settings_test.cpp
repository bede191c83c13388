// Loading, saving and the coded accessor of the settings record, on real files.
#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/settings/app_paths.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_MUSIC_DIR", scratch_.File("music").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", scratch_.File("config").c_str(), 1);
    }
    void WriteText(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    Settings Load() {
        Settings s;
        LoadSettings(s, file_);
        return s;
    }
    std::string DefaultFolder() const { return scratch_.File("music") + "/zqr_output/"; }

    test::ScratchDir scratch_;
    std::string path_ = scratch_.File("zqrprocfg.cfg");
    ProfileFile file_{path_};
};

TEST_F(SettingsTest, FirstStartWithoutAFile) {
    Settings s = Load();
    EXPECT_EQ(s.rip.outputDirectory, "");
    EXPECT_EQ(s.rip.outputNameCustom, "");
    EXPECT_EQ(s.rip.outputNameIndex, 0);
    EXPECT_EQ(s.rip.freedbPort, 0);  // only a negative stored port becomes 80
    EXPECT_EQ(s.rip.freedbTimeOut, 0);
    EXPECT_EQ(s.convert.outputDirectory, "");
    EXPECT_EQ(s.burn.volumeLabel, "");
    EXPECT_EQ(s.priority, 1);

    // The folder default arrives through the accessor, lands in the record and is saved.
    EXPECT_EQ(DefaultOutputFolder(), DefaultFolder());
    EXPECT_EQ(GetSettingText(s, kModeRip, 101), DefaultFolder());
    EXPECT_EQ(s.rip.outputDirectory, DefaultFolder());
    EXPECT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(file_.ReadString("CDRIP", "OutputDirectory"), DefaultFolder());
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 1);
}

TEST_F(SettingsTest, SettingsFileLivesInTheConfigFolder) {
    EXPECT_EQ(SettingsFilePath(), scratch_.File("config") + "/quelt/zqrprocfg.cfg");
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

struct FolderCase {
    const char* stored;
    bool becomesDefault;
};

class FolderFixupTest : public SettingsTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderFixupTest, ASingleSeparatorBecomesTheDefaultFolder) {
    WriteText(std::string("[CDRIP]\nOutputDirectory=") + GetParam().stored +
              "\n[Convert]\nOutputDirectory=" + GetParam().stored + "\n");
    Settings s = Load();
    const std::string expected = GetParam().becomesDefault ? DefaultFolder() : GetParam().stored;
    EXPECT_EQ(s.rip.outputDirectory, expected);
    EXPECT_EQ(s.convert.outputDirectory, expected);
}

INSTANTIATE_TEST_SUITE_P(Stored, FolderFixupTest,
                         ::testing::Values(FolderCase{"/", true}, FolderCase{"\\", true},
                                           FolderCase{"", false}, FolderCase{"//", false},
                                           FolderCase{"/srv/music/", false},
                                           FolderCase{"\\\\", false}));

TEST_F(SettingsTest, NegativeFreedbValuesAreFixedOnLoadAndSave) {
    WriteText("[CDRIP]\nFreedbServer=-2\nFreedbPort=-5\nFreedbTimeOut=-1\n");
    Settings s = Load();
    EXPECT_EQ(s.rip.freedbServer, 0);
    EXPECT_EQ(s.rip.freedbPort, 80);
    EXPECT_EQ(s.rip.freedbTimeOut, 2000);
    SaveSettings(s, file_);
    EXPECT_EQ(file_.ReadInt("CDRIP", "FreedbPort"), 80);

    // Negative values set while running are fixed on the way out, in the record too.
    s.rip.freedbServer = -3;
    s.rip.freedbPort = -1;
    s.rip.freedbTimeOut = -9;
    SaveSettings(s, file_);
    EXPECT_EQ(s.rip.freedbServer, 0);
    EXPECT_EQ(s.rip.freedbPort, 80);
    EXPECT_EQ(s.rip.freedbTimeOut, 2000);
    EXPECT_EQ(file_.ReadInt("CDRIP", "FreedbTimeOut"), 2000);
}

TEST_F(SettingsTest, ZeroFreedbValuesStayZero) {
    WriteText("[CDRIP]\nFreedbPort=0\nFreedbTimeOut=0\n");
    Settings s = Load();
    EXPECT_EQ(s.rip.freedbPort, 0);
    EXPECT_EQ(s.rip.freedbTimeOut, 0);
}

class PriorityTest : public SettingsTest,
                     public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(PriorityTest, PriorityOutside1To4LoadsAs1) {
    WriteText("[Main]\nPriority=" + std::to_string(GetParam().first) + "\n");
    Settings s = Load();
    EXPECT_EQ(s.priority, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Stored, PriorityTest,
                         ::testing::Values(std::pair{0, 1}, std::pair{7, 1}, std::pair{-1, 1},
                                           std::pair{5, 1}, std::pair{1, 1}, std::pair{2, 2},
                                           std::pair{3, 3}, std::pair{4, 4}));

TEST_F(SettingsTest, PriorityIsSavedUnchanged) {
    Settings s = Load();
    s.priority = 9;
    SaveSettings(s, file_);
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 9);
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

TEST_F(SettingsTest, OtherRangesAreTakenAsStored) {
    WriteText("[CDRIP]\nOutputNameIndex=13\n[Convert]\nIfExists=9\nOutputNameIndex=-4\n");
    Settings s = Load();
    EXPECT_EQ(s.rip.outputNameIndex, 13);
    EXPECT_EQ(s.convert.ifExists, 9);
    EXPECT_EQ(s.convert.outputNameIndex, -4);
}

TEST_F(SettingsTest, HandWrittenLowerCaseFileLoads) {
    WriteText(
        "[cdrip]\noutputdirectory=/data/rips/\nfreedbproxy=proxy:3128\nlocktray=1\n"
        "[CONVERT]\nboutputdirectory=1\nifexists=2\n"
        "[cdburn]\nvolumelabel=My Disc\n"
        "[MAIN]\npriority=3\n");
    Settings s = Load();
    EXPECT_EQ(s.rip.outputDirectory, "/data/rips/");
    EXPECT_EQ(s.rip.freedbProxy, "proxy:3128");
    EXPECT_EQ(s.rip.lockTray, 1);
    EXPECT_EQ(s.convert.bOutputDirectory, 1);
    EXPECT_EQ(s.convert.ifExists, 2);
    EXPECT_EQ(s.burn.volumeLabel, "My Disc");
    EXPECT_EQ(s.priority, 3);
}

TEST_F(SettingsTest, LongTextValuesLoadCutTo1023Characters) {
    WriteText("[CDRIP]\nOutputNameCustom=" + std::string(5000, '1') + "\n");
    EXPECT_EQ(Load().rip.outputNameCustom.size(), 1023u);
}

TEST_F(SettingsTest, FileWithJunkLinesStillLoadsItsValues) {
    WriteText(
        "\xef\xbb\xbfjunk\n[[[\n===\n[CDBurn]\nnonsense\nFinalize=1\nTestMode=yes\n[Main\nPriority="
        "4\n");
    Settings s = Load();
    EXPECT_EQ(s.burn.finalize, 1);
    EXPECT_EQ(s.burn.testMode, 0);
    EXPECT_EQ(s.priority, 1);  // "[Main" opens no section: its Priority belongs to CDBurn
}

TEST_F(SettingsTest, SaveThenLoadGivesTheSameRecord) {
    Settings s;
    s.rip.outputDirectory = "/a/";
    s.rip.outputNameIndex = 5;
    s.rip.outputNameCustom = "1|0|";
    s.rip.ejectAfterRip = s.rip.metadata = s.rip.createM3U = s.rip.lockTray = s.rip.freedb = 1;
    s.rip.freedbServer = 3;
    s.rip.freedbPort = 8880;
    s.rip.freedbTimeOut = 3000;
    s.rip.useFreedbProxy = 1;
    s.rip.freedbProxy = "proxy:8080";
    s.convert = {1, "/b/", 1, 7, 1, 2, 1};
    s.burn = {"Label", 1, 1, 1};
    s.priority = 2;
    s.ripExtension = ".flac";  // never persisted
    ASSERT_TRUE(SaveSettings(s, file_));
    Settings back = Load();
    EXPECT_EQ(back.rip.outputDirectory, "/a/");
    EXPECT_EQ(back.rip.outputNameIndex, 5);
    EXPECT_EQ(back.rip.outputNameCustom, "1|0|");
    EXPECT_EQ(back.rip.freedbServer, 3);
    EXPECT_EQ(back.rip.freedbPort, 8880);
    EXPECT_EQ(back.rip.freedbTimeOut, 3000);
    EXPECT_EQ(back.rip.freedbProxy, "proxy:8080");
    EXPECT_EQ(back.rip.lockTray, 1);
    EXPECT_EQ(back.convert.outputDirectory, "/b/");
    EXPECT_EQ(back.convert.outputNameIndex, 7);
    EXPECT_EQ(back.convert.ifExists, 2);
    EXPECT_EQ(back.burn.volumeLabel, "Label");
    EXPECT_EQ(back.burn.testMode, 1);
    EXPECT_EQ(back.priority, 2);
    EXPECT_EQ(back.ripExtension, "");
    EXPECT_EQ(file_.ReadString("CDRIP", "FormatIndex"), "");  // the pages' keys are not written
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
    s.rip.outputNameSeparator = 2;
    ASSERT_TRUE(SaveSettings(s, file_));
    EXPECT_EQ(Load().rip.outputNameSeparator, 2);
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
}

// The coded accessor.

TEST_F(SettingsTest, AccessorSuppliesDefaultsForEmptyFields) {
    Settings s;
    EXPECT_EQ(GetSettingText(s, 100, 104), "0|2|3|");
    EXPECT_EQ(s.rip.outputNameCustom, "0|2|3|");
    EXPECT_EQ(GetSettingText(s, 100, 105), ".mp3");
    EXPECT_EQ(s.ripExtension, ".mp3");
    EXPECT_EQ(GetSettingText(s, 200, 203), DefaultFolder());
    EXPECT_EQ(s.convert.outputDirectory, DefaultFolder());
    EXPECT_EQ(GetSettingText(s, 300, 301), "Audio CD");
    EXPECT_EQ(s.burn.volumeLabel, "Audio CD");
    EXPECT_EQ(GetSettingText(s, 200, 201), "");  // no default for the convert extension

    s.rip.outputDirectory = "/kept/";
    EXPECT_EQ(GetSettingText(s, 100, 101), "/kept/");
}

class NameIndexClampTest : public SettingsTest,
                           public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(NameIndexClampTest, RipNameIndexOutside0To12ReadsAs3) {
    Settings s;
    s.rip.outputNameIndex = GetParam().first;
    EXPECT_EQ(GetSettingText(s, 100, 103), std::to_string(GetParam().second));
    EXPECT_EQ(s.rip.outputNameIndex, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Stored, NameIndexClampTest,
                         ::testing::Values(std::pair{13, 3}, std::pair{-1, 3}, std::pair{12, 12},
                                           std::pair{0, 0}, std::pair{11, 11}));

struct WriteCase {
    int category, id;
    const char* text;
    int expected;
};

class AccessorWriteTest : public SettingsTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(AccessorWriteTest, StoresAndReadsBack) {
    Settings s;
    const WriteCase& c = GetParam();
    SetSettingText(s, c.category, c.id, c.text);
    EXPECT_EQ(GetSettingText(s, c.category, c.id), std::to_string(c.expected));
}

// 106, 107 and 108 take 1 only for exactly "1"; the others take the decimal value.
INSTANTIATE_TEST_SUITE_P(
    Ids, AccessorWriteTest,
    ::testing::Values(
        WriteCase{100, 106, "2", 0}, WriteCase{100, 106, "1", 1}, WriteCase{100, 106, " 1", 0},
        WriteCase{100, 107, "01", 0}, WriteCase{100, 107, "1", 1}, WriteCase{100, 108, "1x", 0},
        WriteCase{100, 108, "1", 1}, WriteCase{100, 110, "2", 2}, WriteCase{100, 103, "7", 7},
        WriteCase{200, 204, "2", 2}, WriteCase{200, 205, "-3", -3}, WriteCase{200, 206, "5abc", 5},
        WriteCase{300, 302, "2", 2}, WriteCase{300, 303, "x", 0}, WriteCase{300, 304, "+4", 4}));

TEST_F(SettingsTest, ConvertNameIndexIsWrittenButNotRead) {
    Settings s;
    SetSettingText(s, 200, 202, "6");
    EXPECT_EQ(s.convert.outputNameIndex, 6);
    EXPECT_EQ(GetSettingText(s, 200, 202), "");
}

TEST_F(SettingsTest, TextIdsStoreTheirText) {
    Settings s;
    SetSettingText(s, 100, 101, "/r/");
    SetSettingText(s, 100, 104, "1|1|");
    SetSettingText(s, 100, 105, ".ogg");
    SetSettingText(s, 200, 201, ".wav");
    SetSettingText(s, 200, 203, "/c/");
    SetSettingText(s, 300, 301, "Vol");
    EXPECT_EQ(s.rip.outputDirectory, "/r/");
    EXPECT_EQ(s.rip.outputNameCustom, "1|1|");
    EXPECT_EQ(s.ripExtension, ".ogg");
    EXPECT_EQ(s.convertExtension, ".wav");
    EXPECT_EQ(s.convert.outputDirectory, "/c/");
    EXPECT_EQ(s.burn.volumeLabel, "Vol");
}

TEST_F(SettingsTest, UnknownPairsReadEmptyAndChangeNothing) {
    Settings s;
    const std::pair<int, int> unknown[] = {{100, 109}, {400, 401},  {100, 102}, {200, 101},
                                           {300, 101}, {0, 100101}, {100, -1},  {100, 1101}};
    for (auto [category, id] : unknown) {
        EXPECT_EQ(GetSettingText(s, category, id), "") << category << "/" << id;
        SetSettingText(s, category, id, "1");
    }
    // Nothing changed: every field still has its zero value.
    SaveSettings(s, file_);
    const std::pair<const char*, const char*> zeroKeys[] = {
        {"CDRIP", "OutputNameIndex"}, {"CDRIP", "EjectAfterRip"}, {"CDRIP", "Metadata"},
        {"CDRIP", "CreateM3U"},       {"CDRIP", "LockTray"},      {"Convert", "OutputNameIndex"},
        {"Convert", "Metadata"},      {"Convert", "IfExists"},    {"Convert", "DeleteSource"},
        {"CDBurn", "EjectAfterBurn"}, {"CDBurn", "Finalize"},     {"CDBurn", "TestMode"}};
    for (const auto& [section, key] : zeroKeys)
        EXPECT_EQ(file_.ReadString(section, key), "0") << section << " " << key;
    EXPECT_EQ(s.rip.outputDirectory, "");
    EXPECT_EQ(s.ripExtension, "");
}

}  // namespace
}  // namespace quelt
