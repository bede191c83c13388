// The burn job end to end: generated sources decoded through the real pipeline into the
// temporary folder, burnt through the real BurnerLibrary into a BIN/CUE image (read back
// with libcdio and ripped back with CdGrabber) or onto a stdio: pseudo-drive.
#include "core/burn/burn_job.h"

#include <cdio/cdio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/burn/burn_temp_files.h"
#include "core/burn/compilation_limits.h"
#include "core/burn/libburn_burner.h"
#include "core/rip/cd_grabber.h"
#include "recording_burner.h"
#include "support/fixtures.h"
#include "support/media.h"
#include "support/recording_report.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

std::string Padded(const std::string& pcm) {
    return pcm + std::string((2352 - pcm.size() % 2352) % 2352, '\0');
}

// A report that can cancel the job when a given log line appears.
class CancellingReport : public test::RecordingReport {
  public:
    CancellingReport(JobControl& control, std::string trigger)
        : control_(control), trigger_(std::move(trigger)) {}
    void Log(const std::string& text) override {
        RecordingReport::Log(text);
        if (text == trigger_) control_.cancel.store(true);
    }

  private:
    JobControl& control_;
    std::string trigger_;
};

// A report that copies the temporary files aside when the burn pass begins: the job
// removes them when it ends.
class KeepingReport : public test::RecordingReport {
  public:
    KeepingReport(std::string temp, std::string keep) : temp_(std::move(temp)), keep_(std::move(keep)) {}
    void Log(const std::string& text) override {
        RecordingReport::Log(text);
        if (text != "Prepare Collection") return;
        fs::create_directories(keep_);
        for (const auto& entry : fs::directory_iterator(temp_))
            if (entry.path().extension() == ".wav")
                fs::copy_file(entry.path(), keep_ + entry.path().filename().string(),
                              fs::copy_options::overwrite_existing);
    }

  private:
    std::string temp_, keep_;
};

// The .wav files left in a folder.
std::vector<std::string> WavFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".wav" || entry.path().extension() == ".part")
            names.push_back(entry.path().filename().string());
    return names;
}

class BurnJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
        temp = dir.File("cache") + "/quelt/Temp/";
        ASSERT_EQ(burner.Initialize(), 0);
        settings.burn.volumeLabel = "Quelt Burn";
        settings.burn.finalize = 1;
    }
    void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

    std::string Source(const std::string& name, double seconds, int rate, int channels,
                       double frequency, const std::string& extra = "") {
        test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        toneOptions.sampleRate = rate;
        toneOptions.channels = channels;
        toneOptions.frequency = frequency;
        toneOptions.extraArgs = extra;
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::MakeTone(path, toneOptions)) << name;
        return path;
    }
    std::vector<std::string> FiveSources() {
        std::vector<std::string> files;
        for (int i = 1; i <= 5; ++i)
            files.push_back(
                Source("s" + std::to_string(i) + ".flac", 0.4 + 0.1 * i, 44100, 2, 200.0 * i));
        return files;
    }

    BurnJobParameters Parameters(BurnRequest request) {
        BurnJobParameters parameters;
        parameters.settings = settings;
        parameters.request = std::move(request);
        parameters.startDelayMs = 0;
        return parameters;
    }
    // Runs a whole job and waits for its end.
    BurnSummary RunJob(BurnRequest request, JobReport& report, BurnerLibrary& library) {
        control.Start();
        BurnJobParameters parameters = Parameters(std::move(request));
        parameters.closingSound = [this](bool done) { sounds.push_back(done); };
        BurnJob job(library, std::move(parameters));
        const BurnSummary summary = job.Run(report, control);
        EXPECT_TRUE(job.Ended());
        temporaries = job.temporaryFiles();
        return summary;
    }
    BurnRequest ImageRequest(std::vector<std::string> sources, const std::string& image) {
        BurnRequest request;
        request.sources = std::move(sources);
        request.writerText = kImageWriterText;
        request.writerCount = 1;
        request.imagePath = image;
        return request;
    }

    ScratchDir dir;
    std::string temp;
    Settings settings;
    JobControl control;
    LibburnBurner burner;
    std::vector<bool> sounds;
    std::vector<std::string> temporaries;
};

