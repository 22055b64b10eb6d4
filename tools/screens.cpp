// Takes a screenshot of every screen of the program, for looking at them all
// at once: velscreens <data folder> <output folder>
#include "aboutbox.h"
#include "mainform.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        qWarning("usage: velscreens <data folder> <output folder>");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));

    TMainForm form;
    form.show();
    auto shot = [&](const QString &name) {
        QApplication::processEvents();
        form.grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    shot(QStringLiteral("00-title"));
    form.NewActExecute();
    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    for (int i = 0; i < pages->count(); ++i) {
        if (i == 4)
            form.AddBtnClick();
        if (i == 7) {
            form.Add2ButtonClick();
            form.Add2ButtonClick();
        }
        pages->setCurrentIndex(i);
        shot(QStringLiteral("1%1-page").arg(i));
    }
    for (int s = 1; s <= 18; ++s) {
        form.SectionButtonClick(s);
        shot(QStringLiteral("2%1-section").arg(s, 2, 10, QLatin1Char('0')));
    }
    form.ShablActExecute();
    shot(QStringLiteral("30-templates"));
    TAboutBox *about = form.aboutBox();
    about->show();
    QApplication::processEvents();
    about->grab().save(out + QStringLiteral("/31-about.png"));
    return 0;
}
