// The transcoding pipeline: the one place that decodes, resamples, encodes and writes audio
// with FFmpeg. A job strings the operations together for each file:
//
//   OpenAudioInput -> CreateAudioOutput -> WriteOutputHeader
//     -> DecodeIntoOutput (or repeated EncodePcmBlock for a rip)
//     -> CloseAudioOutput -> CloseAudioInput
//
// Threading: every call for one AudioInput/AudioOutput happens on one thread (the job's
// worker); different files may be worked on from different threads at once. Nothing here
// touches process-wide state except FFmpeg's own.
//
// Files are never half-written under their final name: CreateAudioOutput writes into a
// hidden temporary file in the output's folder, and only CloseAudioOutput, after the
// trailer and every byte were written, renames it to the output path (replacing a file
// that was there). Destroying or discarding an output that was not closed removes the
// temporary file and nothing else, so an existing file of that name, or the source itself
// when the output path names it, is never lost.
//
// No audio is lost: one resampler per output keeps its state across blocks and is drained
// at the end; the last partial encoder frame is padded with silence and encoded; the
// encoder is drained. Packets carry monotonic time stamps counted in output samples.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/transcode/album_tags.h"
#include "core/transcode/expected.h"

namespace quelt {

class LoudnessMeter;

// One input file opened for decoding its first audio stream. Move-only; the destructor
// releases everything (CloseAudioInput does the same at a point of the caller's choosing).
class AudioInput {
  public:
    AudioInput();
    ~AudioInput();
    AudioInput(AudioInput&&) noexcept;
    AudioInput& operator=(AudioInput&&) noexcept;
    AudioInput(const AudioInput&) = delete;
    AudioInput& operator=(const AudioInput&) = delete;

    bool isOpen() const;
    const std::string& path() const;
    // The container's duration in whole milliseconds; 0 when the container does not know it.
    int64_t durationMs() const;
    // The length the audio stream's header states (FLAC's sample count, a WAV data size,
    // an MP4 sample table); 0 when the length is only estimated (from the bit rate, say).
    int64_t statedMs() const;
    // The decoder's sample rate (Hz) and channel count.
    int sampleRate() const;
    int channels() const;
    // The bit depth worth keeping: the integer depth of a lossless source (16, 24, 32), 16
    // for a lossy one.
    int bitsPerSample() const;
    // How far reading has come through the file, 0..1 by bytes; -1 when the size is unknown.
    // Used for progress when durationMs() is 0.
    double readFraction() const;

    struct State;
    State* state() const { return state_.get(); }

  private:
    friend Expected<AudioInput> OpenAudioInput(const std::string&, const std::function<void()>&);
    std::unique_ptr<State> state_;
};

// Opens `path` and its first audio stream with a decoder. Failures, in this order (%s is
// the path): "Could not open input audio %s, skip.", "Couldn't find stream information,
// skip.", "Couldn't find audio stream information, skip.", "Decodec not found, skip.",
// "Could not open decodec, skip.".
// `afterOpen`, when given, runs once right after the file was opened and before
// its stream information is read: the conversion job updates its progress lines there.
Expected<AudioInput> OpenAudioInput(const std::string& path,
                                    const std::function<void()>& afterOpen = {});

// Releases the input; the object is then not open. Safe to call twice.
void CloseAudioInput(AudioInput& input);

// The tags written into an output's container (each muxer maps them to its own fields).
// Texts are cut to 511 bytes (genre to 31) on a UTF-8 character boundary.
struct OutputTags {
    std::string title;
    std::string artist;
    std::string album;
    std::string comment;
    std::string copyright;
    std::string year;  // only its leading decimal number is written; none when 0 or absent
    int track = 0;     // none when 0
    std::string genre;
    AlbumTags albumTags;  // album artist, totals, release date, ids; empty fields are not written
};

struct OutputParameters {
    std::string path;        // the final output path; the container is guessed from its name
    std::string extension;   // the job's current extension (".mp3"), for the step-1 message
    bool forceAac = false;   // AAC rows of the catalogue: AAC whatever the container default
    std::string encoder;     // an encoder by name ("libopus"); empty: the container's default
    int bitRate = 0;         // bit/s
    int sampleRate = 44100;  // Hz
    int channels = 2;        // 1 or 2 (more only for "Same as source")
    int bitsPerSample = 16;  // 16, 24 or 32: lossless and PCM encoders keep this depth
    std::optional<OutputTags> tags;  // none: no tag is written at all
    LoudnessMeter* meter = nullptr;  // when set, measures every sample the encoder receives
    std::string coverImage;  // JPEG bytes of the front cover for MP3, MP4/M4A and FLAC; "" none
};

// The output's file could not be opened (the ninth of CreateAudioOutput's steps):
// Failure::step holds this value and the message is empty, because each job logs its own
// line for it (the conversion job: "Could not open input audio %s, skip." with its source).
inline constexpr int kOutputFileOpenStep = 9;

// One output file being encoded. Move-only; destroying an output that was not closed with
// CloseAudioOutput discards it (see the file comment).
class AudioOutput {
  public:
    AudioOutput();
    ~AudioOutput();
    AudioOutput(AudioOutput&&) noexcept;
    AudioOutput& operator=(AudioOutput&&) noexcept;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    bool isOpen() const;
    const std::string& path() const;           // the final path
    const std::string& temporaryPath() const;  // where the bytes go until CloseAudioOutput
    int sampleRate() const;
    int channels() const;
    std::string codecName() const;      // "aac", "libmp3lame", "pcm_s16le", ...
    std::string containerName() const;  // "ipod", "mp3", "wav", ...

