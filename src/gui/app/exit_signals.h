// Turns SIGTERM and SIGINT (a desktop logout, Ctrl-C in a terminal) into an orderly exit on
// the GUI thread: the handler only writes a byte to a pipe; a socket notifier reads it and
// calls the callback, which closes the windows the normal way so the settings are saved.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quelt {

class ExitSignals : public QObject {
    Q_OBJECT
  public:
    // One instance per process; installs the handlers until it is destroyed.
    explicit ExitSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~ExitSignals() override;

  private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quelt
