// The "FREEDB" options page on the real FreeDB component: the server list it names, the
// values it shows where the settings hold none, and what "OK" stores and hands over.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "core/rip/freedb_info.h"
#include "core/settings/settings.h"
#include "gui/options/freedb_options_page.h"
#include "gui_test_main.h"

using namespace quelt;

class FreedbOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void serverSelection_data();
    void serverSelection();
    void showsStoredNumbersOrTheComponentsOwn();
    void storesTheFieldsAndHandsThemToTheComponent();
    void decimalFields_data();
    void decimalFields();
    void proxyReachesTheComponentOnlyWhenSwitchedOn();

  private:
    std::unique_ptr<FreedbInfo> freedb_ = CreateFreedbInfo();
};

void FreedbOptionsTest::serverSelection_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("componentBefore");
    QTest::addColumn<int>("selected");
    QTest::newRow("stored index") << 7 << 2 << 7;
    QTest::newRow("negative: the component's index") << -1 << 2 << 2;
    QTest::newRow("beyond the list: the first") << 15 << 6 << 0;
}

// The list names the component's servers; the selection is handed to the component at
// once but stored only by "OK".
void FreedbOptionsTest::serverSelection() {
    QFETCH(int, stored);
    QFETCH(int, componentBefore);
    QFETCH(int, selected);
    QStringList names;
    for (int i = 0; i < kFreedbServerCount; ++i) {
        freedb_->SetServerIndex(i);
        names << QString::fromStdString(freedb_->ServerName());
    }
    freedb_->SetServerIndex(componentBefore);
    Settings settings;
    settings.rip.freedbServer = stored;
    FreedbOptionsPage page(settings, *freedb_);
    page.Load();
    QStringList listed;
    for (int i = 0; i < page.serverList()->count(); ++i) listed << page.serverList()->itemText(i);
    QCOMPARE(listed, names);
    QCOMPARE(page.serverList()->currentIndex(), selected);
    QCOMPARE(freedb_->ServerIndex(), selected);
    QCOMPARE(settings.rip.freedbServer, stored);
}

void FreedbOptionsTest::showsStoredNumbersOrTheComponentsOwn() {
    Settings settings;
    settings.rip.freedbPort = 8880;
    settings.rip.freedbTimeOut = 3000;
    FreedbOptionsPage page(settings, *freedb_);
    page.Load();
    QCOMPARE(page.portEdit()->text(), QString("8880"));
    QCOMPARE(page.timeOutEdit()->text(), QString("3000"));
    QCOMPARE(freedb_->Port(), 8880);

    // Negative numbers (possible only until the settings are saved) leave the component's.
    freedb_->SetPort(1234);
    freedb_->SetTimeOut(5000);
    settings.rip.freedbPort = -1;
    settings.rip.freedbTimeOut = -7;
    FreedbOptionsPage again(settings, *freedb_);
    again.Load();
    QCOMPARE(again.portEdit()->text(), QString("1234"));
    QCOMPARE(again.timeOutEdit()->text(), QString("5000"));
}

