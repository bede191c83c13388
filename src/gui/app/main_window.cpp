#include "gui/app/main_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cstdio>

#include "core/jobs/component_error.h"
#include "core/naming/text.h"
#include "core/settings/settings.h"
#include "gui/app/about_dialog.h"
#include "gui/app/drive_hand_over.h"
#include "gui/app/help_manual.h"
#include "gui/app/plain_page.h"
#include "gui/app/reading_order.h"
#include "gui/common/app_context.h"
#include "gui/common/icon_painter.h"
#include "gui/common/mode_page.h"
#include "gui/convert/converter_page.h"
#include "gui/options/burner_options_page.h"
#include "gui/options/convert_options_page.h"
#include "gui/options/note_options_page.h"
#include "gui/options/options_sheet.h"
#include "gui/playback/preview_player.h"
#include "gui/skin/skin_windows.h"

namespace quelt {

namespace {

enum ControlId {
    kRipButton = 1001,
    kConvertButton = 1002,
    kBurnButton = 1003,
    kMinimise = 1004,
    kClose = 1005,
    kPlay = 1006,
    kStop = 1007,
    kPrevious = 1008,
    kNext = 1009,
    kPlayerSwitch = 1010,
    kModeMenuButton = 1011,
    kVolume = 1012,
    kStatus = 1013,
    kOptions = 1014,
    kAbout = 1015,
    kHelp = 1016,
    kStart = 1017,
    kPriority = 1018,
    kPosition = 1020,
};

int IndexOf(int mode) { return mode == kModeRip ? 0 : mode == kModeConvert ? 1 : 2; }

QString StoppedPositionText(const ModePage* page) {
    const int row = page ? page->currentItem() : -1;
    return QStringLiteral("No.: %1, second: 00:00:00.000")
        .arg(QString::fromStdString(FormatTrackNumber(row + 1, 2)));
}

}  // namespace

MainWindow::MainWindow(Skin& skin, AppContext& context, Parts parts)
    : SkinnedWindow(skin, kMainWindowNumber, nullptr, UseMask),
      context_(context),
      parts_(std::move(parts)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Quelt CD Ripper Pro"));
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    stopPreview_ = [this] {
        context_.previewPlaying = false;
        context_.previewActive = false;
    };
    openHelp_ = OpenHelpManual;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    status_ = control<QLabel>(kStatus);
    if (!status_) {
        status_ = new QLabel(this);
        status_->hide();
    }
    CreatePages();
    BindControls();
    CreatePreviewPlayer();
    ChainKeyboardOrder();
    initialised_ = true;
    SwitchMode(kModeRip);
}

// The player goes first: stopping it still needs the pages.
MainWindow::~MainWindow() { delete player_; }

void MainWindow::CreatePages() {
    // Created in the order burner, ripper, converter: the burner starts its library before
    // the ripper takes the drives.
    auto make = [this](const std::function<ModePage*(QWidget*)>& factory, int number) -> ModePage* {
        if (factory) return factory(this);
        return new PlainPage(skin(), number, this);
    };
    pages_[2] = make(parts_.burnPage, kBurnPageNumber);
    pages_[0] = make(parts_.ripPage, kRipPageNumber);
    pages_[1] = parts_.convertPage ? parts_.convertPage(this)
                                   : new ConverterPage(skin(), context_, parts_.genres, this);
    for (ModePage* page : pages_) {
        page->setStatusLine(status_);
        page->widget()->hide();
    }
}

void MainWindow::BindControls() {
    connect(this, &SkinnedWindow::controlClicked, this, &MainWindow::OnCommand);
    for (int id : {kRipButton, kConvertButton, kBurnButton})
        if (auto* button = control<QAbstractButton>(id)) button->setCheckable(true);
    if (auto* about = control<QAbstractButton>(kAbout)) about->setText(QStringLiteral("About"));

    priority_ = control<QComboBox>(kPriority);
    if (!priority_) {
        priority_ = new QComboBox(this);
        priority_->hide();
    }
    if (auto* skinned = qobject_cast<SkinComboBox*>(priority_)) skinned->setSorted(false);
    priority_->setEditable(false);
    priority_->clear();
    priority_->addItems({QStringLiteral("IDLE"), QStringLiteral("NORMAL"), QStringLiteral("HIGH"),
                         QStringLiteral("REALTIME")});
    priority_->setCurrentIndex(static_cast<int>(context_.settings.priority) - 1);
    connect(priority_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) context_.settings.priority = static_cast<Priority>(index + 1);
    });

    if (auto* volume = control<QSlider>(kVolume)) volume->setRange(0, 65535);
    if (auto* position = control<QSlider>(kPosition)) position->setRange(0, 1000);

    modeMenu_ = new QMenu(this);
    modeMenu_->addAction(QStringLiteral("Audio CD &Ripper"), this,
                         [this] { SwitchMode(kModeRip); });
    modeMenu_->addAction(QStringLiteral("Audio File &Converter"), this,
                         [this] { SwitchMode(kModeConvert); });
    modeMenu_->addAction(QStringLiteral("Audio CD &Burner"), this,
                         [this] { SwitchMode(kModeBurn); });
}

