// The format and preset lists of the ripper and converter pages: the catalogue's output
// formats and encoder presets, with the rows a profile section stores, and the choice boxes
// of the pages. GUI thread only.
#pragma once

#include <string>

class QComboBox;
class QString;

namespace quelt {

class ProfileFile;

// The selected rows of a page's format and preset lists.
struct FormatRows {
    int format = 0;
    int preset = 0;
};

// The rows stored as "FormatIndex" and "FParamIndex" in `section`. A stored row outside the
// lists (a hand-edited file) would start a job without a format: the first row stands in.
FormatRows ReadFormatRows(const ProfileFile& profile, const std::string& section);

// Empties `box` for a page's fixed entries: not editable, kept in the order they are added.
// Emits the box's signals as clear() does.
void ResetChoiceBox(QComboBox* box);

// Selects the entry of `box` that reads `text` (case aside), without emitting signals. A
// text that no entry reads selects nothing and is shown over the empty choice instead, so
// that no earlier entry stands there and any entry picked next registers.
void ShowTextInChoiceBox(QComboBox* box, const QString& text);

// Fills the empty `format` and `preset` boxes with every format and preset and selects
// `rows`; every format row is visible at once, presets 16 at a time.
void FillFormatLists(QComboBox* format, QComboBox* preset, FormatRows rows);

}  // namespace quelt
