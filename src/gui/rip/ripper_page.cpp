#include "gui/rip/ripper_page.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QActionGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>
#include <system_error>
#include <thread>

#include "core/catalogue/catalogue.h"
#include "core/jobs/component_error.h"
#include "core/naming/templates.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/rip/genre_list.h"
#include "core/settings/app_paths.h"
#include "gui/common/app_context.h"
#include "gui/common/format_lists.h"
#include "gui/rip/release_picker.h"
#include "gui/rip/rip_start.h"
#include "gui/rip/track_list.h"
#include "gui/skin/skin_windows.h"

namespace quelt {

namespace {

constexpr int kTrackList = 1042, kDrives = 1043, kSelectAll = 1044, kFreedbBox = 1045,
              kStatus = 1047, kArtist = 1048, kPreset = 1049, kFormat = 1050, kAlbum = 1051,
              kTitle = 1052, kGenre = 1053, kCopyright = 1054, kComment = 1055, kYear = 1056,
              kCloseTray = 1066, kEject = 1067;

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// The grabber may still hold a detached relay's address for an instant after
// SetListener(nullptr) (an event raised just then); detached relays are therefore kept
// for the life of the process. They are a few bytes each and one exists per page.
void Retire(std::unique_ptr<GrabberEventRelay> relay) {
    static std::mutex mutex;
    static std::vector<std::unique_ptr<GrabberEventRelay>> retired;
    std::lock_guard lock(mutex);
    retired.push_back(std::move(relay));
}

}  // namespace

RipperPage::RipperPage(Skin& skin, AppContext& context, CdGrabber& grabber, FreedbInfo& freedb,
                       const GenreList* genres, QWidget* parent)
    : SkinnedWindow(skin, kRipPageNumber, parent),
      context_(context),
      prompter_(*context.prompter, this),
      disc_(grabber, freedb, prompter_, this),
      grabber_(grabber),
      closing_(std::make_shared<std::atomic<bool>>(false)) {
    chooseImage_ = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(
            owner, QStringLiteral("Open disc image"), QString::fromStdString(DialogStartFolder()),
            QStringLiteral("Disc images (*.cue *.bin *.toc *.nrg);;All Files (*)"));
    };
    list_ = Bind<QTreeWidget>(kTrackList);
    drives_ = Bind<QComboBox>(kDrives);
    genre_ = Bind<QComboBox>(kGenre);
    format_ = Bind<QComboBox>(kFormat);
    preset_ = Bind<QComboBox>(kPreset);
    selectAll_ = Bind<QAbstractButton>(kSelectAll);
    freedb_ = Bind<QAbstractButton>(kFreedbBox);
    status_ = Bind<QLabel>(kStatus);
    status_->setTextFormat(Qt::PlainText);
    for (QAbstractButton* box : {selectAll_, freedb_}) {
        box->setCheckable(true);
        box->setChecked(true);
    }
    disc_.SetFreedbBox(true);

    SetUpLists(genres);
    SetUpEdits();
    SetUpTrackList(*list_);
    SetUpMenu();
    ConnectControls();

    disc_.ConfigureFreedb(context_.settings.rip);
    disc_.UseLookupSettings(context_.settings.rip);
    relay_ = std::make_unique<GrabberEventRelay>(
        this,
        GrabberEventRelay::Handlers{
            [this] {
                StopPreviewForDriveChange();
                WhenIdle([this] { disc_.MediaChanged(); });
            },
            [this](int status) { WhenIdle([this, status] { disc_.FreedbProgress(status); }); },
            [this](int attempt, int32_t sector) { disc_.ReadRetry(attempt, sector); }});
    grabber_.SetListener(relay_.get());
    disc_.Create();
}

RipperPage::~RipperPage() {
    closing_->store(true);
    grabber_.SetListener(nullptr);
    relay_->Detach();
    Retire(std::move(relay_));
}

