#include "backup/backup.h"
#include "backup/restore.h"
#include "backup/retention.h"
#include "backup/spreadsheet.h"
#include "card/cardfiles.h"
#include "card/deletion.h"
#include "makecards.h"
#include "support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;
using testsupport::readAll;
using testsupport::writeFile;

class TestBackup final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void roundTrip();
    void damagedArchiveRefused_data();
    void damagedArchiveRefused();
    void stoppedBackupLeavesNoArchive_data();
    void stoppedBackupLeavesNoArchive();
    void cancelledBackupLeavesNothing();
    void restoreKeepsTheCurrentCard();
    void retention_data();
    void retention();
    void retentionOverMonths();
    void spreadsheet_data();
    void spreadsheet();
    void spreadsheetBodyColumns_data();
    void spreadsheetBodyColumns();
    void exportReadsEveryFileItWrites();

private:
    QString backup(const QString &target, int second = 0);
    QTemporaryDir m_temp;
    QString m_data;
    QString m_archive;
    QStringList m_edges;
    QStringList m_trashed;
};

namespace {

// Every file below the folder that a backup keeps, by relative path.
QHash<QString, QByteArray> keptFiles(const QString &folder)
{
    QHash<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(folder).relativeFilePath(it.next());
        if (!relative.startsWith(QStringLiteral("Удалённые карточки/")))
            files.insert(relative, readAll(it.filePath()));
    }
    return files;
}

QStringList visibleFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files);
}

} // namespace

QString TestBackup::backup(const QString &target, int second)
{
    BackupOptions options;
    options.programVersion = QStringLiteral("test");
    options.now = QDateTime(QDate(2026, 12, 8), QTime(9, 0, second));
    auto made = makeBackup(m_data, target, options);
    if (auto *e = std::get_if<ReadError>(&made))
        qWarning("%s", qPrintable(e->message));
    return std::holds_alternative<BackupResult>(made) ? std::get<BackupResult>(made).archivePath : QString();
}

void TestBackup::initTestCase()
{
    QVERIFY(m_temp.isValid());
    m_data = m_temp.filePath(QStringLiteral("data"));
    QCOMPARE(makeCards(m_data, 40, 7, false), 40);
    m_edges = makeEdgeCards(m_data);
    QCOMPARE(m_edges.size(), 5);
    // Backed up: templates and other files, in subfolders too. Left out: the
    // recovery copies, the deleted cards and hidden helper files.
    for (const char *sub : {"/Анализы", "/.recovery/2026-01-01", "/Удалённые карточки/2026"})
        QVERIFY(QDir().mkpath(m_data + QString::fromUtf8(sub)));
    QVERIFY(writeFile(m_data + QStringLiteral("/shablon1.txt"), "Pit' vodu"));
    QVERIFY(writeFile(m_data + QStringLiteral("/Анализы/скан 1.txt"), QByteArray(300000, 'x')));
    QVERIFY(writeFile(m_data + QStringLiteral("/.recovery/2026-01-01/A.dat"), "a"));
    QVERIFY(writeFile(m_data + QStringLiteral("/Удалённые карточки/2026/B.dat"), "b"));
    QVERIFY(writeFile(m_data + QStringLiteral("/.0123abcd.tmp"), "helper"));
    QVERIFY(QDir().mkpath(m_temp.filePath(QStringLiteral("copies"))));
    m_archive = backup(m_temp.filePath(QStringLiteral("copies")));
    QVERIFY(!m_archive.isEmpty());
    setTrashForTesting([this](const QString &path, QString *inTrash) {
        if (inTrash)
            *inTrash = path + QStringLiteral(".trashed");
        m_trashed << QFileInfo(path).fileName();
        return QFile::remove(path);
    });
}

void TestBackup::cleanup()
{
    setBackupStopForTesting({});
    m_trashed.clear();
}

