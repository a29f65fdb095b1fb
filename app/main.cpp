// Pendrake, the desktop program: start-up in its fixed order (one instance, settings, fonts, a
// new project, the main window where it was left) and an optional project file to open.
#include "io/Settings.h"
#include "ui/FontChoice.h"
#include "ui/MainWindow.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include <cstdio>
#include <exception>

namespace {

using namespace pendrake;
using namespace pendrake::ui;

// Without a display Qt would stop with a message about platform plugins that does not say what
// is missing; tell the engineer instead.
bool DisplayMissing(int argc, char** argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "-platform")
            return false;
    }
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    (void)argc;
    (void)argv;
    return false;
#endif
}

int Run(QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Pendrake: design of leaning reinforced-concrete retaining walls."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("A project file (.pdi) to open."), QStringLiteral("[FILE.pdi]"));
    parser.process(app);

    InstanceLock lock;
    if (!lock.Acquire()) {
        ShowWarning(nullptr, QStringLiteral("Pendrake is already running in memory."));
        return 1;
    }

    StartupState startup;
    startup.Recent = LoadRecentFiles();
    startup.LastDir = LoadLastDir();
    // The start-up directory is a convenience: one that is gone is simply not used.
    if (!startup.LastDir.empty()) {
        const QString dir = QString::fromStdString(startup.LastDir);
        if (QFileInfo(dir).isDir())
            QDir::setCurrent(dir);
    }
    startup.Fonts = ChooseInstalledFonts();

    MainWindow window(startup);
    QRect screen(0, 0, 1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->availableGeometry();
    window.ShowWithPlacement(
        LoadWindowPlacement(int(Twips(screen.width())), int(Twips(screen.height()))));

    // Work a crash left unsaved comes first; what a file manager hands over on a double click
    // opens when nothing was recovered.
    const bool recovered = window.OfferRecovery();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty() && !recovered)
        window.OpenPath(QFileInfo(files.constFirst()).absoluteFilePath());

    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (DisplayMissing(argc, argv)) {
        std::fprintf(stderr,
            "pendrake: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Start Pendrake from a desktop session, or use pendrake-cli for work without "
            "windows.\n");
        return 1;
    }
    // Twips map to device-independent pixels; fractional screen scales are honoured as they are.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    // The application name stays the executable's own: the instance lock checks a lock's holder
    // by comparing it with the name of the process that wrote the lock.
    QApplication::setApplicationVersion(
        QString::fromUtf8(pendrake::VersionText.data(), qsizetype(pendrake::VersionText.size())));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.pendrake.Pendrake"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.pendrake.Pendrake")));
    try {
        return Run(app);
    } catch (const std::exception& e) {
        pendrake::ui::ShowWarning(nullptr, QString::fromUtf8(e.what()));
    }
    return 1;
}
