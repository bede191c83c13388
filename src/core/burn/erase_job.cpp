#include "core/burn/erase_job.h"

#include <cstdio>

namespace quelt {
namespace {

std::string TextOf(BurnerLibrary& library, int32_t code) {
    std::string text;
    library.GetText(code, text);
    return text;
}

}  // namespace

std::string EraseRefusal(BurnerLibrary& library, const std::string& writerText) {
    if (writerText.empty()) return "No writer is chosen";
    int32_t code = library.SetDevice(writerText);
    if (code == 0) code = library.CheckErasable();
    return code == 0 ? std::string() : TextOf(library, code);
}

EraseOutcome EraseJob::Run(JobReport& report, const JobControl& control) {
    EraseOutcome outcome;
    auto finish = [&](EraseResult result, const std::string& text) {
        outcome = {result, text};
        report.Log(text);
        report.SetButton("Close", true);
        return outcome;
    };
    report.SetItemBar(0);
    if (control.Cancelled()) return finish(EraseResult::kCancelled, "Erase cancelled");
    if (std::string refusal = EraseRefusal(library_, request_.writerText); !refusal.empty())
        return finish(EraseResult::kRefused, refusal);
    if (control.Cancelled()) return finish(EraseResult::kCancelled, "Erase cancelled");

    // From here on the drive cannot be stopped.
    report.SetButton("Close", false);
    report.SetPositionLine(request_.fast ? "Fast blanking..." : "Full blanking...");
    const int32_t code = library_.Erase(request_.fast, [&](float percent) {
        char line[48];
        std::snprintf(line, sizeof line, "Blanking : %5.1f %%", double(percent));
        report.SetItemBar(int(percent));
        report.SetPositionLine(line);
    });
    if (code != 0) return finish(EraseResult::kFailed, "Erase failed: " + TextOf(library_, code));
    report.SetItemBar(100);
    return finish(EraseResult::kDone, kEraseDoneText);
}

}  // namespace quelt
