// The " Filename settings ..." dialog: edits the custom naming pattern of the ripper
// ("OutputNameCustom", a run of field codes "n|") as a list of field rows, with a preview
// of the name a track would get.
//
// The dialog writes the pattern and the separator ("OutputNameSeparator") into the settings
// at every change of its rows or of the separator, so they hold even when the options sheet
// is cancelled later; "OK" and "Cancel" only close it. The preview is built by the same
// code as the ripped files' names. GUI thread only.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quelt {

struct Settings;

// The pattern a dialog opened on an empty "OutputNameCustom" starts from: Track No.,
// Artist, Album, Title.
inline constexpr const char* kStartingCustomPattern = "0|2|3|1|";

// The field codes of a pattern, in order, up to its first empty piece. Pieces that are not
// a known field code (0..6) are left out, so a damaged settings file cannot name a field
// that does not exist.
std::vector<int> CustomPatternCodes(const std::string& pattern);
// The pattern text of `codes`: each code followed by "|".
std::string CustomPatternText(const std::vector<int>& codes);
// The preview of `codes`: the field names (and "01" for the track number) joined by the
// separator of entry `separatorEntry` of CustomSeparators(), then `extension`.
std::string CustomPatternPreview(const std::vector<int>& codes, int separatorEntry,
                                 const std::string& extension);

class CustomNameDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CustomNameDialog(Settings& settings, QWidget* parent = nullptr);

    // The list commands; each acts on the current selections and refreshes.
    void Add();
    void Delete();
    void Clear();
    void MoveUp();
    void MoveDown();

    // The field codes of the rows, in row order.
    std::vector<int> Codes() const;

    QComboBox* fieldList() const { return fields_; }         // 1005
    QTableWidget* patternList() const { return rows_; }      // 1006
    QPushButton* addButton() const { return add_; }          // 1010
    QPushButton* moveUpButton() const { return up_; }        // 1011
    QPushButton* moveDownButton() const { return down_; }    // 1012
    QPushButton* deleteButton() const { return delete_; }    // 1013
    QPushButton* clearButton() const { return clear_; }      // 1014
    QComboBox* separatorList() const { return separator_; }  // 1015
    QLineEdit* preview() const { return preview_; }          // 1016

    void done(int result) override;

  private:
    void AppendRow(int code);
    void SelectRow(int row);
    void SwapRows(int a, int b);
    void Renumber();
    void Refresh();

    Settings& settings_;
    QComboBox* fields_;
    QTableWidget* rows_;
    QPushButton* add_;
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* delete_;
    QPushButton* clear_;
    QComboBox* separator_;
    QLineEdit* preview_;
};

}  // namespace quelt