void MainWindow::ChainKeyboardOrder() {
    // The controls above the pages (mode buttons), then the shown page's controls, then
    // those below it (player, priority, Start); Tab passes over the hidden pages.
    QList<QWidget*> above, below;
    for (QWidget* w : TabReachableChildren(this)) {
        if (std::any_of(pages_.begin(), pages_.end(), [w](ModePage* p) { return p->widget() == w; }))
            continue;
        (w->geometry().center().y() < kPageTop ? above : below) << w;
    }
    QList<QWidget*> chain = InReadingOrder(above, this);
    for (ModePage* page : pages_)
        chain += InReadingOrder(TabReachableChildren(page->widget()), page->widget());
    chain += InReadingOrder(below, this);
    ChainTabOrder(chain);
}

void MainWindow::CreatePreviewPlayer() {
    if (!parts_.playback) return;
    PreviewPlayer::Controls controls;
    controls.playerSwitch = control<QAbstractButton>(kPlayerSwitch);
    controls.volume = control<QSlider>(kVolume);
    controls.position = control<QSlider>(kPosition);
    controls.positionLine = status_;
    controls.startButton = control<QWidget>(kStart);
    player_ = new PreviewPlayer(context_, *parts_.playback, parts_.grabber, controls,
                                [this] { return page(context_.mode); }, this);
    stopPreview_ = [this] { player_->Stop(); };
    pages_[0]->SetPreviewCommands([this] { player_->Play(); }, [this] { player_->Stop(); });
}

void MainWindow::OnCommand(int id) {
    switch (id) {
        case kRipButton:
            SwitchMode(kModeRip);
            break;
        case kConvertButton:
            SwitchMode(kModeConvert);
            break;
        case kBurnButton:
            SwitchMode(kModeBurn);
            break;
        case kMinimise:
            showMinimized();
            break;
        case kClose:
            StopPreview();
            close();
            break;
        case kModeMenuButton:
            modeMenu_->popup(mapToGlobal(QPoint(82, 42)));
            break;
        case kOptions:
            OpenOptions();
            break;
        case kAbout:
            OpenAbout();
            break;
        case kHelp:
            OpenHelp();
            break;
        case kStart:
            Start();
            break;
        case kPlay:
            if (player_) player_->Play();
            break;
        case kStop:
            if (player_) player_->Stop();
            break;
        case kPrevious:
            if (player_) player_->Previous();
            break;
        case kNext:
            if (player_) player_->Next();
            break;
        default:
            break;  // the player switch is the player's own (its toggled signal)
    }
}

int MainWindow::mode() const { return context_.mode; }

ModePage* MainWindow::page(int mode) const {
    if (mode != kModeRip && mode != kModeConvert && mode != kModeBurn) return nullptr;
    return pages_[IndexOf(mode)];
}

void MainWindow::ShowPage(int mode, ModePage* page, int button) {
    if (page->created()) {
        page->widget()->setGeometry(kPageLeft, kPageTop, kPageWidth, kPageHeight);
        page->widget()->show();
        page->widget()->raise();
        if (mode == kModeBurn) page->RefreshOnShow();
    }
    if (auto* b = control<QAbstractButton>(button)) b->setChecked(true);
    status_->setText(StoppedPositionText(page));
}

