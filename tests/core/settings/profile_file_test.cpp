// The profile file's reading rules and its writes, on real files in a scratch folder.
#include "core/settings/profile_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "support/fixtures.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public ::testing::Test {
  protected:
    void WriteText(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string ReadText() const { return test::ReadFile(path_); }
    test::ScratchDir scratch_;
    std::string path_ = scratch_.File("zqrprocfg.cfg");
    ProfileFile file_{path_};
};

TEST_F(ProfileFileTest, MissingFileReadsEmptyAndZero) {
    EXPECT_EQ(file_.ReadString("CDRIP", "OutputDirectory"), "");
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 0);
    EXPECT_FALSE(fs::exists(path_));  // reading never creates the file
}

// Sections and keys are found without regard to case, and a write in another spelling
// changes the entry in place instead of adding a section.
TEST_F(ProfileFileTest, SectionsAndKeysAreFoundWithoutRegardToCase) {
    WriteText(
        "[convert]\r\nformatindex=5\r\n fparamindex = 12 "
        "\r\n[CdRip]\r\nOUTPUTDIRECTORY=/music/out/\r\n");
    EXPECT_EQ(file_.ReadInt("CONVERT", "FormatIndex"), 5);
    EXPECT_EQ(file_.ReadInt("Convert", "FParamIndex"), 12);
    EXPECT_EQ(file_.ReadString("CDRIP", "OutputDirectory"), "/music/out/");
    EXPECT_EQ(file_.ReadString("CDRIP", "FormatIndex"), "");  // keys belong to their section
    file_.WriteInt("CONVERT", "IfExists", 2);
    file_.WriteInt("Convert", "ifexists", 1);
    EXPECT_EQ(file_.ReadInt("Convert", "IfExists"), 1);
    EXPECT_EQ(file_.Sections().size(), 2u);
    EXPECT_EQ(file_.Entries("CONVERT").size(), 3u);
}

TEST_F(ProfileFileTest, ValuesLongerThan1023CharactersAreCut) {
    const std::string longValue(3000, 'x');
    file_.WriteString("CDRIP", "FreedbProxy", longValue);
    EXPECT_EQ(file_.ReadString("CDRIP", "FreedbProxy"), std::string(1023, 'x'));
}

TEST_F(ProfileFileTest, JunkLinesAreIgnoredAndTheFirstSectionOfANameDecides) {
    WriteText(
        "stray=before any section\n"
        "garbage without an equals sign\n"
        "[unterminated section\n"
        "\x01\x02\xff\xfe binary junk\n"
        "; a comment=1\n"
        "[Main]\n"
        "=no key\n"
        "   \n"
        "Priority=3\n"
        "[]\n"
        "Priority=4\n");
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 3);
    EXPECT_EQ(file_.ReadString("", "stray"), "");
    // A write keeps the other lines and changes only its own.
    file_.WriteInt("Main", "Priority", 2);
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 2);
    EXPECT_NE(ReadText().find("garbage without an equals sign"), std::string::npos);

    // A byte order mark does not hide the first section; the first section of a name decides.
    WriteText("\xef\xbb\xbf[Main]\r\nPriority=2\n[Other]\nx=1\n[MAIN]\nPriority=4\nExtra=9\n");
    const ProfileFile marked(path_);
    EXPECT_EQ(marked.ReadInt("Main", "Priority"), 2);
    EXPECT_EQ(marked.ReadInt("Main", "Extra"), 0);
}

// A rewrite keeps the mark: were it dropped, a second mark after it (as a fuzzer found)
// would be skipped at the next read instead, and "[x]" behind it would become a section.
TEST_F(ProfileFileTest, ARewriteKeepsTheByteOrderMark) {
    WriteText("\xef\xbb\xbf\xef\xbb\xbf[cdrip]\nKey=1\n");
    EXPECT_EQ(file_.ReadString("CDRIP", "Key"), "");
    ASSERT_TRUE(file_.WriteEntries({{"CDRIP", "OutputDirectory", "/m/"}}));
    ProfileFile reread(path_);
    EXPECT_EQ(reread.ReadString("CDRIP", "OutputDirectory"), "/m/");
    EXPECT_EQ(reread.ReadString("CDRIP", "Key"), "");
    EXPECT_EQ(ReadText().rfind("\xef\xbb\xbf\xef\xbb\xbf[cdrip]", 0), 0u);
}

TEST_F(ProfileFileTest, ReadsSignedDecimalText) {
    struct IntCase {
        const char* stored;
        int expected;
    };
    for (const IntCase& c :
         {IntCase{"-5", -5}, IntCase{"+12", 12}, IntCase{"12abc", 12}, IntCase{"- 5", 0},
          IntCase{"0x10", 0}, IntCase{"99999999999", INT_MAX}, IntCase{"-99999999999", INT_MIN}}) {
        WriteText(std::string("[Main]\nValue=") + c.stored + "\n");
        EXPECT_EQ(ProfileFile(path_).ReadInt("Main", "Value"), c.expected) << c.stored;
    }
}

TEST_F(ProfileFileTest, WriteCreatesMissingFoldersAndLeavesNoTemporaryFile) {
    ProfileFile nested(scratch_.File("a/b/zqrprocfg.cfg"));
    nested.WriteInt("Main", "Priority", 4);
    EXPECT_EQ(nested.ReadInt("Main", "Priority"), 4);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(scratch_.File("a/b"))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(ProfileFileTest, AFailedWriteReportsItAndLeavesNoTemporaryFile) {
    // The folder of the file is a regular file, so no temporary file can be made beside it.
    std::ofstream(scratch_.File("blocker")) << "x";
    ProfileFile blocked(scratch_.File("blocker/zqrprocfg.cfg"));
    EXPECT_FALSE(blocked.WriteEntries({{"Main", "Priority", "2"}}));

    // The rename cannot replace a folder of that name: the folder stays and nothing is left over.
    fs::create_directories(scratch_.File("taken/inside"));
    ProfileFile taken(scratch_.File("taken"));
    EXPECT_FALSE(taken.WriteEntries({{"Main", "Priority", "2"}}));
    EXPECT_TRUE(fs::is_directory(scratch_.File("taken/inside")));
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(scratch_.path()))
        entries += entry.exists() ? 1 : 0;
    EXPECT_EQ(entries, 2);  // "blocker" and "taken"
}

TEST_F(ProfileFileTest, ALinkedFileStaysALink) {
    const std::string real = scratch_.File("dotfiles/zqrprocfg.cfg");
    fs::create_directories(scratch_.File("dotfiles"));
    std::ofstream(real) << "[Main]\nPriority=2\n";
    fs::create_symlink(real, path_);
    file_.WriteInt("Main", "Priority", 3);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(ProfileFile(real).ReadInt("Main", "Priority"), 3);
}

TEST_F(ProfileFileTest, LineBreaksInAValueCannotForgeOtherKeys) {
    file_.WriteString("CDBurn", "VolumeLabel", "Disc\n[Main]\nPriority=4");
    EXPECT_EQ(file_.ReadInt("Main", "Priority"), 0);
    EXPECT_EQ(file_.ReadString("CDBurn", "VolumeLabel"), "Disc [Main] Priority=4");
}

}  // namespace
}  // namespace quelt
