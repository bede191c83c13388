// A JobReport that records everything a job writes, for tests.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "core/jobs/job_report.h"

namespace quelt::test {

class RecordingReport : public JobReport {
public:
    void Log(const std::string& text) override { Lock l(m_); log.push_back(text); }
    void SetItemBar(int p) override { Lock l(m_); itemBars.push_back(p); }
    void SetTotalBar(int p) override { Lock l(m_); totalBars.push_back(p); }
    void SetInputLine(const std::string& t) override {
        Lock l(m_);
        inputLine = t;
        inputLines.push_back(t);
    }
    void SetPositionLine(const std::string& t) override {
        Lock l(m_);
        positionLine = t;
        positionLines.push_back(t);
    }
    void SetCounterLine(const std::string& t) override { Lock l(m_); counterLines.push_back(t); }
    void SetBatchLine(const std::string& t) override { Lock l(m_); batchLines.push_back(t); }
    void SetButton(const std::string& caption, bool enabled) override {
        Lock l(m_);
        button = caption;
        buttonEnabled = enabled;
        buttons.push_back(caption + (enabled ? "" : " (disabled)"));
    }

    bool Logged(const std::string& text) const {
        Lock l(m_);
        for (const auto& line : log)
            if (line == text) return true;
        return false;
    }
    bool LoggedStartingWith(const std::string& start) const {
        Lock l(m_);
        for (const auto& line : log)
            if (line.rfind(start, 0) == 0) return true;
        return false;
    }

    // Every line and button state in the order they came; the single fields hold the last.
    std::vector<std::string> log, counterLines, batchLines, inputLines, positionLines, buttons;
    std::vector<int> itemBars, totalBars;
    std::string inputLine, positionLine, button;
    bool buttonEnabled = true;

private:
    using Lock = std::lock_guard<std::mutex>;
    mutable std::mutex m_;
};

}  // namespace quelt::test
