#include "gui/options/freedb_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "core/rip/freedb_info.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings.h"

namespace quelt {

namespace {

// Decimal fields take digits only as typed; a text put there otherwise reads by the
// settings file's rule (0 when it does not begin with a number).
QLineEdit* DecimalEdit(int maxDigits, QObject* owner) {
    auto* edit = new QLineEdit;
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(maxDigits)), owner));
    return edit;
}

int DecimalValue(const QLineEdit* edit) { return ParseDecimalInt(edit->text().toStdString()); }

}  // namespace

FreedbOptionsPage::FreedbOptionsPage(Settings& settings, FreedbInfo& freedb, QWidget* parent)
    : OptionsPage(parent), settings_(settings), info_(freedb) {
    freedb_ = new QCheckBox(QStringLiteral("Use automatic freedb query"));
    servers_ = new QComboBox;
    port_ = DecimalEdit(5, this);
    timeOut_ = DecimalEdit(9, this);
    timeOut_->setToolTip(QStringLiteral("Milliseconds; 0 uses the component's own time-out."));
    useProxy_ = new QCheckBox(QStringLiteral("Use proxy server"));
    proxy_ = new QLineEdit;
    proxy_->setPlaceholderText(QStringLiteral("host:port"));

    auto* server = new QGroupBox;
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server"), servers_);
    form->addRow(QStringLiteral("Port"), port_);
    form->addRow(QStringLiteral("TimeOut"), timeOut_);
    auto* column = new QVBoxLayout(server);
    column->addLayout(form);
    column->addWidget(useProxy_);
    column->addWidget(proxy_);

    source_ = new QComboBox;
    source_->addItems({QStringLiteral("FreeDB"), QStringLiteral("MusicBrainz"),
                       QStringLiteral("MusicBrainz, then FreeDB")});
    source_->setToolTip(
        QStringLiteral("Where the ripper page looks the disc up when its FreeDB box is "
                       "checked. A disc's CD-Text names it when no look-up answers."));
    musicBrainzServer_ = new QLineEdit;
    musicBrainzServer_->setPlaceholderText(QStringLiteral("musicbrainz.org"));
    musicBrainzServer_->setToolTip(
        QStringLiteral("HOST or HOST:PORT; empty for the public server."));
    coverArt_ = new QCheckBox(
        QStringLiteral("Fetch the front cover (cover.jpg, embedded in MP3, M4A/MP4 and FLAC)"));
    auto* lookup = new QGroupBox(QStringLiteral("Album look-up"));
    auto* lookupForm = new QFormLayout;
    lookupForm->addRow(QStringLiteral("Look-up source"), source_);
    lookupForm->addRow(QStringLiteral("MusicBrainz server"), musicBrainzServer_);
    auto* lookupColumn = new QVBoxLayout(lookup);
    lookupColumn->addLayout(lookupForm);
    lookupColumn->addWidget(coverArt_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(freedb_);
    layout->addWidget(server);
    layout->addWidget(lookup);
    layout->addStretch(1);

    connect(useProxy_, &QCheckBox::toggled, proxy_, &QLineEdit::setEnabled);
}

void FreedbOptionsPage::Load() {
    const RipSettings& rip = settings_.rip;
    freedb_->setChecked(rip.freedb);

    // The component names its servers only at its current index: walk the list, then put
    // the index back before choosing, so a stored index the component refuses leaves the
    // component where it was.
    const int remembered = info_.ServerIndex();
    servers_->clear();
    for (int i = 0; i < kFreedbServerCount; ++i) {
        info_.SetServerIndex(i);
        servers_->addItem(QString::fromStdString(info_.ServerName()));
    }
    info_.SetServerIndex(remembered);
    int selection = rip.freedbServer >= 0 ? rip.freedbServer : remembered;
    if (selection < 0 || selection >= servers_->count()) selection = 0;
    servers_->setCurrentIndex(selection);
    info_.SetServerIndex(selection);
    servers_->setCurrentIndex(info_.ServerIndex());

    if (rip.freedbPort >= 0) info_.SetPort(rip.freedbPort);
    port_->setText(QString::number(info_.Port()));
    if (rip.freedbTimeOut >= 0) info_.SetTimeOut(rip.freedbTimeOut);
    timeOut_->setText(QString::number(info_.TimeOut()));

    // The component goes through any proxy it holds, so it gets the stored one only while
    // the box is on; the field shows the stored text either way.
    useProxy_->setChecked(rip.useFreedbProxy);
    if (rip.useFreedbProxy && !rip.freedbProxy.empty()) info_.SetProxy(rip.freedbProxy);
    proxy_->setText(
        QString::fromStdString(rip.freedbProxy.empty() ? info_.Proxy() : rip.freedbProxy));
    proxy_->setEnabled(useProxy_->isChecked());

    source_->setCurrentIndex(static_cast<int>(rip.lookupSource));
    musicBrainzServer_->setText(QString::fromStdString(rip.musicBrainzServer));
    coverArt_->setChecked(rip.coverArt);
}

void FreedbOptionsPage::Store() {
    RipSettings& rip = settings_.rip;
    rip.freedb = freedb_->isChecked();
    rip.freedbServer = servers_->currentIndex();
    rip.freedbPort = DecimalValue(port_);
    rip.freedbTimeOut = DecimalValue(timeOut_);
    rip.useFreedbProxy = useProxy_->isChecked();
    rip.freedbProxy = proxy_->text().trimmed().toStdString();
    rip.lookupSource = source_->currentIndex() < 0
                           ? LookupSource::kFreedb
                           : static_cast<LookupSource>(source_->currentIndex());
    rip.musicBrainzServer = musicBrainzServer_->text().trimmed().toStdString();
    rip.coverArt = coverArt_->isChecked();

    info_.SetServerIndex(rip.freedbServer);
    info_.SetPort(rip.freedbPort);
    info_.SetTimeOut(rip.freedbTimeOut);
    // An unchecked box hands the component no proxy; the text stays in the settings for
    // the next time the box is checked.
    info_.SetProxy(rip.useFreedbProxy ? rip.freedbProxy : std::string());
}

}  // namespace quelt
