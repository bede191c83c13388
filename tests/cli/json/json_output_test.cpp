// The --json documents of formats, presets, info, drives, disc, writers and settings list,
// each parsed and held against the facts of the same command's text output; the writer's
// escaping of any bytes; and the speed and time left of the terminal's progress line.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <string>

#include "cli/json_writer.h"
#include "cli/progress_clock.h"
#include "support/cli_runner.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

using test::CliResult;
using test::ShellQuote;

QJsonDocument Parse(const std::string& text) {
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    return document;
}

std::string Text(const QJsonValue& value) { return value.toString().toStdString(); }

class JsonOutput : public ::testing::Test {
  protected:
    CliResult Cli(const std::string& arguments) { return test::RunCli(scratch_, arguments); }
    // The command's text and JSON output, both successful.
    std::pair<CliResult, QJsonDocument> Both(const std::string& arguments) {
        CliResult text = Cli(arguments);
        CliResult json = Cli(arguments + " --json");
        EXPECT_EQ(text.status, 0) << text.err;
        EXPECT_EQ(json.status, 0) << json.err;
        return {text, Parse(json.out)};
    }
    std::string Demo() const { return std::string(QUELT_BUILD_DATA_DIR) + "/demo/demo.cue"; }

    test::ScratchDir scratch_;
};

TEST_F(JsonOutput, FormatsAndPresetsListTheSameRows) {
    auto [formats, formatsJson] = Both("formats");
    const QJsonArray formatRows = formatsJson.array();
    ASSERT_EQ(formatRows.size(), qsizetype(formats.lines.size()));
    for (int row = 0; row < formatRows.size(); ++row) {
        const QJsonObject format = formatRows[row].toObject();
        EXPECT_EQ(format["row"].toInt(), row);
        EXPECT_EQ(std::to_string(row) + "\t" + Text(format["label"]), formats.lines[row]);
        EXPECT_NE(Text(format["label"]).find(Text(format["extension"])), std::string::npos);
    }

    auto [presets, presetsJson] = Both("presets");
    const QJsonArray presetRows = presetsJson.array();
    ASSERT_EQ(presetRows.size(), qsizetype(presets.lines.size()));
    for (int row = 0; row < presetRows.size(); ++row)
        EXPECT_EQ(std::to_string(row) + "\t" + Text(presetRows[row].toObject()["label"]),
                  presets.lines[row]);
    const QJsonObject mono = presetRows[7].toObject();  // "128kbit/s 44100Hz Mono "
    EXPECT_EQ(mono["bitRate"].toInt(), 128000);
    EXPECT_EQ(mono["sampleRate"].toInt(), 44100);
    EXPECT_EQ(mono["channels"].toInt(), 1);
}

TEST_F(JsonOutput, InfoGivesEachFileItsFactsAndAnErrorForAnUnreadableOne) {
    test::ToneOptions tone;
    tone.seconds = 1.5;
    tone.tags = {{"title", "Übung \"eins\""}, {"artist", "Nora"}, {"track", "3/9"}};
    const std::string song = scratch_.File("song.flac");
    ASSERT_TRUE(test::MakeTone(song, tone));
    const std::string missing = scratch_.File("missing.mp3");

    const CliResult text = Cli("info " + ShellQuote(song));
    ASSERT_EQ(text.status, 0) << text.err;
    const CliResult json = Cli("info --json " + ShellQuote(song) + " " + ShellQuote(missing));
    EXPECT_EQ(json.status, 1);
    EXPECT_FALSE(json.err.empty());
    const QJsonArray files = Parse(json.out).array();
    ASSERT_EQ(files.size(), 2);

    const QJsonObject file = files[0].toObject();
    EXPECT_EQ(Text(file["path"]), song);
    EXPECT_EQ(text.lines[0], song);
    EXPECT_EQ(text.lines[1], "  Duration: " + Text(file["duration"]));
    EXPECT_NEAR(file["durationMs"].toDouble(), 1500, 50);
    EXPECT_TRUE(file["hasAudio"].toBool());
    EXPECT_EQ(text.lines[2], "  Audio: " + Text(file["codec"]) + ", 44100 Hz, 2 channels");
    EXPECT_EQ(file["sampleRate"].toInt(), 44100);
    EXPECT_EQ(file["channels"].toInt(), 2);
    const QJsonObject tags = file["tags"].toObject();
    EXPECT_EQ(text.lines[3], "  Title: " + Text(tags["title"]));
    EXPECT_EQ(Text(tags["title"]), "Übung \"eins\"");
    EXPECT_EQ(Text(tags["artist"]), "Nora");
    EXPECT_EQ(tags["track"].toInt(), 3);

    const QJsonObject unreadable = files[1].toObject();
    EXPECT_EQ(Text(unreadable["path"]), missing);
    EXPECT_FALSE(Text(unreadable["error"]).empty());
}

