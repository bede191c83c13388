// The playback library: plays audio files (file previews, the jobs' closing sounds) on the
// default sound device. FFmpeg decodes, SDL2 plays; several streams may play at once and
// are mixed.
//
// Threading: every method may be called from any thread; the library locks internally.
// Decoding runs on one thread per playing stream, mixing on SDL's audio thread.
// Headless machines: with no device Init() fails and every later call fails quietly;
// SDL_AUDIODRIVER=dummy plays at real-time pace, SDL_AUDIODRIVER=disk writes what is played
// to SDL_DISKAUDIOFILE (SDL_DISKAUDIODELAY=0 removes the pacing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quelt {

class PlaybackLibrary {
  public:
    // A stream handle; 0 is never a valid stream and means failure.
    using Stream = uint32_t;

    virtual ~PlaybackLibrary() = default;

    // Opens the default output device at 44100 Hz stereo. Returns false when there is no
    // device; calling it again after success returns true and changes nothing.
    virtual bool Init() = 0;

    // Opens a file (the whole file, from offset 0) as a stream that is ready to play.
    // 0 when the library is not initialised or the file has no audio that decodes.
    virtual Stream StreamCreateFile(const std::string& path) = 0;

    // Opens a stream that plays what the caller hands it with StreamPutData (the CD player's
    // sink). It is ready to play at once; while it has nothing queued it plays silence.
    virtual Stream StreamCreatePush() = 0;
    // Queues interleaved 16-bit stereo frames at 44100 Hz on a push stream, waiting while
    // about one second of audio is already queued. False for an unknown or non-push stream,
    // or when the stream is freed meanwhile.
    virtual bool StreamPutData(Stream stream, const int16_t* pcm, size_t frames) = 0;
    // No more data comes: the push stream ends once what it holds has been played.
    virtual void StreamEndData(Stream stream) = 0;
    // Frames queued and not yet played (0 for an unknown stream).
    virtual size_t StreamQueuedFrames(Stream stream) = 0;

    // Starts or resumes playing. With `restart` false a paused or playing stream goes on
    // from where it is; a stream that has played to its end starts again from the start.
    // Returns false for an unknown stream.
    virtual bool ChannelPlay(Stream stream, bool restart = false) = 0;

    // Stops (pauses) a stream; ChannelPlay without restart resumes it. False when unknown.
    virtual bool ChannelStop(Stream stream) = 0;

    // True while the stream is playing and has not reached its end.
    virtual bool ChannelIsPlaying(Stream stream) = 0;

    // The stream's length and the position of what has been played so far, in seconds;
    // -1 for an unknown stream. The length is the container's; 0 when it does not know it.
    virtual double ChannelLengthSeconds(Stream stream) = 0;
    virtual double ChannelPositionSeconds(Stream stream) = 0;

    // Moves the play position to `seconds` from the start. A file stream drops what it had
    // decoded and goes on from there (it plays silence for the moment it takes to decode up
    // to that point); a push stream drops what is queued and counts its position from there.
    // False for an unknown stream.
    virtual bool ChannelSetPosition(Stream stream, double seconds) = 0;
    // Gain of one stream, 0.0 to 1.0 (1.0 when created), applied on top of SetVolume.
    virtual bool ChannelSetVolume(Stream stream, double volume) = 0;

    // Releases a stream (stopping it first). Unknown streams are ignored.
    virtual void StreamFree(Stream stream) = 0;

    // Gain of everything played, 0.0 (silent) to 1.0 (unchanged).
    virtual void SetVolume(double volume) = 0;
    virtual double Volume() const = 0;
};

// The real implementation. The caller owns it; destroying it stops every stream and
// closes the device.
std::unique_ptr<PlaybackLibrary> CreatePlaybackLibrary();

// The process's shared instance, created (not initialised) on first use and never destroyed,
// so that a sound started just before exit cannot touch freed memory. The jobs' closing
// sounds and the preview player use it.
PlaybackLibrary& SharedPlaybackLibrary();

}  // namespace quelt
