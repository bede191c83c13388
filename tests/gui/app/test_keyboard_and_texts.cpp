// The main window with its three real pages as a keyboard user meets it: Tab and Shift+Tab
// go through every control of each page in reading order, up to Start; every button has
// a name; Enter presses a focused button.
#include <QAbstractButton>
#include <QApplication>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "core/burn/libburn_burner.h"
#include "core/playback/playback_library.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/rip/genre_list.h"
#include "gui/burn/burn_page.h"
#include "gui/rip/ripper_page.h"
#include "gui_fixture.h"
#include "gui_test_main.h"
#include "support/cddb_server.h"

using namespace quelt;

namespace {

constexpr int kStartButton = 1017;

// The program's window as start-up builds it: the demo disc in the ripper (its look-up on
// a closed loopback port), the libburn burner with the image writer, the converter.
struct FullWindow : test::GuiFixture {
    FullWindow() {
        CdGrabberOptions options;
        options.listDevices = false;
        options.watchMedia = false;
        options.demoImage = DemoDiscPath();
        grabber = CreateCdGrabber(options);
        freedb->SetCustomServer("127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()));
        MainWindow::Parts parts;
        parts.genres = genres.get();
        parts.playback = playback.get();
        parts.grabber = grabber.get();
        parts.ripPage = [this](QWidget* parent) {
            return ripper = new RipperPage(skin, context, *grabber, *freedb, genres.get(), parent);
        };
        parts.burnPage = [this](QWidget* parent) {
            return new BurnPage(skin, context, burner, parent);
        };
        window = std::make_unique<MainWindow>(skin, context, std::move(parts));
        lookupEnded = QTest::qWaitFor([this] { return !ripper->disc().lookupPending(); }, 120000);
    }
    ~FullWindow() {
        window.reset();
        grabber.reset();  // joins a look-up still running before `freedb` goes
    }

    std::unique_ptr<CdGrabber> grabber;
    std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    std::unique_ptr<GenreList> genres = CreateGenreList();
    std::unique_ptr<PlaybackLibrary> playback = CreatePlaybackLibrary();
    LibburnBurner burner;
    RipperPage* ripper = nullptr;
    std::unique_ptr<MainWindow> window;
    bool lookupEnded = false;
};

// The control of `page` (or of the window) that holds the focus.
QWidget* ControlOf(QWidget* focus, QWidget* page, QWidget* window) {
    while (focus && focus->parentWidget() != page && focus->parentWidget() != window)
        focus = focus->parentWidget();
    return focus;
}

QRect PlaceIn(const QWidget* w, const QWidget* frame) {
    return QRect(w->mapTo(frame, QPoint(0, 0)), w->size());
}

QString Describe(const QWidget* w) {
    return w->objectName() + "/" + w->accessibleName();
}

}  // namespace

class KeyboardAndTextsTest : public QObject {
    Q_OBJECT
  private slots:
    void keyboardReachesEveryControlInReadingOrder();
};

void KeyboardAndTextsTest::keyboardReachesEveryControlInReadingOrder() {
    FullWindow f;
    QVERIFY(f.lookupEnded);
    MainWindow& w = *f.window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* start = w.control<QAbstractButton>(kStartButton);
    QVERIFY(start);

    for (int mode : {kModeRip, kModeConvert, kModeBurn}) {
        w.SwitchMode(mode);
        QWidget* page = w.page(mode)->widget();
        QList<QWidget*> reachable;
        for (QWidget* child : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus))
                reachable << child;
        QVERIFY(reachable.size() >= 8);

        // Around the whole window once, from the first mode button.
        auto* first = w.control<QAbstractButton>(1001);
        first->setFocus(Qt::TabFocusReason);
        QList<QWidget*> cycle{first};
        for (int i = 0; i < 200; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = ControlOf(QApplication::focusWidget(), page, &w);
            if (now == first) break;
            cycle << now;
        }
        QList<QWidget*> onPage;
        for (QWidget* c : cycle)
            if (c->parentWidget() == page) onPage << c;
        for (QWidget* c : reachable)
            QVERIFY2(onPage.count(c) == 1, qPrintable("not reached once: " + Describe(c)));
        QCOMPARE(onPage.size(), reachable.size());
        // The page's controls come as one run, after the controls above the page and
        // before Start.
        const qsizetype firstOnPage = cycle.indexOf(onPage.first());
        QCOMPARE(cycle.mid(firstOnPage, onPage.size()), onPage);
        QVERIFY(cycle.indexOf(start) > firstOnPage + onPage.size() - 1);
        // The player below the page is reached between the page and Start.
        for (int id : {1006, 1010, 1012}) {
            QWidget* control = w.control<QWidget>(id);
            QVERIFY2(cycle.count(control) == 1,
                     qPrintable("player control not reached once: " + QString::number(id)));
            QVERIFY(cycle.indexOf(control) > firstOnPage + onPage.size() - 1);
            QVERIFY(cycle.indexOf(control) < cycle.indexOf(start));
        }
        for (qsizetype i = 1; i < onPage.size(); ++i) {
            const QRect a = PlaceIn(onPage[i - 1], page), b = PlaceIn(onPage[i], page);
            const bool sameRow = (b.center().y() >= a.top() && b.center().y() <= a.bottom()) ||
                                 (a.center().y() >= b.top() && a.center().y() <= b.bottom());
            const QString pair = Describe(onPage[i - 1]) + " -> " + Describe(onPage[i]);
            if (sameRow)
                QVERIFY2(b.left() > a.left(), qPrintable("right to left: " + pair));
            else
                QVERIFY2(b.top() > a.top(), qPrintable("upwards: " + pair));
        }
        QVERIFY(std::any_of(onPage.begin(), onPage.end(),
                            [](QWidget* c) { return qobject_cast<QTreeWidget*>(c) != nullptr; }));

        // Shift+Tab walks the same way back.
        start->setFocus(Qt::TabFocusReason);
        QList<QWidget*> back;
        for (int i = 0; i < 200 && back.size() < onPage.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QWidget* now = ControlOf(QApplication::focusWidget(), page, &w);
            if (now->parentWidget() == page) back.prepend(now);
        }
        QCOMPARE(back, onPage);
    }
    for (QAbstractButton* button : w.findChildren<QAbstractButton*>())
        QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));

    // Enter on the focused converter mode button switches to the converter.
    auto* converter = w.control<QAbstractButton>(1002);
    converter->setFocus(Qt::TabFocusReason);
    QTest::keyClick(converter, Qt::Key_Return);
    QCOMPARE(f.context.mode, int(kModeConvert));
    auto* burner = w.control<QAbstractButton>(1003);
    burner->setFocus(Qt::TabFocusReason);
    QTest::keyClick(burner, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.context.mode, int(kModeBurn));
}

QUELT_GUI_TEST(KeyboardAndTextsTest)
#include "test_keyboard_and_texts.moc"
