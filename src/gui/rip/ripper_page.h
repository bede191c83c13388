// The CD ripper page: binds the skin's ripper controls to the Disc model (core/rip/disc.h).
// The Disc holds the drives, rows, tag lists and status texts; this page shows them and
// turns the user's edits and commands into Disc calls. Controls, bound by number:
//   1042 track list, 1043 drive list, 1044 select-all box, 1045 FreeDB box,
//   1047 status text, 1048 artist, 1051 album, 1052 title, 1056 year, 1053 genre,
//   1054 copyright, 1055 comment, 1050 format list, 1049 preset list,
//   1067 eject, 1066 close tray.
// A control the skin lacks is replaced by a hidden stand-in, so the page always works.
//
// Threading: the page lives on the GUI thread. Grabber events reach it through a
// GrabberEventRelay: media changes and FreeDB progress are queued to the GUI thread; read
// retries run on the rip worker, whose status text and one-time warning are posted here.
// While a rip runs, the worker owns the Disc: media changes and FreeDB outcomes that
// arrive meanwhile wait until the job has ended. A preview of a track is stopped by a media
// change or another drive; FreeDB outcomes wait until it has stopped.
#pragma once

#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "core/rip/disc.h"
#include "core/rip/musicbrainz.h"
#include "core/rip/rip_job.h"
#include "gui/common/mode_page.h"
#include "gui/rip/grabber_event_relay.h"
#include "gui/rip/gui_thread_prompter.h"
#include "gui/skin/skinned_window.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTreeWidget;

namespace quelt {

struct AppContext;
class CdGrabber;
class FreedbInfo;
class GenreList;

class RipperPage : public SkinnedWindow, public ModePage, public DiscView {
    Q_OBJECT
  public:
    // Creates the page and reads the disc (CreateRipperPage): format and preset from the
    // "CDRIP" keys, the track list, FreeDB configured from the settings, the grabber
    // opened and its drives listed, the first drive refreshed, the genre names.
    // `grabber`, `freedb`, `context` and `genres` must outlive the page; `genres` may be null.
    RipperPage(Skin& skin, AppContext& context, CdGrabber& grabber, FreedbInfo& freedb,
               const GenreList* genres, QWidget* parent = nullptr);
    ~RipperPage() override;

    // ModePage
    QWidget* widget() override { return this; }
    bool created() const override { return isSkinned(); }
    int currentItem() const override { return disc_.selectedRow(); }
    void setStatusLine(QLabel* line) override { statusLine_ = line; }
    // A disc image handed to the program: listed as a drive, selected and read at once; an
    // image that cannot be read is named in the status. Ignored while a rip runs.
    void OpenDiscImage(const QString& path) override;
    void StartJob() override;
    int itemCount() const override { return static_cast<int>(disc_.rows().size()); }
    void SelectItem(int row) override;
    // The working controls are off while a preview holds the page; FreeDB outcomes that
    // arrive meanwhile wait until it lets go (the preview reads the disc).
    void SetPreviewHold(bool on) override;

    // DiscView (GUI thread, except ShowStatus and RowsChanged, which the rip worker may call)
    void ShowStatus(const std::string& text) override;
    // The twelve working controls: drive list, artist, album, title, year, genre, FreeDB
    // box, select-all box, copyright, comment, format list, preset list.
    void EnableWorkingControls(bool on) override;
    void EnableDriveListOnly() override;
    void DriveListChanged() override;
    void RowsChanged() override;
    void FieldsChanged() override;
    void SelectRow(int row) override;
    void SelectAllBoxChanged(bool checked) override;
    void ShowPositionLabel(const std::string& text) override;
    // Looks the disc up in MusicBrainz on a thread of its own; the answer comes back to the
    // GUI thread, where several releases open the release picker.
    void MusicBrainzLookupWanted() override;
    // Replaces the release picker (tests): returns the chosen release, -1 for none.
    void SetReleaseChooser(std::function<int(const std::vector<MusicBrainzRelease>&)> chooser) {
        releaseChooser_ = std::move(chooser);
    }

    Disc& disc() { return disc_; }
    const Disc& disc() const { return disc_; }
    int formatRow() const { return formatRow_; }
    int presetRow() const { return presetRow_; }

