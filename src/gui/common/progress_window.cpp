#include "gui/common/progress_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include "core/naming/text.h"
#include "core/settings/settings.h"
#include "gui/common/desktop_opener.h"
#include "gui/common/icon_painter.h"
#include "gui/common/list_images.h"

namespace quelt {

namespace {

QString TitleOf(int mode) {
    switch (mode) {
        case kModeRip:
            return QStringLiteral(" Audio CD Ripping ...");
        case kModeBurn:
            return QStringLiteral(" Audio CD Burning...");
        default:
            return QStringLiteral(" Audio File Converting... ");
    }
}

QLabel* NewLine(const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(40);
    return label;
}

QProgressBar* NewBar() {
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setFixedHeight(14);
    return bar;
}

}  // namespace

ProgressWindow::ProgressWindow(int mode, JobControl& control, Prompter& prompter,
                               QString outputFolder, QWidget* parent)
    : QDialog(parent),
      mode_(mode),
      control_(control),
      prompter_(prompter),
      outputFolder_(std::move(outputFolder)) {
    setWindowTitle(TitleOf(mode));
    setWindowIcon(ModeIcon(mode));
    setModal(true);
    setWindowFlags((windowFlags() | Qt::WindowCloseButtonHint) & ~Qt::WindowContextHelpButtonHint);
    openFolder_ = OpenWithDesktop;

    input_ = NewLine(QStringLiteral("Input audio:"), Qt::AlignLeft);
    position_ = NewLine(QStringLiteral("Current position:"), Qt::AlignRight);
    counter_ = NewLine(QStringLiteral("Conversion position:"), Qt::AlignLeft);
    batch_ = NewLine(QStringLiteral("Batch convert:"), Qt::AlignRight);
    itemBar_ = NewBar();
    totalBar_ = NewBar();

    log_ = new QTableWidget(0, 2);
    log_->setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("Convert Log")});
    log_->verticalHeader()->hide();
    log_->verticalHeader()->setDefaultSectionSize(20);
    log_->setShowGrid(true);
    log_->setSelectionBehavior(QAbstractItemView::SelectRows);
    log_->setSelectionMode(QAbstractItemView::SingleSelection);
    log_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    log_->setIconSize(QSize(16, 16));
    log_->setWordWrap(false);
    log_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    log_->setColumnWidth(0, 38 + 16);
    log_->setColumnWidth(1, 400);
    log_->horizontalHeader()->setStretchLastSection(true);
    // A line longer than the column reads whole on hover, and the log can be copied.
    log_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copy = new QAction(QStringLiteral("Copy"), log_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(LogText(true)); });
    auto* copyAll = new QAction(QStringLiteral("Copy all"), log_);
    connect(copyAll, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(LogText(false)); });
    log_->addActions({copy, copyAll});

    folder_ = new QPushButton(QStringLiteral("Open output directory"));
    action_ = new QPushButton(QStringLiteral("Close"));
    action_->setDefault(true);
    action_->setMinimumWidth(125);
    folder_->setAutoDefault(false);
    folder_->setVisible(mode != kModeBurn);

    auto* separator = new QFrame;
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* top = new QHBoxLayout;
    top->addWidget(input_, 3);
    top->addWidget(position_, 2);
    auto* lines = new QHBoxLayout;
    lines->addWidget(counter_, 3);
    lines->addWidget(batch_, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(folder_);
    buttons->addStretch(1);
    buttons->addWidget(action_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(itemBar_);
    layout->addWidget(totalBar_);
    layout->addLayout(lines);
    layout->addWidget(log_, 1);
    layout->addWidget(separator);
    layout->addLayout(buttons);
    resize(560, 380);

    connect(action_, &QPushButton::clicked, this, &ProgressWindow::PressActionButton);
    connect(folder_, &QPushButton::clicked, this, &ProgressWindow::OpenOutputFolder);
}

void ProgressWindow::OpenOutputFolder() {
    if (mode_ == kModeBurn) return;
    // A job that wrote nothing may not have made the folder yet: it is made now, so the
    // button always opens the place the files go to.
    if (!QDir().mkpath(outputFolder_)) {
        AppendLogRow(QStringLiteral("The output folder %1 cannot be created; check that its "
                                    "parent folder exists and can be written.")
                         .arg(outputFolder_));
        return;
    }
    if (!openFolder_ || !openFolder_(outputFolder_))
        AppendLogRow(QStringLiteral("No program of this desktop could open the folder %1; open "
                                    "it in a file manager.")
                         .arg(outputFolder_));
}

QString ProgressWindow::LogText(bool selectedOnly) const {
    QStringList lines;
    for (int row = 0; row < log_->rowCount(); ++row) {
        if (selectedOnly && !log_->selectionModel()->isRowSelected(row)) continue;
        lines << log_->item(row, 0)->text() + QLatin1Char('\t') + log_->item(row, 1)->text();
    }
    return lines.join(QLatin1Char('\n'));
}

template <typename F>
void ProgressWindow::OnGuiThread(F&& f) {
    if (QThread::currentThread() == thread())
        f();
    else
        QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
}

void ProgressWindow::Log(const std::string& text) {
    OnGuiThread([this, line = QString::fromStdString(text)] { AppendLogRow(line); });
}

void ProgressWindow::AppendLogRow(const QString& text) {
    const int row = log_->rowCount();
    log_->insertRow(row);
    auto* id =
        new QTableWidgetItem(ListRowIcon(0), QString::fromStdString(FormatTrackNumber(row + 1, 2)));
    log_->setItem(row, 0, id);
    auto* line = new QTableWidgetItem(text);
    line->setToolTip(text);
    log_->setItem(row, 1, line);
    log_->scrollToBottom();
}

void ProgressWindow::SetItemBar(int percent) {
    OnGuiThread([this, percent] { itemBar_->setValue(percent); });
}

void ProgressWindow::SetTotalBar(int percent) {
    OnGuiThread([this, percent] { totalBar_->setValue(percent); });
}

void ProgressWindow::SetInputLine(const std::string& text) {
    OnGuiThread([this, t = QString::fromStdString(text)] {
        input_->setText(t);
        input_->setToolTip(t);  // a long path is cut off by the window's width
    });
}

void ProgressWindow::SetPositionLine(const std::string& text) {
    OnGuiThread([this, t = QString::fromStdString(text)] { position_->setText(t); });
}

void ProgressWindow::SetCounterLine(const std::string& text) {
    OnGuiThread([this, t = QString::fromStdString(text)] { counter_->setText(t); });
}

void ProgressWindow::SetBatchLine(const std::string& text) {
    OnGuiThread([this, t = QString::fromStdString(text)] { batch_->setText(t); });
}

void ProgressWindow::SetButton(const std::string& caption, bool enabled) {
    OnGuiThread([this, t = QString::fromStdString(caption), enabled] {
        action_->setText(t);
        action_->setEnabled(enabled);
    });
}

void ProgressWindow::SetWorkerRunning(bool running) { workerRunning_ = running; }

void ProgressWindow::SetFolderOpener(std::function<bool(const QString&)> opener) {
    openFolder_ = std::move(opener);
}

bool ProgressWindow::JobStillRunning() const { return control_.busy.load() || workerRunning_; }

void ProgressWindow::PressActionButton() {
    if (control_.busy.load()) {
        switch (mode_) {
            case kModeRip:
                if (prompter_.AskYesNo("Audio CD Ripper", "Abort the Audio CD ripping ?"))
                    control_.cancel.store(true);
                break;
            case kModeBurn:
                if (prompter_.AskYesNo("Audio CD Burner", "Abort the audio file burn?") &&
                    control_.busy.exchange(false))
                    control_.cancel.store(true);
                break;
            default:
                if (prompter_.AskYesNo("Audio File Converter", "Abort the audio file convert?") &&
                    control_.busy.exchange(false))
                    control_.cancel.store(true);
                break;
        }
        return;
    }
    // After an abort request the busy flag is already clear while the worker finishes its
    // packet and cleans up; the window stays until the worker has really ended.
    if (!workerRunning_) done(QDialog::Accepted);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (JobStillRunning())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void ProgressWindow::reject() {
    if (!JobStillRunning()) QDialog::reject();
}

}  // namespace quelt
