// The shared option parser's reading of words, and the common job options. Its error texts
// are checked as a user sees them, in commands_test.
#include "cli/options.h"

#include <gtest/gtest.h>

namespace quelt::cli {
namespace {

TEST(OptionsTest, ReadsTheWordsAsAUserMeantThem) {
    Options o("convert");
    o.Flag("--delete-source", "delete").Value("--if-exists", "RULE", "rule");
    AddCommonOptions(o);
    ASSERT_TRUE(o.Parse({"a.wav", "--delete-source", "--if-exists", "skip", "-", "--format=mp3",
                         "-5", "--output-dir", "--weird", "--", "--metadata", "-x"}));
    EXPECT_TRUE(o.Has("--delete-source"));
    EXPECT_FALSE(o.Has("--metadata"));
    EXPECT_EQ(o.Get("--format"), "mp3");
    EXPECT_EQ(o.Get("--output-dir"), "--weird");  // a value may look like an option
    EXPECT_EQ(o.Positional(), (Args{"a.wav", "-", "-5", "--metadata", "-x"}));

    // The last value and the last of a pair of switches win.
    ASSERT_TRUE(
        o.Parse({"--metadata", "--if-exists", "new", "--no-metadata", "--if-exists", "skip"}));
    EXPECT_EQ(o.Get("--if-exists"), "skip");
    EXPECT_EQ(o.GetAll("--if-exists"), (Args{"new", "skip"}));
    EXPECT_EQ(o.Switch("--metadata", "--no-metadata"), false);
    ASSERT_TRUE(o.Parse({}));
    EXPECT_FALSE(o.Switch("--metadata", "--no-metadata"));
    EXPECT_FALSE(o.Parse({"--bogus"}));
    EXPECT_EQ(o.Error(), "unknown option --bogus");
}

TEST(CommonOptionsTest, FormatsAndPresetsByRowOrNameAndTheFolderMadeAbsolute) {
    EXPECT_EQ(ResolveFormat("5"), 5);
    EXPECT_EQ(ResolveFormat(".WAV"), 10);
    EXPECT_EQ(ResolveFormat("m4a"), 4) << "the AAC row keeps its extension";
    EXPECT_FALSE(ResolveFormat("16"));
    EXPECT_EQ(ResolvePreset("128kbit/s 44100Hz Mono"), "128kbit/s 44100Hz Mono ");
    EXPECT_EQ(ResolvePreset("Same as source"), "Same as source");
    EXPECT_FALSE(ResolvePreset("69"));
    EXPECT_FALSE(ResolvePreset("129kbit/s 44100Hz Mono"));
    EXPECT_FALSE(ParseInt("99999999999"));

    Options o("rip");
    AddCommonOptions(o);
    CommonOptions common;
    std::string error;
    ASSERT_TRUE(o.Parse({"--format", "ogg", "--preset", "0", "--output-dir", "/tmp/x/../out",
                         "--name-template", "11", "--no-metadata"}));
    ASSERT_TRUE(ReadCommonOptions(o, common, error)) << error;
    EXPECT_EQ(common.formatRow, 7);
    EXPECT_EQ(common.presetLabel, "320kbit/s 44100Hz Stereo ");
    EXPECT_EQ(common.outputDir, "/tmp/out/");
    EXPECT_EQ(common.nameTemplate, 11);
    EXPECT_EQ(common.metadata, false);
}

}  // namespace
}  // namespace quelt::cli
