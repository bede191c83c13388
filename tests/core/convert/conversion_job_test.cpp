// The conversion job end to end: real files in, real files out, every report call recorded.
#include "core/convert/conversion_job.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <tuple>

#include "core/transcode/media_info.h"
#include "support/fixtures.h"
#include "support/media.h"
#include "support/probe.h"
#include "support/recording_report.h"

namespace quelt::test {
namespace {

namespace fs = std::filesystem;

constexpr int kWavRow = 10;
constexpr int kFlacRow = 9;
const char* const kPreset = "128kbit/s 44100Hz Stereo ";

// An item of the list with its path only (no tags, no duration).
ConvertItem PathItem(std::string path) {
    ConvertItem item;
    item.path = std::move(path);
    return item;
}

// Lets a test act on a report call.
class Report : public RecordingReport {
  public:
    void SetItemBar(int p) override {
        RecordingReport::SetItemBar(p);
        if (onItemBar) onItemBar(p);
    }
    void SetCounterLine(const std::string& t) override {
        RecordingReport::SetCounterLine(t);
        if (onCounter) onCounter(t);
    }
    std::function<void(int)> onItemBar;
    std::function<void(const std::string&)> onCounter;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// True as well when the folder is gone: a job removes the folders it made and left empty.
bool NoTemporaryFiles(const fs::path& folder) {
    if (!fs::exists(folder)) return true;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".part") return false;
    return true;
}

class ConversionJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        out_ = dir_.File("out") + "/";
        settings_.convert.bOutputDirectory = 1;
        settings_.convert.outputDirectory = out_;
        settings_.convert.bOutputNameIndex = 0;
        settings_.convert.metadata = 1;
        settings_.convert.ifExists = IfExists::kNewName;
        settings_.convert.deleteSource = 0;
        settings_.convert.jobs = 1;  // the one-file-at-a-time batch; parallel tests raise it
    }

    // A tone file named `name` in the scratch folder, as a list item.
    ConvertItem Tone(const std::string& name, double seconds = 0.5) {
        ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        std::string path = dir_.File(name);
        EXPECT_TRUE(MakeTone(path, toneOptions));
        ConvertItem item;
        item.path = path;
        item.title = "Title " + name;
        item.artist = "Artist";
        item.durationMs = static_cast<int64_t>(seconds * 1000);
        return item;
    }

    ConvertItem Garbage(const std::string& name) {
        std::ofstream(dir_.File(name)) << "this is not audio";
        ConvertItem item;
        item.path = dir_.File(name);
        return item;
    }

    ConversionJobParameters Parameters(std::vector<ConvertItem> items, int row,
                                       const char* preset) {
        ConversionJobParameters parameters;
        parameters.settings = settings_;
        parameters.items = std::move(items);
        parameters.formatRow = row;
        parameters.presetLabel = preset;
        parameters.startDelayMs = 0;
        return parameters;
    }

    int RunJob(std::vector<ConvertItem> items, int row = kWavRow, const char* preset = kPreset) {
        control_.Start();
        ConversionJobParameters parameters = Parameters(std::move(items), row, preset);
        parameters.closingSound = [this](bool done) { sounds_.push_back(done ? "done" : "fail"); };
        ConversionJob job(std::move(parameters));
        summary_ = job.Run(report_, control_);
        return summary_.finished();
    }

    ScratchDir dir_;
    std::string out_;
    Settings settings_;
    Report report_;
    JobControl control_;
    ConversionSummary summary_;
    std::vector<std::string> sounds_;
};