TEST_F(BurnJobTest, AudioCdOfFourFormatsBecomesAnImageHoldingEachDecodedSource) {
    const std::vector<std::string> sources = {
        Source("a.flac", 1.2, 44100, 2, 440),
        Source("b.mp3", 1.0, 22050, 1, 550, "-c:a libmp3lame -b:a 64k"),
        Source("c.ogg", 0.8, 48000, 2, 660, "-c:a libvorbis"),
        Source("d.wav", 0.6, 8000, 1, 770),
    };
    const std::string cue = dir.File("out.cue");
    const std::string kept = dir.File("kept") + "/";
    KeepingReport report(temp, kept);
    const BurnSummary summary = RunJob(ImageRequest(sources, cue), report, burner);
    ASSERT_TRUE(summary.burnSucceeded) << summary.burnError;
    EXPECT_EQ(summary.decoded, 4);
    EXPECT_FALSE(control.busy.load());
    EXPECT_EQ(sounds, std::vector<bool>{true});

    const std::vector<std::string> log = report.log;
    const std::string padded = " is shorter than 4 seconds, the shortest track of an Audio CD: "
                               "padded with silence to 4 seconds.";
    const std::vector<std::string> expected = {"Initializing create Audio CD...",
                                               "Encoding file: " + temp + "01.wav",
                                               "a.flac" + padded,
                                               "Encoding file: " + temp + "02.wav",
                                               "b.mp3" + padded,
                                               "Encoding file: " + temp + "03.wav",
                                               "c.ogg" + padded,
                                               "Encoding file: " + temp + "04.wav",
                                               "d.wav" + padded,
                                               "Done, 04 track(s) were successfully.",
                                               "Start burning: 04 tracks",
                                               "Prepare Collection",
                                               "Start Burning...",
                                               "Finalize CD...",
                                               "Burn Done!",
                                               "Image file written: " + cue,
                                               "Image file written: " + dir.File("out.bin"),
                                               "Image file written: " + dir.File("out.cdt")};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(report.counterLines.front(), "Encoding : track no. 01  / 04 tracks");
    EXPECT_EQ(report.counterLines.back(), "Burning : 04 tracks");
    EXPECT_EQ(report.batchLines.back(), "Total Position = 100 %");
    EXPECT_EQ(report.positionLine, "Current Postion :  100.00 %");
    // The window's lines through both passes.
    EXPECT_EQ(report.inputLines,
              (std::vector<std::string>{"Input Audio : a.flac", "Input Audio : b.mp3",
                                        "Input Audio : c.ogg", "Input Audio : d.wav",
                                        "Current Status = 0 %", "Audio CD Burning... "}));
    EXPECT_EQ(report.batchLines[1].rfind("Batch Encoding = ", 0), 0u) << report.batchLines[1];
    const std::vector<std::string> buttons = {"Abort Convert", "Abort Convert", "Abort Convert",
                                              "Abort Convert", "Abort Convert (disabled)",
                                              "Abort Convert (disabled)", "Close"};
    EXPECT_EQ(report.buttons, buttons);
    // The decode pass fills the total bar up to 50 and sets it to 100 at its end; the
    // burn's callbacks then fill it from 50 to 100.
    const auto& bars = report.totalBars;
    const size_t decodeEnd = size_t(std::find(bars.begin(), bars.end(), 100) - bars.begin());
    ASSERT_LT(decodeEnd, bars.size());
    for (size_t i = 1; i < decodeEnd; ++i) EXPECT_GE(bars[i], bars[i - 1]) << "decode pass, " << i;
    for (size_t i = 0; i < decodeEnd; ++i) EXPECT_LE(bars[i], 50);
    for (size_t i = decodeEnd + 2; i < bars.size(); ++i)
        EXPECT_GE(bars[i], bars[i - 1]) << "burn, " << i;
    for (size_t i = decodeEnd + 1; i < bars.size(); ++i) EXPECT_GE(bars[i], 50);

    // Each track of the BIN is its temporary file's PCM, the source's sound followed by
    // silence up to 4 seconds, padded to whole sectors; the temporary files are gone.
    ASSERT_EQ(temporaries.size(), 4u);
    EXPECT_EQ(WavFilesIn(temp), std::vector<std::string>{});
    for (auto& file : temporaries) file = kept + fs::path(file).filename().string();
    CdIo_t* cd = cdio_open(cue.c_str(), DRIVER_BINCUE);
    ASSERT_NE(cd, nullptr);
    ASSERT_EQ(cdio_get_num_tracks(cd), 4);
    const std::string bin = test::ReadFile(dir.File("out.bin"));
    std::vector<std::string> trackPcm;
    lsn_t start = 0;
    for (int t = 0; t < 4; ++t) {
        const std::string pcm = test::DecodePcmBytes(temporaries[size_t(t)]);
        const double seconds[] = {1.2, 1.0, 0.8, 0.6};
        EXPECT_EQ(pcm.size(), 4u * 44100 * 4) << "track " << t + 1;
        const size_t sound = size_t(seconds[t] * 44100) * 4;
        EXPECT_EQ(pcm.find_first_not_of('\0', sound + 4410 * 4), std::string::npos)
            << "track " << t + 1 << " is silent after its source's end";
        const std::string padded = Padded(pcm);
        EXPECT_EQ(cdio_get_track_lsn(cd, t + 1), start);
        EXPECT_EQ(cdio_get_track_sec_count(cd, t + 1), padded.size() / 2352);
        EXPECT_TRUE(bin.compare(size_t(start) * 2352, padded.size(), padded) == 0)
            << "track " << t + 1;
        trackPcm.push_back(padded);
        start += lsn_t(padded.size() / 2352);
    }
    cdio_destroy(cd);
    // A 44.1 kHz stereo lossless source passes untouched; a mono one is spread to both
    // channels.
    const std::string lossless = test::DecodePcmBytes(sources[0]);
    EXPECT_TRUE(test::DecodePcmBytes(temporaries[0]).compare(0, lossless.size(), lossless) == 0);
    const auto mono = test::DecodePcm(temporaries[3]);
    for (size_t i = 0; i + 1 < mono.size(); i += 2) ASSERT_EQ(mono[i], mono[i + 1]);

    // The image reads back through the ripper's grabber as the same four tracks.
    CdGrabberOptions options;
    options.listDevices = false;
    options.watchMedia = false;
    auto grabber = CreateCdGrabber(options);
    grabber->Open();
    grabber->SelectDrive(grabber->AddImage(cue));
    grabber->SelectSession(0);
    ASSERT_EQ(grabber->TrackCount(), 4);
    for (int t = 0; t < 4; ++t) {
        grabber->SelectTrack(t);
        grabber->OpenTrack();
        std::string ripped;
        std::vector<uint8_t> block;
        while (grabber->ReadBlocks(16, block) > 0) ripped.append(block.begin(), block.end());
        grabber->CloseTrack();
        EXPECT_EQ(grabber->UnreadableSectors(), 0);
        EXPECT_TRUE(ripped == trackPcm[size_t(t)]) << "ripped track " << t + 1;
    }
}

