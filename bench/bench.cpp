// Times the operations a doctor waits for: start-up to the title screen, a new
// card, saving and opening a normal and a large card, compiling the summary.
// velbench [runs]
#include "card/cardfiles.h"
#include "window/mainform.h"
#include "platform/platform.h"
#include "summary/summary.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

class BenchPlatform final : public vel::Platform {
public:
    QString next;
    int boxes = 0;
    QString chooseCardFile(QWidget *, const QString &, const QString &, const QString &) override { return next; }
    void errorBox(QWidget *, const QString &, const QString &) override { ++boxes; }
    bool setUpPrinter(QWidget *, QPrinter &) override { return false; }
    bool print(QPrinter &, const QString &, const QString &) override { return false; }
    void openUrl(const QUrl &) override {}
    void showHelp(QWidget *, int) override {}
    void showModal(QWidget *) override {}
};

double medianMs(int runs, const std::function<void()> &work)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

vel::CardState largeCard(const QString &name)
{
    vel::CardState card;
    card.texts.insert(QStringLiteral("FioEdit"), name);
    card.texts.insert(QStringLiteral("PrimMemo"), QStringLiteral("Примечания врача"));
    card.texts.insert(QStringLiteral("BirEdit"), QStringLiteral("01.01.1980"));
    for (int r = 0; r < 200 * 14; ++r)
        card.diagnosticRows << QStringList{QStringLiteral("12,5"), QStringLiteral("34"), QStringLiteral("35")};
    for (int v = 0; v < 2000; ++v)
        card.visitRows << QStringList{QStringLiteral("5.03.2024"), QStringLiteral("82,5"),   QStringLiteral("90"),
                                      QStringLiteral("110"),       QStringLiteral("3"),      QStringLiteral("хорошее"),
                                      QStringLiteral("нет"),       QStringLiteral("меньше"), QStringLiteral("норма"),
                                      QStringLiteral("норма")};
    const QString line = QStringLiteral("Рекомендуется дробное питание пять раз в день небольшими порциями.\n");
    card.preparations = line.repeated(50 * 1024 / int(line.size()) + 1);
    card.recommendations = card.preparations;
    return card;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    QTemporaryDir dir;
    {
        QFile list(dir.filePath(QStringLiteral("shablon.kmt")));
        list.open(QIODevice::WriteOnly);
        list.write("\xc4\xe8\xe5\xf2\xe0\r\n");
    }
    BenchPlatform platform;

    QTextStream out(stdout);
    auto report = [&out](const char *what, double ms) {
        out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0) << QString::number(ms, 'f', 2) << " ms\n";
        out.flush();
    };

    report("start-up to the title screen", medianMs(runs, [&] {
               TMainForm form(&platform, QDate::currentDate(), dir.path());
               form.show();
               QApplication::processEvents();
           }));

    TMainForm form(&platform, QDate::currentDate(), dir.path());
    form.show();
    QApplication::processEvents();
    report("new card", medianMs(runs, [&] { form.NewActExecute(); }));

    form.NewActExecute();
    form.findChild<QLineEdit *>(QStringLiteral("FioEdit"))->setText(QStringLiteral("Обычная карточка"));
    form.findChild<QLineEdit *>(QStringLiteral("BirEdit"))->setText(QStringLiteral("01.01.1980"));
    form.AddBtnClick();
    for (int i = 0; i < 10; ++i)
        form.Add2ButtonClick();
    report("save a normal card", medianMs(runs, [&] { form.SaveActExecute(); }));
    platform.next = dir.filePath(QStringLiteral("Обычная карточка.dat"));
    report("open a normal card", medianMs(runs, [&] { form.OpenActExecute(); }));
    report("compile the summary", medianMs(runs, [&] { form.TabSheet8Enter(); }));

    const vel::CardState big = largeCard(QStringLiteral("Большая карточка"));
    report("save a large card (files only)", medianMs(runs, [&] { vel::saveCard(big, dir.path()); }));
    report("open a large card (files only)",
           medianMs(runs, [&] { vel::loadCard(dir.filePath(QStringLiteral("Большая карточка.dat")), dir.path()); }));
    platform.next = dir.filePath(QStringLiteral("Большая карточка.dat"));
    report("open a large card into the window", medianMs(runs, [&] { form.OpenActExecute(); }));
    report("save a large card from the window", medianMs(runs, [&] { form.SaveActExecute(); }));
    if (platform.boxes)
        out << "unexpected message boxes: " << platform.boxes << "\n";
    return platform.boxes ? 1 : 0;
}
