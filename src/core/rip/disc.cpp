#include "core/rip/disc.h"

#include <cstdio>

#include "core/jobs/component_error.h"
#include "core/jobs/prompter.h"
#include "core/naming/text.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/rip/musicbrainz.h"
#include "core/settings/settings.h"

namespace quelt {
namespace {

constexpr const char* kDefaultYear = "2007";

std::string Printf(const char* format, int a, int b) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

}  // namespace

void TagLists::Clear() {
    for (auto* list : {&artist, &album, &title, &year, &genre, &copyright, &comment}) list->clear();
}

Disc::Disc(CdGrabber& grabber, FreedbInfo& freedb, Prompter& prompter, DiscView* view)
    : grabber_(grabber), freedb_(freedb), prompter_(prompter), view_(view ? view : &noView_) {
    fields_.year = kDefaultYear;
}

void Disc::ConfigureFreedb(const RipSettings& settings) {
    if (settings.freedbServer >= 0) freedb_.SetServerIndex(settings.freedbServer);
    if (settings.freedbPort >= 0) freedb_.SetPort(settings.freedbPort);
    if (settings.freedbTimeOut >= 0) freedb_.SetTimeOut(settings.freedbTimeOut);
    if (settings.useFreedbProxy && !settings.freedbProxy.empty()) freedb_.SetProxy(settings.freedbProxy);
}

void Disc::Create(int initialEntry) {
    try {
        grabber_.Open();
        driveEntries_.clear();
        driveLabels_.clear();
        const int drives = grabber_.DriveCount();
        for (int n = 1; n <= drives; ++n) {
            grabber_.SelectDrive(n);
            std::string entry = "[" + grabber_.DriveId() + "]" + "   " + grabber_.DriveText1() + "   " +
                                grabber_.DriveText2() + "   " + grabber_.DriveText3();
            driveEntries_.push_back(entry);
            driveLabels_.push_back(grabber_.DriveIsImage() ? grabber_.DriveText2() : entry);
            Status("Find drive \"" + entry + "\"");
        }
        view_->DriveListChanged();
        if (!driveEntries_.empty()) {
            const int count = static_cast<int>(driveEntries_.size());
            SelectDriveFromList(initialEntry >= 0 && initialEntry < count ? initialEntry : 0);
        } else {
            Status("No CD drives are found !");
        }
        grabber_.ReadSwitchA(1);
        grabber_.ReadSwitchC(1);
        retryWarningShown_ = false;
    } catch (const ComponentError&) {
        // Creation stops where the component failed; what was set up stays.
    }
}

void Disc::SelectDriveFromList(int entry) {
    selectedDrive_ = entry;
    grabber_.SelectDrive(entry + 1);
    Status("Set CD-drive " + grabber_.DriveText1() + " " + grabber_.DriveText2() + " as current");
    RefreshCd();
}

void Disc::OpenImage(const std::string& path) {
    int number = 0;
    try {
        number = grabber_.AddImage(path);
    } catch (const ComponentError& error) {
        Status(std::string("Cannot open the disc image: ") + error.what());
        return;
    }
    Create(number - 1);
}

void Disc::RefreshCd() {
    try {
        Status("Refresh CD");
        view_->EnableWorkingControls(false);
        ClearRows();
        fields_.artist.clear();
        fields_.album.clear();
        fields_.genre.clear();
        fields_.year.clear();
        view_->RowsChanged();
        view_->FieldsChanged();
        grabber_.RefreshDisc();
        const int32_t state = grabber_.DiscState();
        const char* problem = nullptr;
        if (state == kDiscNone)
            problem = "No disc";
        else if (grabber_.SessionCount() < 1)
            problem = "Empty disc";
        else if (state == kDiscUnrecognised)
            problem = "Unrecognized";
        if (problem) {
            Status(problem);
            view_->EnableDriveListOnly();
            return;
        }
        grabber_.DiscQuery();
        discOwn_ = DiscOwnMetadata(grabber_.Layout());
        album_ = discOwn_;
        musicBrainzPending_ = false;
        if (freedbBox_ && SourceInForce() != LookupSource::kFreedb) {
            Status("Query for MusicBrainz information");
            musicBrainzPending_ = true;
            view_->MusicBrainzLookupWanted();
        } else if (freedbBox_) {
            Status("Query for FreeDB information");
            grabber_.QueryFreedb(freedb_, 0);
            lookupPending_ = true;
            Status("Finish Refreshing CD Information");
        } else {
            FillTrackList();
            view_->EnableWorkingControls(true);
            Status("Finish Refreshing CD Information");
            if (album_.source == NamesSource::kCdText) Status("Track names from CD-Text");
        }
    } catch (const ComponentError&) {
        Status("Error on Refresh Disc Info");
    }
}

void Disc::ClearRows() {
    rows_.clear();
    tags_.Clear();
    trackCount_ = 0;
    sumMinutes_ = sumSeconds_ = sumMilliseconds_ = 0;
}

void Disc::FillTrackList() {
    ClearRows();
    fields_ = TagFields{};
    fields_.year = kDefaultYear;
    const int sessions = grabber_.SessionCount();
    for (int s = 0; s < sessions; ++s) {
        grabber_.SelectSession(s);
        const int tracks = grabber_.TrackCount();
        for (int t = 0; t < tracks; ++t) {
            grabber_.SelectTrack(t);
            AddTrackRow(s, t);
        }
    }
    if (!freedbDataInUse_ && !album_.HasNames()) {
        fields_.album.clear();
        fields_.artist.clear();
        fields_.genre.clear();
        fields_.year.clear();
    }
    view_->RowsChanged();
    if (!rows_.empty()) {
        view_->SelectRow(0);
        ShowSelectedTrack(0);
    }
    Status("Track Count: " + FormatTrackNumber(trackCount_, 2) +
           " ,          Total Duration: " + FormatDuration(TotalMs()));
    selectedRow_ = rows_.empty() ? -1 : 0;
    positionLabel_ = "No.: " + FormatTrackNumber(selectedRow_ + 1, 2) + ", second: 00:00:00.000";
    view_->ShowPositionLabel(positionLabel_);
    view_->FieldsChanged();
}

void Disc::AddTrackRow(int s, int t) {
    if (grabber_.TrackType() != kTrackAudio) return;
    std::string artist, album, title, genre, year;
    const std::size_t rowIndex = rows_.size();
    const bool named = album_.source == NamesSource::kMusicBrainz ||
                       (album_.source == NamesSource::kCdText && !freedbDataInUse_);
    if (named) {
        const AlbumTrack* track = rowIndex < album_.tracks.size() ? &album_.tracks[rowIndex] : nullptr;
        artist = track && !track->artist.empty() ? track->artist : album_.albumArtist;
        if (artist.empty()) artist = "Artist";
        album = album_.album.empty() ? "Album" : album_.album;
        title = track ? track->title : std::string();
        if (title.empty()) title = Printf("Session%d_Track%d", s + 1, t + 1);
        genre = album_.genre.empty() ? "none" : album_.genre;
        year = album_.date.size() >= 4 ? album_.date.substr(0, 4) : kDefaultYear;
    } else if (freedbDataInUse_) {
        artist = grabber_.FreedbArtist();
        if (artist.empty()) artist = "Artist";
        album = grabber_.FreedbAlbum();
        if (album.empty()) album = "Album";
        title = grabber_.FreedbTitle();
        if (title.empty()) title = Printf("Session%d_Track%d", s + 1, t + 1);
        genre = grabber_.FreedbGenre();
        if (genre.empty()) genre = "none";
        // An entry without a year (0) shows an empty field rather than "0".
        const int32_t known = grabber_.FreedbYear();
        year = known > 0 ? std::to_string(known) : std::string();
    } else {
        artist = "Artist";
        album = "Album";
        title = Printf("Session%d Track%d", s + 1, t + 1);
        genre = "none";
        year = kDefaultYear;
    }
    const std::string copyright = "Quelt CopyRight";
    const std::string comment = "Brenvik";

    tags_.artist.push_back(ChangeTextCase(artist, caseMode_));
    tags_.album.push_back(ChangeTextCase(album, caseMode_));
    tags_.title.push_back(ChangeTextCase(title, caseMode_));
    tags_.genre.push_back(ChangeTextCase(genre, caseMode_));
    tags_.copyright.push_back(ChangeTextCase(copyright, caseMode_));
    tags_.comment.push_back(ChangeTextCase(comment, caseMode_));
    tags_.year.push_back(year);
    ++trackCount_;

    const int minutes = grabber_.TrackMinutes();
    const int seconds = grabber_.TrackSeconds();
    const int ms = grabber_.TrackMilliseconds();
    sumMinutes_ += minutes;
    sumSeconds_ += seconds;
    sumMilliseconds_ += ms;

    TrackRow row;
    row.number = FormatTrackNumber(static_cast<int>(rows_.size()) + 1, 2);
    row.artist = ChangeTextCase(artist, caseMode_);
    row.title = ChangeTextCase(title, caseMode_);
    row.duration = FormatTrackNumber(minutes, 2) + ":" + FormatTrackNumber(seconds, 2) + "." +
                   FormatTrackNumber(ms, 3);
    row.checked = true;
    row.itemValue = s * 100 + t;
    rows_.push_back(row);
}

int64_t Disc::TotalMs() const {
    return (static_cast<int64_t>(sumMinutes_) * 60 + sumSeconds_) * 1000 + sumMilliseconds_;
}

void Disc::ShowSelectedTrack(int row) {
    if (previewActive_ || rows_.empty()) return;
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        selectedRow_ = -1;
        positionLabel_ = "No.: 0, second: 00:00:00.000";
        view_->ShowPositionLabel(positionLabel_);
        return;
    }
    selectedRow_ = row;
    positionLabel_ = "No.: " + FormatTrackNumber(row + 1, 2) + ", second: 00:00:00.000";
    view_->ShowPositionLabel(positionLabel_);
    ShowTrackTags(rows_[row].itemValue);
}

