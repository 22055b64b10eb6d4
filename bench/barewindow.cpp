// The yardstick for the program's start-up: a bare Qt main window of the same
// size with a menu bar and a status bar, and nothing else.
#include "window/titleprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("VEL-NO-KASI - электронная картотека"));
    window.setFixedSize(780, 565);
    for (const QString &title : {QStringLiteral("Карточка"), QStringLiteral("Шаблоны"), QStringLiteral("Помощь")}) {
        QMenu *menu = window.menuBar()->addMenu(title);
        menu->addAction(QStringLiteral("Новая"));
        menu->addAction(QStringLiteral("Открыть"));
    }
    window.statusBar()->addWidget(new QLabel(QStringLiteral(" Карточка пациента: ")), 1);
    window.statusBar()->addWidget(new QLabel(QString()), 1);
    if (QCoreApplication::arguments().contains(QStringLiteral("--quit-when-shown")))
        vel::quitWhenShown(&window);
    window.show();
    return app.exec();
}