void RipperPage::SetUpLists(const GenreList* genres) {
    // The stored rows are read once here; every later change is written at once.
    const FormatRows rows = ReadFormatRows(context_.profile, "CDRIP");
    formatRow_ = rows.format;
    presetRow_ = rows.preset;
    for (QComboBox* box : {drives_, genre_, format_, preset_}) ResetChoiceBox(box);
    FillFormatLists(format_, preset_, rows);
    ExtensionForFormat(context_.settings, formatRow_, true);

    // The genre names come before the disc is read, so the first row's genre can be shown.
    if (genres) {
        for (int i = 0; i < genres->Count(); ++i) {
            try {
                genre_->addItem(Qs(genres->GenreName(i)));
            } catch (const ComponentError&) {
                break;
            }
        }
        genre_->setCurrentIndex(0);
    }
    genre_->setMaxVisibleItems(16);
    drives_->setMaxVisibleItems(10);
}

void RipperPage::SetUpEdits() {
    for (int id : {kArtist, kAlbum, kTitle, kYear, kCopyright, kComment}) {
        QLineEdit* edit = Bind<QLineEdit>(id);
        edit->setMaxLength(id == kComment ? 255 : 200);
        edits_.emplace_back(id, edit);
    }
    tagEdit(kYear)->setText(QStringLiteral("2007"));
}

void RipperPage::SetUpMenu() {
    menu_ = new QMenu(this);
    playAction_ = menu_->addAction(QStringLiteral("Pla&y"), this, [this] {
        if (play_) play_();
    });
    stopAction_ = menu_->addAction(QStringLiteral("St&op"), this, [this] {
        if (stop_) stop_();
    });
    playAction_->setEnabled(false);
    stopAction_->setEnabled(false);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Select all"), this, [this] { disc_.SelectAll(); });
    menu_->addAction(QStringLiteral("Select &none"), this, [this] { disc_.SelectNone(); });
    menu_->addAction(QStringLiteral("&Invert selection"), this,
                     [this] { disc_.InvertSelection(); });
    menu_->addSeparator();
    auto* group = new QActionGroup(menu_);
    const std::pair<const char*, int> cases[] = {{"&UPPER CASE", kCaseUpper},
                                                 {"&lower case", kCaseLower},
                                                 {"&Capitalize", kCaseCapitalize},
                                                 {"Sentense case", kCaseSentence}};
    for (const auto& [label, mode] : cases) {
        QAction* action = menu_->addAction(QString::fromLatin1(label), this,
                                           [this, mode = mode] { SetCaseMode(mode); });
        action->setCheckable(true);
        action->setChecked(mode == disc_.caseMode());
        group->addAction(action);
        caseActions_.push_back(action);
    }
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Open disc &image..."), this, &RipperPage::ChooseAndOpenImage);
}

void RipperPage::ConnectControls() {
    connect(this, &SkinnedWindow::controlClicked, this, &RipperPage::OnCommand);
    if (!control<QAbstractButton>(kSelectAll))
        connect(selectAll_, &QAbstractButton::clicked, this, [this] { OnCommand(kSelectAll); });
    if (!control<QAbstractButton>(kFreedbBox))
        connect(freedb_, &QAbstractButton::clicked, this, [this] { OnCommand(kFreedbBox); });

    connect(drives_, &QComboBox::currentIndexChanged, this, [this](int entry) {
        if (entry < 0) return;
        if (entry >= int(disc_.driveEntries().size())) {
            // The last entry is a command: the selection goes back to the drive in use.
            {
                QSignalBlocker block(drives_);
                drives_->setCurrentIndex(disc_.selectedDrive());
            }
            ChooseAndOpenImage();
            return;
        }
        StopPreviewForDriveChange();
        try {
            disc_.SelectDriveFromList(entry);
        } catch (const ComponentError& error) {
            ShowStatus(error.what());
        }
    });
    connect(format_, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row < 0) return;
        formatRow_ = row;
        context_.profile.WriteInt("CDRIP", "FormatIndex", row);
    });
    connect(preset_, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row < 0) return;
        presetRow_ = row;
        context_.profile.WriteInt("CDRIP", "FParamIndex", row);
    });
    connect(genre_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) EditTag(kGenre, genre_->itemText(index));
    });
    for (auto& [id, edit] : edits_)
        connect(edit, &QLineEdit::textChanged, this,
                [this, id = id](const QString& text) { EditTag(id, text); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &RipperPage::ShowSelectedTrack);
    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0) return;
        const int row = list_->indexOfTopLevelItem(item);
        const bool checked = item->checkState(0) == Qt::Checked;
        if (row >= 0 && row < static_cast<int>(disc_.rows().size()) &&
            disc_.rows()[row].checked != checked) {
            QSignalBlocker block(list_);
            disc_.SetChecked(row, checked);
        }
    });
}

