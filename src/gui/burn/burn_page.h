// The CD burner page: the writer list and the medium in it, the disc type, and the
// compilation (the ordered files of the next CD with their durations and the total),
// with the start of a burn. Built from the skin's burner page section; controls are bound
// by number:
//   1079 compilation list, 1081 writer list, 1082 summary, 1085 medium type,
//   1086 medium state, 1101 medium size, 1087 add files, 1090 add folder, 1091 move up,
//   1092 move down, 1089 remove, 1088 clear list, 1093 eject, 1094 close tray,
//   1095 erase, 1098 disc type.
// A control the skin lacks is replaced by a hidden stand-in, so the page always works.
// Threading: GUI thread only. The library's operations are called from here; its
// callbacks of a running burn reach the progress window, which carries them to the GUI
// thread. A running burn works on its own copy of the compilation's paths.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/burn/burn_job.h"
#include "core/burn/burner_status.h"
#include "core/burn/compilation.h"
#include "gui/common/mode_page.h"
#include "gui/skin/skinned_window.h"

class QComboBox;
class QLabel;
class QMenu;
class QTreeWidget;

namespace quelt {

struct AppContext;
class BurnerLibrary;
class EraseDialog;

class BurnPage : public SkinnedWindow, public ModePage {
    Q_OBJECT
  public:
    // Starts the library and lists its writers. `context` and `library` must outlive the page.
    BurnPage(Skin& skin, AppContext& context, BurnerLibrary& library, QWidget* parent = nullptr);

    // ModePage
    QWidget* widget() override { return this; }
    bool created() const override { return isSkinned(); }
    int currentItem() const override { return compilation_.current(); }
    void setStatusLine(QLabel* line) override { statusLine_ = line; }
    void AddDroppedFile(const QString& path) override { AddFile(path); }
    void RefreshAfterDrop() override { Refresh(); }
    void RefreshOnShow() override { ShowMedium(); }
    void StartJob() override;
    int itemCount() const override { return static_cast<int>(compilation_.size()); }
    QString itemPath(int row) const override;
    void SelectItem(int row) override;
    void SetPreviewHold(bool on) override;

    const Compilation& compilation() const { return compilation_; }
    const WriterList& writers() const { return writers_; }
    bool dataCd() const;

    // Adds one file when the media probe reads it (no extension filter); call Refresh after.
    bool AddFile(const QString& path);
    void AddFiles(const QStringList& paths);
    // The media files directly in `folder` (not in sub-folders), then a refresh.
    void AddFolder(const QString& folder);
    void Refresh();
    // The list's selection became the current item (the list's click and key handler).
    void SyncCurrentItem();
    void MoveUp();
    void MoveDown();
    void MoveToTop();
    void MoveToBottom();
    void Remove();
    void Clear();
    // Reads the medium of the selected writer into the three medium lines.
    void ShowMedium();
    void Eject();
    void CloseTray();
    // The erase dialog for the selected writer; the medium lines are read again after it.
    void Erase();
    // The list, the add/move/remove/clear buttons and the disc type together (the preview
    // player turns them off while it plays a file of this page; no writer keeps them off).
    void SetEditingEnabled(bool on);

    // The dialogs behind the buttons (QFileDialog by default); tests replace them. Each
    // returns what the user chose, empty when cancelled. The image chooser gets whether the
    // image is a data CD (an .iso) or an Audio CD (a .cue).
    void SetFileChooser(std::function<QStringList(QWidget*)> chooser);
    void SetFolderChooser(std::function<QString(QWidget*)> chooser);
    void SetImageChooser(std::function<QString(QWidget*, bool dataCd)> chooser);
    // Called with each job's parameters before it is built (tests drop the start delay
    // and the sound).
    void SetJobSetup(std::function<void(BurnJobParameters&)> setup);
    // Shows the erase dialog (modally by default; tests drive it themselves).
    void SetEraseDialogRunner(std::function<void(EraseDialog&)> runner);

    // The "_CDBURN_" menu and the zone where a right-click opens it (page coordinates).
    QMenu* contextMenu() const { return menu_; }
    static bool InContextZone(const QPoint& point);

    QTreeWidget* fileList() const { return list_; }
    QComboBox* writerBox() const { return writerBox_; }
    QComboBox* discTypeBox() const { return discType_; }
    QLabel* summary() const { return summary_; }
    QLabel* mediumType() const { return mediumType_; }
    QLabel* mediumState() const { return mediumState_; }
    QLabel* mediumSize() const { return mediumSize_; }

    void ChooseAndAddFiles();
    void ChooseAndAddFolder();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void SetUpLists();
    void SetUpMenu();
    void ConnectControls();
    void OnCommand(int id);
    // The writer of the writer list's selection goes to the library ("" with no writer).
    std::string SelectWriter();
    void ReportResult(int32_t code);
    // The compilation refuses its edits while a preview holds the page.
    void FollowPreview();

    AppContext& context_;
    BurnerLibrary& library_;
    Compilation compilation_;
    WriterList writers_;
    QLabel* statusLine_ = nullptr;
    QMenu* menu_ = nullptr;
    std::function<QStringList(QWidget*)> chooseFiles_;
    std::function<QString(QWidget*)> chooseFolder_;
    std::function<QString(QWidget*, bool)> chooseImage_;
    std::function<void(BurnJobParameters&)> jobSetup_;
    std::function<void(EraseDialog&)> runEraseDialog_;

    QTreeWidget* list_ = nullptr;
    QComboBox* writerBox_ = nullptr;
    QComboBox* discType_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* mediumType_ = nullptr;
    QLabel* mediumState_ = nullptr;
    QLabel* mediumSize_ = nullptr;
    std::vector<QWidget*> editingControls_;
};

}  // namespace quelt