void Disc::ShowTrackTags(int itemValue) {
    grabber_.SelectSession(itemValue / 100);
    grabber_.SelectTrack(itemValue % 100);
    if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) return;
    const std::size_t r = static_cast<std::size_t>(selectedRow_);
    fields_.artist = tags_.artist[r];
    fields_.album = tags_.album[r];
    fields_.title = tags_.title[r];
    fields_.genre = tags_.genre[r];
    fields_.year = tags_.year[r];
    fields_.copyright = tags_.copyright[r];
    fields_.comment = tags_.comment[r];
    view_->FieldsChanged();
}

void Disc::FreedbBoxClicked(bool checked) {
    freedbBox_ = checked;
    freedbDataInUse_ = checked;
    const char* question = checked ? "Refresh the CD Album Information with FreeDB support ?"
                                   : "Refresh the CD Album Information without FreeDB support ?";
    if (prompter_.AskYesNo("FreeDB information changed", question)) RefreshCd();
}

void Disc::FreedbProgress(int status) {
    switch (status) {
        case kFreedbConnecting: Status("Connecting to  server..."); return;
        case kFreedbQuerying: Status("Quering for album entry..."); return;
        case kFreedbFound:
            Status("FreeDB information available");
            freedbDataInUse_ = true;
            break;
        // A disc with CD-Text still fills its rows from it after a failure or a miss.
        case kFreedbConnectionFailed:
            Status("Connection failed!");
            freedbDataInUse_ = grabber_.NamesFromCdText();
            break;
        case kFreedbNotFound:
            Status("No FreeDB information available for this CD!");
            freedbDataInUse_ = grabber_.NamesFromCdText();
            break;
        default: return;
    }
    lookupPending_ = false;
    view_->EnableWorkingControls(true);
    std::string outcome = this->status();
    // The outcome stays as the server gave it; the disc's own names say where they came from.
    if (status != kFreedbFound && freedbDataInUse_) outcome += " Track names from CD-Text";
    try {
        FillTrackList();
        // The track count must not hide how the look-up went: the page shows both until
        // the next action writes its own status.
        Status(outcome + "  " + this->status());
    } catch (const ComponentError&) {
        Status("Error on Refresh Disc Info");
    }
}

