// The listing commands (formats, presets, info, drives, disc, writers, settings list): their
// text as a user reads it, and their --json documents, parsed and held against the same
// command's lines; the writer's escaping of any bytes; and the speed and time left of the
// terminal's progress line.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <string>

#include "cli/json_writer.h"
#include "cli/progress_clock.h"
#include "support/cli_runner.h"
#include "support/disc_images.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

using test::CliResult;
using test::HasLine;
using test::ShellQuote;

QJsonDocument Parse(const std::string& text) {
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    return document;
}

std::string Text(const QJsonValue& value) { return value.toString().toStdString(); }

// Each line of `text` is `line(object)` of the element at its place in `rows`.
template <typename Line>
void ExpectLinesOf(const CliResult& text, const QJsonArray& rows, Line line) {
    ASSERT_EQ(rows.size(), qsizetype(text.lines.size()));
    for (int i = 0; i < rows.size(); ++i) EXPECT_EQ(text.lines[i], line(rows[i].toObject()));
}

std::string RowLine(const QJsonObject& row) {
    return std::to_string(row["row"].toInt()) + "\t" + Text(row["label"]);
}

class JsonOutput : public test::CliTest {
  protected:
    // The command's text and JSON output, both successful.
    std::pair<CliResult, QJsonDocument> Both(const std::string& arguments) {
        CliResult text = Cli(arguments);
        CliResult json = Cli(arguments + " --json");
        EXPECT_EQ(text.status, 0) << text.err;
        EXPECT_EQ(json.status, 0) << json.err;
        return {text, Parse(json.out)};
    }
};

TEST_F(JsonOutput, FormatsAndPresetsListTheSameRows) {
    auto [formats, formatsJson] = Both("formats");
    ASSERT_EQ(formats.lines.size(), 16u);
    EXPECT_EQ(formats.lines[0], "0\t.3gp (AAC-Advanced Audio Coding)");
    EXPECT_EQ(formats.lines[12], "12\t.wma (Microsoft Media Audio)");
    EXPECT_EQ(formats.lines[14], "14\tALAC (.m4a)");
    ExpectLinesOf(formats, formatsJson.array(), RowLine);
    EXPECT_EQ(Text(formatsJson.array()[14].toObject()["extension"]), ".m4a");

    auto [presets, presetsJson] = Both("presets");
    ASSERT_EQ(presets.lines.size(), 69u);
    EXPECT_EQ(presets.lines[0], "0\t320kbit/s 44100Hz Stereo ");
    EXPECT_EQ(presets.lines[7], "7\t128kbit/s 44100Hz Mono ");
    EXPECT_EQ(presets.lines[68], "68\tSame as source");
    ExpectLinesOf(presets, presetsJson.array(), RowLine);
    const QJsonObject mono = presetsJson.array()[7].toObject();
    EXPECT_EQ(mono["bitRate"].toInt(), 128000);
    EXPECT_EQ(mono["sampleRate"].toInt(), 44100);
    EXPECT_EQ(mono["channels"].toInt(), 1);
}

TEST_F(JsonOutput, InfoGivesEachFileItsFactsAndAnErrorForAnUnreadableOne) {
    test::ToneOptions tone;
    tone.seconds = 1.5;
    tone.tags = {{"title", "Übung \"eins\""}, {"artist", "Nora"}, {"track", "3/9"}};
    const std::string song = home_.File("song.flac"), missing = home_.File("missing.mp3");
    ASSERT_TRUE(test::MakeTone(song, tone));
    const CliResult text = Cli("info " + ShellQuote(song));
    EXPECT_EQ(text.status, 0) << text.err;
    const CliResult json = Cli("info --json " + ShellQuote(song) + " " + ShellQuote(missing));
    EXPECT_EQ(json.status, 1);
    EXPECT_FALSE(json.err.empty());
    const QJsonArray files = Parse(json.out).array();
    ASSERT_EQ(files.size(), 2);
    const QJsonObject file = files[0].toObject();
    EXPECT_EQ(Text(file["path"]), song);
    EXPECT_NEAR(file["durationMs"].toDouble(), 1500, 50);
    EXPECT_TRUE(file["hasAudio"].toBool());
    const QJsonObject tags = file["tags"].toObject();
    EXPECT_EQ(Text(tags["title"]), "Übung \"eins\"");
    EXPECT_EQ(tags["track"].toInt(), 3);
    EXPECT_EQ(text.lines, (std::vector<std::string>{
                              song, "  Duration: " + Text(file["duration"]),
                              "  Audio: " + Text(file["codec"]) + ", 44100 Hz, 2 channels",
                              "  Title: Übung \"eins\"", "  Artist: Nora", "  Album: ", "  Year: ",
                              "  Genre: ", "  Comment: ", "  Copyright: ", "  Track: 3"}));
    EXPECT_EQ(Text(files[1].toObject()["path"]), missing);
    EXPECT_FALSE(Text(files[1].toObject()["error"]).empty());
}

