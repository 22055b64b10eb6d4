// Times a backup with its check, the listing and the full restore of the
// archive, and the spreadsheet export, over folders of 500 and 5,000
// generated cards plus the edge cards; checks that every restored file is
// the same bytes as the original, and that one card restores alone.
// velbench-backup [runs]
// velbench-backup --make FOLDER [cards]   fills a folder (for the soak and by hand)
#include "backup/backup.h"
#include "backup/restore.h"
#include "backup/spreadsheet.h"
#include "benchtimer.h"
#include "makecards.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

QTextStream out(stdout);

// Every visible file below the folder, by relative path, with its bytes.
QHash<QString, QByteArray> filesOf(const QString &folder)
{
    QHash<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(path), f.readAll());
    }
    return files;
}

void emptyFolder(const QString &folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

template <typename T> T must(vel::Result<T> r, const char *what)
{
    if (auto *e = std::get_if<vel::ReadError>(&r)) {
        std::fprintf(stderr, "%s failed: %s\n", what, qPrintable(e->message));
        std::exit(2);
    }
    return std::get<T>(std::move(r));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--make")) {
        const QString folder = app.arguments().value(2);
        const int count = app.arguments().value(3, QStringLiteral("5000")).toInt();
        const bool made = makeCards(folder, count, 1, false) == count && makeEdgeCards(folder).size() == 5;
        return made ? 0 : 1;
    }
    const int runs = std::max(2, app.arguments().value(1, QStringLiteral("5")).toInt());
    BenchTimer timer(runs);
    QTemporaryDir temp;
    bool allSame = true;
    QHash<int, Timing> backupAt, exportAt, restoreAt, listAt;
    const QList<int> sizes = {500, 5000};
    for (int count : sizes) {
        const QString data = temp.filePath(QStringLiteral("data%1").arg(count));
        const QString target = temp.filePath(QStringLiteral("target"));
        const QString restored = temp.filePath(QStringLiteral("restored"));
        QElapsedTimer made;
        made.start();
        makeCards(data, count, 1, false);
        const QStringList edges = makeEdgeCards(data);
        BenchTimer::progress(
            QStringLiteral("%1 cards + %2 edge cards made in %3 ms").arg(count).arg(edges.size()).arg(made.elapsed()));

        vel::BackupOptions options;
        options.programVersion = QStringLiteral("bench");
        QString archive;
        int second = 0;
        backupAt[count] = timer.time(
            QStringLiteral("backup + check, %1 cards").arg(count),
            [&] {
                options.now = QDateTime(QDate(2026, 12, 8), QTime(10, 0, second++));
                archive = must(vel::makeBackup(data, target, options), "backup").archivePath;
            },
            [&] { emptyFolder(target); });
        listAt[count] = timer.time(QStringLiteral("list the archive's cards, %1").arg(count),
                                   [&] { must(vel::listBackup(archive, restored), "list"); });
        restoreAt[count] = timer.time(
            QStringLiteral("restore all into an empty folder, %1").arg(count),
            [&] { must(vel::restoreFromBackup(archive, restored, {}, true), "restore"); },
            [&] { emptyFolder(restored); }, 2); // each card is saved and synced: minutes at 5,000
        const bool same = filesOf(data) == filesOf(restored);
        emptyFolder(restored);
        const QString single = edges.value(1);
        must(vel::restoreFromBackup(archive, restored, {single}, false), "restore one");
        const auto one = filesOf(restored);
        bool singleSame = one.size() == 6;
        for (auto it = one.cbegin(); it != one.cend(); ++it)
            singleSame = singleSame && filesOf(data).value(it.key()) == it.value();
        out << QStringLiteral("%1 cards: restored folder byte-identical: %2; \"%3\" restored alone: %4\n")
                   .arg(count + edges.size())
                   .arg(same ? QStringLiteral("yes") : QStringLiteral("NO"), single,
                        singleSame ? QStringLiteral("yes") : QStringLiteral("NO"));
        out.flush();
        allSame = allSame && same && singleSame;
        exportAt[count] = timer.time(QStringLiteral("export both tables, %1 cards").arg(count),
                                     [&] { must(vel::exportCards(data, target, vel::SheetStyle::Russian), "export"); });
        QDir(data).removeRecursively();
        QDir(target).removeRecursively();
        QDir(restored).removeRecursively();
    }

    BenchTimer::heading(QStringLiteral("Backup, restore and export (%1 runs each)").arg(runs));
    for (int count : sizes) {
        BenchTimer::row(QStringLiteral("backup + check, %1 cards").arg(count), backupAt[count]);
        BenchTimer::row(QStringLiteral("list the archive, %1 cards").arg(count), listAt[count]);
        BenchTimer::row(QStringLiteral("restore all, %1 cards").arg(count), restoreAt[count]);
        BenchTimer::row(QStringLiteral("export, %1 cards").arg(count), exportAt[count]);
    }
    auto growth = [](const QHash<int, Timing> &t) {
        return QString::number(t[5000].median / t[500].median, 'f', 1) + QStringLiteral("×");
    };
    out << QStringLiteral("growth 500 -> 5,000 (median): backup %1, list %2, restore %3, export %4\n")
               .arg(growth(backupAt), growth(listAt), growth(restoreAt), growth(exportAt));
    return allSame ? 0 : 1;
}