// The converter's delete-source setting never reaches a burn: its sources stay.
TEST_F(BurnJobTest, DataCdPutsTheTemporaryFilesAtTheRootOfAStdioDisc) {
    settings.convert.deleteSource = 1;
    const std::vector<std::string> sources = {Source("x.flac", 0.5, 44100, 2, 300),
                                              Source("y.wav", 0.4, 22050, 1, 400)};
    BurnRequest request;
    request.sources = sources;
    request.dataCd = true;
    request.writerText = "stdio:" + dir.File("data.iso");
    request.writerCount = 1;
    KeepingReport report(temp, dir.File("kept") + "/");
    test::RecordingBurner recorder(burner);
    const BurnSummary summary = RunJob(request, report, recorder);
    ASSERT_TRUE(summary.burnSucceeded) << summary.burnError;
    EXPECT_TRUE(recorder.Called("CreateProject 2"));
    EXPECT_EQ(report.log.front(), "Initializing create data CD...");
    EXPECT_EQ(report.inputLines.back(), "Data CD Burning... ");
    for (const auto& line : report.log)
        EXPECT_EQ(line.find("shorter than"), std::string::npos) << "a data CD's files stay as they are";
    EXPECT_EQ(recorder.lastOptions.volumeLabel, "Quelt Burn");
    EXPECT_EQ(recorder.lastOptions.burnFlag, 1);
    EXPECT_EQ(recorder.AddedFiles(), (std::vector<std::string>{temp + "01.wav", temp + "02.wav"}));
    EXPECT_TRUE(report.Logged("Burn Done!"));
    const std::string image = test::ReadFile(dir.File("data.iso"));
    const std::string first = test::ReadFile(dir.File("kept") + "/01.wav");
    EXPECT_NE(image.find(first), std::string::npos) << "01.wav's bytes are not in the image";
    for (const auto& source : sources) EXPECT_TRUE(fs::exists(source)) << source;
}

