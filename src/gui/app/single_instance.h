// Keeps the program to one running copy per user session: an exclusive flock on
// "zqr.lock" in $XDG_RUNTIME_DIR (else the temp folder), held for the life of the object.
// The lock dies with the process, so a crash never leaves a stale lock behind.
#pragma once

#include <string>

namespace quelt {

class SingleInstanceLock {
  public:
    SingleInstanceLock();
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False when another process holds the lock (or the lock file cannot be opened).
    bool Acquired() const { return fd_ >= 0; }
    static std::string LockPath();

  private:
    int fd_ = -1;
};

}  // namespace quelt
