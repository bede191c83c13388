#include "core/burn/compilation.h"

#include <algorithm>
#include <filesystem>

#include "core/naming/paths.h"
#include "core/naming/text.h"
#include "core/transcode/media_info.h"

namespace quelt {

bool Compilation::AddFile(const std::string& path) {
    auto info = ReadMediaInfo(path);
    if (!info) return false;
    entries_.push_back({path, info->durationMs});
    return true;
}

int Compilation::AddFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int added = 0;
    fs::directory_iterator it(WithTrailingBackslash(folder), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        const std::string path = it->path().string();
        if (IsMediaFile(path) && AddFile(path)) ++added;
    }
    Refresh();
    return added;
}

bool Compilation::MoveCurrentTo(int target) {
    const int from = current_;
    if (from < 0 || from >= size() || target == from) return false;
    CompilationEntry entry = entries_[size_t(from)];
    entries_.erase(entries_.begin() + from);
    entries_.insert(entries_.begin() + target, entry);
    current_ = target;
    Refresh();
    return true;
}

bool Compilation::MoveUp() {
    if (previewActive_ || current_ <= 0) return false;
    return MoveCurrentTo(current_ - 1);
}

bool Compilation::MoveDown() {
    if (previewActive_ || current_ < 0 || current_ >= size() - 1) return false;
    return MoveCurrentTo(current_ + 1);
}

bool Compilation::MoveToTop() {
    if (current_ <= 0) return false;
    return MoveCurrentTo(0);
}

bool Compilation::MoveToBottom() {
    if (current_ < 0 || current_ >= size() - 1) return false;
    return MoveCurrentTo(size() - 1);
}

bool Compilation::Remove() {
    if (previewActive_ || current_ < 0 || current_ >= size()) return false;
    entries_.erase(entries_.begin() + current_);
    Refresh();
    return true;
}

void Compilation::Clear() {
    if (previewActive_) return;
    entries_.clear();
    Refresh();
}

void Compilation::Refresh() {
    trackCount_ = 0;
    totalMs_ = 0;
    for (const auto& entry : entries_) {
        ++trackCount_;
        totalMs_ += entry.durationMs;
    }
    if (entries_.empty())
        current_ = -1;
    else if (current_ < 0)
        current_ = size() - 1;
    else if (current_ >= size())
        current_ = -1;  // the row to select is gone: nothing selected
}

void Compilation::SelectRow(int row) {
    if (previewActive_ || entries_.empty()) return;
    current_ = row >= 0 && row < size() ? row : -1;
}

std::vector<std::string> Compilation::Paths() const {
    std::vector<std::string> paths;
    for (const auto& entry : entries_) paths.push_back(entry.path);
    return paths;
}

std::string Compilation::SummaryText() const {
    return "Track Count: " + FormatTrackNumber(trackCount_, 2) +
           " ,          Total Duration: " + FormatDuration(totalMs_);
}

std::string Compilation::PositionLineText() const {
    return "No.: " + (current_ >= 0 ? FormatTrackNumber(current_ + 1, 2) : std::string("0")) +
           ", second: 00:00:00.000";
}

std::string Compilation::RowNumber(int row) { return FormatTrackNumber(row + 1, 2); }

}  // namespace quelt