void TestBackup::roundTrip()
{
    const auto listing = listBackup(m_archive, m_data);
    QVERIFY(std::holds_alternative<BackupListing>(listing));
    const BackupListing &list = std::get<BackupListing>(listing);
    QCOMPARE(list.cards.size(), 45);
    QCOMPARE(list.manifest.cardCount, 45);
    QCOMPARE(list.otherFiles, 3); // shablon.kmt, shablon1.txt, the scan
    for (const ArchivedCard &c : list.cards)
        QCOMPARE(int(c.inFolder), int(ArchivedCard::InFolder::Same));
    const auto big = std::find_if(list.cards.begin(), list.cards.end(),
                                  [&](const ArchivedCard &c) { return c.fileName == m_edges.at(1); });
    QVERIFY(big != list.cards.end());
    QCOMPARE(big->birth, QStringLiteral("29.02.1960"));
    QCOMPARE(big->lastVisit, QDate(1998, 1, 5).addDays(9999).toString(QStringLiteral("d.MM.yyyy")));

    QTemporaryDir all;
    QVERIFY(std::holds_alternative<RestoreOutcome>(restoreFromBackup(m_archive, all.path(), {}, true)));
    const auto original = keptFiles(m_data), restoredAll = keptFiles(all.path());
    QStringList names = restoredAll.keys(), expected = original.keys();
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
    QVERIFY(restoredAll == original);

    // One card alone: its six files, nothing else.
    QTemporaryDir one;
    const auto outcome = restoreFromBackup(m_archive, one.path(), {m_edges.at(2)}, false);
    QVERIFY(std::holds_alternative<RestoreOutcome>(outcome));
    QCOMPARE(std::get<RestoreOutcome>(outcome).restored, 1);
    const auto restored = keptFiles(one.path());
    QCOMPARE(restored.size(), 6);
    for (auto it = restored.cbegin(); it != restored.cend(); ++it)
        QCOMPARE(it.value(), readAll(QDir(m_data).filePath(it.key())));
}

void TestBackup::damagedArchiveRefused_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("named");
    const QString bigVisits = QStringLiteral("Ёлкина-Щукина Алёна Фёдоровна.dat.tb2");
    QTest::newRow("flipped byte in a card's visits") << "flip:" + bigVisits << bigVisits;
    QTest::newRow("flipped byte in the manifest") << "flip:" + kManifestName << kManifestName;
    QTest::newRow("flipped byte in the table of contents") << "flipLast:" + bigVisits << "файл \"";
    QTest::newRow("cut in the middle") << "cut:0.5"
                                       << "обрезан";
    QTest::newRow("table of contents cut off") << "cut:-10"
                                               << "оглавление";
    QTest::newRow("empty file") << "cut:0" << QStringLiteral("\"%1\"").arg("Картотека 2026-12-08 09-00-00.zip");
}

void TestBackup::damagedArchiveRefused()
{
    QFETCH(QString, damage);
    QFETCH(QString, named);
    QByteArray bytes = readAll(m_archive);
    const QString how = damage.section(u':', 0, 0), what = damage.section(u':', 1);
    if (how == u"cut") {
        const double at = what.toDouble();
        bytes.truncate(at < 0 ? bytes.size() + qsizetype(at) : qsizetype(bytes.size() * at));
    } else {
        const QByteArray name = what.toUtf8();
        const qsizetype at = how == u"flip" ? bytes.indexOf(name) + name.size() + 40 : bytes.lastIndexOf(name) + 3;
        QVERIFY(at > 100);
        bytes[at] = char(bytes.at(at) ^ 0x5a);
    }
    QTemporaryDir copies, target;
    const QString broken = copies.filePath(QFileInfo(m_archive).fileName());
    QVERIFY(writeFile(broken, bytes));

    const auto listed = listBackup(broken, target.path());
    QVERIFY(std::holds_alternative<ReadError>(listed));
    const QString message = std::get<ReadError>(listed).message;
    QVERIFY2(message.contains(named), qPrintable(message));
    const auto restored = restoreFromBackup(broken, target.path(), {}, true);
    QVERIFY(std::holds_alternative<ReadError>(restored));
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
}

void TestBackup::stoppedBackupLeavesNoArchive_data()
{
    QTest::addColumn<int>("stopAfter"); // files written; -1: before the check
    QTest::newRow("after the first file") << 1;
    QTest::newRow("half-way") << 120;
    QTest::newRow("written, not yet checked") << -1;
}