LookupSource Disc::SourceInForce() const {
    return lookupSettings_ ? lookupSettings_->lookupSource : LookupSource::kFreedb;
}

bool Disc::MusicBrainzOutcome(const MusicBrainzAnswer& answer) {
    musicBrainzPending_ = false;
    Status(answer.message);
    if (answer.outcome == LookupOutcome::kFound && answer.releases.size() > 1) return true;
    if (answer.outcome == LookupOutcome::kFound) {
        ApplyRelease(&answer.releases.front());
        return false;
    }
    if (SourceInForce() == LookupSource::kMusicBrainzThenFreedb &&
        answer.outcome != LookupOutcome::kCancelled) {
        try {
            Status("Query for FreeDB information");
            grabber_.QueryFreedb(freedb_, 0);
            lookupPending_ = true;
        } catch (const ComponentError&) {
            Status("Error on Refresh Disc Info");
        }
        return false;
    }
    FillWithOwnNames(answer.message);
    return false;
}

void Disc::ApplyRelease(const MusicBrainzRelease* release) {
    if (!release) {
        FillWithOwnNames("");
        return;
    }
    if (RefillFrom(AlbumFromRelease(*release, discOwn_)))
        Status("Track names from MusicBrainz: " + ReleaseSummary(*release));
}

// Names the rows from `album` with the controls enabled; false after a component error.
bool Disc::RefillFrom(const AlbumMetadata& album) {
    album_ = album;
    view_->EnableWorkingControls(true);
    try {
        FillTrackList();
        return true;
    } catch (const ComponentError&) {
        Status("Error on Refresh Disc Info");
        return false;
    }
}

