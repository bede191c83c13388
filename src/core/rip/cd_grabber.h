// The CD grabbing component: drives and disc images, the disc layout, reading tracks as PCM,
// the tray, and the FreeDB look-up of the disc in the current drive.
//
// Units. A read block is one CD sector: 2352 bytes, 588 stereo frames of 16-bit PCM at
// 44100 Hz. `TrackSizeA` is the track's length in sectors and `TrackSizeB` is always 4, so a
// caller's "TrackSizeA x TrackSizeB / 4" is the length in read blocks.
//
// Threads. The calls are made by one thread at a time (the page, or the rip worker while the
// page waits behind the progress window). Events reach the listener on the thread that
// raises them: media changes on the watcher thread, read retries on the thread inside
// `ReadBlocks`, FreeDB progress on the look-up thread. A listener that touches widgets must
// post to its own thread.
//
// Errors. A failing call throws quelt::ComponentError with a message saying what failed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/jobs/component_error.h"
#include "core/rip/disc_layout.h"

namespace quelt {

class FreedbInfo;

inline constexpr int kSectorBytes = 2352;
inline constexpr int kSectorFrames = 588;
inline constexpr int kSectorsPerSecond = 75;
inline constexpr int kMaxReadOffset = 2940;  // samples, either way

// Receives the grabber's events. Default handlers ignore them.
class CdGrabberListener {
public:
    virtual ~CdGrabberListener() = default;
    virtual void OnMediaChanged() {}                          // a disc went in or out
    virtual void OnProgress(double) {}                        // not raised by these grabbers
    virtual void OnReadRetry(int attempt, int32_t sector) {}  // a sector is being read again
    // The FreeDB look-up's progress: kFreedbConnecting, kFreedbQuerying, then its outcome.
    virtual void OnFreedbProgress(int status) {}
};

// Values of DiscState.
inline constexpr int32_t kDiscNone = 0;
inline constexpr int32_t kDiscReadable = 1;
inline constexpr int32_t kDiscUnrecognised = 2;

// Values of TrackType.
inline constexpr int32_t kTrackAudio = 1;
inline constexpr int32_t kTrackData = 2;

class CdGrabber {
public:
    virtual ~CdGrabber() = default;

    // The listener must outlive the grabber or be reset to nullptr first.
    virtual void SetListener(CdGrabberListener* listener) = 0;

    // Acquires the drives: lists the machine's CD devices and any images added before;
    // when no device exists the demo disc is listed (when it is installed).
    virtual void Open() = 0;
    // Releases the drives (the burner takes them); Open lists them again.
    virtual void Close() = 0;
    // Lists a disc image (.cue/.bin, .toc, .nrg) as a drive and returns its 1-based number.
    // Throws for an image that cannot be read correctly (for example a cue sheet with
    // several FILE lines).
    virtual int AddImage(const std::string& path) = 0;

    virtual void EjectTray() = 0;   // no-op on an image
    virtual void CloseTray() = 0;   // no-op on an image
    virtual void LockTray() = 0;    // no-op on an image
    virtual void UnlockTray() = 0;  // no-op on an image
    virtual void RefreshDisc() = 0; // re-reads the layout of the disc in the current drive

    virtual int DriveCount() = 0;
    virtual void SelectDrive(int number) = 0;  // 1-based
    virtual std::string DriveText1() = 0;      // vendor (an image: "Disc image")
    virtual std::string DriveText2() = 0;      // model (an image: its file name)
    virtual std::string DriveText3() = 0;      // revision (an image: its format)
    virtual std::string DriveId() = 0;         // device path or image path
    // Whether the selected drive is a disc image (the demo disc included).
    virtual bool DriveIsImage() { return false; }

    virtual int32_t DiscQuery() = 0;   // the number of tracks on the disc, all sessions
    // The layout read by the last refresh: the table of contents, CD-Text, MCN and ISRCs
    // (the metadata sources beside FreeDB read it). Empty without a readable disc.
    virtual DiscLayout Layout() { return {}; }
    virtual int32_t DiscState() = 0;   // kDiscNone, kDiscUnrecognised or kDiscReadable
    virtual int SessionCount() = 0;    // 0 for an empty disc
    virtual void SelectSession(int session) = 0;  // 0-based
    virtual int TrackCount() = 0;                 // tracks of the selected session
    virtual void SelectTrack(int track) = 0;      // 0-based within the session