void TestBackup::stoppedBackupLeavesNoArchive()
{
    QFETCH(int, stopAfter);
    QTemporaryDir target;
    const QString good = backup(target.path(), 1);
    QVERIFY(!good.isEmpty());
    int written = 0;
    setBackupStopForTesting(
        [&](const QString &path) { return path.isEmpty() ? stopAfter != -1 : ++written != stopAfter; });
    QVERIFY(backup(target.path(), 2).isEmpty());
    setBackupStopForTesting({});
    // Only the earlier archive has an archive's name, and it still checks.
    QCOMPARE(visibleFiles(target.path()), QStringList{QFileInfo(good).fileName()});
    QVERIFY(std::holds_alternative<ArchiveContents>(readBackup(good, [](const QString &) { return false; })));
    // The next backup clears what the stopped one left.
    QVERIFY(!backup(target.path(), 3).isEmpty());
    QCOMPARE(QDir(target.path()).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden), QStringList{});
}

void TestBackup::cancelledBackupLeavesNothing()
{
    QTemporaryDir target;
    BackupOptions options;
    int calls = 0;
    options.report = [&](qint64, qint64) { return ++calls < 30; };
    const auto made = makeBackup(m_data, target.path(), options);
    QVERIFY(std::holds_alternative<ReadError>(made));
    QVERIFY(std::get<ReadError>(made).message.contains(QStringLiteral("отменено")));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void TestBackup::restoreKeepsTheCurrentCard()
{
    QTemporaryDir folder;
    const QString name = m_edges.at(3);
    for (const QString &suffix : testsupport::kCardSuffixes)
        QVERIFY(QFile::copy(QDir(m_data).filePath(name + suffix), folder.filePath(name + suffix)));
    // The same card: nothing to do, nothing moved.
    auto outcome = restoreFromBackup(m_archive, folder.path(), {name}, false);
    QCOMPARE(std::get<RestoreOutcome>(outcome).unchanged, 1);
    QCOMPARE(m_trashed, QStringList{});

    QVERIFY(writeFile(folder.filePath(name + QStringLiteral(".dat.rec")), "changed since"));
    const auto listing = listBackup(m_archive, folder.path());
    for (const ArchivedCard &c : std::get<BackupListing>(listing).cards)
        QCOMPARE(int(c.inFolder),
                 int(c.fileName == name ? ArchivedCard::InFolder::Different : ArchivedCard::InFolder::Absent));
    outcome = restoreFromBackup(m_archive, folder.path(), {name}, false);
    QCOMPARE(std::get<RestoreOutcome>(outcome).movedAside, 1);
    QCOMPARE(m_trashed.size(), 6);
    QCOMPARE(readAll(folder.filePath(name + QStringLiteral(".dat.rec"))),
             readAll(QDir(m_data).filePath(name + QStringLiteral(".dat.rec"))));
}

void TestBackup::retention_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("dropped");
    auto at = [](const char *when) {
        return archiveName(QDateTime::fromString(QString::fromLatin1(when), Qt::ISODate));
    };
    QTest::newRow("two on one day: the earlier goes")
        << QStringList{at("2026-12-08T10:00:00"), at("2026-12-08T18:00:00")} << QStringList{at("2026-12-08T10:00:00")};
    QTest::newRow("same second: the numbered one is newer")
        << QStringList{at("2026-12-08T10:00:00"), at("2026-12-08T10:00:00").replace(".zip", " (2).zip")}
        << QStringList{at("2026-12-08T10:00:00")};
    QTest::newRow("days without a copy use no place")
        << QStringList{at("2026-01-01T20:00:00"), at("2026-01-02T20:00:00"), at("2026-01-03T20:00:00"),
                       at("2026-01-04T20:00:00"), at("2026-01-05T20:00:00"), at("2026-01-06T20:00:00"),
                       at("2026-01-07T20:00:00"), at("2026-03-01T20:00:00")}
        << QStringList{at("2026-01-01T20:00:00")};
    QTest::newRow("other files are never touched")
        << QStringList{"Картотека.zip", "notes.txt", "Картотека 2026-13-01 10-00-00.zip"} << QStringList{};
}

