// The ripper page without widgets: the drive list, the disc refresh and its status texts,
// the track rows with their check marks, the seven tag lists the rip job reads, the tag
// fields of the selected row, the case mode, and the handlers of the grabber's events.
//
// Threads. Every call comes from the page's thread, except that ReadRetry may come from the
// rip worker (inside CdGrabber::ReadBlocks) and the rip job unchecks rows from its worker;
// both happen while the page waits behind the modal progress window. Grabber events that
// arrive on component threads (media change, FreeDB progress) must be handed to the page's
// thread by its owner before calling MediaChanged / FreedbProgress.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/rip/album_metadata.h"
#include "core/settings/settings.h"

namespace quelt {

class CdGrabber;
class FreedbInfo;
class Prompter;
struct MusicBrainzAnswer;
struct MusicBrainzRelease;

struct TrackRow {
    std::string number;    // column 0: FormatTrackNumber(row + 1, 2)
    std::string artist;    // column 1
    std::string title;     // column 2
    std::string duration;  // column 3: "mm:ss.mmm"
    bool checked = true;
    int itemValue = 0;     // session x 100 + track, both 0-based
};

// One text per track row, in row order.
struct TagLists {
    std::vector<std::string> artist, album, title, year, genre, copyright, comment;
    void Clear();
};

// The page's tag fields (artist, album, title, year, genre box text, copyright, comment).
struct TagFields {
    std::string artist, album, title, year, genre, copyright, comment;
};

// What the page shows; every call is made on the thread that called the Disc (see above).
class DiscView {
public:
    virtual ~DiscView() = default;
    virtual void ShowStatus(const std::string& text) {}
    virtual void EnableWorkingControls(bool on) {}
    virtual void EnableDriveListOnly() {}
    virtual void DriveListChanged() {}
    virtual void RowsChanged() {}           // rows refilled, added or their check marks changed
    virtual void FieldsChanged() {}         // the tag fields hold new texts
    virtual void SelectRow(int row) {}      // select and scroll into view
    virtual void SelectAllBoxChanged(bool checked) {}
    virtual void ShowPositionLabel(const std::string& text) {}
    virtual void MusicBrainzLookupWanted() {}  // see Disc::UseLookupSettings
};

inline constexpr int kCaseUpper = 1;
inline constexpr int kCaseLower = 2;
inline constexpr int kCaseCapitalize = 3;
inline constexpr int kCaseSentence = 4;

class Disc {
public:
    Disc(CdGrabber& grabber, FreedbInfo& freedb, Prompter& prompter, DiscView* view = nullptr);

    // When the page is created: the FreeDB server, port and time-out when 0 or more; the
    // proxy when "UseFreedbProxy" is on and "FreedbProxy" is not empty.
    void ConfigureFreedb(const RipSettings& settings);
    // When the page is created: open the grabber, fill the drive list (selecting and
    // refreshing entry 0), set the page's read switches, clear the retry warning flag.
    // A component error ends it where it happened, without a message. `initialEntry` is the
    // drive entry selected and refreshed first (the page takes 0; a command line may name
    // another drive); an entry outside the list selects the first.
    void Create(int initialEntry = 0);

    void SelectDriveFromList(int entry);
    // Lists a disc image (CUE/BIN, TOC or NRG) as a drive and selects and reads it. An
    // image that cannot be read leaves the drives as they were and says why in the status.
    void OpenImage(const std::string& path);
    void RefreshCd();
    void FillTrackList();
    void ShowSelectedTrack(int row);  // row -1: no selection
    void ShowTrackTags(int itemValue);

    void FreedbBoxClicked(bool checked);
    void FreedbProgress(int status);
    void MediaChanged();
    void ReadRetry(int attempt, int32_t sector);

    void SetCaseMode(int mode);  // the case commands; refills the list
    void PresetCaseMode(int mode) { caseMode_ = mode; }  // before the list is first filled
    void SelectAll();
    void SelectNone();
    void InvertSelection();
    void SelectAllBoxClicked(bool checked);
    void SetChecked(int row, bool checked);

    // Field edits; ignored when selectedRow is not a valid row.
    void EditArtist(const std::string& text);
    void EditAlbum(const std::string& text);
    void EditTitle(const std::string& text);
    void EditYear(const std::string& text);
    void EditGenre(const std::string& text);
    void EditCopyright(const std::string& text);
    void EditComment(const std::string& text);

