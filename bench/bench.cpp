// Times the operations a doctor waits for: start-up to the title screen
// against a bare Qt window, a normal card, a scaling series of large cards
// opened, saved and edited in the window, and very large memos.
// velbench [runs] [--no-startup] [--no-memos]   (headless unless QT_QPA_PLATFORM says otherwise)
#include "benchtimer.h"

#include "card/cardfiles.h"
#include "platform/platform.h"
#include "text/linefile.h"
#include "window/mainform.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

class BenchPlatform final : public vel::Platform {
public:
    QString next;
    int boxes = 0;
    QString lastBox;
    QString chooseCardFile(QWidget *, const QString &, const QString &, const QString &) override { return next; }
    void errorBox(QWidget *, const QString &, const QString &text) override
    {
        ++boxes;
        lastBox = text;
    }
    bool setUpPrinter(QWidget *, QPrinter &, const QString &) override { return false; }
    bool print(QPrinter &, const QString &, const QString &, const QString &) override { return false; }
    void openUrl(const QUrl &) override {}
    void showHelp(QWidget *, int) override {}
    void showModal(QWidget *) override {}
};

const QDate kToday(2024, 3, 5);

QString visitDate(int visit)
{
    // One visit a week, back from today.
    const QDate d = kToday.addDays(-7 * visit);
    return QStringLiteral("%1.%2.%3").arg(d.day()).arg(d.month(), 2, 10, QLatin1Char('0')).arg(d.year());
}

vel::CardState largeCard(const QString &name, int visits, int blocks)
{
    vel::CardState card;
    card.setText(vel::Field::Name, name);
    card.setText(vel::Field::Notes, QStringLiteral("Примечания врача"));
    card.setText(vel::Field::BirthDate, QStringLiteral("01.01.1980"));
    card.setText(vel::Field::Height, QStringLiteral("170"));
    card.setText(vel::Field::Weight, QStringLiteral("92"));
    for (int b = 0; b < blocks; ++b) {
        card.diagnosticRows << QStringList{QStringLiteral("Дата"), QStringLiteral("Правая рука"),
                                           QStringLiteral("Левая рука")};
        card.diagnosticRows << QStringList{visitDate(b), QStringLiteral("34"), QStringLiteral("35")};
        for (int r = 2; r < 14; ++r)
            card.diagnosticRows << (r == 7 ? QStringList{QString(), QStringLiteral("Правая нога"),
                                                         QStringLiteral("Левая нога")}
                                           : QStringList{QString(), QStringLiteral("12,5"), QStringLiteral("13")});
    }
    for (int v = visits - 1; v >= 0; --v)
        card.visitRows << QStringList{visitDate(v),
                                      QString::number(80 + v % 17) + QStringLiteral(",5"),
                                      QString::number(90 + v % 11),
                                      QString::number(110 + v % 7),
                                      QStringLiteral("3"),
                                      QStringLiteral("хорошее"),
                                      QStringLiteral("нет"),
                                      QStringLiteral("меньше"),
                                      QStringLiteral("норма"),
                                      QStringLiteral("норма")};
    const QString line = QStringLiteral("Рекомендуется дробное питание пять раз в день небольшими порциями.\n");
    card.preparations = line.repeated(50 * 1024 / int(line.size()) + 1);
    card.recommendations = card.preparations;
    return card;
}

QString saveFiles(const vel::CardState &card, const QString &dir)
{
    if (auto error = vel::saveCard(card, dir))
        qFatal("cannot write the test card: %s", qPrintable(error->message));
    return QDir(dir).filePath(card.text(vel::Field::Name) + QStringLiteral(".dat"));
}

// A window as the doctor meets it: started, shown, "Новая" chosen.
struct Window {
    BenchPlatform platform;
    TMainForm form;
    explicit Window(const QString &dir) : form(&platform, kToday, dir)
    {
        form.show();
        QApplication::processEvents();
        form.NewActExecute();
        QApplication::processEvents();
    }
    void open(const QString &path)
    {
        platform.next = path;
        form.OpenActExecute();
        QApplication::processEvents();
    }
    void showPage(int page)
    {
        form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(page);
        QApplication::processEvents();
    }
};

// ---------------------------------------------------------------- start-up

struct StartUp {
    QVector<double> title, ready; // ms from the start of the process
    QVector<long> titleKb, readyKb;
};

