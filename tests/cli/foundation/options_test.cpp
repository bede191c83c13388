// The shared option parser and the common job options.
#include "cli/options.h"

#include <gtest/gtest.h>

#include "support/fixtures.h"

namespace quelt::cli {
namespace {

Options MakeOptions() {
    Options o("convert");
    o.Flag("--delete-source", "delete").Value("--if-exists", "RULE", "rule");
    AddCommonOptions(o);
    return o;
}

TEST(OptionsTest, SeparatesFlagsValuesAndPositionalWords) {
    Options o = MakeOptions();
    ASSERT_TRUE(
        o.Parse({"a.wav", "--delete-source", "--if-exists", "skip", "-", "--format=mp3", "b.wav"}));
    EXPECT_TRUE(o.Has("--delete-source"));
    EXPECT_FALSE(o.Has("--metadata"));
    EXPECT_EQ(o.Get("--if-exists"), "skip");
    EXPECT_EQ(o.Get("--format"), "mp3");
    EXPECT_FALSE(o.Get("--preset"));
    EXPECT_EQ(o.Positional(), (Args{"a.wav", "-", "b.wav"}));
    EXPECT_FALSE(o.HelpRequested());
}

TEST(OptionsTest, DoubleDashEndsTheOptions) {
    Options o = MakeOptions();
    ASSERT_TRUE(o.Parse({"--", "--delete-source", "-x"}));
    EXPECT_FALSE(o.Has("--delete-source"));
    EXPECT_EQ(o.Positional(), (Args{"--delete-source", "-x"}));
}

TEST(OptionsTest, NegativeNumbersArePositional) {
    Options o = MakeOptions();
    ASSERT_TRUE(o.Parse({"set", "CDRIP", "FreedbPort", "-5"}));
    EXPECT_EQ(o.Positional(), (Args{"set", "CDRIP", "FreedbPort", "-5"}));
}

TEST(OptionsTest, ValuesMayLookLikeOptions) {
    Options o = MakeOptions();
    ASSERT_TRUE(o.Parse({"--output-dir", "--weird", "--preset", "-1"}));
    EXPECT_EQ(o.Get("--output-dir"), "--weird");
    EXPECT_EQ(o.Get("--preset"), "-1");
}

TEST(OptionsTest, BadWordsGiveAReason) {
    Options o = MakeOptions();
    EXPECT_FALSE(o.Parse({"--bogus"}));
    EXPECT_EQ(o.Error(), "unknown option --bogus");
    EXPECT_FALSE(o.Parse({"a", "--if-exists"}));
    EXPECT_EQ(o.Error(), "option --if-exists needs a value (RULE)");
    EXPECT_FALSE(o.Parse({"--delete-source=1"}));
    EXPECT_EQ(o.Error(), "option --delete-source takes no value");
    EXPECT_FALSE(o.Parse({"-q"}));
}

TEST(OptionsTest, LastValueAndLastSwitchWin) {
    Options o = MakeOptions();
    ASSERT_TRUE(
        o.Parse({"--metadata", "--if-exists", "new", "--no-metadata", "--if-exists", "skip"}));
    EXPECT_EQ(o.Get("--if-exists"), "skip");
    EXPECT_EQ(o.GetAll("--if-exists"), (Args{"new", "skip"}));
    EXPECT_EQ(o.Switch("--metadata", "--no-metadata"), false);
    ASSERT_TRUE(o.Parse({"--no-metadata", "--metadata"}));
    EXPECT_EQ(o.Switch("--metadata", "--no-metadata"), true);
    ASSERT_TRUE(o.Parse({}));
    EXPECT_FALSE(o.Switch("--metadata", "--no-metadata"));
}

TEST(OptionsTest, HelpIsAlwaysKnownAndListsTheOptions) {
    Options o = MakeOptions();
    ASSERT_TRUE(o.Parse({"x", "--help"}));
    EXPECT_TRUE(o.HelpRequested());
    const std::string help = o.HelpText("[OPTIONS] FILE...", "Converts files.");
    EXPECT_EQ(help.rfind("Usage: quelt-cli convert [OPTIONS] FILE...\n", 0), 0u);
    EXPECT_NE(help.find("--if-exists RULE"), std::string::npos);
    EXPECT_NE(help.find("--no-metadata"), std::string::npos);
}

TEST(OptionsTest, IntegerValuesAreCheckedAgainstTheirRange) {
    Options o("rip");
    o.Value("--case", "1..4").Value("--port", "P");
    std::optional<int> value = 7;
    std::string error;
    ASSERT_TRUE(o.Parse({"--case", "3"}));
    EXPECT_TRUE(o.GetInt("--case", 1, 4, value, error));
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(o.GetInt("--port", 1, 65535, value, error));
    EXPECT_FALSE(value);
    for (const char* bad : {"0", "5", "x", "", "3.0"}) {
        ASSERT_TRUE(o.Parse({"--case", bad}));
        EXPECT_FALSE(o.GetInt("--case", 1, 4, value, error)) << bad;
        EXPECT_EQ(error, std::string("--case takes a number from 1 to 4, not \"") + bad + "\"");
    }
}

TEST(ParseIntTest, WholeNumbersOnly) {
    EXPECT_EQ(ParseInt("12"), 12);
    EXPECT_EQ(ParseInt("-3"), -3);
    EXPECT_FALSE(ParseInt(""));
    EXPECT_FALSE(ParseInt("-"));
    EXPECT_FALSE(ParseInt("12a"));
    EXPECT_FALSE(ParseInt(" 1"));
    EXPECT_FALSE(ParseInt("99999999999"));
}

TEST(CommonOptionsTest, ResolvesFormatsAndPresetsByRowOrName) {
    EXPECT_EQ(ResolveFormat("5"), 5);
    EXPECT_EQ(ResolveFormat("flac"), 9);
    EXPECT_EQ(ResolveFormat(".WAV"), 10);
    EXPECT_EQ(ResolveFormat("opus"), 13);
    EXPECT_EQ(ResolveFormat("m4a"), 4) << "the AAC row keeps its extension";
    EXPECT_FALSE(ResolveFormat("16"));
    EXPECT_FALSE(ResolveFormat("ape"));
    EXPECT_EQ(ResolvePreset("7"), "128kbit/s 44100Hz Mono ");
    EXPECT_EQ(ResolvePreset("128kbit/s 44100Hz Mono"), "128kbit/s 44100Hz Mono ");
    EXPECT_EQ(ResolvePreset("8kbit/s 8000Hz Mono "), "8kbit/s 8000Hz Mono ");
    EXPECT_EQ(ResolvePreset("68"), "Same as source");
    EXPECT_EQ(ResolvePreset("Same as source"), "Same as source");
    EXPECT_FALSE(ResolvePreset("69"));
    EXPECT_FALSE(ResolvePreset("129kbit/s 44100Hz Mono"));
}

TEST(CommonOptionsTest, ReadsAndChecksTheCommonOptions) {
    Options o = MakeOptions();
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

    for (const Args& bad : {Args{"--format", "xyz"}, Args{"--preset", "fast"},
                            Args{"--name-template", "12"}, Args{"--name-template", "-1"},
                            Args{"--name-template", "two"}, Args{"--output-dir", ""}}) {
        CommonOptions c;
        ASSERT_TRUE(o.Parse(bad));
        error.clear();
        EXPECT_FALSE(ReadCommonOptions(o, c, error)) << bad[0] << " " << bad[1];
        EXPECT_FALSE(error.empty());
    }
}

TEST(CommonOptionsTest, AppliesToTheSettingsOfOneJobKind) {
    CommonOptions common;
    common.outputDir = "/o/";
    common.nameTemplate = 4;
    common.metadata = true;
    Settings s;
    ApplyCommonOptions(common, s, kModeConvert);
    EXPECT_EQ(s.convert.outputDirectory, "/o/");
    EXPECT_EQ(s.convert.bOutputDirectory, 1);
    EXPECT_EQ(s.convert.outputNameIndex, 4);
    EXPECT_EQ(s.convert.bOutputNameIndex, 1);
    EXPECT_EQ(s.convert.metadata, 1);
    EXPECT_EQ(s.rip.outputDirectory, "");

    Settings r;
    r.rip.metadata = 1;
    common.metadata = false;
    ApplyCommonOptions(common, r, kModeRip);
    EXPECT_EQ(r.rip.outputDirectory, "/o/");
    EXPECT_EQ(r.rip.outputNameIndex, 4);
    EXPECT_EQ(r.rip.metadata, 0);
    EXPECT_EQ(r.convert.bOutputDirectory, 0);

    Settings untouched;
    untouched.rip.metadata = 1;
    ApplyCommonOptions(CommonOptions{}, untouched, kModeRip);
    EXPECT_EQ(untouched.rip.metadata, 1);
}

TEST(CommonOptionsTest, FormatAndPresetInForceComeFromThePagesKeys) {
    test::ScratchDir scratch;
    ProfileFile file(scratch.File("zqrprocfg.cfg"));
    file.WriteInt("CONVERT", "FormatIndex", 9);
    file.WriteInt("CONVERT", "FParamIndex", 7);
    file.WriteInt("CDRIP", "FParamIndex", 99);
    CommonOptions none;
    EXPECT_EQ(FormatRowInForce(none, file, kModeConvert), 9);
    EXPECT_EQ(PresetLabelInForce(none, file, kModeConvert), "128kbit/s 44100Hz Mono ");
    EXPECT_EQ(FormatRowInForce(none, file, kModeRip), 0);
    EXPECT_EQ(PresetLabelInForce(none, file, kModeRip), "");  // a stored row outside the list
    CommonOptions given;
    given.formatRow = 5;
    given.presetLabel = "8kbit/s 8000Hz Mono ";
    EXPECT_EQ(FormatRowInForce(given, file, kModeConvert), 5);
    EXPECT_EQ(PresetLabelInForce(given, file, kModeConvert), "8kbit/s 8000Hz Mono ");
}

}  // namespace
}  // namespace quelt::cli
