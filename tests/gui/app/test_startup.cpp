// The program as a process: the settings saved at an orderly exit, also when the desktop
// ends it with SIGTERM (a logout) or SIGINT. A second start while it runs is
// test_second_launch.cpp's.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "gui_test_main.h"

namespace {

// A clean per-user environment for one run of the program.
struct Session {
    Session() {
        for (const char* name : {"config", "runtime", "cache", "music"})
            QDir(dir.path()).mkpath(name);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("SDL_AUDIODRIVER", "dummy");
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", dir.path() + "/runtime");
        env.insert("XDG_CACHE_HOME", dir.path() + "/cache");
        env.insert("XDG_MUSIC_DIR", dir.path() + "/music");
        // The ripper page looks the disc up at start; a proxy on a closed loopback port keeps
        // that look-up on this machine.
        QDir(dir.path()).mkpath("config/quelt");
        QFile settings(SettingsFile());
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[CDRIP]\nUseFreedbProxy=1\nFreedbProxy=127.0.0.1:1\n");
    }
    QByteArray SettingsText() const {
        QFile settings(SettingsFile());
        return settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
    }
    QString SettingsFile() const { return dir.path() + "/config/quelt/zqrprocfg.cfg"; }
    QString LockFile() const { return dir.path() + "/runtime/zqr.lock"; }
    // True while some process holds the single-instance lock.
    bool LockHeld() const {
        const int fd = ::open(LockFile().toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return false;
        const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return held;
    }
    void Start(QProcess& p) {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QUELT_GUI_PATH, {});
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void signalEndsTheProgramAndSavesTheSettings_data();
    void signalEndsTheProgramAndSavesTheSettings();
};

void StartupTest::signalEndsTheProgramAndSavesTheSettings_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void StartupTest::signalEndsTheProgramAndSavesTheSettings() {
    QFETCH(int, signal);
    Session session;
    QProcess first;
    session.Start(first);
    QVERIFY(first.waitForStarted(60000));
    QTRY_VERIFY_WITH_TIMEOUT(session.LockHeld() || first.state() == QProcess::NotRunning, 120000);
    QVERIFY2(first.state() == QProcess::Running, "the program ended on its own");

    ::kill(first.processId(), signal);
    QVERIFY(first.waitForFinished(120000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    const QByteArray text = session.SettingsText();
    QVERIFY2(text.contains("Priority=1"), "the settings were not saved at exit");
    QVERIFY(text.contains("[Convert]"));
}

QUELT_GUI_TEST(StartupTest)
#include "test_startup.moc"
