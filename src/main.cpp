#include "window/mainform.h"
#include "window/titleprobe.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velnokasi"));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTranslator qtRussian;
    if (qtRussian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);

    // The data folder is the folder the program was started in.
    // Pages not on the title screen are built right after it shows.
    TMainForm window(nullptr, QDate::currentDate(), QDir::currentPath(), nullptr, TMainForm::Pages::Later);
    if (const QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    // The benchmark times the start-up to the title screen from outside.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        vel::quitWhenShown(&window);
    window.show();
    return app.exec();
}
