// The proof options of the "CD Ripper" tab: its boxes reach the settings, the offset field
// belongs to the current drive, and "Detect..." finds a drive's offset with a disc the
// database (a loopback server) knows.
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <filesystem>

#include "core/rip/cd_grabber.h"
#include "core/settings/settings.h"
#include "gui/options/rip_options_page.h"
#include "gui_test_main.h"
#include "support/accuraterip_fixture.h"
#include "support/fixtures.h"
#include "support/http_server.h"

using namespace quelt;

class RipProofOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void boxesAndDetectedOffsetAreStoredForTheDrive();
};

void RipProofOptionsTest::boxesAndDetectedOffsetAreStoredForTheDrive() {
    test::ScratchDir dir;
    const std::string served = dir.File("served");
    std::filesystem::create_directories(served);
    test::HttpServer server(served);
    QVERIFY(server.running());
    test::ReferenceOf(test::MakeShiftedImage(dir.path().string(), "plain", {200, 150}), served,
                      "--confidence 5");
    const std::string shifted =
        test::MakeShiftedImage(dir.path().string(), "shifted", {200, 150}, -472);

    CdGrabberOptions options;
    options.listDevices = false;
    options.watchMedia = false;
    std::unique_ptr<CdGrabber> grabber = CreateCdGrabber(options);
    grabber->Open();
    grabber->SelectDrive(grabber->AddImage(shifted));
    grabber->RefreshDisc();

    Settings settings;
    settings.rip.accurateRipServer = server.Url();
    RipOptionsPage page(settings, grabber.get());
    QString outcome;
    page.SetOutcomeShower([&](const QString& text) { outcome = text; });
    page.Load();
    QVERIFY(!page.accurateRipBox()->isChecked());
    QCOMPARE(page.offsetBox()->value(), 0);
    QVERIFY(page.detectButton()->isEnabled());

    page.detectButton()->click();
    QVERIFY2(outcome.startsWith("Read offset: -472 (track 01"), qPrintable(outcome));
    QCOMPARE(page.offsetBox()->value(), -472);

    page.accurateRipBox()->setChecked(true);
    page.cueSheetBox()->setChecked(true);
    page.Store();
    QCOMPARE(settings.rip.accurateRip, 1);
    QCOMPARE(settings.rip.ripLog, 0);
    QCOMPARE(settings.rip.ripCue, 1);
    QCOMPARE(ReadOffsetFor(settings.rip, grabber->DriveText1(), grabber->DriveText2()), -472);
    QCOMPARE(ReadOffsetFor(settings.rip, "Other", "Drive"), 0);
}

QUELT_GUI_TEST(RipProofOptionsTest)
#include "test_rip_proof_options.moc"