TEST_F(ConversionJobTest, SevenFilesShowTheCounterBatchAndFinalTexts) {
    std::vector<ConvertItem> items;
    for (int i = 1; i <= 7; ++i) items.push_back(Tone("song" + std::to_string(i) + ".wav", 0.3));
    EXPECT_EQ(RunJob(items), 7);

    ASSERT_EQ(report_.counterLines.size(), 7u);
    EXPECT_EQ(report_.counterLines.front(), "Converting : track no. 01  / 07 tracks");
    EXPECT_EQ(report_.counterLines.back(), "Converting : track no. 07  / 07 tracks");
    EXPECT_EQ(report_.batchLines.front(), "Batch Convert = 0 %");
    EXPECT_EQ(report_.batchLines.back(), "Total Postion : 100 %");
    EXPECT_EQ(report_.log.front(), "Initializing...");
    EXPECT_EQ(report_.log.back(), "Done, 07 track(s) were successfully.");
    EXPECT_TRUE(report_.Logged("Create output file: " + out_ + "song1.wav"));
    EXPECT_EQ(report_.inputLine, "Input Audio : song7.wav");
    EXPECT_EQ(report_.positionLine, "Current Postion : 100 %");
    EXPECT_EQ(report_.button, "Close");
    EXPECT_FALSE(control_.busy.load());
    EXPECT_EQ(sounds_, std::vector<std::string>{"done"});

    // Batch lines are "Batch Convert = %d %", rising; the total bar never goes back.
    for (size_t i = 1; i + 1 < report_.batchLines.size(); ++i)
        EXPECT_TRUE(std::regex_match(report_.batchLines[i], std::regex("Batch Convert = [0-9]+ %")))
            << report_.batchLines[i];
    EXPECT_TRUE(std::is_sorted(report_.totalBars.begin(), report_.totalBars.end()));
    EXPECT_EQ(report_.totalBars.back(), 100);
    // Position lines are "%7.2f" right-aligned with a blank before the percent sign.
    for (const auto& line : report_.positionLines)
        EXPECT_TRUE(std::regex_match(
            line, std::regex("Current Postion : ([ 0-9]{3}[0-9]\\.[0-9]{2}|100) %")))
            << line;
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(fs::exists(out_ + "song" + std::to_string(i) + ".wav"));
}

TEST_F(ConversionJobTest, CancelInTheThirdOfFiveFilesRemovesOnlyItsUnfinishedOutput) {
    settings_.convert.ifExists =
        IfExists::kOverwrite;  // the third output exists and would be overwritten
    settings_.convert.deleteSource = 1;
    fs::create_directories(out_);
    std::ofstream(out_ + "s3.flac") << "an older file of the user's";
    std::vector<ConvertItem> items;
    for (int i = 1; i <= 5; ++i) items.push_back(Tone("s" + std::to_string(i) + ".wav", 1.5));
    bool third = false;
    report_.onCounter = [&](const std::string& line) {
        third = line.find("no. 03 ") != std::string::npos;
    };
    report_.onItemBar = [&](int percent) {
        if (third && percent > 0) control_.cancel.store(true);
    };
    RunJob(items, kFlacRow);

    EXPECT_TRUE(fs::exists(out_ + "s1.flac"));
    EXPECT_TRUE(fs::exists(out_ + "s2.flac"));
    EXPECT_EQ(ReadFile(out_ + "s3.flac"), "an older file of the user's");
    EXPECT_FALSE(fs::exists(out_ + "s4.flac"));
    EXPECT_FALSE(fs::exists(out_ + "s5.flac"));
    EXPECT_TRUE(NoTemporaryFiles(out_));
    // Sources of finished files went (DeleteSource); the cancelled and untouched ones stay.
    EXPECT_FALSE(fs::exists(items[0].path));
    EXPECT_TRUE(fs::exists(items[2].path));
    EXPECT_TRUE(fs::exists(items[3].path));
    EXPECT_EQ(report_.log.back(), "Convert cancelled by user");
    EXPECT_EQ(report_.counterLines.size(), 3u);
    EXPECT_EQ(sounds_, std::vector<std::string>{"fail"});
    EXPECT_EQ(report_.button, "Close");
    EXPECT_FALSE(control_.busy.load());
    EXPECT_TRUE(summary_.cancelled);
    std::vector<ItemState> states;
    for (const ItemResult& result : summary_.items) states.push_back(result.state);
    EXPECT_EQ(states,
              (std::vector<ItemState>{ItemState::kDone, ItemState::kDone, ItemState::kCancelled,
                                      ItemState::kCancelled, ItemState::kCancelled}));
}

