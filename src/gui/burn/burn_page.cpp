#include "gui/burn/burn_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

#include "core/burn/burner_library.h"
#include "core/jobs/prompter.h"
#include "core/naming/text.h"
#include "gui/burn/burn_file_dialogs.h"
#include "gui/burn/burn_start.h"
#include "gui/burn/erase_dialog.h"
#include "gui/common/app_context.h"
#include "gui/common/audio_file_dialogs.h"
#include "gui/common/file_list.h"
#include "gui/common/format_lists.h"
#include "gui/skin/skin_windows.h"

namespace quelt {

namespace {

constexpr int kList = 1079, kWriters = 1081, kSummary = 1082, kMediumType = 1085,
              kMediumState = 1086, kMediumSize = 1101, kAddFiles = 1087, kAddFolder = 1090,
              kMoveUp = 1091, kMoveDown = 1092, kRemove = 1089, kClear = 1088, kEject = 1093,
              kCloseTray = 1094, kErase = 1095, kDiscType = 1098;

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// The library's result texts are shown nowhere: a failing call changes what the page shows
// (the medium lines) and the burn reports its own end.
void PrintResult(const std::string& text) {
    std::fprintf(stderr, "quelt: burner %s\n", text.c_str());
}

}  // namespace

BurnPage::BurnPage(Skin& skin, AppContext& context, BurnerLibrary& library, QWidget* parent)
    : SkinnedWindow(skin, kBurnPageNumber, parent), context_(context), library_(library) {
    chooseFiles_ = ChooseAudioFiles;
    chooseFolder_ = ChooseAudioFolder;
    chooseImage_ = ChooseImageFile;
    list_ = Bind<QTreeWidget>(kList);
    writerBox_ = Bind<QComboBox>(kWriters);
    discType_ = Bind<QComboBox>(kDiscType);
    summary_ = Bind<QLabel>(kSummary);
    mediumType_ = Bind<QLabel>(kMediumType);
    mediumState_ = Bind<QLabel>(kMediumState);
    mediumSize_ = Bind<QLabel>(kMediumSize);
    SetUpFileList(list_);
    SetUpMenu();
    ConnectControls();
    SetUpLists();
    Refresh();
}

void BurnPage::SetUpLists() {
    for (QComboBox* box : {writerBox_, discType_}) {
        QSignalBlocker block(box);
        ResetChoiceBox(box);
    }
    {
        QSignalBlocker block(discType_);
        discType_->addItems({Qs(kAudioCdEntry), Qs(kDataCdEntry)});
        discType_->setCurrentIndex(0);
    }
    writers_ = StartBurner(library_, PrintResult);
    {
        QSignalBlocker block(writerBox_);
        for (const std::string& text : writers_.entries) writerBox_->addItem(Qs(text));
        writerBox_->setCurrentIndex(0);
    }
    SetEditingEnabled(writers_.writerCount > 0);
}

void BurnPage::SetUpMenu() {
    menu_ = new QMenu(this);
    menu_->addAction(QStringLiteral("Move &up"), this, &BurnPage::MoveUp);
    menu_->addAction(QStringLiteral("Move down"), this, &BurnPage::MoveDown);
    menu_->addAction(QStringLiteral("Move to &top"), this, &BurnPage::MoveToTop);
    menu_->addAction(QStringLiteral("Move to &bottom"), this, &BurnPage::MoveToBottom);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Add files..."), this, &BurnPage::ChooseAndAddFiles);
    menu_->addAction(QStringLiteral("Add &folder..."), this, &BurnPage::ChooseAndAddFolder);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Remove"), this, &BurnPage::Remove);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Clear list"), this, &BurnPage::Clear);
}

void BurnPage::ConnectControls() {
    connect(this, &SkinnedWindow::controlClicked, this, &BurnPage::OnCommand);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &BurnPage::SyncCurrentItem);
    connect(writerBox_, &QComboBox::currentIndexChanged, this, [this] { ShowMedium(); });
    editingControls_ = {list_, discType_};
    for (int id : {kAddFiles, kAddFolder, kMoveUp, kMoveDown, kRemove, kClear})
        if (QWidget* button = controlWidget(id)) editingControls_.push_back(button);
}

void BurnPage::OnCommand(int id) {
    switch (id) {
        case kAddFiles:
            ChooseAndAddFiles();
            break;
        case kAddFolder:
            ChooseAndAddFolder();
            break;
        case kMoveUp:
            MoveUp();
            break;
        case kMoveDown:
            MoveDown();
            break;
        case kRemove:
            Remove();
            break;
        case kClear:
            Clear();
            break;
        case kEject:
            Eject();
            break;
        case kCloseTray:
            CloseTray();
            break;
        case kErase:
            Erase();
            break;
        default:
            break;
    }
}

void BurnPage::SetFileChooser(std::function<QStringList(QWidget*)> chooser) {
    chooseFiles_ = std::move(chooser);
}
void BurnPage::SetFolderChooser(std::function<QString(QWidget*)> chooser) {
    chooseFolder_ = std::move(chooser);
}
void BurnPage::SetImageChooser(std::function<QString(QWidget*, bool)> chooser) {
    chooseImage_ = std::move(chooser);
}
void BurnPage::SetJobSetup(std::function<void(BurnJobParameters&)> setup) {
    jobSetup_ = std::move(setup);
}
void BurnPage::SetEraseDialogRunner(std::function<void(EraseDialog&)> runner) {
    runEraseDialog_ = std::move(runner);
}

bool BurnPage::dataCd() const { return discType_->currentIndex() == 1; }

void BurnPage::FollowPreview() { compilation_.SetPreviewActive(context_.previewActive); }