void MainWindow::SwitchMode(int mode) {
    if (!initialised_) return;
    for (ModePage* page : pages_) page->widget()->hide();
    for (int id : {kRipButton, kConvertButton, kBurnButton})
        if (auto* b = control<QAbstractButton>(id)) b->setChecked(false);
    if (mode != kModeRip && mode != kModeConvert && mode != kModeBurn) return;

    if (context_.mode != mode) StopPreview();
    try {
        if (mode == kModeRip && context_.driveFlag == 0) {
            if (parts_.driveHandOver) parts_.driveHandOver->TakeDrives();
            context_.driveFlag = 1;
        } else if (mode == kModeBurn && context_.driveFlag == 1) {
            if (parts_.driveHandOver) parts_.driveHandOver->ReleaseDrives();
            context_.driveFlag = 0;
        }
    } catch (const ComponentError& error) {
        // The flag keeps its value, so the next switch tries the hand-over again.
        std::fprintf(stderr, "quelt: drive hand-over failed: %s\n", error.what());
    }
    const int button = mode == kModeRip       ? kRipButton
                       : mode == kModeConvert ? kConvertButton
                                              : kBurnButton;
    ShowPage(mode, pages_[IndexOf(mode)], button);
    const bool changed = context_.mode != mode;
    context_.mode = mode;
    if (changed) emit modeChanged(mode);
}

void MainWindow::StopPreview() {
    if (context_.previewPlaying && stopPreview_) stopPreview_();
}

void MainWindow::Start() {
    if (context_.previewPlaying || context_.previewActive) return;
    if (ModePage* p = page(context_.mode)) p->StartJob();
}

void MainWindow::DropFiles(const QStringList& paths) {
    const int mode = context_.mode;
    if (mode != kModeConvert && mode != kModeBurn) return;
    ModePage* target = page(mode);
    for (const QString& path : paths) target->AddDroppedFile(path);
    target->RefreshAfterDrop();
}

void MainWindow::OpenOptions() {
    std::vector<OptionsSheet::Tab> tabs;
    auto note = [](const QString& what) {
        return new NoteOptionsPage(
            QStringLiteral("<p>The %1 settings are kept in the settings file and can be changed "
                           "with <tt>quelt-cli settings set</tt>; see the help manual.</p>")
                .arg(what));
    };
    tabs.push_back({QStringLiteral("CD Ripper"),
                    parts_.ripOptions ? parts_.ripOptions() : note(QStringLiteral("CD ripper"))});
    tabs.push_back({QStringLiteral("FREEDB"), parts_.freedbOptions
                                                  ? parts_.freedbOptions()
                                                  : note(QStringLiteral("FreeDB"))});
    tabs.push_back({QStringLiteral("File Converter"), new ConvertOptionsPage(context_.settings)});
    tabs.push_back({QStringLiteral("CD Burner"), new BurnerOptionsPage(context_.settings)});
    OptionsSheet sheet(std::move(tabs), this);
    if (optionsHook_) optionsHook_(sheet);
    sheet.exec();
}

void MainWindow::OpenAbout() {
    AboutDialog about(this);
    about.exec();
}

void MainWindow::OpenHelp() {
    if (!openHelp_ || openHelp_()) return;
    const int mode = context_.mode;
    context_.prompter->ShowMessage(
        mode == kModeRip ? kRipCaption : mode == kModeBurn ? kBurnCaption : kConvertCaption,
        "The help manual could not be opened: no program of this desktop opens web pages, or "
        "the manual is missing.\nOpen " + HelpManualPath().toStdString() + " in a web browser.");
}

void MainWindow::SetPreviewStopper(std::function<void()> stop) { stopPreview_ = std::move(stop); }
void MainWindow::SetHelpOpener(std::function<bool()> open) { openHelp_ = std::move(open); }
void MainWindow::SetOptionsHook(std::function<void(OptionsSheet&)> hook) {
    optionsHook_ = std::move(hook);
}

bool MainWindow::InModeMenuZone(const QPoint& point) {
    return point.x() >= 70 && point.x() <= 92 && point.y() >= 30 && point.y() <= 57;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    SkinnedWindow::resizeEvent(event);
    SwitchMode(context_.mode);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint point =
        event->reason() == QContextMenuEvent::Keyboard ? QPoint(5, 5) : event->pos();
    if (InModeMenuZone(point)) modeMenu_->popup(mapToGlobal(point));
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || isMaximized()) return;
    // The desktop moves the window itself where it can (Wayland needs this); elsewhere the
    // window follows the pointer.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - dragOffset_);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    DropFiles(paths);
    event->acceptProposedAction();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    StopPreview();
    SkinnedWindow::closeEvent(event);
}

}  // namespace quelt