// A file that fails is logged and the batch goes on; delete-source keeps its source.
TEST_F(ConversionJobTest, AFailedOrDamagedFileKeepsItsSourceAndTheBatchGoesOn) {
    settings_.convert.deleteSource = 1;
    ConvertItem good = Tone("good.wav");
    ConvertItem bad = Garbage("bad.wav");
    // An AAC stream with damaged frames: the errors cost audio, so it fails.
    ASSERT_TRUE(
        MakeTone(dir_.File("clean.aac"), ToneOptions{2.0, 44100, 2, 440.0, {}, "-b:a 128k"}));
    ASSERT_TRUE(CopyWithDamage(dir_.File("clean.aac"), dir_.File("damaged.aac")));
    ConvertItem damaged = PathItem(dir_.File("damaged.aac"));
    EXPECT_EQ(RunJob({good, bad, damaged}), 1);
    EXPECT_TRUE(report_.Logged(damaged.path + ": Error while decoding frame, skip."));
    EXPECT_TRUE(report_.Logged("Could not open input audio " + bad.path + ", skip."));
    EXPECT_EQ(report_.log.back(), "Done, 01 track(s) were successfully.");
    // One result per file: the good one done, the others failed with the line the log shows.
    ASSERT_EQ(summary_.items.size(), 3u);
    EXPECT_EQ(summary_.items[0].state, ItemState::kDone);
    EXPECT_EQ(summary_.items[1].state, ItemState::kFailed);
    EXPECT_EQ(summary_.items[1].reason, "Could not open input audio " + bad.path + ", skip.");
    EXPECT_EQ(summary_.items[2].state, ItemState::kFailed);
    EXPECT_EQ(summary_.items[2].item, damaged.path);
    EXPECT_EQ(summary_.items[2].reason.rfind(damaged.path + ": damaged audio, only ", 0), 0u);
    EXPECT_EQ(summary_.failed(), 2);
    EXPECT_TRUE(fs::exists(out_ + "good.wav"));
    EXPECT_FALSE(fs::exists(good.path));
    EXPECT_TRUE(fs::exists(bad.path));
    EXPECT_TRUE(fs::exists(damaged.path));
    EXPECT_FALSE(fs::exists(out_ + "damaged.wav"));
}

TEST_F(ConversionJobTest, AnOutputThatIsItsOwnSourceReplacesItSafely) {
    settings_.convert.bOutputDirectory = 0;  // beside the source, same name and extension
    settings_.convert.ifExists = IfExists::kOverwrite;
    settings_.convert.deleteSource = 1;
    ConvertItem item = Tone("same.wav", 1.0);
    std::vector<int16_t> before = DecodePcm(item.path);
    EXPECT_EQ(RunJob({item}), 1);
    EXPECT_TRUE(report_.Logged(item.path + " exists, writeover by settings."));
    ASSERT_TRUE(fs::exists(item.path));
    EXPECT_EQ(DecodePcm(item.path), before);
    EXPECT_TRUE(NoTemporaryFiles(dir_.path()));
}

TEST_F(ConversionJobTest, TagsComeFromTheListAndOnlyWithMetadata) {
    ConvertItem item = Tone("tagged.wav");
    item.title = "Edited Title";
    item.album = "Album";
    item.year = "2001";
    item.genre = "Rock";
    EXPECT_EQ(RunJob({item}, kFlacRow), 1);
    auto info = ReadMediaInfo(out_ + "tagged.flac");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->title, "Edited Title");
    EXPECT_EQ(info->artist, "Artist");
    EXPECT_EQ(info->year, "2001");
    EXPECT_EQ(info->track, 1);

    settings_.convert.metadata = 0;
    settings_.convert.ifExists = IfExists::kOverwrite;
    EXPECT_EQ(RunJob({item}, kFlacRow), 1);
    std::string tags = Capture("ffprobe -v error -show_entries format_tags -of flat " +
                               ShellQuote(out_ + "tagged.flac"));
    EXPECT_EQ(tags.find("title"), std::string::npos) << tags;
    EXPECT_EQ(tags.find("track"), std::string::npos) << tags;
}