void RipperPage::OnCommand(int id) {
    switch (id) {
        case kSelectAll:
            disc_.SelectAllBoxClicked(selectAll_->isChecked());
            break;
        case kFreedbBox:
            disc_.FreedbBoxClicked(freedb_->isChecked());
            break;
        case kEject:
            EjectTray();
            break;
        case kCloseTray:
            CloseTray();
            break;
        default:
            break;
    }
}

QLineEdit* RipperPage::tagEdit(int id) const {
    for (const auto& [editId, edit] : edits_)
        if (editId == id) return edit;
    return nullptr;
}

void RipperPage::EditTag(int id, const QString& text) {
    if (context_.previewActive) return;
    const std::string value = text.toStdString();
    switch (id) {
        case kArtist:
            disc_.EditArtist(value);
            break;
        case kAlbum:
            disc_.EditAlbum(value);
            break;
        case kTitle:
            disc_.EditTitle(value);
            break;
        case kYear:
            disc_.EditYear(value);
            break;
        case kGenre:
            disc_.EditGenre(value);
            break;
        case kCopyright:
            disc_.EditCopyright(value);
            break;
        case kComment:
            disc_.EditComment(value);
            break;
        default:
            break;
    }
}

void RipperPage::ShowSelectedTrack() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    disc_.SetPreviewActive(context_.previewActive);
    try {
        disc_.ShowSelectedTrack(selected.isEmpty() ? -1
                                                   : list_->indexOfTopLevelItem(selected.front()));
    } catch (const ComponentError& error) {
        ShowStatus(error.what());
    }
}

void RipperPage::SetCaseMode(int mode) {
    for (std::size_t i = 0; i < caseActions_.size(); ++i)
        caseActions_[i]->setChecked(static_cast<int>(i) + 1 == mode);
    try {
        disc_.SetCaseMode(mode);
    } catch (const ComponentError&) {
        ShowStatus("Error on Refresh Disc Info");
    }
}

void RipperPage::EjectTray() {
    try {
        grabber_.EjectTray();
    } catch (const ComponentError& error) {
        ShowStatus(error.what());
    }
}

void RipperPage::CloseTray() {
    try {
        grabber_.CloseTray();
    } catch (const ComponentError& error) {
        ShowStatus(error.what());
    }
}

// ---- DiscView ---------------------------------------------------------------------------

void RipperPage::ShowStatus(const std::string& text) {
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, text] { ShowStatus(text); }, Qt::QueuedConnection);
        return;
    }
    status_->setText(Qs(text));
    status_->setToolTip(Qs(text));
    ShowSelectedDrive();  // "Set CD-drive ... as current" follows every drive selection
}

void RipperPage::ShowSelectedDrive() {
    const int entry = disc_.selectedDrive();
    if (entry < 0 || entry >= drives_->count() || drives_->currentIndex() == entry) return;
    QSignalBlocker block(drives_);
    drives_->setCurrentIndex(entry);
}

void RipperPage::EnableWorkingControls(bool on) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{drives_, genre_, freedb_, selectAll_, format_, preset_})
        w->setEnabled(on);
    for (auto& entry : edits_) entry.second->setEnabled(on);
}

void RipperPage::EnableDriveListOnly() {
    EnableWorkingControls(false);
    drives_->setEnabled(true);
}

void RipperPage::DriveListChanged() {
    QSignalBlocker block(drives_);
    drives_->clear();
    for (const std::string& label : disc_.driveLabels()) {
        drives_->addItem(Qs(label));
        drives_->setItemData(drives_->count() - 1, Qs(label), Qt::ToolTipRole);
    }
    AddOpenImageEntry();
    drives_->setCurrentIndex(-1);
    ShowSelectedDrive();
}