    virtual int32_t TrackSizeA() = 0;  // sectors
    virtual int32_t TrackSizeB() = 0;  // always 4
    virtual int TrackMinutes() = 0;
    virtual int TrackSeconds() = 0;
    virtual int32_t TrackMilliseconds() = 0;
    virtual int32_t TrackType() = 0;   // kTrackAudio or kTrackData

    // FreeDB data of the selected track from the last successful look-up; empty / 0 when
    // unknown.
    virtual std::string FreedbArtist() = 0;
    virtual std::string FreedbAlbum() = 0;
    virtual std::string FreedbTitle() = 0;
    virtual std::string FreedbGenre() = 0;
    virtual int32_t FreedbYear() = 0;
    // The Freedb* texts above are the disc's own CD-Text: the last look-up failed or found
    // nothing (and said so in its outcome), but the disc names itself.
    virtual bool NamesFromCdText() = 0;

    // The read switches lower safety when set: A skips the overlap verification, B gives up
    // an unreadable sector after one attempt, C skips the fragment repair. All three at 0 is
    // full verification with up to ReadAttempts attempts per sector.
    virtual void ReadSwitchA(int on) = 0;
    virtual void ReadSwitchB(int on) = 0;
    virtual void ReadSwitchC(int on) = 0;
    virtual int32_t ReadAttempts() = 0;

    // OpenTrack starts reading the selected track at its first sector; CloseTrack ends it.
    virtual void OpenTrack() = 0;
    virtual void CloseTrack() = 0;
    // Reads up to `blocks` sectors of the open track into `pcm` (replacing its content):
    // interleaved signed 16-bit stereo, host byte order. Returns the number of sectors
    // delivered (above 0), 0 at the end of the track. Never reads past the track's end.
    // A sector that stays unreadable after every attempt is delivered as the best data
    // the drive gave and counted in UnreadableSectors.
    virtual int32_t ReadBlocks(int blocks, std::vector<uint8_t>& pcm) = 0;
    // Reading of the open track goes on at `block` sectors from the track's start (a preview's
    // seek); a block past the end leaves nothing more to read. Throws when no track is open
    // or the grabber cannot seek.
    virtual void SeekTrack(int32_t block) { throw ComponentError("This drive cannot seek."); }
    // Sectors of the open (or last closed) track that stayed unreadable after every attempt.
    virtual int32_t UnreadableSectors() = 0;
    // Sectors of the open (or last closed) track that needed more than one attempt.
    virtual int32_t RetriedSectors() { return 0; }
    // The drive's read offset correction in samples (stereo frames), -2940..+2940, applied
    // by OpenTrack from then on: a track delivers the frames that start that many after its
    // first sector (before it when negative), with silence where they fall outside the
    // disc's audio. 0 reads the tracks as the table of contents places them.
    virtual void SetReadOffset(int samples) {}

    // Starts the FreeDB look-up of the disc in the current drive with the settings of
    // `info` on a thread of its own; progress and outcome come through OnFreedbProgress. `info`
    // must outlive the look-up (the grabber's destructor waits for it).
    virtual void QueryFreedb(FreedbInfo& info, int32_t flags) = 0;
};

struct CdGrabberOptions {
    bool listDevices = true;     // false: only images (tests, a machine without drives)
    std::string demoImage;       // listed when no device exists; "" for the installed one
    bool watchMedia = true;      // poll devices for media changes about once a second
    // libcdio-paranoia's simulated drive faults (its CDDA_TEST_* flags: jitter, fragmented
    // and short reads) applied to every read; 0 for real reading. For tests of the verifier.
    int simulatedReadFaults = 0;
};

std::unique_ptr<CdGrabber> CreateCdGrabber(const CdGrabberOptions& options = {});

// The installed demo disc's cue sheet ("" when it is not installed).
std::string DemoDiscPath();

}  // namespace quelt
