// libburn and libisofs set up once per process, and the writers found by one scan.
//
// libburn keeps process-wide state (its drive list, its message queue), so every
// LibburnBurner shares this one runtime. Thread-safe.
#pragma once

#include <libburn/libburn.h>

#include <mutex>
#include <string>
#include <vector>

namespace quelt {

struct ScannedWriter {
    burn::burn_drive* drive = nullptr;
    std::string address;      // "/dev/sr0"
    std::string displayText;  // "[/dev/sr0] vendor model revision"
};

class LibburnRuntime {
  public:
    // Initializes both libraries on first use; ok() tells whether that worked.
    static LibburnRuntime& Instance();

    bool ok() const { return ok_; }
    // The writers of the machine, scanned once per process in libburn's stable order.
    const std::vector<ScannedWriter>& Writers();
    // The most severe message libburn queued since the last call ("" when none), and
    // empties the queue.
    std::string TakeMessage();

    LibburnRuntime(const LibburnRuntime&) = delete;
    LibburnRuntime& operator=(const LibburnRuntime&) = delete;

  private:
    LibburnRuntime();
    ~LibburnRuntime();

    bool ok_ = false;
    std::mutex mutex_;
    bool scanned_ = false;
    burn::burn_drive_info* infos_ = nullptr;
    std::vector<ScannedWriter> writers_;
};

// A drive grabbed for one operation and given back when this goes out of scope.
class GrabbedDrive {
  public:
    // A scanned writer; `loadTray` closes an open tray first (for writing and Close
    // tray), else an open tray stays open (for asking about the medium and ejecting).
    GrabbedDrive(const ScannedWriter& writer, bool loadTray);
    // "stdio:PATH": a file as a pseudo-drive.
    explicit GrabbedDrive(const std::string& stdioAddress);
    ~GrabbedDrive();
    GrabbedDrive(const GrabbedDrive&) = delete;
    GrabbedDrive& operator=(const GrabbedDrive&) = delete;

    burn::burn_drive* drive() const { return drive_; }
    const std::string& error() const { return error_; }
    // Opens the tray when the drive is given back.
    void EjectOnRelease() { eject_ = true; }

  private:
    burn::burn_drive* drive_ = nullptr;
    burn::burn_drive_info* ownInfo_ = nullptr;  // only for pseudo-drives
    bool eject_ = false;
    std::string error_;
};

}  // namespace quelt