    // Album look-ups beside FreeDB: each refresh reads "LookupSource" of `settings` (which
    // must outlive the Disc; without it only FreeDB is asked). With a MusicBrainz source and
    // the FreeDB box checked, a refresh leaves the list empty, sets musicBrainzPending() and
    // tells the view: the owner looks discId() up off the page's thread and hands the answer
    // to MusicBrainzOutcome on it.
    void UseLookupSettings(const RipSettings& settings) { lookupSettings_ = &settings; }
    bool musicBrainzPending() const { return musicBrainzPending_; }
    const std::string& discId() const { return discOwn_.discId; }
    // Returns true when several releases match: the owner lets the user pick one and calls
    // ApplyRelease. Otherwise the single release is applied, or, on a miss or failure, FreeDB
    // is asked (MusicBrainz then FreeDB) or the disc's own names fill the list.
    bool MusicBrainzOutcome(const MusicBrainzAnswer& answer);
    // Names the rows from `release`; nullptr keeps the disc's own names (CD-Text or none).
    void ApplyRelease(const MusicBrainzRelease* release);
    // The album the rows were named from, with the disc's codes (MCN, ISRCs, disc id).
    const AlbumMetadata& album() const { return album_; }

    void SetPreviewActive(bool active) { previewActive_ = active; }
    void SetFreedbBox(bool checked) { freedbBox_ = checked; }  // without the question

    const std::vector<std::string>& driveEntries() const { return driveEntries_; }
    // What the drive list shows for each entry: a device's entry as it is, a disc image by
    // its name alone ("Demo disc", "live.cue"), never the path it was read from.
    const std::vector<std::string>& driveLabels() const { return driveLabels_; }
    int selectedDrive() const { return selectedDrive_; }
    const std::vector<TrackRow>& rows() const { return rows_; }
    const TagLists& tags() const { return tags_; }
    const TagFields& fields() const { return fields_; }
    std::string status() const;
    std::string positionLabel() const { return positionLabel_; }
    int selectedRow() const { return selectedRow_; }
    int trackCount() const { return trackCount_; }
    int sumMinutes() const { return sumMinutes_; }
    int sumSeconds() const { return sumSeconds_; }
    int sumMilliseconds() const { return sumMilliseconds_; }
    int64_t TotalMs() const;
    int caseMode() const { return caseMode_; }
    bool freedbDataInUse() const { return freedbDataInUse_; }
    bool retryWarningShown() const { return retryWarningShown_; }
    bool freedbBox() const { return freedbBox_; }
    // A look-up was started by the last refresh and its outcome has not been handled yet.
    bool lookupPending() const { return lookupPending_; }
    bool selectAllBox() const { return selectAllBox_; }
    int CheckedCount() const;

    CdGrabber& grabber() { return grabber_; }

private:
    void AddTrackRow(int session, int track);
    void FillWithOwnNames(const std::string& lead);
    bool RefillFrom(const AlbumMetadata& album);
    LookupSource SourceInForce() const;
    void Status(const std::string& text);
    void ClearRows();
    void Edit(std::vector<std::string> TagLists::*list, std::string TagFields::*field,
              const std::string& text);

    CdGrabber& grabber_;
    FreedbInfo& freedb_;
    Prompter& prompter_;
    DiscView* view_;
    DiscView noView_;

    std::vector<std::string> driveEntries_;
    std::vector<std::string> driveLabels_;
    int selectedDrive_ = -1;
    std::vector<TrackRow> rows_;
    TagLists tags_;
    TagFields fields_;
    mutable std::mutex statusMutex_;
    std::string status_;
    std::string positionLabel_;
    int selectedRow_ = -1;
    int trackCount_ = 0;
    int sumMinutes_ = 0, sumSeconds_ = 0, sumMilliseconds_ = 0;
    int caseMode_ = kCaseCapitalize;
    bool freedbDataInUse_ = false;
    std::atomic<bool> retryWarningShown_{false};
    bool freedbBox_ = true;
    bool selectAllBox_ = true;
    bool previewActive_ = false;
    bool lookupPending_ = false;
    const RipSettings* lookupSettings_ = nullptr;
    bool musicBrainzPending_ = false;
    AlbumMetadata discOwn_;  // read at each refresh
    AlbumMetadata album_;    // what names the rows: discOwn_ or a MusicBrainz release
};

}  // namespace quelt