void RipperPage::AddOpenImageEntry() {
    drives_->addItem(QStringLiteral("Open disc image..."));
    drives_->setItemData(drives_->count() - 1,
                         QStringLiteral("Opens a CUE/BIN, TOC or NRG image as a drive"),
                         Qt::ToolTipRole);
}

void RipperPage::SetImageChooser(std::function<QString(QWidget*)> chooser) {
    chooseImage_ = std::move(chooser);
}

void RipperPage::ChooseAndOpenImage() {
    if (ripRunning_) return;
    const QString chosen = chooseImage_ ? chooseImage_(this) : QString();
    if (!chosen.isEmpty()) OpenDiscImage(chosen);
}

void RipperPage::RowsChanged() {
    if (QThread::currentThread() != thread()) {
        // The rip worker unchecks a ripped row. It alone changes the rows while it runs, so
        // it may read them here; the GUI thread gets a copy of the check marks.
        std::vector<bool> checked;
        for (const TrackRow& row : disc_.rows()) checked.push_back(row.checked);
        QMetaObject::invokeMethod(
            this, [this, checked = std::move(checked)] { ApplyChecksFromWorker(checked); },
            Qt::QueuedConnection);
        return;
    }
    QSignalBlocker block(list_);
    SyncTrackRows(*list_, disc_.rows());
}

void RipperPage::ApplyChecksFromWorker(std::vector<bool> checked) {
    QSignalBlocker block(list_);
    ApplyCheckMarks(*list_, checked);
}

void RipperPage::FieldsChanged() {
    const TagFields& fields = disc_.fields();
    const std::pair<int, const std::string*> texts[] = {
        {kArtist, &fields.artist}, {kAlbum, &fields.album},         {kTitle, &fields.title},
        {kYear, &fields.year},     {kCopyright, &fields.copyright}, {kComment, &fields.comment}};
    for (const auto& [id, text] : texts) {
        QLineEdit* edit = tagEdit(id);
        const QString value = Qs(*text);
        if (edit->text() == value) continue;  // keeps the cursor of the field being typed in
        QSignalBlocker block(edit);
        edit->setText(value);
        edit->setCursorPosition(0);  // a long text shows its beginning
    }
    ShowGenre(fields.genre);
}

// A genre the names lack ("None", or a FreeDB genre such as "Post-rock") is shown as the
// box's placeholder; picking a name from the list replaces it.
void RipperPage::ShowGenre(const std::string& genre) { ShowTextInChoiceBox(genre_, Qs(genre)); }

void RipperPage::SelectRow(int row) {
    QSignalBlocker block(list_);
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    list_->setCurrentItem(item);
    item->setSelected(true);
    list_->scrollToItem(item);
}

void RipperPage::SelectAllBoxChanged(bool checked) {
    QSignalBlocker block(selectAll_);
    selectAll_->setChecked(checked);
}

void RipperPage::ShowPositionLabel(const std::string& text) {
    // The main window's status line belongs to the page of the current mode.
    if (statusLine_ && context_.mode == kModeRip) statusLine_->setText(Qs(text));
}

void RipperPage::showEvent(QShowEvent* event) {
    SkinnedWindow::showEvent(event);
    if (ripRunning_ || disc_.selectedDrive() < 0) return;
    try {
        grabber_.DriveId();  // the grabber still has the page's drive
    } catch (const ComponentError&) {
        // Another page took the drive meanwhile: open it again for this page.
        disc_.Create(disc_.selectedDrive());
    }
}

// ---- Context menu -----------------------------------------------------------------------

bool RipperPage::InTrackMenuZone(const QPoint& point) { return InPageListMenuZone(point); }

bool RipperPage::OpenTrackMenu(const QPoint* point) {
    // A keyboard request stands 5 pixels inside the page's corner, outside the list area.
    const QPoint at = point ? *point : QPoint(5, 5);
    if (!InTrackMenuZone(at)) return false;
    ShowSelectedTrack();
    playAction_->setEnabled(play_ && !context_.previewPlaying);
    stopAction_->setEnabled(stop_ && context_.previewPlaying);
    menu_->popup(mapToGlobal(at));
    return true;
}