void TestBackup::retention()
{
    QFETCH(QStringList, names);
    QTEST(archivesToDelete(names), "dropped");
}

void TestBackup::retentionOverMonths()
{
    // A year and a half of daily copies: 7 days, then a copy per week and per
    // month, at most 7 + 4 + 12 in all, the newest always among them.
    QStringList daily;
    for (QDate d(2025, 6, 1); d <= QDate(2026, 12, 8); d = d.addDays(1))
        daily << archiveName(QDateTime(d, QTime(19, 0)));
    const QStringList dropped = archivesToDelete(daily);
    QStringList kept = daily;
    for (const QString &name : dropped)
        kept.removeOne(name);
    QVERIFY(kept.size() <= 23 && kept.size() >= 19);
    QVERIFY(kept.contains(daily.last()));
    QVERIFY(kept.contains(archiveName(QDateTime(QDate(2026, 1, 31), QTime(19, 0)))));
    QVERIFY(!kept.contains(archiveName(QDateTime(QDate(2025, 12, 31), QTime(19, 0)))));
}

void TestBackup::spreadsheet_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QByteArray>("patient");
    QTest::addColumn<QByteArray>("visit");
    QTest::newRow("Russian") << int(SheetStyle::Russian)
                             << QByteArray("\"'=HYPERLINK(\"\"x\"\";1) Иванова\";05.03.1970;Женский;164;05.03.2024;"
                                           "12.03.2024;100,5;99;75,5;36,8;09.04.2024\r\n")
                             << QByteArray("\"'=HYPERLINK(\"\"x\"\";1) Иванова\";05.03.1970;05.03.2024;100,5;90;110;;"
                                           "\"хорошее; бодрое\";\"\"\"нет\"\"\";;норма;'-;30;30,2;35,2;48,5;12\r\n");
    QTest::newRow("ISO") << int(SheetStyle::Iso)
                         << QByteArray("\"'=HYPERLINK(\"\"x\"\";1) Иванова\",1970-03-05,Женский,164,2024-03-05,"
                                       "2024-03-12,100.5,99,75.5,36.8,2024-04-09\r\n")
                         << QByteArray("\"'=HYPERLINK(\"\"x\"\";1) Иванова\",1970-03-05,2024-03-05,100.5,90,110,,"
                                       "хорошее; бодрое,\"\"\"нет\"\"\",,норма,'-,30,30.2,35.2,48.5,12\r\n");
}

void TestBackup::spreadsheet()
{
    QFETCH(int, style);
    CardState card;
    card.setText(Field::Name, "=HYPERLINK(\"x\";1) Иванова");
    card.setText(Field::BirthDate, "05.03.1970");
    card.setText(Field::Height, "164");
    card.setText(Field::Weight, "101,5");
    card.goal = "75.5";
    card.setIndex(Field::Sex, 1);
    card.nextVisit = "9.04.2024";
    QStringList first{"5.03.2024", "100,5", "90", "110", "", "хорошее; бодрое", "\"нет\"", "", "норма", "-"};
    first += QStringList{"30", "", "35.2", "48,5", "12"}; // the body composition, its fat mass worked out
    card.visitRows << first << QStringList{"12.03.2024", "99 кг", "", "", "", "", "", "", "", ""};
    CardState empty;
    empty.setText(Field::Name, "Пустая");
    empty.setText(Field::BirthDate, "  .  .    ");
    const SpreadsheetFiles files = spreadsheetFiles({card, empty}, SheetStyle(style));
    const QList<QByteArray> patients = files.patients.split('\n');
    const QList<QByteArray> visits = files.visits.split('\n');
    QVERIFY(files.patients.startsWith("\xEF\xBB\xBF\xD0\xA4.\xD0\x98.\xD0\x9E."));
    QVERIFY(files.visits.startsWith("\xEF\xBB\xBF"));
    QTEST(patients.at(1) + '\n', "patient");
    QTEST(visits.at(1) + '\n', "visit");
    QVERIFY(visits.at(2).contains(style == int(SheetStyle::Russian) ? ";12.03.2024;99 кг;" : ",2024-03-12,99 кг,"));
    const QByteArray sep = style == int(SheetStyle::Russian) ? ";" : ",";
    QCOMPARE(patients.at(2), "Пустая" + sep.repeated(10) + '\r');
    QVERIFY(visits.at(2).endsWith(sep.repeated(6) + '\r')); // a visit without body composition
    QVERIFY(patients.at(0).endsWith(sep + "Следующий приём\r"));
    QVERIFY(visits.at(0).endsWith(style == int(SheetStyle::Russian)
                                      ? ";Моча;% жира;Жир, кг;Мышцы, кг;Вода, %;Висц. жир\r"
                                      : ",Моча,% жира,\"Жир, кг\",\"Мышцы, кг\",\"Вода, %\",Висц. жир\r"));
    QCOMPARE(visits.size(), 4); // titles, two visits, the empty end
}