void FreedbOptionsTest::storesTheFieldsAndHandsThemToTheComponent() {
    Settings settings;
    FreedbOptionsPage page(settings, *freedb_);
    page.Load();
    QCOMPARE(page.freedbBox()->text(), QString("Use automatic freedb query"));
    page.freedbBox()->setChecked(true);
    page.serverList()->setCurrentIndex(3);
    page.portEdit()->setText("8080");
    page.timeOutEdit()->setText("2500");
    page.proxyBox()->setChecked(true);
    page.proxyEdit()->setText("proxy.lan:3128");
    page.Store();
    QCOMPARE(settings.rip.freedb, 1);
    QCOMPARE(settings.rip.freedbServer, 3);
    QCOMPARE(settings.rip.freedbPort, 8080);
    QCOMPARE(settings.rip.freedbTimeOut, 2500);
    QCOMPARE(settings.rip.useFreedbProxy, 1);
    QCOMPARE(settings.rip.freedbProxy, std::string("proxy.lan:3128"));
    QCOMPARE(freedb_->ServerIndex(), 3);
    QCOMPARE(freedb_->Port(), 8080);
    QCOMPARE(freedb_->Proxy(), std::string("proxy.lan:3128"));

    page.freedbBox()->setChecked(false);
    page.Store();
    QCOMPARE(settings.rip.freedb, 0);

    // The album look-up group: source, MusicBrainz server and cover art, under their own keys.
    QCOMPARE(page.lookupSourceList()->currentIndex(), int(LookupSource::kFreedb));
    QVERIFY(!page.coverArtBox()->isChecked());
    page.lookupSourceList()->setCurrentIndex(int(LookupSource::kMusicBrainzThenFreedb));
    page.musicBrainzServerEdit()->setText(" mb.lan:5000 ");
    page.coverArtBox()->setChecked(true);
    page.Store();
    QCOMPARE(settings.rip.lookupSource, LookupSource::kMusicBrainzThenFreedb);
    QCOMPARE(settings.rip.musicBrainzServer, std::string("mb.lan:5000"));
    QCOMPARE(settings.rip.coverArt, 1);
    FreedbOptionsPage again(settings, *freedb_);
    again.Load();
    QCOMPARE(again.lookupSourceList()->currentText(), QString("MusicBrainz, then FreeDB"));
    QCOMPARE(again.musicBrainzServerEdit()->text(), QString("mb.lan:5000"));
    QVERIFY(again.coverArtBox()->isChecked());
}

void FreedbOptionsTest::decimalFields_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("leading number") << "88x" << 88;
    QTest::newRow("beyond the integers") << "99999999999" << 2147483647;
}

void FreedbOptionsTest::decimalFields() {
    QFETCH(QString, text);
    QFETCH(int, value);
    Settings settings;
    settings.rip.freedbPort = 80;
    settings.rip.freedbTimeOut = 2000;
    FreedbOptionsPage page(settings, *freedb_);
    page.Load();
    page.portEdit()->setText(text);
    page.timeOutEdit()->setText(text);
    page.Store();
    QCOMPARE(settings.rip.freedbPort, value);
    QCOMPARE(settings.rip.freedbTimeOut, value);
    QCOMPARE(freedb_->Port(), value);
    QCOMPARE(freedb_->TimeOut(), value);
    // Typing is held to digits.
    QString typed = QStringLiteral("-5");
    int position = 0;
    QCOMPARE(page.portEdit()->validator()->validate(typed, position), QValidator::Invalid);
}

// An unchecked proxy stays in the settings but never reaches the component.
void FreedbOptionsTest::proxyReachesTheComponentOnlyWhenSwitchedOn() {
    freedb_->SetProxy("");
    Settings settings;
    settings.rip.useFreedbProxy = 0;
    settings.rip.freedbProxy = "cache.lan:8080";
    FreedbOptionsPage page(settings, *freedb_);
    page.Load();
    QCOMPARE(page.proxyEdit()->text(), QString("cache.lan:8080"));
    QVERIFY(!page.proxyEdit()->isEnabled());
    QCOMPARE(freedb_->Proxy(), std::string());
    page.proxyBox()->setChecked(true);
    page.Store();
    QCOMPARE(freedb_->Proxy(), std::string("cache.lan:8080"));
    page.proxyBox()->setChecked(false);
    QVERIFY(!page.proxyEdit()->isEnabled());
    page.Store();
    QCOMPARE(settings.rip.useFreedbProxy, 0);
    QCOMPARE(settings.rip.freedbProxy, std::string("cache.lan:8080"));
    QCOMPARE(freedb_->Proxy(), std::string());
}

QUELT_GUI_TEST(FreedbOptionsTest)
#include "test_freedb_options.moc"