long kbAfter(const QByteArray &out, const char *moment)
{
    const int at = out.indexOf(QByteArray(moment) + " rss-kb ");
    return at < 0 ? 0 : out.mid(at + int(qstrlen(moment)) + 8).split('\n').value(0).trimmed().toLong();
}

void startOnce(const QString &program, const QString &dir, StartUp &into)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {QStringLiteral("--quit-when-shown")});
    QByteArray out;
    double title = -1;
    while (title < 0 && process.waitForReadyRead(30000)) {
        out += process.readAllStandardOutput();
        if (out.contains("title "))
            title = timer.nsecsElapsed() / 1e6;
    }
    if (title < 0 || !process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("%s did not show its title and quit", qPrintable(program));
    into.ready << timer.nsecsElapsed() / 1e6;
    into.title << title;
    out += process.readAllStandardOutput();
    into.titleKb << kbAfter(out, "title");
    into.readyKb << kbAfter(out, "ready");
}

Timing summary(const QVector<double> &times)
{
    Timing t;
    t.first = times.first();
    t.runs = int(times.size());
    QVector<double> rest = times.size() > 1 ? times.mid(1) : times;
    std::sort(rest.begin(), rest.end());
    t.median = rest.at(rest.size() / 2);
    return t;
}

long medianKb(QVector<long> kb)
{
    std::sort(kb.begin(), kb.end());
    return kb.at(kb.size() / 2);
}

QString mb(long kb)
{
    return QStringLiteral("%1 MB resident").arg(kb / 1024.0, 0, 'f', 1);
}

void benchStartUp(const BenchTimer &bench, const QString &dir)
{
    const int runs = std::min(bench.runs(), 20);
    BenchTimer::progress(
        QStringLiteral("start-up of velnokasi and of a bare Qt window, turn about (%1 runs each)").arg(runs));
    StartUp program, bare;
    for (int i = 0; i < runs; ++i) {
        startOnce(QStringLiteral(VEL_BARE), dir, bare);
        startOnce(QStringLiteral(VEL_PROGRAM), dir, program);
    }
    const Timing p = summary(program.title), b = summary(bare.title), pr = summary(program.ready);
    BenchTimer::heading(QStringLiteral("Start-up (separate processes, from the start of the process)"));
    BenchTimer::row(QStringLiteral("velnokasi: title screen painted"), p, mb(medianKb(program.titleKb)));
    BenchTimer::row(QStringLiteral("velnokasi: every page built, ready for commands"), pr,
                    mb(medianKb(program.readyKb)));
    BenchTimer::row(QStringLiteral("bare Qt main window, menu and status bar: painted"), b, mb(medianKb(bare.titleKb)));
    QTextStream(stdout) << QStringLiteral("ratio to the bare window at the title: time %1x (median), memory %2x; "
                                          "ready for commands: time %3x, memory %4x\n")
                               .arg(p.median / b.median, 0, 'f', 2)
                               .arg(double(medianKb(program.titleKb)) / double(std::max(1L, medianKb(bare.titleKb))), 0,
                                    'f', 2)
                               .arg(pr.median / b.median, 0, 'f', 2)
                               .arg(double(medianKb(program.readyKb)) / double(std::max(1L, medianKb(bare.titleKb))), 0,
                                    'f', 2);
}

// ---------------------------------------------------------------- a normal card

void benchNormalCard(BenchTimer &bench, const QString &dir)
{
    QVector<std::pair<QString, Timing>> rows;
    {
        BenchPlatform platform;
        rows << std::pair{QStringLiteral("start-up to the title screen (in process)"),
                          bench.time(QStringLiteral("start-up in process"), [&] {
                              TMainForm form(&platform, kToday, dir);
                              form.show();
                              QApplication::processEvents();
                          })};
    }
    Window w(dir);
    rows << std::pair{QStringLiteral("new card"),
                      bench.time(QStringLiteral("new card"), [&] { w.form.NewActExecute(); })};
    w.form.NewActExecute();
    w.form.findChild<QLineEdit *>(QStringLiteral("FioEdit"))->setText(QStringLiteral("Обычная карточка"));
    w.form.findChild<QLineEdit *>(QStringLiteral("BirEdit"))->setText(QStringLiteral("01.01.1980"));
    w.form.AddBtnClick();
    for (int i = 0; i < 10; ++i)
        w.form.Add2ButtonClick();
    rows << std::pair{QStringLiteral("save a normal card (six files, synced)"),
                      bench.time(QStringLiteral("save a normal card"), [&] { w.form.SaveActExecute(); })};
    const QString path = QDir(dir).filePath(QStringLiteral("Обычная карточка.dat"));
    rows << std::pair{QStringLiteral("open a normal card"),
                      bench.time(QStringLiteral("open a normal card"), [&] { w.open(path); })};
    rows << std::pair{QStringLiteral("compile the summary"),
                      bench.time(QStringLiteral("compile the summary"), [&] { w.form.TabSheet8Enter(); })};
    BenchTimer::heading(QStringLiteral("A normal card (1 block, 10 visits)"));
    for (const auto &[what, t] : rows)
        BenchTimer::row(what, t);
    if (w.platform.boxes)
        qFatal("unexpected message box: %s", qPrintable(w.platform.lastBox));
}

