// The burner's compilation: the ordered files of the next CD with their durations, the
// current item and the totals that the burner page shows.
//
// The current item follows the page's list selection: -1 when the list is empty or no
// row is selected. Move up, Move down, Move to top, Move to bottom and Remove act on the
// current item. Every edit ends with Refresh, which applies the page's selection rules.
// Not thread-safe: the page's thread owns it; a burn job works on a copy of Paths().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelt {

struct CompilationEntry {
    std::string path;
    int64_t durationMs = 0;  // the container's duration
};

class Compilation {
  public:
    // Probes `path` for its duration; a file the codec library cannot open or read is
    // left out without a message. Returns whether it was added. Call Refresh afterwards.
    bool AddFile(const std::string& path);
    // Adds the media files (by extension) lying directly in `folder`, not in its
    // subfolders, in the file system's order. Returns how many were added; a folder that
    // cannot be read adds nothing. Refreshes.
    int AddFolder(const std::string& folder);

    bool MoveUp();
    bool MoveDown();
    bool MoveToTop();
    bool MoveToBottom();
    bool Remove();
    void Clear();

    // Recounts the totals and applies the selection rules: with rows, a current item
    // that is set stays selected (an index beyond the list leaves no selection and -1),
    // and without one the last row becomes current.
    void Refresh();
    // The list's selection changed to `row` (-1: none). Ignored while a preview plays or
    // the list is empty.
    void SelectRow(int row);
    // While a preview plays, Move up, Move down, Remove, Clear and selection changes do
    // nothing.
    void SetPreviewActive(bool active) { previewActive_ = active; }

    const std::vector<CompilationEntry>& entries() const { return entries_; }
    std::vector<std::string> Paths() const;
    int size() const { return int(entries_.size()); }
    int current() const { return current_; }
    int trackCount() const { return trackCount_; }
    int64_t totalMs() const { return totalMs_; }

    // "Track Count: 03 ,          Total Duration: 00:10:12.500"
    std::string SummaryText() const;
    // The main window's position line for the current item: "No.: 02, second: 00:00:00.000";
    // "No.: 0, second: 00:00:00.000" when no row is selected.
    std::string PositionLineText() const;
    // The list's "   # " column for `row`: "01", "02", ...
    static std::string RowNumber(int row);

  private:
    bool MoveCurrentTo(int target);

    std::vector<CompilationEntry> entries_;
    int current_ = -1;
    int trackCount_ = 0;
    int64_t totalMs_ = 0;
    bool previewActive_ = false;
};

}  // namespace quelt
