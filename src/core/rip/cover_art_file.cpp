// Saving the cover beside the ripped tracks.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/jobs/job_report.h"
#include "core/rip/cover_art.h"

namespace quelt {

void SaveCoverOnce(const std::string& folder, const std::string& image, std::vector<std::string>& done,
                   JobReport& report) {
    if (image.empty() || std::find(done.begin(), done.end(), folder) != done.end()) return;
    done.push_back(folder);
    namespace fs = std::filesystem;
    const fs::path path = fs::path(folder) / "cover.jpg";
    std::error_code error;
    if (fs::exists(path, error)) {
        report.Log("The cover " + path.string() + " is already there and is kept.");
        return;
    }
    // Written under a temporary name first, so a failed write leaves no broken cover.
    const fs::path partial = fs::path(folder) / ".cover.jpg.part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            fs::remove(partial, error);
            report.Log("Could not write the cover " + path.string() + ".");
            return;
        }
    }
    fs::rename(partial, path, error);
    if (error) {
        fs::remove(partial, error);
        report.Log("Could not write the cover " + path.string() + ".");
        return;
    }
    report.Log("Saved the cover " + path.string());
}

}  // namespace quelt
