#include "backup/terminaljobs.h"
#include "capture/screenshottaker.h"
#include "fonts/fonts.h"
#include "platform/platform.h"
#include "startup/commandline.h"
#include "startup/datafolder.h"
#include "window/mainform.h"
#include "window/titleprobe.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

const QString kAppTitle = QStringLiteral("VEL-NO-KASI - электронная картотека");

vel::StartupRequest readCommandLine(const QStringList &arguments, const QString &startDir)
{
    return vel::parseCommandLine(arguments, startDir,
                                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

void describe(QCoreApplication &app, QTranslator &qtRussian)
{
    QCoreApplication::setApplicationName(QStringLiteral("velnokasi"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VEL_VERSION));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    if (qtRussian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtRussian);
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stream);
}

} // namespace

int main(int argc, char *argv[])
{
    // Without --data-dir the data folder is the folder the program was started in.
    const QString startDir = QDir::currentPath();
    {
        // --help, --version, a line that is wrong and the backup and export
        // jobs answer on the terminal without needing a display.
        QCoreApplication terminal(argc, argv);
        QTranslator qtRussian;
        describe(terminal, qtRussian);
        const vel::StartupRequest request =
            readCommandLine(vel::withoutToolkitOptions(QCoreApplication::arguments()), startDir);
        if (request.action == vel::StartupRequest::Action::Help ||
            request.action == vel::StartupRequest::Action::Version) {
            print(stdout, request.text);
            return 0;
        }
        if (request.action == vel::StartupRequest::Action::Fail) {
            print(stderr, request.text + QStringLiteral("\nСм. velnokasi --help"));
            return 1;
        }
        // A backup or an export for a scheduled job: no window, no display.
        if (request.action == vel::StartupRequest::Action::Backup ||
            request.action == vel::StartupRequest::Action::Export) {
            const vel::JobOutcome outcome = vel::runTerminalJob(request, QStringLiteral(VEL_VERSION));
            print(outcome.exitStatus == 0 ? stdout : stderr, outcome.message);
            return outcome.exitStatus;
        }
    }

    QApplication app(argc, argv);
    vel::useEmbeddedFonts();
    QTranslator qtRussian;
    describe(app, qtRussian);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.vel_no_kasi.velnokasi"));
    // Read again: the window system's own options are gone by now.
    const vel::StartupRequest request = readCommandLine(QCoreApplication::arguments(), startDir);
    if (request.action == vel::StartupRequest::Action::Fail) {
        print(stderr, request.text + QStringLiteral("\nСм. velnokasi --help"));
        return 1;
    }

    std::unique_ptr<vel::ScreenshotTaker> screenshot;
    if (!request.screenshot.isEmpty())
        screenshot = std::make_unique<vel::ScreenshotTaker>(request.screenshot);
    vel::QtPlatform platform;
    if (request.namedDataDir) {
        const QString problem = vel::prepareDataFolder(request.dataDir);
        if (!problem.isEmpty()) {
            print(stderr, problem);
            platform.errorBox(nullptr, kAppTitle, problem);
            if (!QFileInfo(request.dataDir).isDir())
                return 1;
        }
    }

    // Pages not on the title screen are built right after it shows; a
    // screenshot wants them at once.
    TMainForm window(&platform, QDate::currentDate(), request.dataDir, nullptr,
                     screenshot ? TMainForm::Pages::Now : TMainForm::Pages::Later);
    if (const QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    // The benchmark times the start-up to the title screen from outside.
    if (request.quitWhenShown)
        vel::quitWhenShown(&window);
    window.show();
    if (screenshot)
        screenshot->setWindow(&window);
    return app.exec();
}