void RipperPage::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        OpenTrackMenu(nullptr);
    } else {
        const QPoint point = event->pos();
        OpenTrackMenu(&point);
    }
    event->accept();
}

void RipperPage::SetPreviewCommands(std::function<void()> play, std::function<void()> stop) {
    play_ = std::move(play);
    stop_ = std::move(stop);
}

void RipperPage::StopPreviewForDriveChange() {
    if (context_.previewPlaying && stop_) stop_();
}

void RipperPage::SetPreviewHold(bool on) {
    EnableWorkingControls(!on);
    if (!on && !ripRunning_) RunDeferredEvents();
}

void RipperPage::SelectItem(int row) {
    if (row < 0 || row >= itemCount()) return;
    SelectRow(row);
    ShowSelectedTrack();
}

void RipperPage::SetJobSetup(std::function<void(RipJobParameters&)> setup) {
    jobSetup_ = std::move(setup);
}

// ---- Rip --------------------------------------------------------------------------------

void RipperPage::WhenIdle(std::function<void()> event) {
    if (ripRunning_ || context_.previewActive) {
        deferred_.push_back(std::move(event));
        return;
    }
    event();
}

void RipperPage::RunDeferredEvents() {
    std::vector<std::function<void()>> events;
    events.swap(deferred_);
    for (auto& event : events) event();
}

void RipperPage::MusicBrainzLookupWanted() {
    const int generation = ++lookupGeneration_;
    const MusicBrainzServer server = MusicBrainzServerFor(context_.settings.rip);
    const std::string discId = disc_.discId();
    std::shared_ptr<std::atomic<bool>> closing = closing_;
    auto deliver = [this, closing, generation](MusicBrainzAnswer answer) {
        if (closing->load()) return;
        QMetaObject::invokeMethod(
            qApp,
            [this, closing, generation, answer = std::move(answer)] {
                // Runs on the GUI thread, where the page is destroyed: the flag is exact here.
                if (closing->load()) return;
                WhenIdle([this, generation, answer] {
                    if (generation == lookupGeneration_ && disc_.musicBrainzPending()) TakeMusicBrainzAnswer(answer);
                });
            },
            Qt::QueuedConnection);
    };
    try {
        std::thread([server, discId, closing, deliver] {
            deliver(LookupMusicBrainz(server, discId, closing.get()));
        }).detach();
    } catch (const std::system_error&) {
        MusicBrainzAnswer failed;
        failed.message = "MusicBrainz look-up failed: no thread could be started for it.";
        TakeMusicBrainzAnswer(failed);
    }
}

void RipperPage::TakeMusicBrainzAnswer(const MusicBrainzAnswer& answer) {
    if (!disc_.MusicBrainzOutcome(answer)) return;
    int chosen = -1;
    if (releaseChooser_) {
        chosen = releaseChooser_(answer.releases);
    } else {
        ReleasePicker picker(answer.releases, this);
        if (picker.exec() == QDialog::Accepted) chosen = picker.chosen();
    }
    const bool valid = chosen >= 0 && chosen < static_cast<int>(answer.releases.size());
    disc_.ApplyRelease(valid ? &answer.releases[static_cast<std::size_t>(chosen)] : nullptr);
}

void RipperPage::StartJob() {
    if (ripRunning_) return;
    ripRunning_ = true;
    StartRip(context_, disc_, prompter_, formatRow_, preset_->currentText().toStdString(), this,
             jobSetup_);
    ripRunning_ = false;
    // The worker has ended: its unchecked rows are final.
    RowsChanged();
    RunDeferredEvents();
}

void RipperPage::OpenDiscImage(const QString& path) {
    if (ripRunning_) return;
    StopPreviewForDriveChange();
    try {
        disc_.OpenImage(path.toStdString());
    } catch (const ComponentError& error) {
        ShowStatus(error.what());
    }
}

}  // namespace quelt