TEST_F(BurnJobTest, AFailingThirdAndADamagedFourthOfFiveBurnOnlyTheWholeFilesThisJobWrote) {
    auto sources = FiveSources();
    sources[2] = dir.File("broken.mp3");
    std::ofstream(sources[2]) << "this is no audio";
    // Damaged frames cost the fourth file audio: it would be burnt cut short.
    const std::string clean = Source("clean.aac", 2.0, 44100, 2, 440.0, "-b:a 128k");
    sources[3] = dir.File("damaged.aac");
    ASSERT_TRUE(test::CopyWithDamage(clean, sources[3]));
    // A 03.wav left by an earlier job must not slip into this burn.
    fs::create_directories(temp);
    std::ofstream(temp + "03.wav") << "stale";
    test::RecordingReport report;
    test::RecordingBurner recorder(burner);
    const BurnSummary summary =
        RunJob(ImageRequest(sources, dir.File("five.cue")), report, recorder);
    ASSERT_TRUE(summary.burnSucceeded) << summary.burnError;
    EXPECT_TRUE(report.Logged("Could not open input audio " + sources[2] + ", skip."));
    EXPECT_TRUE(report.LoggedStartingWith(sources[3] + ": damaged audio, only "));
    EXPECT_TRUE(report.Logged("Done, 03 track(s) were successfully."));
    EXPECT_EQ(recorder.AddedFiles(),
              (std::vector<std::string>{temp + "01.wav", temp + "02.wav", temp + "05.wav"}));
    CdIo_t* cd = cdio_open(dir.File("five.cue").c_str(), DRIVER_BINCUE);
    ASSERT_NE(cd, nullptr);
    EXPECT_EQ(cdio_get_num_tracks(cd), 3);
    cdio_destroy(cd);
    EXPECT_EQ(summary.failed(), 2);
    ASSERT_EQ(summary.items.size(), 5u);
    for (size_t i : {0u, 1u, 4u}) EXPECT_EQ(summary.items[i].state, ItemState::kDone) << i;
    EXPECT_EQ(summary.items[2].reason, "Could not open input audio " + sources[2] + ", skip.");
    EXPECT_EQ(summary.items[3].state, ItemState::kFailed);
    EXPECT_EQ(summary.items[3].reason.rfind(sources[3] + ": damaged audio, only ", 0), 0u);
}

TEST_F(BurnJobTest, CancelDuringTheDecodePassNeverCreatesAProjectAndASecondBurnRuns) {
    const auto sources = FiveSources();
    CancellingReport report(control, "Encoding file: " + temp + "03.wav");
    test::RecordingBurner recorder(burner);
    const BurnSummary summary = RunJob(ImageRequest(sources, dir.File("c.cue")), report, recorder);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_FALSE(summary.burnStarted);
    for (const auto& call : recorder.Calls())
        EXPECT_EQ(call.rfind("CreateProject", 0), std::string::npos);
    EXPECT_EQ(report.log.back(), "Cancelled by user");
    EXPECT_EQ(report.button, "Close");
    EXPECT_TRUE(report.buttonEnabled);
    EXPECT_FALSE(control.busy.load());
    EXPECT_EQ(WavFilesIn(temp), std::vector<std::string>{}) << "a cancelled burn leaves no audio";
    EXPECT_TRUE(sounds.empty());
    EXPECT_FALSE(fs::exists(dir.File("c.cue")));
    EXPECT_EQ(CountItems(summary.items, ItemState::kCancelled), 5) << "nothing was burnt";

    test::RecordingReport second;
    const BurnSummary again = RunJob(ImageRequest(sources, dir.File("c.cue")), second, recorder);
    EXPECT_TRUE(again.burnSucceeded) << again.burnError;
    EXPECT_TRUE(second.Logged("Burn Done!"));
}

