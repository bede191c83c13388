// A disc image handed to the ripper page (by a later start of the program): listed as a
// drive, selected and read; an image that cannot be read is named in the status.
#include <QComboBox>
#include <cstdio>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include "gui_test_main.h"
#include "rip_page_fixture.h"

using namespace quelt;
using quelt::test::RipFixture;

class RipperOpenImageTest : public QObject {
    Q_OBJECT
  private slots:
    void handedImageIsListedSelectedAndRead();
};

void RipperOpenImageTest::handedImageIsListedSelectedAndRead() {
    RipFixture f;
    f.MakeGrabber(f.Image("first", {7500}));
    RipperPage& page = f.Page();
    QCOMPARE(page.driveBox()->count(), 2);  // the image and "Open disc image..."

    const std::string second = f.Image("second", {4500, 6000, 3000});
    page.OpenDiscImage(QString::fromStdString(second));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.driveBox()->count(), 3);
    QCOMPARE(page.driveBox()->currentIndex(), 1);
    QCOMPARE(page.driveBox()->currentText(), QString("second.cue"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);

    const std::string broken = f.scratch.File("broken.cue");
    FILE* file = std::fopen(broken.c_str(), "w");
    QVERIFY(file);
    std::fputs("this is no cue sheet\n", file);
    std::fclose(file);
    page.OpenDiscImage(QString::fromStdString(broken));
    QVERIFY2(page.statusText()->text().startsWith("Cannot open the disc image: "),
             qPrintable(page.statusText()->text()));
    QCOMPARE(page.driveBox()->currentIndex(), 1);
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);
}

QUELT_GUI_TEST(RipperOpenImageTest)
#include "test_ripper_open_image.moc"