bool BurnPage::AddFile(const QString& path) { return compilation_.AddFile(path.toStdString()); }

void BurnPage::AddFiles(const QStringList& paths) {
    for (const QString& path : paths) AddFile(path);
    Refresh();
}

void BurnPage::AddFolder(const QString& folder) {
    compilation_.AddFolder(folder.toStdString());
    Refresh();
}

void BurnPage::ChooseAndAddFiles() {
    const QStringList chosen = chooseFiles_ ? chooseFiles_(this) : QStringList();
    if (!chosen.isEmpty()) AddFiles(chosen);
}

void BurnPage::ChooseAndAddFolder() {
    const QString chosen = chooseFolder_ ? chooseFolder_(this) : QString();
    if (!chosen.isEmpty()) AddFolder(chosen);
}

void BurnPage::Refresh() {
    compilation_.Refresh();
    {
        QSignalBlocker block(list_);
        list_->clear();
        const auto& entries = compilation_.entries();
        for (int i = 0; i < int(entries.size()); ++i)
            AddFileRow(list_, Qs(Compilation::RowNumber(i)), entries[size_t(i)].path,
                       entries[size_t(i)].durationMs);
        SelectFileRow(list_, list_->topLevelItem(compilation_.current()));
    }
    summary_->setText(Qs(compilation_.SummaryText()));
    if (compilation_.current() >= 0 && statusLine_)
        statusLine_->setText(Qs(compilation_.PositionLineText()));
}

void BurnPage::SyncCurrentItem() {
    if (context_.previewActive || compilation_.size() == 0) return;
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    FollowPreview();
    compilation_.SelectRow(selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front()));
    if (statusLine_) statusLine_->setText(Qs(compilation_.PositionLineText()));
}

void BurnPage::MoveUp() {
    FollowPreview();
    if (compilation_.MoveUp()) Refresh();
}
void BurnPage::MoveDown() {
    FollowPreview();
    if (compilation_.MoveDown()) Refresh();
}
void BurnPage::MoveToTop() {
    FollowPreview();
    if (compilation_.MoveToTop()) Refresh();
}
void BurnPage::MoveToBottom() {
    FollowPreview();
    if (compilation_.MoveToBottom()) Refresh();
}
void BurnPage::Remove() {
    FollowPreview();
    if (compilation_.Remove()) Refresh();
}
void BurnPage::Clear() {
    if (context_.previewActive) return;
    compilation_.Clear();
    Refresh();
}

void BurnPage::ReportResult(int32_t code) { ReportBurnerResult(library_, code, PrintResult); }

std::string BurnPage::SelectWriter() {
    if (writers_.writerCount <= 0) return {};
    const int row = writerBox_->currentIndex();
    if (row < 0 || row >= writers_.writerCount) return {};
    const std::string text = writers_.entries[size_t(row)];
    ReportResult(library_.SetDevice(text));
    return text;
}

void BurnPage::ShowMedium() {
    // The lines describe the writer the list shows, so it is handed to the library first.
    SelectWriter();
    writerBox_->setToolTip(writerBox_->currentText());  // a long device text is cut off
    const MediumLines lines = quelt::ShowMedium(library_, writers_.writerCount, PrintResult);
    mediumType_->setText(Qs(lines.type));
    if (lines.state) mediumState_->setText(Qs(*lines.state));
    if (lines.size) mediumSize_->setText(Qs(*lines.size));
}

void BurnPage::Eject() {
    if (writers_.writerCount <= 0) return ShowMedium();
    SelectWriter();
    ReportResult(library_.EjectDevice());
    ShowMedium();
}

void BurnPage::CloseTray() {
    if (writers_.writerCount <= 0) return ShowMedium();
    SelectWriter();
    ReportResult(library_.CloseDevice());
    ShowMedium();
}

void BurnPage::Erase() {
    if (writers_.writerCount <= 0) return;
    const std::string writer = SelectWriter();
    EraseDialog dialog(library_, *context_.prompter, writer, this);
    if (runEraseDialog_)
        runEraseDialog_(dialog);
    else
        dialog.exec();
    ShowMedium();
}

QString BurnPage::itemPath(int row) const {
    if (row < 0 || row >= itemCount()) return {};
    return Qs(compilation_.entries()[static_cast<size_t>(row)].path);
}

void BurnPage::SelectItem(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    QSignalBlocker block(list_);
    SelectFileRow(list_, item);  // selects and scrolls it into view
    block.unblock();
    SyncCurrentItem();
}

void BurnPage::SetPreviewHold(bool on) {
    FollowPreview();
    SetEditingEnabled(!on && writers_.writerCount > 0);
}

void BurnPage::SetEditingEnabled(bool on) {
    for (QWidget* w : editingControls_) w->setEnabled(on);
    QCoreApplication::processEvents();
}

bool BurnPage::InContextZone(const QPoint& point) { return InPageListMenuZone(point); }

void BurnPage::contextMenuEvent(QContextMenuEvent* event) {
    QPoint point = event->pos();
    if (event->reason() == QContextMenuEvent::Keyboard) point = QPoint(5, 5);
    if (!InContextZone(point) || !list_->isEnabled()) return;
    menu_->popup(mapToGlobal(point));
}

void BurnPage::StartJob() {
    BurnRequest request;
    request.sources = compilation_.Paths();
    request.dataCd = dataCd();
    request.writerCount = writers_.writerCount;
    request.writerText = SelectWriter();
    StartBurn(context_, library_, std::move(request), this, chooseImage_, jobSetup_);
    ShowMedium();
}

}  // namespace quelt