TEST_F(BurnJobTest, ATemporaryFolderThatCannotBeMadeFailsEachFileWithItsMessage) {
    const auto sources = FiveSources();
    // The cache "folder" is a file: nothing can be created below it.
    std::ofstream(dir.File("cache")) << "a file";
    test::RecordingReport report;
    const BurnSummary summary =
        RunJob(ImageRequest({sources[0], sources[1]}, dir.File("t.cue")), report, burner);
    EXPECT_TRUE(report.Logged("Could not open input audio " + sources[0] + ", skip."));
    EXPECT_TRUE(report.Logged("Could not open input audio " + sources[1] + ", skip."));
    EXPECT_TRUE(report.Logged("Done, 00 track(s) were successfully."));
    EXPECT_TRUE(temporaries.empty());
    EXPECT_FALSE(summary.burnSucceeded);
    EXPECT_TRUE(report.Logged("Burn Done With Errors"));
    EXPECT_EQ(sounds, std::vector<bool>{false});
}

TEST_F(BurnJobTest, TheJobEndsOnlyWhenBurnDoneHasCome) {
    const auto sources = FiveSources();
    test::RecordingReport report;
    test::RecordingBurner recorder(burner);
    recorder.holdBurnDone = true;
    control.Start();
    BurnJob job(recorder, Parameters(ImageRequest({sources[0]}, dir.File("h.cue"))));
    std::thread worker([&] { job.Run(report, control); });
    // A guard against a hang, not a timing check.
    for (int i = 0; i < 60000 && !recorder.BurnDoneHeld(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(recorder.BurnDoneHeld());
    EXPECT_FALSE(job.Ended()) << "the passes are done, the burn is not";
    EXPECT_TRUE(control.busy.load());
    EXPECT_FALSE(report.buttonEnabled);
    recorder.ReleaseBurnDone();
    worker.join();
    EXPECT_TRUE(job.Ended());
    EXPECT_FALSE(control.busy.load());
    EXPECT_EQ(report.log.back(), "Image file written: " + dir.File("h.cdt"));
    EXPECT_TRUE(report.Logged("Burn Done!"));
    EXPECT_EQ(report.button, "Close");
    EXPECT_TRUE(report.buttonEnabled);
}

TEST_F(BurnJobTest, ALibraryErrorEndsInBurnDoneWithErrors) {
    const auto sources = FiveSources();
    test::RecordingReport report;
    // The image's folder does not exist: the image writer fails.
    const BurnSummary summary =
        RunJob(ImageRequest({sources[0]}, dir.File("missing/folder/x.cue")), report, burner);
    EXPECT_FALSE(summary.burnSucceeded);
    EXPECT_FALSE(summary.burnError.empty());
    ASSERT_EQ(summary.items.size(), 1u);
    EXPECT_EQ(summary.items[0].state, ItemState::kFailed);
    EXPECT_EQ(summary.items[0].reason, summary.burnError);
    EXPECT_EQ(report.log.back(), "Burn Done With Errors");
    EXPECT_EQ(sounds, std::vector<bool>{false});
    EXPECT_FALSE(control.busy.load());
    EXPECT_EQ(WavFilesIn(temp), std::vector<std::string>{}) << "a failed burn leaves no audio";
}

TEST_F(BurnJobTest, CdTextCarriesEachSourcesTitleAndArtistAndTheLabelAsDiscTitle) {
    test::ToneOptions tagged;
    tagged.seconds = 0.5;
    tagged.tags = {{"title", "Morning Bells"}, {"artist", "Quelt Ensemble"}, {"album", "Other"}};
    ASSERT_TRUE(test::MakeTone(dir.File("first.flac"), tagged));
    tagged.tags = {{"title", "Évening"}, {"artist", "Nørd Duo"}};
    ASSERT_TRUE(test::MakeTone(dir.File("second.ogg"), tagged));
    test::ToneOptions bare;
    bare.seconds = 0.5;
    ASSERT_TRUE(test::MakeTone(dir.File("Third Piece.wav"), bare));
    test::RecordingReport report;
    const std::string cue = dir.File("text.cue");
    const BurnSummary summary = RunJob(
        ImageRequest({dir.File("first.flac"), dir.File("second.ogg"), dir.File("Third Piece.wav")},
                     cue),
        report, burner);
    ASSERT_TRUE(summary.burnSucceeded) << summary.burnError;

    CdIo_t* cd = cdio_open(cue.c_str(), DRIVER_BINCUE);
    ASSERT_NE(cd, nullptr);
    cdtext_t* text = cdio_get_cdtext(cd);
    ASSERT_NE(text, nullptr) << "the image has no CD-Text";
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0), "Quelt Burn");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 1), "Morning Bells");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, 1), "Quelt Ensemble");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 2), "Évening");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, 2), "Nørd Duo");
    EXPECT_STREQ(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 3), "Third Piece");
    cdio_destroy(cd);
}

