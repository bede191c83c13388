#include "gui/rip/release_picker.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quelt {

ReleasePicker::ReleasePicker(const std::vector<MusicBrainzRelease>& releases, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quelt CD Ripper Pro - Choose the release"));
    auto* intro = new QLabel(QStringLiteral("Several MusicBrainz releases hold this disc. Choose the one you own:"));
    list_ = new QTreeWidget;
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({QStringLiteral("Artist"), QStringLiteral("Title"), QStringLiteral("Date"),
                            QStringLiteral("Country"), QStringLiteral("Label"), QStringLiteral("Format"),
                            QStringLiteral("Tracks")});
    list_->setAccessibleName(QStringLiteral("Releases"));
    for (const MusicBrainzRelease& release : releases) {
        QString format = QString::fromStdString(release.format);
        if (release.discTotal > 1)
            format += QStringLiteral(" (disc %1 of %2)").arg(release.discNumber).arg(release.discTotal);
        auto* row = new QTreeWidgetItem(
            {QString::fromStdString(release.artist), QString::fromStdString(release.title),
             QString::fromStdString(release.date), QString::fromStdString(release.country),
             QString::fromStdString(release.label), format, QString::number(release.tracks.size())});
        row->setToolTip(1, QString::fromStdString(release.id));
        list_->addTopLevelItem(row);
    }
    list_->header()->resizeSections(QHeaderView::ResizeToContents);
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setToolTip(QStringLiteral("Keep the disc's own names"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(720, 260);
}

int ReleasePicker::chosen() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

}  // namespace quelt