// ---------------------------------------------------------------- scaling

void benchScaling(BenchTimer &bench, const QString &dir)
{
    struct Size {
        int visits, blocks;
        Timing open, save, edit, paint;
        QString saveParts;
    };
    QVector<Size> sizes{
        {100, 10, {}, {}, {}, {}, {}}, {1000, 100, {}, {}, {}, {}, {}}, {10000, 1000, {}, {}, {}, {}, {}}};
    for (Size &s : sizes) {
        const QString label = QStringLiteral("%1 visits, %2 blocks").arg(s.visits).arg(s.blocks);
        const QString path = saveFiles(largeCard(QStringLiteral("Карточка %1").arg(s.visits), s.visits, s.blocks), dir);
        Window w(dir);
        s.open = bench.time(
            QStringLiteral("open into the window after \"Новая\", ") + label, [&] { w.open(path); },
            [&] { w.form.NewActExecute(); });
        w.open(path);
        s.save = bench.time(QStringLiteral("save from the window, ") + label, [&] { w.form.SaveActExecute(); });
        const Timing state =
            bench.time(QStringLiteral("read the card from the window, ") + label, [&] { w.form.cardState(); });
        const vel::CardState card = w.form.cardState();
        const Timing files =
            bench.time(QStringLiteral("save the six files only, ") + label, [&] { vel::saveCard(card, dir); });
        s.saveParts = QStringLiteral("%1 reading the window + %2 writing and syncing the files")
                          .arg(BenchTimer::ms(state.median), BenchTimer::ms(files.median));
        // One weight typed in the middle of the visits, with the chart on screen:
        // the table and the chart's data, then the same with the repaint.
        w.showPage(TMainForm::DynamicsPage);
        QAbstractItemModel *visits = w.form.findChild<QTableView *>(QStringLiteral("Grid2"))->model();
        const QModelIndex cell = visits->index(s.visits / 2, 1);
        int turn = 0;
        auto type = [&] { visits->setData(cell, (++turn % 2) ? QStringLiteral("77,5") : QStringLiteral("78")); };
        s.edit = bench.time(QStringLiteral("edit one cell, table and chart data, ") + label, type,
                            [] { QApplication::processEvents(); });
        s.paint = bench.time(QStringLiteral("edit one cell and repaint the page, ") + label, [&] {
            type();
            QApplication::processEvents();
        });
        if (w.platform.boxes)
            qFatal("unexpected message box: %s", qPrintable(w.platform.lastBox));
    }
    QTextStream out(stdout);
    out << "\nScaling: first run / median of the runs after it\n";
    out << QStringLiteral("%1  %2  %3  %4  %5\n")
               .arg(QStringLiteral("card"), -26)
               .arg(QStringLiteral("open into the window"), -24)
               .arg(QStringLiteral("save from the window"), -24)
               .arg(QStringLiteral("edit: table + chart data"), -24)
               .arg(QStringLiteral("edit + repaint"), -24);
    auto pair = [](const Timing &t) {
        return BenchTimer::ms(t.first) + QStringLiteral(" / ") + BenchTimer::ms(t.median);
    };
    for (const Size &s : sizes)
        out << QStringLiteral("%1  %2  %3  %4  %5\n")
                   .arg(QStringLiteral("%1 visits, %2 blocks").arg(s.visits).arg(s.blocks), -26)
                   .arg(pair(s.open), -24)
                   .arg(pair(s.save), -24)
                   .arg(pair(s.edit), -24)
                   .arg(pair(s.paint), -24);
    for (const Size &s : sizes)
        out << QStringLiteral("save of %1 visits (medians): %2\n").arg(s.visits).arg(s.saveParts);
    for (int i = 1; i < sizes.size(); ++i) {
        const Size &a = sizes.at(i - 1), &b = sizes.at(i);
        out << QStringLiteral("growth %1 -> %2 visits (10x rows): open %3x (first %4x), save %5x, edit %6x, "
                              "edit + repaint %7x\n")
                   .arg(a.visits)
                   .arg(b.visits)
                   .arg(b.open.median / a.open.median, 0, 'f', 1)
                   .arg(b.open.first / a.open.first, 0, 'f', 1)
                   .arg(b.save.median / a.save.median, 0, 'f', 1)
                   .arg(b.edit.median / a.edit.median, 0, 'f', 1)
                   .arg(b.paint.median / a.paint.median, 0, 'f', 1);
    }
}

