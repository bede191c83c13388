// quelt-screenshots OUTDIR [FILE...]: renders the main window in each mode, the options and
// About dialogs, and the progress window after a real conversion of FILEs into PNG pictures
// (main-ripper.png, main-converter.png, main-burner.png, options.png, about.png,
// progress.png) for the README. Settings and output go
// to a scratch folder; the user's own files are not touched.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <memory>

#include "core/burn/libburn_burner.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/rip/genre_list.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/app/application_look.h"
#include "gui/app/main_window.h"
#include "gui/burn/burn_page.h"
#include "gui/common/app_context.h"
#include "gui/common/progress_window.h"
#include "gui/convert/converter_page.h"
#include "gui/options/options_sheet.h"
#include "gui/rip/ripper_page.h"
#include "gui/skin/skin.h"

namespace {

class SilentPrompter : public quelt::Prompter {
  public:
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void ShowMessage(const std::string& caption, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
};

bool Save(QWidget& widget, const QString& path) {
    const bool ok = widget.grab().save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quelt;
    QTemporaryDir scratch(QDir::tempPath() + "/quelt-demo-XXXXXX");
    qputenv("XDG_CONFIG_HOME", scratch.filePath("config").toUtf8());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quelt-screenshots OUTDIR [FILE...]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    Skin skin;
    const std::string ui = "skins/zqr/the.ui";
    if (skin.Load(QString::fromStdString(ui), true, QString::fromStdString(DataFolder(ui))).code !=
        0) {
        std::fprintf(stderr, "quelt-screenshots: cannot load the skin\n");
        return 1;
    }
    ApplySkinLook(skin);
    SilentPrompter prompter;
    AppContext context(scratch.filePath("config/zqrprocfg.cfg").toStdString(), prompter);
    LoadSettings(context.settings, context.profile);
    context.settings.priority = Priority::kNormal;
    context.settings.convert.bOutputDirectory = true;
    context.settings.convert.outputDirectory = scratch.filePath("Music/zqr_output/").toStdString();
    context.profile.WriteInt("CONVERT", "FormatIndex", 9);
    context.profile.WriteInt("CONVERT", "FParamIndex", 12);

    const auto genres = CreateGenreList();
    MainWindow::Parts parts;
    parts.genres = genres.get();
    // The ripper shows the demo disc (no drive here); its look-up goes to a closed loopback
    // port, fails at once, and the disc names its tracks by its CD-Text.
    const auto grabber = CreateCdGrabber();
    const auto freedb = CreateFreedbInfo();
    freedb->SetCustomServer("127.0.0.1:1");
    RipperPage* ripper = nullptr;
    parts.ripPage = [&](QWidget* parent) {
        return ripper = new RipperPage(skin, context, *grabber, *freedb, genres.get(), parent);
    };
    LibburnBurner burner;
    parts.burnPage = [&](QWidget* parent) { return new BurnPage(skin, context, burner, parent); };
    MainWindow window(skin, context, std::move(parts));
    window.show();
    auto& converter = *dynamic_cast<ConverterPage*>(window.page(kModeConvert));
    QStringList files;
    for (int i = 2; i < argc; ++i) files << QString::fromLocal8Bit(argv[i]);

    bool ok = true;
    for (int i = 0; i < 3000 && ripper && ripper->disc().lookupPending(); ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    QApplication::processEvents();
    ok &= Save(window, out + "/main-ripper.png");
    window.SwitchMode(kModeBurn);
    window.DropFiles(files);
    QApplication::processEvents();
    ok &= Save(window, out + "/main-burner.png");
    window.SwitchMode(kModeConvert);
    window.DropFiles(files);
    if (files.size() > 1)
        converter.fileList()->setCurrentItem(converter.fileList()->topLevelItem(1));
    QApplication::processEvents();
    ok &= Save(window, out + "/main-converter.png");

    window.SetOptionsHook([&](OptionsSheet& sheet) {
        QTimer::singleShot(0, &sheet, [&] {
            sheet.tabs()->setCurrentIndex(2);
            QApplication::processEvents();
            ok &= Save(sheet, out + "/options.png");
            sheet.reject();
        });
    });
    window.OpenOptions();
    QTimer::singleShot(0, [&] {
        if (QWidget* about = QApplication::activeModalWidget()) {
            ok &= Save(*about, out + "/about.png");
            about->close();
        }
    });
    window.OpenAbout();

    if (!files.isEmpty()) {
        converter.SetJobSetup([](ConversionJobParameters& job) {
            job.startDelayMs = 0;
            job.closingSound = {};
        });
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto* progress = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
            if (!progress || progress->WorkerRunning()) return;
            ok &= Save(*progress, out + "/progress.png");
            progress->actionButton()->click();
        });
        watcher.start(50);
        window.Start();
    }
    return ok ? 0 : 1;
}
