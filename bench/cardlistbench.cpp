// Times the card list over a large folder: the first look (rows fill in
// while the folder is read), a later look (cards read before are not read
// again), filtering as the doctor types, and the overdue patients only
// (the filter turned on, and typing within it).
// velbench-cards [folder [cards]]     (the folder is filled first when it holds no cards)
// velbench-cards --make folder [cards]
#include "find/cardlistmodel.h"
#include "find/finddialog.h"
#include "makecards.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

QTextStream out(stdout);

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void report(const char *what, QVector<double> times)
{
    const double first = times.first();
    std::sort(times.begin(), times.end());
    out << QString::asprintf("%-44s first %7.1f ms  median %7.1f ms  95%% %7.1f ms  max %7.1f ms  (%lld runs)\n", what,
                             first, times.at(times.size() / 2), times.at(times.size() * 95 / 100), times.last(),
                             static_cast<long long>(times.size()));
    out.flush();
}

void waitFor(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool makeOnly = !args.isEmpty() && args.first() == QLatin1String("--make");
    if (makeOnly)
        args.removeFirst();
    QTemporaryDir temp;
    const QString folder = args.value(0, temp.path());
    const int count = args.value(1, QStringLiteral("5000")).toInt();

    if (makeOnly || QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files).isEmpty()) {
        QElapsedTimer t;
        t.start();
        // Plain writes: the same bytes as saves, without a sync per file.
        const int made = makeCards(folder, count, 1, false);
        out << "made " << made << " cards in " << folder << " in " << t.elapsed() << " ms\n";
        out.flush();
        if (makeOnly)
            return made == count ? 0 : 1;
    }
    const QDate today(2026, 12, 8);

    // First look: an empty cache, everything read in the background.
    QVector<double> firstRows, allRead;
    int cards = 0;
    for (int run = 0; run < 5; ++run) {
        vel::CardListModel model(folder, today);
        QElapsedTimer t;
        t.start();
        auto *dialog = new vel::FindDialog(&model);
        dialog->show();
        auto *list = dialog->findChild<QTableView *>(QStringLiteral("FindList"));
        waitFor([&] { return list->model()->rowCount() > 0; });
        QCoreApplication::processEvents();
        firstRows << ms(t);
        waitFor([&] { return !model.isReading(); });
        allRead << ms(t);
        cards = model.rowCount();
        delete dialog;
    }
    out << cards << " cards\n";
    report("first look: first rows shown", firstRows);
    report("first look: every card read", allRead);

    // Later looks: the rows are there at once; the files are checked behind them.
    vel::CardListModel model(folder, today);
    {
        vel::FindDialog warmUp(&model);
        waitFor([&] { return !model.isReading(); });
    }
    // Typing a surname, a first name and a year, then taking it back; the
    // same in the other keyboard layout; a birth date as digits only.
    const QStringList typings = {QStringLiteral("сми ольга 19"), QStringLiteral("cvb jkmuf 19"),
                                 QStringLiteral("14031978")};
    QVector<double> shown, checked, overdueOn, overdueOff;
    QVector<double> overdueKeys;
    int overdueRows = 0;
    QVector<QVector<double>> keys(typings.size());
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer t;
        t.start();
        auto *dialog = new vel::FindDialog(&model);
        dialog->show();
        QCoreApplication::processEvents();
        shown << ms(t);
        waitFor([&] { return !model.isReading(); });
        checked << ms(t);

        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("FindEdit"));
        auto *list = dialog->findChild<QTableView *>(QStringLiteral("FindList"));
        for (int k = 0; k < typings.size(); ++k) {
            const QString &typed = typings.at(k);
            QStringList steps;
            for (int i = 1; i <= typed.size(); ++i)
                steps << typed.left(i);
            for (int i = int(typed.size()) - 1; i >= 0; --i)
                steps << typed.left(i);
            for (const QString &text : steps) {
                QElapsedTimer key;
                key.start();
                edit->setText(text);
                keys[k] << ms(key);
            }
        }
        // The overdue patients only, most overdue first; then a surname typed within them.
        auto *overdue = dialog->findChild<QCheckBox *>(QStringLiteral("OverdueBox"));
        QElapsedTimer on;
        on.start();
        overdue->setChecked(true);
        QCoreApplication::processEvents();
        overdueOn << ms(on);
        overdueRows = list->model()->rowCount();
        for (const QString &text : {QStringLiteral("с"), QStringLiteral("см"), QStringLiteral("сми"),
                                    QStringLiteral("см"), QStringLiteral("с"), QString()}) {
            QElapsedTimer key;
            key.start();
            edit->setText(text);
            overdueKeys << ms(key);
        }
        QElapsedTimer off;
        off.start();
        overdue->setChecked(false);
        QCoreApplication::processEvents();
        overdueOff << ms(off);
        delete dialog;
    }
    // The list opened from the status bar: the overdue patients at once.
    QVector<double> overdueShown;
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer t;
        t.start();
        auto *dialog = new vel::FindDialog(&model);
        dialog->setOverdueOnly(true);
        dialog->show();
        QCoreApplication::processEvents();
        overdueShown << ms(t);
        waitFor([&] { return !model.isReading(); });
        delete dialog;
    }
    report("later look: all rows shown", shown);
    report("later look: every file checked", checked);
    report("one keystroke filters (typing and erasing)", keys.at(0));
    report("the same in the other keyboard layout", keys.at(1));
    report("a birth date as digits", keys.at(2));
    out << overdueRows << " of " << model.rowCount() << " patients overdue on " << today.toString(Qt::ISODate) << "\n";
    report("later look, overdue only: rows shown", overdueShown);
    report("overdue filter on, most overdue first", overdueOn);
    report("one keystroke within the overdue", overdueKeys);
    report("overdue filter off, every card by name", overdueOff);
    return 0;
}
