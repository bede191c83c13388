#include "gui/convert/converter_page.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>

#include "core/catalogue/catalogue.h"
#include "core/naming/paths.h"
#include "core/naming/text.h"
#include "core/rip/genre_list.h"
#include "core/settings/app_paths.h"
#include "core/transcode/media_info.h"
#include "gui/common/app_context.h"
#include "gui/common/audio_file_dialogs.h"
#include "gui/common/file_list.h"
#include "gui/common/format_lists.h"
#include "gui/convert/conversion_start.h"
#include "gui/skin/skin_windows.h"

namespace quelt {

namespace {

constexpr int kFileList = 1103, kSummary = 1104, kAddFiles = 1105, kAddFolder = 1106,
              kRemove = 1107, kClear = 1108, kGenre = 1114, kArtist = 1115, kAlbum = 1116,
              kTitle = 1117, kYear = 1119, kComment = 1122, kCopyright = 1123, kFormat = 1125,
              kPreset = 1126;

QString Qs(const std::string& s) { return QString::fromStdString(s); }

QString PositionText(int row) {
    return QStringLiteral("No.: %1, second: 00:00:00.000").arg(Qs(FormatTrackNumber(row + 1, 2)));
}

}  // namespace

ConverterPage::ConverterPage(Skin& skin, AppContext& context, const GenreList* genres,
                             QWidget* parent)
    : SkinnedWindow(skin, kConvertPageNumber, parent), context_(context), genres_(genres) {
    chooseFiles_ = ChooseAudioFiles;
    chooseFolder_ = ChooseAudioFolder;
    list_ = Bind<QTreeWidget>(kFileList);
    summary_ = Bind<QLabel>(kSummary);
    genre_ = Bind<QComboBox>(kGenre);
    format_ = Bind<QComboBox>(kFormat);
    preset_ = Bind<QComboBox>(kPreset);
    SetUpLists();
    SetUpEdits();
    SetUpFileList(list_);
    SetUpMenu();
    ConnectControls();
    Refresh();
}

void ConverterPage::SetUpLists() {
    // Format and preset rows are read once here; every later change is written at once.
    const FormatRows rows = ReadFormatRows(context_.profile, "CONVERT");
    formatRow_ = rows.format;
    presetRow_ = rows.preset;
    for (QComboBox* box : {genre_, format_, preset_}) ResetChoiceBox(box);
    FillFormatLists(format_, preset_, rows);
    if (genres_) {
        for (int i = 0; i < genres_->Count(); ++i) genre_->addItem(Qs(genres_->GenreName(i)));
        genre_->setCurrentIndex(0);
    }
    genre_->setMaxVisibleItems(16);
}

void ConverterPage::SetUpEdits() {
    for (int id : {kArtist, kAlbum, kTitle, kYear, kComment, kCopyright}) {
        QLineEdit* edit = Bind<QLineEdit>(id);
        edit->setMaxLength(id == kCopyright ? 255 : 200);
        edits_.emplace_back(id, edit);
    }
    tagEdit(kYear)->setText(QStringLiteral("2007"));
}

void ConverterPage::SetUpMenu() {
    menu_ = new QMenu(this);
    menu_->addAction(QStringLiteral("&Add files"), this, &ConverterPage::ChooseAndAddFiles);
    menu_->addAction(QStringLiteral("Add &folder"), this, &ConverterPage::ChooseAndAddFolder);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Remove selected file from list"), this,
                     &ConverterPage::RemoveSelected);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Clear list"), this, &ConverterPage::Clear);
}

void ConverterPage::ConnectControls() {
    connect(this, &SkinnedWindow::controlClicked, this, [this](int id) {
        switch (id) {
            case kAddFiles:
                ChooseAndAddFiles();
                break;
            case kAddFolder:
                ChooseAndAddFolder();
                break;
            case kRemove:
                RemoveSelected();
                break;
            case kClear:
                Clear();
                break;
            default:
                break;
        }
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &ConverterPage::ShowCurrent);
    for (auto& [id, edit] : edits_)
        connect(edit, &QLineEdit::textChanged, this,
                [this, id = id](const QString& text) { StoreTag(id, text); });
    connect(genre_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) StoreTag(kGenre, genre_->itemText(index));
    });
    connect(format_, &QComboBox::currentIndexChanged, this, [this](int row) {
        formatRow_ = row;
        context_.profile.WriteInt("CONVERT", "FormatIndex", row);
    });
    connect(preset_, &QComboBox::currentIndexChanged, this, [this](int row) {
        presetRow_ = row;
        context_.profile.WriteInt("CONVERT", "FParamIndex", row);
    });

    editingControls_ = {list_, genre_, format_, preset_};
    for (int id : {kAddFiles, kAddFolder, kRemove, kClear})
        if (QWidget* button = controlWidget(id)) editingControls_.push_back(button);
    for (auto& entry : edits_) editingControls_.push_back(entry.second);
}

QLineEdit* ConverterPage::tagEdit(int id) const {
    for (const auto& [editId, edit] : edits_)
        if (editId == id) return edit;
    return nullptr;
}

void ConverterPage::SetFileChooser(std::function<QStringList(QWidget*)> chooser) {
    chooseFiles_ = std::move(chooser);
}
void ConverterPage::SetFolderChooser(std::function<QString(QWidget*)> chooser) {
    chooseFolder_ = std::move(chooser);
}
void ConverterPage::SetJobSetup(std::function<void(ConversionJobParameters&)> setup) {
    jobSetup_ = std::move(setup);
}

