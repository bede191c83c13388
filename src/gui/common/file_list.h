// The file lists of the converter and burner pages: a row per file with its number, path
// and duration. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

class QString;
class QTreeWidget;
class QTreeWidgetItem;

namespace quelt {

// Gives `list` its three columns ("   # ", " Filename", " Duration"), single-row selection
// without editing, 16x16 row images and the rows' font. Number and duration keep their
// widths; the file name takes what is left, elided at its left end.
void SetUpFileList(QTreeWidget* list);

// Appends the row of the file at `path`: the list's row image, `number`, the path (also as
// its tool tip) and the duration centred as "hh:mm:ss.mmm".
void AddFileRow(QTreeWidget* list, const QString& number, const std::string& path,
                int64_t durationMs);

// Makes `row` (a row of `list`, or nullptr for none) the current, selected and visible row.
void SelectFileRow(QTreeWidget* list, QTreeWidgetItem* row);

}  // namespace quelt
