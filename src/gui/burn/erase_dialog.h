// The erase dialog of the burner page: the writer and its medium, fast or full blanking,
// a progress bar fed by the writer, and the outcome ("Erase done" or the reason). A writer
// that cannot erase says so at once, before any warning about losing data. The blanking
// runs on a worker thread, so the windows keep drawing and the dialog keeps answering; it
// can be cancelled until it starts, after which the drive cannot be stopped.
// Threading: GUI thread; the worker reaches the widgets only through posted calls.
#pragma once

#include <QDialog>
#include <atomic>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace quelt {

class BurnerLibrary;
class Prompter;

class EraseDialog : public QDialog {
    Q_OBJECT
  public:
    // Asks the library at once whether `writerText` can erase its medium.
    EraseDialog(BurnerLibrary& library, Prompter& prompter, const std::string& writerText,
                QWidget* parent = nullptr);
    ~EraseDialog() override;

    // Asks the user, then blanks on the worker thread (the Erase button).
    void StartErase();
    bool running() const { return running_; }
    bool refused() const { return refused_; }

    QLabel* writerLine() const { return writer_; }
    QLabel* mediumLine() const { return medium_; }
    QLabel* statusLine() const { return status_; }
    QLabel* outcomeLine() const { return outcome_; }
    QRadioButton* fastButton() const { return fast_; }
    QRadioButton* fullButton() const { return full_; }
    QProgressBar* progressBar() const { return bar_; }
    QPushButton* eraseButton() const { return erase_; }
    QPushButton* closeButton() const { return close_; }

  public slots:
    void reject() override;  // refused while the drive is blanking

  private:
    class Report;
    void Finished();

    BurnerLibrary& library_;
    Prompter& prompter_;
    std::string writerText_;
    bool refused_ = false;
    bool running_ = false;
    std::thread worker_;

    QLabel* writer_ = nullptr;
    QLabel* medium_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* outcome_ = nullptr;
    QRadioButton* fast_ = nullptr;
    QRadioButton* full_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* erase_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace quelt