bool ConverterPage::AddFile(const QString& path) {
    const std::string file = path.toStdString();
    auto info = ReadMediaInfo(file);
    if (!info) return false;
    items_.push_back(ConvertItem{file, info->artist, info->album, info->title, info->year,
                                 info->genre, info->comment, info->copyright, info->durationMs});
    return true;
}

void ConverterPage::AddFiles(const QStringList& paths) {
    for (const QString& path : paths) AddFile(path);
    Refresh();
}

void ConverterPage::AddFolder(const QString& folder) {
    QDir dir(folder);
    QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries)
        if (IsMediaFile(entry.filePath().toStdString())) AddFile(entry.filePath());
    Refresh();
}

void ConverterPage::ChooseAndAddFiles() {
    const QStringList chosen = chooseFiles_(this);
    if (!chosen.isEmpty()) AddFiles(chosen);
}

void ConverterPage::ChooseAndAddFolder() {
    const QString chosen = chooseFolder_(this);
    if (!chosen.isEmpty()) AddFolder(chosen);
}

void ConverterPage::Refresh() {
    {
        QSignalBlocker block(list_);
        list_->clear();
        count_ = 0;
        totalMs_ = 0;
        for (const ConvertItem& item : items_) {
            AddFileRow(list_, Qs(FormatTrackNumber(count_ + 1, 2)), item.path, item.durationMs);
            ++count_;
            totalMs_ += item.durationMs;
        }
    }
    if (count_ > 0) {
        if (current_ < 0 || current_ >= count_) current_ = count_ - 1;
        QSignalBlocker block(list_);
        SelectFileRow(list_, list_->topLevelItem(current_));
    } else {
        current_ = -1;
    }
    ShowCurrent();
    summary_->setText(QStringLiteral("Track Count: %1 ,          Total Duration: %2")
                          .arg(Qs(FormatTrackNumber(count_, 2)), Qs(FormatDuration(totalMs_))));
    if (current_ >= 0) WritePositionLine(current_);
}

void ConverterPage::WritePositionLine(int row) {
    if (statusLine_) statusLine_->setText(PositionText(row));
}

void ConverterPage::ShowCurrent() {
    if (context_.previewActive || items_.empty()) return;
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        current_ = -1;
        if (statusLine_) statusLine_->setText(QStringLiteral("No.: 0, second: 00:00:00.000"));
        return;
    }
    current_ = list_->indexOfTopLevelItem(selected.front());
    WritePositionLine(current_);
    const ConvertItem& item = items_[current_];
    // Showing the entry must not write it back through the edit handlers.
    const std::pair<int, const std::string*> fields[] = {
        {kArtist, &item.artist}, {kAlbum, &item.album},     {kTitle, &item.title},
        {kYear, &item.year},     {kComment, &item.comment}, {kCopyright, &item.copyright}};
    for (const auto& [id, text] : fields) {
        QLineEdit* edit = tagEdit(id);
        QSignalBlocker block(edit);
        edit->setText(Qs(*text));
        edit->setCursorPosition(0);  // a long text shows its beginning
    }
    // A genre the list does not name shows as the file's own text, never another row's.
    ShowTextInChoiceBox(genre_, Qs(item.genre));
}

void ConverterPage::StoreTag(int id, const QString& text) {
    if (current_ < 0 || current_ >= static_cast<int>(items_.size())) return;
    ConvertItem& item = items_[current_];
    const std::string value = text.toStdString();
    switch (id) {
        case kArtist:
            item.artist = value;
            break;
        case kAlbum:
            item.album = value;
            break;
        case kTitle:
            item.title = value;
            break;
        case kYear:
            item.year = value;
            break;
        case kComment:
            item.comment = value;
            break;
        case kCopyright:
            item.copyright = value;
            break;
        case kGenre:
            item.genre = value;
            break;
        default:
            break;
    }
}

void ConverterPage::RemoveSelected() {
    if (context_.previewActive || items_.empty()) return;
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    const int row = list_->indexOfTopLevelItem(selected.front());
    items_.erase(items_.begin() + row);
    // The entry above becomes current; from the first row none is, and the refresh then
    // selects the last row.
    current_ = row - 1;
    Refresh();
}

void ConverterPage::Clear() {
    if (context_.previewActive) return;
    items_.clear();
    current_ = -1;
    Refresh();
}

QString ConverterPage::itemPath(int row) const {
    if (row < 0 || row >= itemCount()) return {};
    return Qs(items_[static_cast<size_t>(row)].path);
}

void ConverterPage::SelectItem(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    QSignalBlocker block(list_);
    SelectFileRow(list_, item);  // selects and scrolls it into view
    block.unblock();
    ShowCurrent();
}

void ConverterPage::SetEditingEnabled(bool on) {
    for (QWidget* w : editingControls_) w->setEnabled(on);
}

bool ConverterPage::InContextZone(const QPoint& point) { return InPageListMenuZone(point); }

void ConverterPage::contextMenuEvent(QContextMenuEvent* event) {
    QPoint point = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard) point = QPoint(5, 5);
    if (!InContextZone(point)) return;
    menu_->popup(mapToGlobal(point));
}

void ConverterPage::StartJob() {
    StartConversion(context_, items_, formatRow_, preset_->currentText().toStdString(), this,
                    jobSetup_);
}

}  // namespace quelt
