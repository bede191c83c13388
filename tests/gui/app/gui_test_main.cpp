#include "gui_test_main.h"

#include <QApplication>
#include <QtTest>

#include "gui_test_env.h"

namespace quelt::test {

std::vector<GuiTestFactory>& GuiTests() {
    static std::vector<GuiTestFactory> tests;
    return tests;
}

}  // namespace quelt::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    quelt::test::ScratchHome home;  // before QApplication, so nothing reads the real folders
    QApplication app(argc, argv);
    int failures = 0;
    for (auto& make : quelt::test::GuiTests()) {
        auto test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
