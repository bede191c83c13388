#include "gui/rip/track_list.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPalette>
#include <QTreeWidget>
#include <algorithm>

#include "gui/common/list_images.h"
#include "gui/skin/skin_controls.h"

namespace quelt {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// White text on a mid blue, the ripper list's own colours.
const QColor kListText(255, 255, 255);
const QColor kListBase(54, 106, 179);

}  // namespace

void SetUpTrackList(QTreeWidget& list) {
    list.setColumnCount(4);
    list.setHeaderLabels({QStringLiteral("   # "), QStringLiteral(" Artist"),
                          QStringLiteral(" Title"), QStringLiteral(" Duration")});
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setItemsExpandable(false);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setIconSize(QSize(16, 16));
    list.setTextElideMode(Qt::ElideRight);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QFont rows(QStringLiteral("Tahoma"));
    rows.setPixelSize(13);
    list.setFont(rows);
    QFont header = rows;
    header.setBold(true);
    list.header()->setFont(header);

    QPalette palette = list.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, kListBase);
        palette.setColor(group, QPalette::AlternateBase, kListBase);
        palette.setColor(group, QPalette::Text, kListText);
        // A darker blue than the rows, so the selected row stands out from them.
        palette.setColor(group, QPalette::Highlight, kListBase.darker(160));
        palette.setColor(group, QPalette::HighlightedText, kListText);
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, kListBase.darker(130));
    list.setPalette(palette);
    list.setAutoFillBackground(true);
    list.viewport()->setAutoFillBackground(true);

    // Number (with its check box and image), artist and duration keep their widths; the
    // title takes what is left, so the duration is never cut off.
    const QFontMetrics metrics(rows);
    list.header()->setStretchLastSection(false);
    list.header()->setMinimumSectionSize(30);
    list.setColumnWidth(0, 50 + 36);
    list.setColumnWidth(1, 120);
    list.setColumnWidth(3,
                        std::max(70, metrics.horizontalAdvance(QStringLiteral("00:00.000")) + 18));
    list.header()->setSectionResizeMode(0, QHeaderView::Fixed);
    list.header()->setSectionResizeMode(1, QHeaderView::Interactive);
    list.header()->setSectionResizeMode(2, QHeaderView::Stretch);
    list.header()->setSectionResizeMode(3, QHeaderView::Fixed);
    list.headerItem()->setTextAlignment(3, Qt::AlignCenter);
    if (auto* skinned = qobject_cast<SkinListView*>(&list)) skinned->setGridLines(true);
}

void SyncTrackRows(QTreeWidget& list, const std::vector<TrackRow>& rows) {
    const int count = static_cast<int>(rows.size());
    while (list.topLevelItemCount() > count)
        delete list.takeTopLevelItem(list.topLevelItemCount() - 1);
    const QIcon icon = ListRowIcon(0);
    while (list.topLevelItemCount() < count) {
        auto* item = new QTreeWidgetItem(&list);
        item->setIcon(0, icon);
        item->setTextAlignment(3, Qt::AlignCenter);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    for (int i = 0; i < count; ++i) {
        const TrackRow& row = rows[i];
        QTreeWidgetItem* item = list.topLevelItem(i);
        item->setText(0, Qs(row.number));
        item->setText(1, Qs(row.artist));
        item->setText(2, Qs(row.title));
        item->setText(3, Qs(row.duration));
        item->setToolTip(2, Qs(row.title));
        item->setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
        item->setData(0, kItemValueRole, row.itemValue);
    }
}

void ApplyCheckMarks(QTreeWidget& list, const std::vector<bool>& checked) {
    const int count = std::min(list.topLevelItemCount(), static_cast<int>(checked.size()));
    for (int i = 0; i < count; ++i)
        list.topLevelItem(i)->setCheckState(0, checked[i] ? Qt::Checked : Qt::Unchecked);
}

}  // namespace quelt