TEST_F(BurnJobTest, WhatACrashedBurnLeftGoesUnlessABurnHoldsTheFolder) {
    fs::create_directories(temp);
    for (const char* name : {"07.wav", ".03.wav.a1b2c3.part", "notes.txt", "mix.wav"})
        std::ofstream(temp + name) << "left";
    {
        BurnTempFolderHold running(temp);
        EXPECT_EQ(RemoveLeftoverBurnTempFiles(temp), 0);
        EXPECT_TRUE(fs::exists(temp + "07.wav")) << "a running burn's file was taken";
    }
    EXPECT_EQ(RemoveLeftoverBurnTempFiles(temp), 2);
    EXPECT_FALSE(fs::exists(temp + "07.wav"));
    EXPECT_FALSE(fs::exists(temp + ".03.wav.a1b2c3.part"));
    EXPECT_TRUE(fs::exists(temp + "notes.txt")) << "only the burner's own files go";
    EXPECT_TRUE(fs::exists(temp + "mix.wav"));
}

// A compilation the disc cannot take is refused before any file is decoded, and the
// refusal names the limit in the job's log.
TEST_F(BurnJobTest, TheCompilationsLimitsAreCheckedBeforeTheDecodePass) {
    const std::string shortFile = Source("short.flac", 0.2, 44100, 2, 300);
    const std::string longFile = Source("long.flac", 1500, 8000, 1, 200);  // 25 minutes
    struct Case {
        std::vector<std::string> sources;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {std::vector<std::string>(100, shortFile),
         "Cannot burn: an Audio CD holds at most 99 tracks, the compilation has 100."},
        {std::vector<std::string>(4, longFile),
         "Cannot burn: the compilation needs 100:00 of audio, more than the disc's capacity of "
         "80:00."}};
    for (const Case& c : cases) {
        test::RecordingReport report;
        sounds.clear();
        const BurnSummary summary = RunJob(ImageRequest(c.sources, dir.File("big.cue")), report, burner);
        EXPECT_EQ(report.log, std::vector<std::string>{c.refusal});
        EXPECT_EQ(summary.burnError, c.refusal);
        EXPECT_EQ(summary.failed(), int(c.sources.size()));
        EXPECT_FALSE(summary.burnStarted);
        EXPECT_EQ(report.button, "Close");
        EXPECT_TRUE(report.buttonEnabled);
        EXPECT_EQ(sounds, std::vector<bool>{false});
        EXPECT_FALSE(fs::exists(temp + "01.wav")) << "nothing was decoded";
        EXPECT_FALSE(control.busy.load());
    }
    // A data CD has no track limit, but two files of one name or too many sectors break it.
    CompilationEstimate data;
    data.dataCd = true;
    data.durationsMs.assign(120, 1000);
    data.discNames.assign(120, "");
    for (int i = 0; i < 120; ++i) data.discNames[size_t(i)] = BurnJob::TemporaryFileName("", i);
    EXPECT_EQ(BrokenCompilationLimit(data), "");
    data.discNames[7] = data.discNames[3];
    EXPECT_EQ(BrokenCompilationLimit(data), "Cannot burn: two files would be named " +
                                                data.discNames[3] + " on the data CD.");
    data.discNames[7] = "x";
    data.capacitySectors = 120 * EstimatedSectors(true, 1000) - 1;
    EXPECT_NE(BrokenCompilationLimit(data).find("more than the disc's capacity"), std::string::npos);
}

}  // namespace
}  // namespace quelt
