// Points every per-user folder of the program (settings, runtime lock, cache, music) at a
// scratch folder for the life of a GUI test, so tests never touch the user's files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace quelt::test {

class ScratchHome {
  public:
    ScratchHome() {
        for (const char* name : {"config", "runtime", "cache", "music"})
            QDir(dir_.path()).mkpath(name);
        QFile::setPermissions(Path("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", Path("config").toUtf8());
        qputenv("XDG_RUNTIME_DIR", Path("runtime").toUtf8());
        qputenv("XDG_CACHE_HOME", Path("cache").toUtf8());
        qputenv("XDG_MUSIC_DIR", Path("music").toUtf8());
    }
    QString Path(const QString& name = {}) const {
        return name.isEmpty() ? dir_.path() : dir_.path() + "/" + name;
    }

  private:
    QTemporaryDir dir_;
};

}  // namespace quelt::test
