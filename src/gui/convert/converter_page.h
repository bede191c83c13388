// The file converter page: the list of files to convert (`ConvertList`) with their tags,
// the output format and preset, and the start of a conversion. Built from the skin's
// converter page section; controls are bound by number:
//   1103 file list, 1104 summary, 1105..1108 add files / add folder / remove / clear,
//   1114 genre, 1115 artist, 1116 album, 1117 title, 1119 year, 1122 comment,
//   1123 copyright, 1125 output format, 1126 encoding preset.
// A control the skin lacks is replaced by a hidden stand-in, so the page always works.
// Threading: GUI thread only; a running conversion works on its own copy of the list.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/convert/conversion_job.h"
#include "gui/common/mode_page.h"
#include "gui/skin/skinned_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTreeWidget;

namespace quelt {

struct AppContext;
class GenreList;

class ConverterPage : public SkinnedWindow, public ModePage {
    Q_OBJECT
  public:
    // `genres` may be null (the genre box then stays empty). `context` and `genres` must
    // outlive the page.
    ConverterPage(Skin& skin, AppContext& context, const GenreList* genres,
                  QWidget* parent = nullptr);

    // ModePage
    QWidget* widget() override { return this; }
    bool created() const override { return isSkinned(); }
    int currentItem() const override { return current_; }
    void setStatusLine(QLabel* line) override { statusLine_ = line; }
    void AddDroppedFile(const QString& path) override { AddFile(path); }
    void RefreshAfterDrop() override { Refresh(); }
    void StartJob() override;
    int itemCount() const override { return static_cast<int>(items_.size()); }
    QString itemPath(int row) const override;
    void SelectItem(int row) override;
    void SetPreviewHold(bool on) override { SetEditingEnabled(!on); }

    const std::vector<ConvertItem>& items() const { return items_; }
    int64_t totalDurationMs() const { return totalMs_; }

    // Adds one file when the media probe reads it; false (and nothing shown) otherwise.
    bool AddFile(const QString& path);
    // The media files directly in `folder` (no sub-folders), in name order, then a refresh.
    void AddFolder(const QString& folder);
    void AddFiles(const QStringList& paths);
    void Refresh();
    void ShowCurrent();
    void RemoveSelected();
    void Clear();
    // Enables or disables the list, its buttons, the tag controls and the format lists
    // together (the preview player turns them off while it plays a file of this page).
    void SetEditingEnabled(bool on);

    // The dialogs behind the add buttons (QFileDialog by default); tests replace them.
    // Each returns what the user chose, empty when cancelled.
    void SetFileChooser(std::function<QStringList(QWidget*)> chooser);
    void SetFolderChooser(std::function<QString(QWidget*)> chooser);
    // Called with each job's parameters before it is built (tests drop the start delay
    // and the sound).
    void SetJobSetup(std::function<void(ConversionJobParameters&)> setup);

    // The context menu 141 and the zone where a right-click opens it (page coordinates).
    QMenu* contextMenu() const { return menu_; }
    static bool InContextZone(const QPoint& point);

    QTreeWidget* fileList() const { return list_; }
    QLabel* summary() const { return summary_; }
    QComboBox* genreBox() const { return genre_; }
    QComboBox* formatBox() const { return format_; }
    QComboBox* presetBox() const { return preset_; }
    QLineEdit* tagEdit(int id) const;  // 1115, 1116, 1117, 1119, 1122, 1123

    void ChooseAndAddFiles();
    void ChooseAndAddFolder();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void SetUpLists();
    void SetUpEdits();
    void SetUpMenu();
    void ConnectControls();
    void StoreTag(int id, const QString& text);
    void WritePositionLine(int row);

    AppContext& context_;
    const GenreList* genres_;
    std::vector<ConvertItem> items_;  // ConvertList
    int current_ = -1;
    int count_ = 0;
    int64_t totalMs_ = 0;
    int formatRow_ = 0;
    int presetRow_ = 0;
    QLabel* statusLine_ = nullptr;
    QMenu* menu_ = nullptr;
    std::function<QStringList(QWidget*)> chooseFiles_;
    std::function<QString(QWidget*)> chooseFolder_;
    std::function<void(ConversionJobParameters&)> jobSetup_;

    QTreeWidget* list_ = nullptr;
    QLabel* summary_ = nullptr;
    QComboBox* genre_ = nullptr;
    QComboBox* format_ = nullptr;
    QComboBox* preset_ = nullptr;
    std::vector<std::pair<int, QLineEdit*>> edits_;
    std::vector<QWidget*> editingControls_;
};

}  // namespace quelt
