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
    // Test function names on the command line run only the classes that have them.
    QStringList functions;
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') functions << QString::fromLocal8Bit(argv[i]).section(':', 0, 0);
    auto wanted = [&](const QObject& test) {
        if (functions.isEmpty()) return true;
        for (const QString& f : functions)
            if (test.metaObject()->indexOfMethod(QByteArray(f.toLatin1() + "()")) >= 0) return true;
        return false;
    };
    int failures = 0;
    for (auto& make : quelt::test::GuiTests()) {
        auto test = make();
        if (wanted(*test)) failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