// The rows named by the disc itself after a look-up gave nothing; `lead` (the look-up's
// outcome) stays in the status before the source of the names.
void Disc::FillWithOwnNames(const std::string& lead) {
    if (!RefillFrom(discOwn_)) return;
    std::string text = lead;
    if (album_.source == NamesSource::kCdText)
        text += std::string(text.empty() ? "" : " ") + "Track names from CD-Text";
    if (!text.empty()) Status(text);
}

void Disc::MediaChanged() {
    try {
        Status(grabber_.DiscState() == kDiscNone ? "Eject disc" : "Insert disc");
    } catch (const ComponentError&) {
        Status("Eject disc");
    }
    freedbDataInUse_ = false;
    RefreshCd();
}

void Disc::ReadRetry(int attempt, int32_t sector) {
    char text[160];
    std::snprintf(text, sizeof text, "Attempt %d of %d attempts of reading the track sector %d", attempt,
                  static_cast<int>(grabber_.ReadAttempts()), static_cast<int>(sector));
    Status(text);
    if (!retryWarningShown_.exchange(true))
        prompter_.ShowMessage(kRipCaption,
                              "Audio CD Ripper detects that this CD may be scratched. Please set the "
                              "options for grabbing old or scratched CDs.");
}

void Disc::SetCaseMode(int mode) {
    caseMode_ = mode;
    FillTrackList();
}

void Disc::SelectAll() {
    selectAllBox_ = true;
    for (auto& row : rows_) row.checked = true;
    view_->SelectAllBoxChanged(true);
    view_->RowsChanged();
}

void Disc::SelectNone() {
    selectAllBox_ = false;
    for (auto& row : rows_) row.checked = false;
    view_->SelectAllBoxChanged(false);
    view_->RowsChanged();
}

void Disc::InvertSelection() {
    bool all = true;
    for (auto& row : rows_) {
        row.checked = !row.checked;
        all = all && row.checked;
    }
    selectAllBox_ = all;
    view_->SelectAllBoxChanged(all);
    view_->RowsChanged();
}

void Disc::SelectAllBoxClicked(bool checked) {
    selectAllBox_ = checked;
    for (auto& row : rows_) row.checked = checked;
    view_->RowsChanged();
}

void Disc::SetChecked(int row, bool checked) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    rows_[row].checked = checked;
    view_->RowsChanged();
}

int Disc::CheckedCount() const {
    int n = 0;
    for (const auto& row : rows_) n += row.checked;
    return n;
}

void Disc::Edit(std::vector<std::string> TagLists::*list, std::string TagFields::*field,
                const std::string& text) {
    if (selectedRow_ < 0 || selectedRow_ >= static_cast<int>(rows_.size())) return;
    (tags_.*list)[selectedRow_] = text;
    fields_.*field = text;
}

void Disc::EditArtist(const std::string& text) {
    Edit(&TagLists::artist, &TagFields::artist, text);
    if (selectedRow_ >= 0 && selectedRow_ < static_cast<int>(rows_.size())) {
        rows_[selectedRow_].artist = text;
        view_->RowsChanged();
    }
}

void Disc::EditTitle(const std::string& text) {
    Edit(&TagLists::title, &TagFields::title, text);
    if (selectedRow_ >= 0 && selectedRow_ < static_cast<int>(rows_.size())) {
        rows_[selectedRow_].title = text;
        view_->RowsChanged();
    }
}

void Disc::EditAlbum(const std::string& text) { Edit(&TagLists::album, &TagFields::album, text); }
void Disc::EditYear(const std::string& text) { Edit(&TagLists::year, &TagFields::year, text); }
void Disc::EditGenre(const std::string& text) { Edit(&TagLists::genre, &TagFields::genre, text); }
void Disc::EditCopyright(const std::string& text) { Edit(&TagLists::copyright, &TagFields::copyright, text); }
void Disc::EditComment(const std::string& text) { Edit(&TagLists::comment, &TagFields::comment, text); }

std::string Disc::status() const {
    std::lock_guard lock(statusMutex_);
    return status_;
}

void Disc::Status(const std::string& text) {
    {
        std::lock_guard lock(statusMutex_);
        status_ = text;
    }
    view_->ShowStatus(text);
}

}  // namespace quelt