    struct State;
    State* state() const { return state_.get(); }

  private:
    friend Expected<AudioOutput> CreateAudioOutput(const OutputParameters&);
    friend void DiscardAudioOutput(AudioOutput&);
    friend Expected<void> CloseAudioOutput(AudioOutput&);
    std::unique_ptr<State> state_;
};

// Guesses the container from parameters.path, adds the stream, chooses and opens the
// encoder, prepares the FIFO, opens the (temporary) file and copies the tags. Failures, in order:
// "Could not encodec the output format <%s>, skip." (%s the extension), "Could not allocate
// the output media, skip.", "Could not set the output audio parameters, skip.", "Could not
// find the audio encodec, skip.", "Could not open the audio encodec, skip.", and the file that
// cannot be opened, as described at kOutputFileOpenStep.
Expected<AudioOutput> CreateAudioOutput(const OutputParameters& parameters);

// Writes the container header. On failure the message is the write-error line (see
// CloseAudioOutput) and the output should be discarded.
Expected<void> WriteOutputHeader(AudioOutput& output);

enum class EncodeVariant {
    kConvertBurn,  // blocks decoded from files
    kRip,          // blocks from the CD grabber, 44100 Hz stereo
};

enum class BlockStatus {
    kOk,
    kWriteError,   // the file could not be written (disk full, ...): see WriteError()
    kEncodeError,  // the encoder refused the samples; also reported by WriteError()
};

// Converts one block of interleaved signed 16-bit PCM (`bytes` bytes at `sampleRate` Hz
// with `channels` channels) to the output's rate and channels, cuts it into encoder frames
// and writes every complete frame. Samples that do not fill a frame wait for the next
// block or for CloseAudioOutput. `bytes` should hold whole sample frames (2 x channels
// bytes each); a trailing part of a frame is ignored. The block's rate and channels may
// change from one block to the next. Both variants behave the same (one resampler per
// output, time stamps in output samples, errors returned); the variant only names the
// caller. After a non-kOk status the output should be discarded.
BlockStatus EncodePcmBlock(AudioOutput& output, const int16_t* pcm, size_t bytes, int sampleRate,
                           int channels, EncodeVariant variant = EncodeVariant::kConvertBurn);

// The line to log for the first write or encode error of `output`, ending in ", skip.":
// "Could not write the output file %s (reason), skip." or "Could not encode the audio of
// %s (reason), skip." with the output path; empty when there was none.
std::string WriteError(const AudioOutput& output);

enum class DecodeStatus {
    kCompleted,   // every packet of the input was read (decode errors may have occurred)
    kCancelled,   // `cancel` was seen set; the output is unfinished and should be discarded
    kWriteError,  // writing (or encoding) failed: WriteError(output) says how; discard it
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::kCompleted;
    int decodeErrors = 0;    // packets whose decoding failed (their rest was dropped)
    bool readError = false;  // reading stopped at an error before the end of the file
    int64_t decodedMs = 0;   // the length of the audio decoded
};

// True when damage has cost audio: read or decode errors came and the decoded length is not
// the input's duration (within 50 ms, about one frame of the lossy formats; an input of
// unknown duration cannot show that nothing was lost), or the decoded audio falls short of
// the length the stream's header states (a demuxer that skips damaged frames silently).
// Such an output is not a faithful copy and must not stand in for its source.
bool AudioWasLost(const DecodeResult& result, const AudioInput& input);

// Position in milliseconds of the packet just decoded (it may pass the container's stated
// duration: decoding goes on to the real end of the stream).
using PositionCallback = std::function<void(int64_t ms)>;

// Reads, decodes and encodes the whole input into the output. `cancel` is tested after each
// packet read. A read error ends the reading like the end of the file does, but is recorded
// in the result; so are decode errors, also those of the decoder's last frames. `position` is called after each packet that produced samples; `onDecodeError`
// once for each packet that failed to decode (the job logs
// "%s: Error while decoding frame, skip." with the input path). Does not close either side.
DecodeResult DecodeIntoOutput(AudioInput& input, AudioOutput& output,
                              const std::atomic<bool>& cancel, const PositionCallback& position,
                              const std::function<void()>& onDecodeError = {});

// Receives decoded PCM: `frames` frames of interleaved signed 16-bit samples. Returning
// false stops the decoding.
using PcmSink = std::function<bool(const int16_t* pcm, size_t frames)>;

// Decodes the whole input into interleaved signed 16-bit PCM at `sampleRate` Hz with
// `channels` channels (one resampler for the whole file, drained at the end) and hands it to
// `sink` piece by piece. Stops early when `stop` is set or the sink returns false. Returns
// kCompleted at the end of the input, kCancelled when stopped early. Used by players.
DecodeStatus DecodeToPcm(AudioInput& input, int sampleRate, int channels,
                         const std::atomic<bool>& stop, const PcmSink& sink);

// Finishes the output: drains the resampler, pads and encodes the FIFO's last partial frame,
// drains the encoder, writes the trailer, closes the file and renames it to its final path.
// Success means the file is complete; a failure's message is the write-error line ("Could
// not write the output file %s (reason), skip.") and nothing was left behind. The object is
// not open afterwards in either case.
Expected<void> CloseAudioOutput(AudioOutput& output);

// Abandons an unfinished output: releases it and removes its temporary file. Never touches
// the final path. Safe on a closed output.
void DiscardAudioOutput(AudioOutput& output);

}  // namespace quelt
