// How a second start of the program reaches the running one: the running copy listens on a
// local socket named by the application id, beside the single-instance lock; a later start
// that finds the lock taken sends the files of its command line there and ends. The running
// copy then brings its window to the front and opens the files.
//
// The message is the files' absolute paths as encoded file URLs (so a line end in a name
// cannot split it), one a line, ended by an empty line;
// the running copy answers "ok" once it has taken them. Threading: GUI thread only.
#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace quelt {

// The socket's path: $XDG_RUNTIME_DIR (else the temp folder) / <application id>.socket.
QString InstanceSocketPath();

class InstanceServer : public QObject {
    Q_OBJECT
  public:
    explicit InstanceServer(QObject* parent = nullptr);
    // Starts listening; call it only while holding the single-instance lock (a socket file
    // left by a crashed copy is removed first). False when the socket cannot be made.
    bool Listen();

  signals:
    // A later start asked for the window, with the files of its command line (maybe none).
    void handedOver(const QStringList& files);

  private:
    void Accept();
    QLocalServer* server_;
};

// From a start that found the lock taken: sends `files` to the running copy, trying for up
// to `waitMs` while that copy may still be starting. False when no copy answered.
bool HandOverToRunningInstance(const QStringList& files, int waitMs = 10000);

}  // namespace quelt
