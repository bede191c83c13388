#include "gui/app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/icon_painter.h"
#include "quelt_version.h"

namespace quelt {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" About Quelt CD Ripper Pro"));
    setWindowIcon(AppIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* picture = new QLabel;
    const qreal scale = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(PaintAppIcon(qRound(96 * scale)));
    pixmap.setDevicePixelRatio(scale);
    picture->setPixmap(pixmap);
    picture->setAlignment(Qt::AlignTop);

    auto* name =
        new QLabel(QStringLiteral("<b style='font-size:15pt'>Quelt CD Ripper Pro</b>"
                                  "<br>Version " QUELT_VERSION));
    auto* description = new QLabel(QStringLiteral(
        "Quelt CD Ripper Pro rips audio CDs into music files with track names from FreeDB, "
        "converts audio files between thirteen formats, burns audio and data CDs, and lets "
        "you preview every track before you start."));
    description->setWordWrap(true);
    description->setMinimumWidth(300);
    auto* licence = new QLabel(QStringLiteral(
        "Free software under the GNU General Public License, version 3 or any later version "
        "(" QUELT_LICENSE "); it comes with NO WARRANTY. "
        "<a href='https://www.gnu.org/licenses/gpl-3.0.html'>Read the licence</a>"));
    licence->setObjectName(QStringLiteral("licence"));
    licence->setWordWrap(true);
    licence->setOpenExternalLinks(true);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(description);
    text->addWidget(licence);
    text->addStretch(1);
    auto* row = new QHBoxLayout;
    row->setSpacing(18);
    row->addWidget(picture);
    row->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

}  // namespace quelt