TEST_F(JsonOutput, DrivesDiscAndWritersMatchTheirLines) {
    const std::string cue =
        test::MakeDiscImage(home_.path().string(), "shown", std::vector<int>{150, 4537});
    auto [drives, drivesJson] = Both("drives --drive " + ShellQuote(cue));
    EXPECT_TRUE(HasLine(drives.out, "[" + cue + "]   Disc image   shown.cue   CUE/BIN"))
        << drives.out;
    ExpectLinesOf(drives, drivesJson.array(), [](const QJsonObject& drive) {
        return "[" + Text(drive["id"]) + "]   " + Text(drive["vendor"]) + "   " +
               Text(drive["model"]) + "   " + Text(drive["revision"]);
    });

    auto [disc, discJson] = Both("disc --no-freedb --drive " + ShellQuote(cue));
    for (const char* line :
         {"Refresh CD", "Track Count: 02 ,          Total Duration: 00:01:02.493",
          "01\tArtist\tSession1 Track1\t00:02.000", "02\tArtist\tSession1 Track2\t01:00.493"})
        EXPECT_TRUE(HasLine(disc.out, line)) << line << "\n" << disc.out;
    const QJsonObject document = discJson.object();
    EXPECT_EQ(Text(document["drive"].toObject()["id"]), cue);
    // The text is the status lines, then one line per track.
    const QJsonArray status = document["status"].toArray();
    ASSERT_EQ(disc.lines.size(), size_t(status.size()) + 2);
    for (int i = 0; i < status.size(); ++i) EXPECT_EQ(Text(status[i]), disc.lines[i]);
    ASSERT_EQ(document["tracks"].toArray().size(), 2);
    const QJsonObject second = document["tracks"].toArray()[1].toObject();
    EXPECT_EQ(second["number"].toInt(), 2);
    EXPECT_TRUE(second["checked"].toBool());
    EXPECT_EQ(Text(second["artist"]) + "|" + Text(second["title"]) + "|" + Text(second["duration"]),
              "Artist|Session1 Track2|01:00.493");

    auto [writers, writersJson] = Both("writers");
    EXPECT_EQ(writers.lines.back(),
              std::to_string(writers.lines.size()) + "\tImage file writer (CUE/BIN)");
    ExpectLinesOf(writers, writersJson.array(), [](const QJsonObject& writer) {
        return std::to_string(writer["number"].toInt()) + "\t" + Text(writer["text"]);
    });
    EXPECT_TRUE(writersJson.array().last().toObject()["imageWriter"].toBool());
    EXPECT_EQ(Text(writersJson.array().last().toObject()["device"]), "");
}

// On a first start the list shows the defaults in force and nothing is written.
TEST_F(JsonOutput, SettingsListHasEveryKeyInForce) {
    auto [text, json] = Both("settings list");
    EXPECT_EQ(text.lines.size(), 42u);
    for (const std::string& line : std::vector<std::string>{
             "CDBurn\tVolumeLabel\tAudio CD", "Main\tPriority\t1", "CONVERT\tFParamIndex\t0",
             "CDRIP\tOutputNameCustom\t0|2|3|",
             "CDRIP\tOutputDirectory\t" + home_.File("music") + "/zqr_output/"})
        EXPECT_TRUE(HasLine(text.out, line)) << line << "\n" << text.out;
    EXPECT_FALSE(std::filesystem::exists(home_.File("config")));
    ExpectLinesOf(text, json.array(), [](const QJsonObject& key) {
        return Text(key["section"]) + "\t" + Text(key["key"]) + "\t" + Text(key["value"]);
    });
}

TEST(JsonWriter, AnyBytesGiveADocumentThatParses) {
    std::string bytes = "tab\there \"quoted\" back\\slash\n\x01 Latin-1 caf\xe9 ok caf\xc3\xa9 \xf0\x9f\x8e\xb5";
    bytes += std::string("\0end", 4);
    cli::JsonWriter json;
    json.BeginObject().Field("text", bytes).Key("empty").BeginArray().EndArray();
    json.Field("number", -12).Field("yes", true).EndObject();
    const QJsonObject object = Parse(json.Text()).object();
    EXPECT_EQ(Text(object["text"]), "tab\there \"quoted\" back\\slash\n\x01 Latin-1 caf\xef\xbf\xbd ok caf\xc3\xa9 "
                                    "\xf0\x9f\x8e\xb5" + std::string("\0end", 4));
    EXPECT_TRUE(object["empty"].toArray().isEmpty());
    EXPECT_EQ(object["number"].toInt(), -12);
    EXPECT_TRUE(object["yes"].toBool());
    EXPECT_EQ(json.Text().back(), '\n');
}

TEST(ProgressClock, SpeedAndTimeLeftFromTheTotalBar) {
    using cli::ProgressClock;
    // Half of 200 s of audio in 10 s: ten times real time, 10 s to go.
    EXPECT_EQ(ProgressClock::Describe(10.0, 50, 200000), "  10.0x  0:10 left");
    EXPECT_EQ(ProgressClock::Describe(30.0, 25, 0), "  1:30 left");  // unknown length: no speed
    EXPECT_EQ(ProgressClock::Describe(4000.0, 50, 3600000), "  0.5x  1:06:40 left");
    EXPECT_EQ(ProgressClock::Describe(5.0, 100, 60000), "  12.0x  0:00 left");
    // Nothing to measure yet.
    EXPECT_EQ(ProgressClock::Describe(10.0, 0, 60000), "");
    EXPECT_EQ(ProgressClock::Describe(0.1, 40, 60000), "");
}

}  // namespace
}  // namespace quelt
