#include "core/burn/burner_library.h"

namespace quelt {

std::string ReportBurnerResult(BurnerLibrary& library, int32_t code, const BurnerResultSink& sink) {
    if (code == 0) return "";
    std::string text;
    library.GetText(code, text);
    std::string report = "error: " + text;
    if (sink) sink(report);
    return report;
}

}  // namespace quelt
