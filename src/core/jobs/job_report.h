// What a job writes instead of window controls. The GUI's progress window posts each call
// to the GUI thread; the command line prints; tests record. Calls come from the job's
// worker thread (and from component threads); implementations must be thread-safe.
#pragma once

#include <string>

namespace quelt {

class JobReport {
public:
    virtual ~JobReport() = default;

    virtual void Log(const std::string& text) = 0;   // one numbered row of the log
    virtual void SetItemBar(int percent) = 0;        // 0..100, the current item
    virtual void SetTotalBar(int percent) = 0;       // 0..100, the whole batch
    virtual void SetInputLine(const std::string& text) = 0;
    virtual void SetPositionLine(const std::string& text) = 0;
    virtual void SetCounterLine(const std::string& text) = 0;
    virtual void SetBatchLine(const std::string& text) = 0;
    virtual void SetButton(const std::string& caption, bool enabled) = 0;
};

}  // namespace quelt
