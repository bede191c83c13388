#include "gui/common/format_lists.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "core/catalogue/catalogue.h"
#include "core/settings/profile_file.h"
#include "gui/skin/skin_controls.h"

namespace quelt {

FormatRows ReadFormatRows(const ProfileFile& profile, const std::string& section) {
    FormatRows rows{.format = profile.ReadInt(section, "FormatIndex"),
                    .preset = profile.ReadInt(section, "FParamIndex")};
    if (rows.format < 0 || rows.format >= kOutputFormatCount) rows.format = 0;
    if (rows.preset < 0 || rows.preset >= kEncodePresetCount) rows.preset = 0;
    return rows;
}

void ResetChoiceBox(QComboBox* box) {
    if (auto* skinned = qobject_cast<SkinComboBox*>(box)) skinned->setSorted(false);
    box->setEditable(false);
    box->clear();
}

void FillFormatLists(QComboBox* format, QComboBox* preset, FormatRows rows) {
    for (int row = 0; row < kOutputFormatCount; ++row)
        format->addItem(QString::fromStdString(std::string(OutputFormatRow(row)->label)));
    for (int row = 0; row < kEncodePresetCount; ++row)
        preset->addItem(QString::fromStdString(EncodePresetLabel(row)));
    format->setCurrentIndex(rows.format);
    preset->setCurrentIndex(rows.preset);
    format->setMaxVisibleItems(kOutputFormatCount);
    preset->setMaxVisibleItems(16);
}

void ShowTextInChoiceBox(QComboBox* box, const QString& text) {
    QSignalBlocker block(box);
    const int index = text.isEmpty() ? -1 : box->findText(text, Qt::MatchFixedString);
    box->setPlaceholderText(index < 0 ? text : QString());
    box->setCurrentIndex(index);
}

}  // namespace quelt
