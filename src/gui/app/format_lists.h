// The format and preset lists of the ripper and converter pages: the catalogue's output
// formats and encoder presets, with the rows a profile section stores. GUI thread only.
#pragma once

#include <string>

class QComboBox;

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

// Fills the empty `format` and `preset` boxes with every format and preset and selects
// `rows`; every format row is visible at once, presets 16 at a time.
void FillFormatLists(QComboBox* format, QComboBox* preset, FormatRows rows);

}  // namespace quelt
