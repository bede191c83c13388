#include "core/burn/libburn_runtime.h"

#include <libisofs/libisofs.h>
#include <stdint.h>

#include <chrono>
#include <thread>

namespace quelt {
namespace {

int SeverityRank(const std::string& severity) {
    static const char* const kOrder[] = {"ABORT", "FATAL", "FAILURE", "SORRY", "WARNING"};
    for (int i = 0; i < 5; ++i)
        if (severity == kOrder[i]) return 5 - i;
    return 0;
}

}  // namespace

LibburnRuntime& LibburnRuntime::Instance() {
    static LibburnRuntime runtime;
    return runtime;
}

LibburnRuntime::LibburnRuntime() {
    ok_ = burn::burn_initialize() != 0 && iso_init() >= 0;
    // A "stdio:/dev/fd/N" address opened write-only becomes a pseudo-drive that blanking
    // empties; other addresses keep their read-write role.
    if (ok_) burn::burn_allow_drive_role_4(1);
    // Messages are fetched by TakeMessage and never printed by the libraries themselves.
    burn::burn_msgs_set_severities(const_cast<char*>("WARNING"), const_cast<char*>("NEVER"),
                                   const_cast<char*>("libburn: "));
    iso_set_msgs_severities(const_cast<char*>("NEVER"), const_cast<char*>("NEVER"),
                            const_cast<char*>("libisofs: "));
}

LibburnRuntime::~LibburnRuntime() {
    if (infos_) burn::burn_drive_info_free(infos_);
    if (ok_) {
        burn::burn_finish();
        iso_finish();
    }
}

const std::vector<ScannedWriter>& LibburnRuntime::Writers() {
    std::lock_guard lock(mutex_);
    if (scanned_ || !ok_) return writers_;
    scanned_ = true;
    unsigned count = 0;
    // The first calls return 0 while libburn scans in the background; a drive used
    // before the scan has ended fails, so wait for its end.
    int result;
    while ((result = burn::burn_drive_scan(&infos_, &count)) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (result < 0) return writers_;
    for (unsigned i = 0; i < count; ++i) {
        char address[BURN_DRIVE_ADR_LEN] = {};
        if (burn::burn_drive_get_adr(&infos_[i], address) <= 0) continue;
        ScannedWriter writer;
        writer.drive = infos_[i].drive;
        writer.address = address;
        writer.displayText = "[" + writer.address + "] " + infos_[i].vendor + " " +
                             infos_[i].product + " " + infos_[i].revision;
        writers_.push_back(writer);
    }
    return writers_;
}

std::string LibburnRuntime::TakeMessage() {
    std::string best;
    int bestRank = -1;
    int code = 0, osErrno = 0;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    while (burn::burn_msgs_obtain(const_cast<char*>("ALL"), &code, text, &osErrno, severity) == 1) {
        const int rank = SeverityRank(severity);
        if (rank > bestRank) {
            bestRank = rank;
            best = text;
        }
    }
    return best;
}

GrabbedDrive::GrabbedDrive(const ScannedWriter& writer, bool loadTray) {
    if (burn::burn_drive_grab(writer.drive, loadTray ? 1 : 0) > 0)
        drive_ = writer.drive;
    else
        error_ = LibburnRuntime::Instance().TakeMessage();
    if (!drive_ && error_.empty()) error_ = "The writer " + writer.address + " cannot be used";
}

GrabbedDrive::GrabbedDrive(const std::string& stdioAddress) {
    if (burn::burn_drive_scan_and_grab(&ownInfo_, const_cast<char*>(stdioAddress.c_str()), 1) > 0 &&
        ownInfo_)
        drive_ = ownInfo_[0].drive;
    else
        error_ = LibburnRuntime::Instance().TakeMessage();
    if (!drive_ && error_.empty()) error_ = "The file " + stdioAddress + " cannot be used";
}

GrabbedDrive::~GrabbedDrive() {
    if (drive_) burn::burn_drive_release(drive_, eject_ ? 1 : 0);
    if (ownInfo_) burn::burn_drive_info_free(ownInfo_);
}

}  // namespace quelt