void TestBackup::spreadsheetBodyColumns_data()
{
    // cells: the visit's weight, then its body cells as typed (the rest empty);
    // written: the last five cells of its row.
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QByteArray>("written");
    const int ru = int(SheetStyle::Russian), iso = int(SheetStyle::Iso);
    QTest::newRow("mass worked out") << ru << QStringList{"100,5", "30", ""} << QByteArray("30;30,2;;;");
    QTest::newRow("mass worked out, ISO") << iso << QStringList{"100,5", "30", ""} << QByteArray("30,30.2,,,");
    QTest::newRow("typed mass wins") << iso << QStringList{"100,5", "30", "29,94"} << QByteArray("30,29.94,,,");
    QTest::newRow("no weight, no mass") << ru << QStringList{"", "30,5", ""} << QByteArray("30,5;;;;");
    QTest::newRow("text stays text") << ru << QStringList{"80", "около 30", "", "=1", "50.5", "7"}
                                     << QByteArray("около 30;;'=1;50,5;7");
}

void TestBackup::spreadsheetBodyColumns()
{
    QFETCH(int, style);
    QFETCH(QStringList, cells);
    CardState card;
    card.setText(Field::Name, "Петрова");
    QStringList row{"1.02.2025", cells.value(0), "", "", "", "", "", "", "", ""};
    if (cells.size() > 1)
        row << cells.mid(1) << QStringList(kVisitRowCells - kVisitColumns - int(cells.size() - 1), QString());
    card.visitRows << row;
    const QByteArray line = spreadsheetFiles({card}, SheetStyle(style)).visits.split('\r').value(1);
    const char sep = style == int(SheetStyle::Russian) ? ';' : ',';
    QTEST(line.split(sep).mid(12).join(sep), "written");
}

void TestBackup::exportReadsEveryFileItWrites()
{
    // The next visit and the body composition live in side files, which the
    // export reads beside the main file and the visits.
    const QString data = m_temp.filePath(QStringLiteral("export-data"));
    const QString target = m_temp.filePath(QStringLiteral("export-target"));
    QVERIFY(QDir().mkpath(data) && QDir().mkpath(target));
    CardState card;
    card.setText(Field::Name, "Петрова");
    card.nextVisit = "20.01.2025";
    card.visitRows << QStringList{"10.01.2025", "80", "", "", "", "", "", "", "", "", "25", "", "30,1", "", ""}
                   << QStringList{"17.01.2025", "79", "", "", "", "", "", "", "", ""};
    QVERIFY(!saveCard(card, data));
    const auto done = exportCards(data, target, SheetStyle::Russian);
    QVERIFY(std::holds_alternative<ExportResult>(done));
    const QList<QByteArray> patients = readAll(std::get<ExportResult>(done).patientsPath).split('\n');
    const QList<QByteArray> visits = readAll(std::get<ExportResult>(done).visitsPath).split('\n');
    QVERIFY(patients.value(1).endsWith(";20.01.2025\r"));
    QVERIFY(visits.value(1).endsWith(";25;20;30,1;;\r"));
    QVERIFY(visits.value(2).endsWith("79;;;;;;;;;;;;;\r"));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