    // The selected row's tags into the fields (the main window's previous / next commands).
    void ShowTrackTags(int itemValue) { disc_.ShowTrackTags(itemValue); }
    void EjectTray();
    void CloseTray();
    // The case commands of the context menu (kCaseUpper..kCaseSentence).
    void SetCaseMode(int mode);

    // The context menu (menu resource 130) and the zone where it opens (page coordinates).
    QMenu* trackMenu() const { return menu_; }
    static bool InTrackMenuZone(const QPoint& point);
    // Opens the menu for a request at `point` (page coordinates); a keyboard request has
    // none. Returns whether the menu was opened.
    bool OpenTrackMenu(const QPoint* point);

    // The preview player's commands for "Pla&y" and "St&op"; without them the two entries
    // are disabled. A media change or another drive stops a playing preview first.
    void SetPreviewCommands(std::function<void()> play, std::function<void()> stop) override;
    // Called with each rip's parameters before the job runs (tests drop the start delay
    // and the sound).
    void SetJobSetup(std::function<void(RipJobParameters&)> setup);
    // "Open disc image..." (the page's menu and the drive list's last entry): asks for a
    // CUE/BIN, TOC or NRG image and lists it as a drive. The chooser returns "" when the
    // user cancels (a file dialog by default; tests replace it).
    void ChooseAndOpenImage();
    void SetImageChooser(std::function<QString(QWidget*)> chooser);

    QTreeWidget* trackList() const { return list_; }
    QComboBox* driveBox() const { return drives_; }
    QComboBox* genreBox() const { return genre_; }
    QComboBox* formatBox() const { return format_; }
    QComboBox* presetBox() const { return preset_; }
    QAbstractButton* selectAllBox() const { return selectAll_; }
    QAbstractButton* freedbBox() const { return freedb_; }
    QLabel* statusText() const { return status_; }
    QLineEdit* tagEdit(int id) const;  // 1048, 1051, 1052, 1056, 1054, 1055

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Shown again after the burner had the drives: the grabber lists its drives anew and
    // has none selected, so the page selects its drive again and re-reads the disc.
    void showEvent(QShowEvent* event) override;

  private:
    void SetUpLists(const GenreList* genres);
    void SetUpEdits();
    void SetUpMenu();
    void ConnectControls();
    void OnCommand(int id);
    void ShowSelectedTrack();
    void EditTag(int id, const QString& text);
    void ApplyChecksFromWorker(std::vector<bool> checked);
    // Runs `event` now, or after the running rip when one runs.
    void WhenIdle(std::function<void()> event);
    void RunDeferredEvents();
    void ShowGenre(const std::string& genre);
    void ShowSelectedDrive();
    // The grabber is about to change disc or drive: a playing preview lets go of it first.
    void StopPreviewForDriveChange();
    void AddOpenImageEntry();
    void TakeMusicBrainzAnswer(const MusicBrainzAnswer& answer);

    AppContext& context_;
    GuiThreadPrompter prompter_;
    Disc disc_;
    CdGrabber& grabber_;
    std::unique_ptr<GrabberEventRelay> relay_;
    bool ripRunning_ = false;
    std::vector<std::function<void()>> deferred_;
    std::function<QString(QWidget*)> chooseImage_;
    int formatRow_ = 0;
    int presetRow_ = 0;
    QPointer<QLabel> statusLine_;
    std::function<void(RipJobParameters&)> jobSetup_;
    std::function<void()> play_, stop_;
    std::function<int(const std::vector<MusicBrainzRelease>&)> releaseChooser_;
    int lookupGeneration_ = 0;                    // answers of older look-ups are dropped
    std::shared_ptr<std::atomic<bool>> closing_;  // set when the page goes: look-ups stop

    QTreeWidget* list_ = nullptr;
    QComboBox* drives_ = nullptr;
    QComboBox* genre_ = nullptr;
    QComboBox* format_ = nullptr;
    QComboBox* preset_ = nullptr;
    QAbstractButton* selectAll_ = nullptr;
    QAbstractButton* freedb_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<std::pair<int, QLineEdit*>> edits_;
    QMenu* menu_ = nullptr;
    QAction* playAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    std::vector<QAction*> caseActions_;
};

}  // namespace quelt