TEST_F(ConversionJobTest, WithoutADurationProgressFollowsTheBytesAndNeverGoesBack) {
    ASSERT_TRUE(MakeToneWithoutDuration(dir_.File("stream.mka"), 3.0));
    ConvertItem a = PathItem(dir_.File("stream.mka"));
    ConvertItem b = Tone("b.wav", 1.0);
    EXPECT_EQ(RunJob({a, b}), 2);
    // The first file's bars moved before it ended, and both bars only rose within a file.
    std::vector<int> bars = report_.itemBars;
    auto firstFull = std::find(bars.begin(), bars.end(), 100);
    EXPECT_TRUE(std::any_of(bars.begin(), firstFull, [](int bar) { return bar > 0; }));
    EXPECT_TRUE(std::is_sorted(report_.totalBars.begin(), report_.totalBars.end()));
    for (int bar : report_.totalBars) EXPECT_LE(bar, 100);
    for (int bar : bars) EXPECT_LE(bar, 100);
}

// A full disk, made by a file-size limit in a child process: the file that does not fit is
// reported and removed, its source stays, and the next file is converted.
TEST_F(ConversionJobTest, AFullDiskFailsTheFileCleanly) {
    settings_.convert.deleteSource = 1;
    ConvertItem big = Tone("big.wav", 3.0);      // about 530 KB of output
    ConvertItem small = Tone("small.wav", 0.2);  // about 35 KB
    std::string logPath = dir_.File("log.txt");
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200 * 1024, 200 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        int finished = RunJob({big, small});
        {
            std::ofstream log(logPath);
            for (const auto& line : report_.log) log << line << "\n";
        }
        std::_Exit(finished);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string log = ReadFile(logPath);
    EXPECT_NE(
        log.find("Could not write the output file " + out_ + "big.wav (File too large), skip.\n"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("Done, 01 track(s) were successfully.\n"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(out_ + "big.wav"));
    EXPECT_TRUE(fs::exists(big.path));
    EXPECT_TRUE(fs::exists(out_ + "small.wav"));
    EXPECT_FALSE(fs::exists(small.path));
    EXPECT_TRUE(NoTemporaryFiles(out_));
}

// Each "IfExists" rule on a name the user's file holds and on names the batch itself makes
// twice; several files at once must give what one file at a time gives: the same names, the
// same audio under each name and the same log.
class ParallelBatchTest : public ConversionJobTest, public ::testing::WithParamInterface<int> {};

TEST_P(ParallelBatchTest, GivesTheNamesAudioAndLogOfAOneFileAtATimeBatch) {
    settings_.convert.ifExists = static_cast<IfExists>(GetParam());
    settings_.convert.bOutputNameIndex = 1;
    settings_.convert.outputNameIndex = 2;  // "<artist> - <title>": equal tags, equal names
    std::vector<ConvertItem> items;
    for (int i = 0; i < 7; ++i) {
        ToneOptions tone;
        tone.seconds = 0.3 + 0.25 * (i % 3);
        tone.frequency = 300.0 + 110.0 * i;
        const std::string path = dir_.File("src" + std::to_string(i) + ".wav");
        ASSERT_TRUE(MakeTone(path, tone));
        ConvertItem item = PathItem(path);
        item.artist = "Artist";
        item.title = i < 4 ? "Same" : "Song " + std::to_string(i);
        items.push_back(item);
    }
    auto run = [&](int jobs, const std::string& folder) {
        settings_.convert.jobs = jobs;
        settings_.convert.outputDirectory = folder;
        fs::create_directories(folder);
        std::ofstream(folder + "Artist - Same.flac") << "the user's own file";
        Report report;
        control_.Start();
        ConversionJob job(Parameters(items, kFlacRow, kPreset));
        summary_ = job.Run(report, control_);
        std::vector<std::string> log = report.log;
        for (std::string& line : log)
            if (auto at = line.find(folder); at != std::string::npos) line.replace(at, folder.size(), "<out>/");
        return log;
    };
    const std::vector<std::string> one = run(1, dir_.File("one") + "/");
    const char* const ruleLines[] = {" exists, add\"n\" by settings.",
                                     " exists, writeover by settings.",
                                     " exists, skip by settings."};
    const std::string taken = "<out>/Artist - Same.flac";
    EXPECT_EQ(one[1], taken + ruleLines[GetParam()]);
    const bool kept = ReadFile(dir_.File("one") + "/Artist - Same.flac") == "the user's own file";
    EXPECT_EQ(kept, GetParam() != 1) << "only \"writeover\" replaces the user's file";
    EXPECT_EQ(summary_.skipped(), GetParam() == 2 ? 4 : 0);
    const std::vector<std::string> three = run(3, dir_.File("three") + "/");
    EXPECT_EQ(three, one);

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.File("one"))) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::vector<std::string> parallelNames;
    for (const auto& entry : fs::directory_iterator(dir_.File("three")))
        parallelNames.push_back(entry.path().filename());
    std::sort(parallelNames.begin(), parallelNames.end());
    ASSERT_EQ(parallelNames, names);
    for (const std::string& name : names) {
        const std::string a = dir_.File("one") + "/" + name, b = dir_.File("three") + "/" + name;
        if (ReadFile(a) == "the user's own file")
            EXPECT_EQ(ReadFile(b), ReadFile(a)) << name;
        else
            EXPECT_EQ(DecodePcm(b), DecodePcm(a)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ParallelBatchTest, ::testing::Values(0, 1, 2));

TEST_F(ConversionJobTest, CancelInAParallelBatchLeavesNoPartialFileAndEverySource) {
    settings_.convert.jobs = 3;
    settings_.convert.deleteSource = 1;
    std::vector<ConvertItem> items;
    // Only the first file shows its bar; the others are long enough that none can have
    // finished when that bar first moves, however the threads are scheduled.
    for (int i = 1; i <= 6; ++i) items.push_back(Tone("c" + std::to_string(i) + ".wav", i == 1 ? 3.0 : 60.0));
    report_.onItemBar = [&](int percent) {
        if (percent > 0) control_.cancel.store(true);
    };
    RunJob(items, kFlacRow);

    EXPECT_TRUE(summary_.cancelled);
    EXPECT_EQ(summary_.finished(), 0);
    EXPECT_TRUE(NoTemporaryFiles(out_));
    EXPECT_TRUE(!fs::exists(out_) || fs::is_empty(out_));
    for (const ConvertItem& item : items) EXPECT_TRUE(fs::exists(item.path)) << item.path;
    EXPECT_EQ(report_.log.back(), "Convert cancelled by user");
    EXPECT_FALSE(control_.busy.load());
}

TEST_F(ConversionJobTest, SameAsSourceKeeps96kHz24BitAndIsRefusedByLossyRows) {
    settings_.convert.jobs = 0;  // one per core
    ToneOptions tone;
    tone.seconds = 0.5;
    tone.sampleRate = 96000;
    tone.extraArgs = "-c:a flac -sample_fmt s32";
    const std::string path = dir_.File("hires.flac");
    ASSERT_TRUE(MakeTone(path, tone));
    ASSERT_EQ(ProbeEntry(path, "stream=bits_per_raw_sample"), "24");
    for (const auto& [row, extension] :
         {std::pair{kFlacRow, ".flac"}, std::pair{kWavRow, ".wav"}, std::pair{15, ".wv"}, std::pair{14, ".m4a"}}) {
        settings_.convert.outputDirectory = dir_.File(std::to_string(row)) + "/";
        ASSERT_EQ(RunJob({PathItem(path)}, row, "Same as source"), 1) << extension;
        const std::string out = settings_.convert.outputDirectory + "hires" + extension;
        EXPECT_EQ(ProbeEntry(out, "stream=sample_rate"), "96000") << extension;
        EXPECT_EQ(ProbeEntry(out, "stream=channels"), "2") << extension;
        const std::string bits = ProbeEntry(out, "stream=bits_per_raw_sample");
        const std::string coded = ProbeEntry(out, "stream=bits_per_sample");
        EXPECT_TRUE(bits == "24" || coded == "24") << extension << " " << bits << "/" << coded;
        EXPECT_EQ(SamplesDigest32(out), SamplesDigest32(path)) << extension << " keeps every bit";
    }
    settings_.convert.outputDirectory = dir_.File("mp3") + "/";
    EXPECT_EQ(RunJob({PathItem(path)}, 5, "Same as source"), 0);
    EXPECT_TRUE(report_.Logged("Could not open the audio encodec, skip."));
}

// The loudness FFmpeg's own ebur128 filter reports for a file's audio, in LUFS.
double Ebur128Loudness(const std::string& path) {
    const std::string out = Capture("ffmpeg -nostdin -hide_banner -nostats -i " + ShellQuote(path) +
                                    " -af ebur128 -f null - 2>&1");
    const size_t summary = out.find("Integrated loudness:");
    const size_t at = out.find("I:", summary);
    return at == std::string::npos ? 0.0 : std::stod(out.substr(at + 2));
}

double GainTag(const std::string& path, const std::string& key) {
    const std::string text = ProbeEntry(path, "format_tags=" + key + ":stream_tags=" + key);
    return text.empty() ? 999.0 : std::stod(text);
}

TEST_F(ConversionJobTest, ReplayGainTagsMatchTheEbur128FilterAndSpanTheBatch) {
    settings_.convert.replayGain = 1;
    settings_.convert.jobs = 2;
    std::vector<ConvertItem> items;
    for (const auto& [name, volume] : {std::pair{"loud.wav", "0.8"}, std::pair{"quiet.wav", "0.4"}}) {
        ToneOptions tone;
        tone.seconds = 4.0;
        tone.frequency = 1000.0;
        tone.extraArgs = std::string("-af volume=") + volume;
        ASSERT_TRUE(MakeTone(dir_.File(name), tone));
        items.push_back(PathItem(dir_.File(name)));
    }
    ASSERT_EQ(RunJob(items, kFlacRow), 2);
    double gains[2];
    for (int i = 0; i < 2; ++i) {
        const std::string path = out_ + (i == 0 ? "loud.flac" : "quiet.flac");
        gains[i] = GainTag(path, "REPLAYGAIN_TRACK_GAIN");
        EXPECT_NEAR(gains[i], -18.0 - Ebur128Loudness(path), 0.1) << path;
        EXPECT_GT(GainTag(path, "REPLAYGAIN_TRACK_PEAK"), 0.0);
        EXPECT_EQ(DecodePcm(path), DecodePcm(items[static_cast<size_t>(i)].path)) << "the audio is untouched";
    }
    const double album = GainTag(out_ + "loud.flac", "REPLAYGAIN_ALBUM_GAIN");
    EXPECT_EQ(album, GainTag(out_ + "quiet.flac", "REPLAYGAIN_ALBUM_GAIN"));
    EXPECT_GT(album, gains[0]);
    EXPECT_LT(album, gains[1]);
    EXPECT_NEAR(GainTag(out_ + "quiet.flac", "REPLAYGAIN_ALBUM_PEAK"),
                GainTag(out_ + "loud.flac", "REPLAYGAIN_TRACK_PEAK"), 1e-6);
    EXPECT_TRUE(NoTemporaryFiles(out_));

    settings_.convert.replayGain = 0;
    settings_.convert.ifExists = IfExists::kOverwrite;
    ASSERT_EQ(RunJob({items[0]}, kFlacRow), 1);
    EXPECT_EQ(GainTag(out_ + "loud.flac", "REPLAYGAIN_TRACK_GAIN"), 999.0) << "off by default";
}

}  // namespace
}  // namespace quelt::test