// ---------------------------------------------------------------- memos and messages

void benchMemos(BenchTimer &bench, const QString &dir)
{
    constexpr int kRuns = 3;
    QVector<std::pair<QString, Timing>> rows;
    {
        vel::CardState card = largeCard(QStringLiteral("Длинный рецепт"), 10, 1);
        const QString line = QStringLiteral("Рекомендуется дробное питание пять раз в день небольшими порциями.\n");
        card.preparations = line.repeated(40 * 1024 * 1024 / int(line.size() + 1));
        const QString path = saveFiles(card, dir);
        Window w(dir);
        rows << std::pair{QStringLiteral("open a card with a 40 MB memo (CR LF lines)"),
                          bench.time(
                              QStringLiteral("open a card with a 40 MB memo"), [&] { w.open(path); },
                              [&] { w.form.NewActExecute(); }, kRuns)};
        rows << std::pair{QStringLiteral("show the prescription page of that card"),
                          bench.time(
                              QStringLiteral("show the page of the 40 MB memo"),
                              [&] { w.showPage(TMainForm::PrescriptionPage); },
                              [&] { w.showPage(TMainForm::PassportPage); }, kRuns)};
    }
    {
        vel::CardState card = largeCard(QStringLiteral("Одна строка"), 10, 1);
        card.preparations = QString(10 * 1024 * 1024, QChar(u'а'));
        const QString path = saveFiles(card, dir);
        Window w(dir);
        rows << std::pair{QStringLiteral("open a card with a 10 MB line without breaks"),
                          bench.time(
                              QStringLiteral("open a card with a 10 MB line"), [&] { w.open(path); },
                              [&] { w.form.NewActExecute(); }, kRuns)};
        rows << std::pair{QStringLiteral("show the prescription page of that card"),
                          bench.time(
                              QStringLiteral("show the page of the 10 MB line"),
                              [&] { w.showPage(TMainForm::PrescriptionPage); },
                              [&] { w.showPage(TMainForm::PassportPage); }, kRuns)};
    }
    {
        // The body build's line holds 10 MB of letters instead of a number.
        const QString path = saveFiles(largeCard(QStringLiteral("Плохая строка"), 10, 1), dir);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        lines[2] = QByteArray(10 * 1024 * 1024, 'x') + '\r';
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(lines.join('\n'));
        file.close();
        Window w(dir);
        rows << std::pair{QStringLiteral("open a card whose number line is 10 MB of text"),
                          bench.time(
                              QStringLiteral("open a card with a bad 10 MB line"), [&] { w.open(path); }, {}, kRuns)};
        QTextStream(stdout) << "";
        rows.last().first += QStringLiteral(" (message of %1 characters)").arg(w.platform.lastBox.size());
    }
    BenchTimer::heading(QStringLiteral("Very large memos and lines (%1 runs each)").arg(kRuns));
    for (const auto &[what, t] : rows)
        BenchTimer::row(what, t);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(2, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    QTemporaryDir dir;
    {
        QFile list(dir.filePath(QStringLiteral("shablon.kmt")));
        list.open(QIODevice::WriteOnly);
        list.write("\xc4\xe8\xe5\xf2\xe0\r\n");
    }
    BenchTimer bench(runs);
    QTextStream(stdout) << "velbench: " << runs << " runs an operation (fewer for the heaviest), times in ms\n";

    if (!app.arguments().contains(QStringLiteral("--no-startup")))
        benchStartUp(bench, dir.path());
    benchNormalCard(bench, dir.path());
    benchScaling(bench, dir.path());
    // The card list over a folder of thousands of cards is velbench-cards.
    // Further sections go here, each in a file of its own with a
    // `void benchXxx(BenchTimer &, const QString &dir)` entry point.
    if (!app.arguments().contains(QStringLiteral("--no-memos")))
        benchMemos(bench, dir.path());
    return 0;
}
