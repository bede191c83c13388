#include "gui/app/application.h"

#include <pthread.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

#include "core/burn/burn_temp_files.h"
#include "core/burn/libburn_burner.h"
#include "core/jobs/component_error.h"
#include "core/playback/playback_library.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/rip/genre_list.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/app/application_look.h"
#include "gui/app/command_line.h"
#include "gui/app/drive_hand_over.h"
#include "gui/app/exit_signals.h"
#include "gui/app/instance_channel.h"
#include "gui/app/main_window.h"
#include "gui/app/single_instance.h"
#include "gui/burn/burn_page.h"
#include "gui/common/app_context.h"
#include "gui/common/icon_painter.h"
#include "gui/common/message_prompter.h"
#include "gui/options/freedb_options_page.h"
#include "gui/options/rip_options_page.h"
#include "gui/rip/ripper_page.h"
#include "gui/skin/skin.h"
#include "quelt_version.h"

namespace quelt {

namespace {

constexpr const char* kSkinPath = "skins/zqr/the.ui";

// A desktop logout or Ctrl-C: every running job is told to stop, a playing preview stops,
// and all event loops end, so the program leaves through the same exit as a close.
void EndOrderly(AppContext& context, MainWindow& window) {
    for (JobControl* control :
         {&context.ripControl, &context.convertControl, &context.burnControl}) {
        if (control->busy.load()) control->cancel = true;
    }
    context.convertControl.busy = false;
    context.burnControl.busy = false;
    window.StopPreview();
    QCoreApplication::exit(0);
}

}  // namespace

int RunQuelt(int argc, char** argv) {
    // --help and --version answer on the terminal, before any display is needed.
    const GuiCommandLine commandLine = ParseGuiCommandLine(argc, argv);
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "quelt: %s (see quelt --help)\n", commandLine.error.c_str());
        return 2;
    }
    if (commandLine.help || commandLine.version) {
        std::fputs((commandLine.help ? GuiHelpText() : GuiVersionText()).c_str(), stdout);
        return 0;
    }

    // A logout may come at any moment, even before the window exists: the signals wait,
    // blocked, until ExitSignals can turn them into an orderly exit.
    sigset_t exitSignalSet;
    sigemptyset(&exitSignalSet);
    sigaddset(&exitSignalSet, SIGTERM);
    sigaddset(&exitSignalSet, SIGINT);
    pthread_sigmask(SIG_BLOCK, &exitSignalSet, nullptr);

    QStringList files;
    for (const std::string& file : commandLine.files) files << QFile::decodeName(file.c_str());
    SingleInstanceLock instance;
    if (!instance.Acquired()) {
        // A copy runs already: it comes to the front and takes this start's files. This
        // start ends either way without a window, touching nothing.
        QCoreApplication handOver(argc, argv);
        if (!HandOverToRunningInstance(files))
            std::fprintf(stderr, "quelt: another copy is running but does not answer\n");
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quelt"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quelt CD Ripper Pro"));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUELT_APP_ID));
    QApplication::setWindowIcon(AppIcon());

    Skin skin;
    const SkinLoadResult loaded = skin.Load(QString::fromLatin1(kSkinPath), true,
                                            QString::fromStdString(DataFolder(kSkinPath)));
    if (loaded.code == kSkinIsUnicode) {
        QMessageBox::critical(nullptr, QStringLiteral("Quelt CD Ripper Pro"),
                              QString::fromStdString(loaded.message));
        return 1;
    }
    if (loaded.code != kSkinLoaded) {
        std::fprintf(stderr, "quelt: the skin %s%s cannot be read\n", DataFolder(kSkinPath).c_str(),
                     kSkinPath);
        return 1;
    }

    ApplySkinLook(skin);
    MessageBoxPrompter prompter;
    AppContext context(SettingsFilePath(), prompter);
    context.driveFlag = 1;
    LoadSettings(context.settings, context.profile);
    const std::string settingsWarning = SettingsReadWarning(context.profile);
    if (!settingsWarning.empty()) std::fprintf(stderr, "quelt: %s\n", settingsWarning.c_str());
    // Temporary audio a crashed burn left behind is of no use to anyone.
    RemoveLeftoverBurnTempFiles(BurnTempFolder());

    // Leaving the program ends a running look-up at once instead of waiting for its server
    // (declared first, so that it outlives the components that read it).
    std::atomic<bool> leaving{false};
    const std::unique_ptr<GenreList> genres = CreateGenreList();
    // The grabbing component holds the drives from the start; the mode switch hands them to
    // the burner and back.
    std::unique_ptr<CdGrabber> grabber = CreateCdGrabber();
    try {
        grabber->Open();
    } catch (const ComponentError& error) {
        std::fprintf(stderr, "quelt: the CD drives cannot be opened: %s\n", error.what());
    }
    GrabberDriveHandOver handOver(*grabber);
    // The one FreeDB component: the ripper's look-ups and the "FREEDB" options tab share it.
    const std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    freedb->SetCancelFlag(&leaving);
    MainWindow::Parts parts;
    parts.genres = genres.get();
    parts.driveHandOver = &handOver;
    parts.ripOptions = [&context, &grabber] { return new RipOptionsPage(context.settings, grabber.get()); };
    parts.freedbOptions = [&context, &freedb] {
        return new FreedbOptionsPage(context.settings, *freedb);
    };
    parts.ripPage = [&](QWidget* parent) {
        return new RipperPage(skin, context, *grabber, *freedb, genres.get(), parent);
    };
    parts.playback = &SharedPlaybackLibrary();
    parts.grabber = grabber.get();
    LibburnBurner burner;  // outlives the window and its burner page
    parts.burnPage = [&](QWidget* parent) { return new BurnPage(skin, context, burner, parent); };
    auto window = std::make_unique<MainWindow>(skin, context, std::move(parts));
    if (!window->isSkinned()) {
        std::fprintf(stderr, "quelt: the main window is missing from the skin\n");
        return 1;
    }
    prompter.SetParent(window.get());
    ExitSignals exitSignals([&] { EndOrderly(context, *window); });
    pthread_sigmask(SIG_UNBLOCK, &exitSignalSet, nullptr);
    InstanceServer laterStarts;
    QObject::connect(&laterStarts, &InstanceServer::handedOver, window.get(), &MainWindow::OpenFiles);
    if (!laterStarts.Listen())
        std::fprintf(stderr, "quelt: later starts cannot reach this window (%s)\n",
                     qPrintable(InstanceSocketPath()));
    window->show();
    // The files of this command line, once the window has laid out its pages.
    if (!files.isEmpty())
        QTimer::singleShot(0, window.get(), [&window, files] { window->OpenFiles(files); });
    if (!settingsWarning.empty()) prompter.ShowMessage("Quelt CD Ripper Pro", settingsWarning);
    const int status = app.exec();
    leaving = true;

    window.reset();
    SaveSettings(context.settings, context.profile);
    return status;
}

}  // namespace quelt
