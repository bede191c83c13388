// The main window: one skinned window (number 1000) holding the ripper, converter and
// burner pages on top of each other, showing the page of the current mode. It owns mode
// switching with the drive hand-over, the commands shared by every mode (start, options,
// about, help, minimise, close, the priority box, the mode menu), dropped files, and
// dragging the frameless window by its surface.
//
// Control numbers: 1001..1003 mode buttons, 1004 minimise, 1005 close, 1011 mode menu
// button, 1012 volume slider, 1013 status line, 1014 options, 1015 about, 1016 help,
// 1017 start, 1018 priority box, 1020 position slider.
// Threading: GUI thread only.
#pragma once

#include <QPoint>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "gui/skin/skinned_window.h"

class QComboBox;
class QLabel;
class QMenu;

namespace quelt {

struct AppContext;
class DriveHandOver;
class GenreList;
class ModePage;
class OptionsPage;
class OptionsSheet;
class CdGrabber;
class PlaybackLibrary;
class PreviewPlayer;

class MainWindow : public SkinnedWindow {
    Q_OBJECT
  public:
    // What the window is built from. Empty factories give the built-in pages: the converter
    // page, and plain skinned pages for the ripper and the burner.
    struct Parts {
        DriveHandOver* driveHandOver = nullptr;  // nullptr: no drives to hand over
        const GenreList* genres = nullptr;
        std::function<ModePage*(QWidget*parent)> ripPage, convertPage, burnPage;
        std::function<OptionsPage*()> ripOptions, freedbOptions;
        // The preview player plays through `playback` (none: no player) and the ripper
        // page's tracks through `grabber` (none: tracks do not play).
        PlaybackLibrary* playback = nullptr;
        CdGrabber* grabber = nullptr;
    };

    MainWindow(Skin& skin, AppContext& context, Parts parts);
    ~MainWindow() override;

    // Shows the page of `mode` (100, 200, 300); see the class comment.
    void SwitchMode(int mode);
    int mode() const;
    ModePage* page(int mode) const;

    // Files dropped onto the window, in drop order: added to the converter list (mode 200)
    // or the burn compilation (mode 300), ignored in mode 100.
    void DropFiles(const QStringList& paths);
    // Files handed to the program (on its command line, or by a later start): audio files
    // go to the converter, or to the burner when it shows; a disc image (.cue, .toc, .nrg)
    // opens on the ripper page. While a dialog of the program is open (a job's progress
    // window, the options) nothing is added: that dialog comes to the front instead.
    void OpenFiles(const QStringList& paths);
    // Shows the window in front of the others, restored when it was minimised.
    void BringToFront();
    // The start button: the current mode's job, unless a preview plays.
    void Start();
    // Stops a playing preview (no-op when none plays).
    void StopPreview();
    // The options sheet, modal; returns when it closes.
    void OpenOptions();
    void OpenAbout();
    void OpenHelp();

    // Where a right-click opens the mode menu (client coordinates).
    static bool InModeMenuZone(const QPoint& point);
    QMenu* modeMenu() const { return modeMenu_; }
    QComboBox* priorityBox() const { return priority_; }
    QLabel* statusLine() const { return status_; }
    PreviewPlayer* previewPlayer() const { return player_; }

    // Seams for the preview player and the desktop; tests replace them.
    void SetPreviewStopper(std::function<void()> stop);
    void SetHelpOpener(std::function<bool()> open);
    // Called with every options sheet right before it is shown (tests drive it).
    void SetOptionsHook(std::function<void(OptionsSheet&)> hook);

  signals:
    void modeChanged(int mode);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreatePages();
    void BindControls();
    void ChainKeyboardOrder();
    void OnCommand(int id);
    void ShowPage(int mode, ModePage* page, int button);
    void CreatePreviewPlayer();

    AppContext& context_;
    Parts parts_;
    std::array<ModePage*, 3> pages_{};  // rip, convert, burn
    QLabel* status_ = nullptr;
    QComboBox* priority_ = nullptr;
    QMenu* modeMenu_ = nullptr;
    PreviewPlayer* player_ = nullptr;
    bool initialised_ = false;
    std::function<void()> stopPreview_;
    std::function<bool()> openHelp_;
    std::function<void(OptionsSheet&)> optionsHook_;
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace quelt
