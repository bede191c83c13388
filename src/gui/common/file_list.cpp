#include "gui/common/file_list.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

#include "core/naming/text.h"
#include "gui/common/list_images.h"
#include "gui/skin/skin_controls.h"

namespace quelt {

void SetUpFileList(QTreeWidget* list) {
    list->setColumnCount(3);
    list->setHeaderLabels(
        {QStringLiteral("   # "), QStringLiteral(" Filename"), QStringLiteral(" Duration")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(16, 16));
    list->setTextElideMode(Qt::ElideLeft);  // the file name matters more than its folders
    QFont rows(QStringLiteral("Tahoma"));
    rows.setPixelSize(13);
    // Number and duration keep their widths (the number's widened by its row image); the
    // file name takes what is left, so the duration is never cut off.
    list->header()->setStretchLastSection(false);
    list->setColumnWidth(0, 34 + 16);
    list->setColumnWidth(1, 294);
    list->setColumnWidth(2,
                         std::max(80, QFontMetrics(rows).horizontalAdvance("00:00:00.000") + 18));
    list->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(2, QHeaderView::Fixed);
    list->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    if (auto* skinned = qobject_cast<SkinListView*>(list)) skinned->setGridLines(true);
    list->setFont(rows);
    QFont header = rows;
    header.setBold(true);
    list->header()->setFont(header);
}

void AddFileRow(QTreeWidget* list, const QString& number, const std::string& path,
                int64_t durationMs) {
    auto* row = new QTreeWidgetItem(list);
    row->setIcon(0, ListRowIcon(0));
    row->setText(0, number);
    row->setText(1, QString::fromStdString(path));
    row->setToolTip(1, QString::fromStdString(path));
    row->setText(2, QString::fromStdString(FormatDuration(durationMs)));
    row->setTextAlignment(2, Qt::AlignCenter);
}

void SelectFileRow(QTreeWidget* list, QTreeWidgetItem* row) {
    if (!row) return;
    list->setCurrentItem(row);
    row->setSelected(true);
    list->scrollToItem(row);
}

}  // namespace quelt