TEST_F(JsonOutput, DrivesDiscAndWritersMatchTheirLines) {
    auto [drives, drivesJson] = Both("drives --drive " + ShellQuote(Demo()));
    const QJsonArray driveList = drivesJson.array();
    ASSERT_EQ(driveList.size(), qsizetype(drives.lines.size()));
    const QJsonObject demo = driveList.last().toObject();
    EXPECT_EQ(Text(demo["id"]), Demo());
    EXPECT_EQ(drives.lines.back(), "[" + Text(demo["id"]) + "]   " + Text(demo["vendor"]) + "   " +
                                       Text(demo["model"]) + "   " + Text(demo["revision"]));

    auto [disc, discJson] = Both("disc --no-freedb --drive " + ShellQuote(Demo()));
    const QJsonObject document = discJson.object();
    EXPECT_EQ(Text(document["drive"].toObject()["id"]), Demo());
    const QJsonArray status = document["status"].toArray();
    const QJsonArray tracks = document["tracks"].toArray();
    ASSERT_EQ(tracks.size(), 4);
    // The text output is the status lines, then one line per track.
    ASSERT_EQ(disc.lines.size(), size_t(status.size() + tracks.size()));
    for (int i = 0; i < status.size(); ++i) EXPECT_EQ(disc.lines[i], Text(status[i]));
    for (int i = 0; i < tracks.size(); ++i) {
        const QJsonObject track = tracks[i].toObject();
        EXPECT_EQ(track["number"].toInt(), i + 1);
        EXPECT_TRUE(track["checked"].toBool());
        char number[16];
        std::snprintf(number, sizeof number, "%02d", i + 1);
        EXPECT_EQ(disc.lines[status.size() + i], std::string(number) + "\t" + Text(track["artist"]) +
                                                     "\t" + Text(track["title"]) + "\t" +
                                                     Text(track["duration"]));
    }

    auto [writers, writersJson] = Both("writers");
    const QJsonArray writerList = writersJson.array();
    ASSERT_EQ(writerList.size(), qsizetype(writers.lines.size()));
    const QJsonObject image = writerList.last().toObject();
    EXPECT_TRUE(image["imageWriter"].toBool());
    EXPECT_EQ(Text(image["device"]), "");
    EXPECT_EQ(writers.lines.back(),
              std::to_string(image["number"].toInt()) + "\t" + Text(image["text"]));
}

TEST_F(JsonOutput, SettingsListHasEveryKeyWithItsValue) {
    ASSERT_EQ(Cli("settings set CDBurn VolumeLabel 'Road trip'").status, 0);
    auto [text, json] = Both("settings list");
    const QJsonArray keys = json.array();
    ASSERT_EQ(keys.size(), qsizetype(text.lines.size()));
    for (int i = 0; i < keys.size(); ++i) {
        const QJsonObject key = keys[i].toObject();
        EXPECT_EQ(text.lines[i], Text(key["section"]) + "\t" + Text(key["key"]) + "\t" + Text(key["value"]));
    }
    bool found = false;
    for (const auto& key : keys)
        found |= Text(key.toObject()["key"]) == "VolumeLabel" && Text(key.toObject()["value"]) == "Road trip";
    EXPECT_TRUE(found);
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
