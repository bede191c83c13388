// Blanking the medium of one writer as a job: the refusal is known before the user is
// warned about losing data, the blanking reports its progress and its outcome ("Erase
// done" or the reason) through a JobReport.
//
// Threads. EraseRefusal runs on the caller's thread; Run is meant for a worker thread and
// blocks until the blanking has ended. A cancel is honoured until the blanking starts;
// after that the drive cannot be stopped.
#pragma once

#include <string>
#include <utility>

#include "core/burn/burner_library.h"
#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"

namespace quelt {

inline constexpr const char* kEraseDoneText = "Erase done";

struct EraseRequest {
    std::string writerText;  // a writer list entry, or "stdio:PATH"
    bool fast = true;        // the table of contents only; false blanks the whole disc
};

enum class EraseResult { kDone, kRefused, kFailed, kCancelled };

struct EraseOutcome {
    EraseResult result = EraseResult::kFailed;
    std::string text;  // "Erase done", or why not
};

// Why the writer of `writerText` cannot erase its medium, or "" when it can.
std::string EraseRefusal(BurnerLibrary& library, const std::string& writerText);

class EraseJob {
  public:
    EraseJob(BurnerLibrary& library, EraseRequest request)
        : library_(library), request_(std::move(request)) {}

    // The item bar and the position line follow the blanking; the log gets one line, the
    // outcome's text; the button ends as "Close".
    EraseOutcome Run(JobReport& report, const JobControl& control);

  private:
    BurnerLibrary& library_;
    EraseRequest request_;
};

}  // namespace quelt
