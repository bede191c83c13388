#include "gui/burn/erase_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <system_error>

#include "core/burn/burner_status.h"
#include "core/burn/erase_job.h"
#include "core/jobs/job_control.h"
#include "core/jobs/prompter.h"

namespace quelt {

namespace {

constexpr const char* kEraseQuestion =
    "Erase the disc in the writer? Everything on it will be lost.";

QString Qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// What the erase job writes, carried to the dialog's widgets on the GUI thread.
class EraseDialog::Report : public JobReport {
  public:
    explicit Report(EraseDialog* dialog) : dialog_(dialog) {}
    void Log(const std::string& text) override {
        Post([text](EraseDialog& d) { d.outcome_->setText(Qs(text)); });
    }
    void SetItemBar(int percent) override {
        Post([percent](EraseDialog& d) { d.bar_->setValue(percent); });
    }
    void SetTotalBar(int) override {}
    void SetInputLine(const std::string&) override {}
    void SetPositionLine(const std::string& text) override {
        Post([text](EraseDialog& d) { d.status_->setText(Qs(text)); });
    }
    void SetCounterLine(const std::string&) override {}
    void SetBatchLine(const std::string&) override {}
    void SetButton(const std::string&, bool enabled) override {
        Post([enabled](EraseDialog& d) { d.close_->setEnabled(enabled); });
    }

  private:
    template <typename F>
    void Post(F change) {
        // The dialog joins the worker before it goes, so it is alive when this arrives.
        EraseDialog* dialog = dialog_;
        QMetaObject::invokeMethod(dialog, [dialog, change] { change(*dialog); },
                                  Qt::QueuedConnection);
    }
    EraseDialog* dialog_;
};

EraseDialog::EraseDialog(BurnerLibrary& library, Prompter& prompter,
                         const std::string& writerText, QWidget* parent)
    : QDialog(parent), library_(library), prompter_(prompter), writerText_(writerText) {
    setWindowTitle(QStringLiteral("Quelt CD Ripper Pro - Erase Disc"));
    writer_ = new QLabel(Qs(writerText));
    writer_->setToolTip(writer_->text());
    medium_ = new QLabel;
    status_ = new QLabel;
    status_->setWordWrap(true);
    outcome_ = new QLabel;
    outcome_->setWordWrap(true);
    fast_ = new QRadioButton(QStringLiteral("&Fast (the table of contents only)"));
    full_ = new QRadioButton(QStringLiteral("F&ull (the whole disc)"));
    fast_->setChecked(true);
    bar_ = new QProgressBar;
    bar_->setRange(0, 100);
    bar_->setValue(0);
    erase_ = new QPushButton(QStringLiteral("&Erase"));
    close_ = new QPushButton(QStringLiteral("Cancel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Writer:"), writer_);
    form->addRow(QStringLiteral("Medium:"), medium_);
    auto* how = new QGroupBox(QStringLiteral("Blanking"));
    auto* howLayout = new QVBoxLayout(how);
    howLayout->addWidget(fast_);
    howLayout->addWidget(full_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(erase_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(how);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(outcome_);
    layout->addLayout(buttons);
    connect(erase_, &QPushButton::clicked, this, &EraseDialog::StartErase);
    connect(close_, &QPushButton::clicked, this, &EraseDialog::reject);

    // Whether this writer can erase at all is told first, before any warning.
    const std::string refusal = EraseRefusal(library_, writerText_);
    const MediumLines lines = ShowMedium(library_, 1);
    medium_->setText(Qs(lines.type + (lines.state ? ", " + *lines.state : std::string())));
    refused_ = !refusal.empty();
    if (refused_) {
        status_->setText(Qs(refusal + "."));
        close_->setText(QStringLiteral("Close"));
    } else {
        status_->setText(QStringLiteral("Erasing deletes everything on the disc."));
    }
    erase_->setEnabled(!refused_);
    fast_->setEnabled(!refused_);
    full_->setEnabled(!refused_);
}

EraseDialog::~EraseDialog() {
    if (worker_.joinable()) worker_.join();
}

void EraseDialog::StartErase() {
    if (refused_ || running_ || worker_.joinable()) return;
    if (!prompter_.AskYesNo(kBurnCaption, kEraseQuestion)) return;
    running_ = true;
    erase_->setEnabled(false);
    fast_->setEnabled(false);
    full_->setEnabled(false);
    close_->setEnabled(false);
    close_->setText(QStringLiteral("Close"));
    outcome_->setText(QStringLiteral("Blanking cannot be stopped once it has started."));
    const EraseRequest request{writerText_, fast_->isChecked()};
    try {
        worker_ = std::thread([this, request] {
            Report report(this);
            JobControl control;
            EraseJob(library_, request).Run(report, control);
            QMetaObject::invokeMethod(this, [this] { Finished(); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        running_ = false;
        outcome_->setText(QStringLiteral("Erase failed: no thread could be started."));
        close_->setEnabled(true);
    }
}

void EraseDialog::Finished() {
    if (worker_.joinable()) worker_.join();
    running_ = false;
    close_->setEnabled(true);
}

void EraseDialog::reject() {
    if (running_) return;
    QDialog::reject();
}

}  // namespace quelt
