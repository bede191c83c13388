// Lets several files of a batch report at once while the progress window shows them as a
// one-file-at-a-time batch would: the log lines of one file stay together and in list
// order, and the per-file lines (input, position, counter) and the item bar follow the
// oldest file still running. The other files' reports are held and shown when their turn
// comes. With one file running at a time everything passes straight through.
//
// Threads: every member may be called from any thread.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/jobs/job_report.h"

namespace quelt {

class OrderedReport {
public:
    OrderedReport(JobReport& report, int files);
    ~OrderedReport();

    // The report of file `index` (0-based); lives as long as this object.
    JobReport& File(int index);
    // File `index` has written its last line; later files may take their turn.
    void Finished(int index);
    // The report itself, for the batch's own calls (total bar, batch line, button).
    JobReport& Batch() { return report_; }

private:
    class FileReport;
    friend class FileReport;
    // True when `index` is the oldest unfinished file. Called with mutex_ held.
    bool IsFront(int index) const { return index == front_; }
    void Advance();  // with mutex_ held


    JobReport& report_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<FileReport>> files_;
    std::vector<bool> finished_;
    int front_ = 0;
};

}  // namespace quelt
