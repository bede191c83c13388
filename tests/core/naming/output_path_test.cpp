// Full output paths on a real scratch folder: folders made, names kept inside the output
// folder, and the "IfExists" outcomes.
#include "core/naming/output_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/naming/paths.h"
#include "core/settings/settings.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

class OutputPathTest : public ::testing::Test {
  protected:
    void SetUp() override { ::setenv("XDG_MUSIC_DIR", scratch_.File("music").c_str(), 1); }
    std::string Out() const { return scratch_.File("out") + "/"; }
    // Rip settings writing into Out() under template `nameIndex`.
    Settings RipSettings(int nameIndex, const std::string& extension) const {
        Settings s;
        s.rip.outputDirectory = Out();
        s.rip.outputNameIndex = nameIndex;
        s.ripExtension = extension;
        return s;
    }
    void Touch(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "x";
    }
    // True when `path`, with "." and ".." resolved, lies inside `folder`.
    static bool Inside(const std::string& path, const std::string& folder) {
        const std::string normal = fs::path(path).lexically_normal().string();
        return normal.rfind(fs::path(folder).lexically_normal().string(), 0) == 0;
    }

    test::ScratchDir scratch_;
};

// A backslash in a title makes a folder, made with the path; an index outside the tables
// gives the folder and the extension; an empty folder means the default one.
TEST_F(OutputPathTest, RipPathCreatesItsFolders) {
    Settings s = RipSettings(8, ".mp3");
    TrackTags t;
    t.number = 3;
    t.title = "Part 1\\2";
    EXPECT_EQ(RipOutputPath(s, t), Out() + "3. Part 1/2.mp3");
    EXPECT_TRUE(fs::is_directory(Out() + "3. Part 1"));
    s.rip.outputNameIndex = 12;
    EXPECT_EQ(RipOutputPath(s, TrackTags{}), Out() + ".mp3");
    s.rip.outputDirectory = "";
    s.rip.outputNameIndex = 0;
    EXPECT_EQ(RipOutputPath(s, t), scratch_.File("music") + "/zqr_output/track 3.mp3");
}

class RipTraversalTest : public OutputPathTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(RipTraversalTest, TagsNeverLeadOutOfTheOutputFolder) {
    Settings s = RipSettings(0, ".mp3");
    TrackTags t;
    t.number = 1;
    t.artist = GetParam();
    t.album = GetParam();
    t.title = GetParam();
    for (int index = 0; index <= 11; ++index) {
        s.rip.outputNameIndex = index;
        s.rip.outputNameCustom = "2|3|1|";
        const std::string path = RipOutputPath(s, t);
        EXPECT_TRUE(Inside(path, Out())) << index << ": " << path;
        EXPECT_NE(fs::path(path).lexically_normal().string(),
                  fs::path(Out()).lexically_normal().string());
    }
    EXPECT_FALSE(fs::exists(scratch_.File("etc")));
    EXPECT_FALSE(fs::exists(scratch_.File("escaped")));
}

INSTANTIATE_TEST_SUITE_P(Tags, RipTraversalTest,
                         ::testing::Values("..", "../..", "..\\..\\escaped", "/../escaped",
                                           "../etc/x", ".", "./..", "//", "\\", "a/../../.."));

class ConvertPathTest : public OutputPathTest {
  protected:
    void SetUp() override {
        OutputPathTest::SetUp();
        s_.convert.bOutputDirectory = 1;
        s_.convert.outputDirectory = Out();
        s_.convertExtension = ".mp3";
        source_ = scratch_.File("in/Song.wav");
        Touch(source_);
        tags_.number = 1;
    }
    Settings s_;
    std::string source_;
    TrackTags tags_;
};

// Without renaming the source's name is kept: beside it when no folder is chosen, and glued
// to a folder written without its trailing slash.
TEST_F(ConvertPathTest, KeepsTheSourceNameWhenNotRenaming) {
    s_.convert.bOutputDirectory = 0;
    EXPECT_EQ(ConvertOutputPath(s_, source_, tags_).path, scratch_.File("in/Song.mp3"));
    s_.convert.bOutputDirectory = 1;
    s_.convert.outputDirectory = scratch_.File("Out");
    EXPECT_EQ(ConvertOutputPath(s_, source_, tags_).path, scratch_.File("OutSong.mp3"));
}

TEST_F(ConvertPathTest, NamesByTemplateWithAPaddedNumber) {
    s_.convert.bOutputNameIndex = 1;
    s_.convert.outputNameIndex = 0;
    tags_.number = 8;
    EXPECT_EQ(ConvertOutputPath(s_, scratch_.File("in/Live.wav"), tags_).path,
              Out() + "Live 08.mp3");
    s_.convert.outputNameIndex = 5;
    tags_.artist = "A";
    tags_.album = "B";
    tags_.title = "C";
    ConvertTarget target = ConvertOutputPath(s_, source_, tags_);
    EXPECT_EQ(target.path, Out() + "A/B/08. C.mp3");
    EXPECT_TRUE(fs::is_directory(Out() + "A/B"));
}

// The name is held from the moment it is chosen: a second choice made meanwhile (another
// job, another process) gets the next name; a claim given up removes its empty file and the
// folders made for it, a kept one leaves everything.
TEST_F(ConvertPathTest, ANameIsClaimedUntilTheOutputIsKeptOrGivenUp) {
    s_.convert.ifExists = IfExists::kNewName;
    fs::create_directories(Out());
    s_.convert.outputDirectory = Out() + "new/deeper/";
    {
        ConvertTarget first = ConvertOutputPath(s_, source_, tags_);
        ConvertTarget second = ConvertOutputPath(s_, source_, tags_);
        EXPECT_EQ(first.path, Out() + "new/deeper/Song.mp3");
        EXPECT_EQ(second.path, Out() + "new/deeper/Songn.mp3");
        EXPECT_TRUE(fs::exists(first.path));
        s_.convert.ifExists = IfExists::kSkip;
        EXPECT_TRUE(ConvertOutputPath(s_, source_, tags_).skip);
    }
    EXPECT_FALSE(fs::exists(Out() + "new"));
    EXPECT_TRUE(fs::exists(Out()));  // it was there before

    ConvertTarget kept = ConvertOutputPath(s_, source_, tags_);
    kept.claim.Keep();
    kept = ConvertTarget{};
    EXPECT_TRUE(fs::exists(Out() + "new/deeper/Song.mp3"));
}

// No rule applies to a free name; on a taken one, 0 adds "n" until the name is free (a
// dangling link counts as taken).
TEST_F(ConvertPathTest, IfExistsRulesOnATakenName) {
    s_.convert.ifExists = IfExists::kSkip;
    ConvertTarget onFreeName = ConvertOutputPath(s_, source_, tags_);
    EXPECT_FALSE(onFreeName.skip);
    EXPECT_EQ(onFreeName.logLine, "");
    onFreeName = ConvertTarget{};
    fs::create_directories(Out());
    fs::create_symlink(scratch_.File("nowhere"), Out() + "Song.mp3");
    s_.convert.ifExists = IfExists::kNewName;
    ConvertTarget renamed = ConvertOutputPath(s_, source_, tags_);
    EXPECT_EQ(renamed.path, Out() + "Songn.mp3");
    EXPECT_EQ(renamed.logLine, Out() + "Song.mp3 exists, add\"n\" by settings.");
    renamed = ConvertTarget{};
    Touch(Out() + "Songn.mp3");
    Touch(Out() + "Songnn.mp3");
    EXPECT_EQ(ConvertOutputPath(s_, source_, tags_).path, Out() + "Songnnn.mp3");

    // Rules 1 and 2 with their lines are the conversion job's cases; others write over silently.
    fs::remove(Out() + "Song.mp3");
    Touch(Out() + "Song.mp3");
    s_.convert.ifExists = static_cast<IfExists>(3);
    ConvertTarget silent = ConvertOutputPath(s_, source_, tags_);
    EXPECT_EQ(silent.path, Out() + "Song.mp3");
    EXPECT_FALSE(silent.skip);
    EXPECT_EQ(silent.logLine, "");
}

TEST_F(OutputPathTest, MakeDirectoryPathCreatesNestedFoldersAndPassesOverWhatItCannot) {
    const std::string deep = scratch_.File("a/b/c/d");
    MakeDirectoryPath(deep);
    EXPECT_TRUE(fs::is_directory(deep));
    MakeDirectoryPath(deep);  // existing folders are passed over
    Touch(scratch_.File("file"));
    MakeDirectoryPath(scratch_.File("file/sub/deeper"));
    EXPECT_TRUE(fs::is_regular_file(scratch_.File("file")));
    EXPECT_FALSE(fs::exists(scratch_.File("file/sub")));
}

TEST_F(OutputPathTest, PathExistsForFilesFoldersAndTheRoot) {
    EXPECT_TRUE(PathExists("/"));
    EXPECT_FALSE(PathExists(scratch_.File("missing")));
    EXPECT_FALSE(PathExists(""));
}

}  // namespace
}  // namespace quelt
