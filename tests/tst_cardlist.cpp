#include "card/cardfiles.h"
#include "cardlist/cardsearch.h"
#include "cardlist/cardsummary.h"
#include "cardlist/recall.h"
#include "cardlist/recentcards.h"
#include "makecards.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;

class TestCardList final : public QObject {
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void summary_data();
    void summary();
    void recentCards();
    void recall_data();
    void recall();
    void overdueInGeneratedFolder();
};

void TestCardList::matching_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    const QString ivanova = "Иванова Мария Петровна";
    QTest::newRow("nothing typed") << ivanova << ""
                                   << "  " << true;
    QTest::newRow("any order, lower case") << ivanova << ""
                                           << "мария иван" << true;
    QTest::newRow("upper case, initial") << ivanova << ""
                                         << "ИВАНОВА М" << true;
    QTest::newRow("every word must match") << ivanova << ""
                                           << "иванова сергеевна" << false;
    QTest::newRow("start of a word only") << ivanova << ""
                                          << "ванова" << false;
    QTest::newRow("ё typed as е") << "Фёдоров Иван"
                                  << ""
                                  << "федор" << true;
    QTest::newRow("е typed as ё") << "Елкина Анна"
                                  << ""
                                  << "Ёлк" << true;
    QTest::newRow("hyphenated surname") << "Петрова-Водкина Анна"
                                        << ""
                                        << "водкина" << true;
    QTest::newRow("year") << ivanova << "12.05.1975"
                          << "1975" << true;
    QTest::newRow("other year") << ivanova << "12.05.1975"
                                << "1976" << false;
    QTest::newRow("year as typed so far") << ivanova << "12.05.1975"
                                          << "19" << true;
    QTest::newRow("day and month") << ivanova << "12.05.1975"
                                   << "12.05" << true;
    QTest::newRow("day and other month") << ivanova << "12.05.1975"
                                         << "12.06" << false;
    QTest::newRow("month and year") << ivanova << "12.05.1975"
                                    << "05.1975" << true;
    QTest::newRow("without leading zeros") << ivanova << "02.05.1975"
                                           << "2.5" << true;
    QTest::newRow("trailing dot") << ivanova << "12.05.1975"
                                  << "12." << true;
    QTest::newRow("name and year") << ivanova << "12.05.1975"
                                   << "иванова 1975" << true;
    QTest::newRow("name and wrong year") << ivanova << "12.05.1975"
                                         << "иванова 1980" << false;
    QTest::newRow("digits, no birth date") << ivanova << ""
                                           << "1975" << false;
    // The other keyboard layout, both ways, marks included.
    QTest::newRow("Latin layout for Russian") << ivanova << ""
                                              << "bdfyjdf" << true;
    QTest::newRow("Latin layout, capitals and two words") << ivanova << ""
                                                          << "BDFYJDF vfh" << true;
    QTest::newRow("Latin layout, wrong name") << ivanova << ""
                                              << "gtnhjdf" << false;
    QTest::newRow("marks are letters: б, ж, х") << "Бобров-Жихарев Олег"
                                                << ""
                                                << ",j,hjd ;b[" << true;
    QTest::newRow("Russian layout for Latin") << "Smith John"
                                              << ""
                                              << "ыьшер" << true;
    QTest::newRow("Russian layout dot in a date") << ivanova << "14.03.1978"
                                                  << "14ю03" << true;
    QTest::newRow("one word each layout") << ivanova << ""
                                          << "bdfyjdf мар" << true;
    // Digits alone, as the date field takes them.
    QTest::newRow("digits: whole date") << ivanova << "14.03.1978"
                                        << "14031978" << true;
    QTest::newRow("digits: day and month") << ivanova << "14.03.1978"
                                           << "1403" << true;
    QTest::newRow("digits: day, month, start of year") << ivanova << "14.03.1978"
                                                       << "140319" << true;
    QTest::newRow("digits: two-digit year") << ivanova << "14.03.1978"
                                            << "140378" << true;
    QTest::newRow("digits: other day") << ivanova << "14.03.1978"
                                       << "1503" << false;
    QTest::newRow("digits: other year") << ivanova << "14.03.1978"
                                        << "14031979" << false;
    QTest::newRow("digits: zeros the field shows") << ivanova << "4.3.1978"
                                                   << "0403" << true;
    QTest::newRow("digits with a name") << ivanova << "14.03.1978"
                                        << "bdfy 1403" << true;
}

void TestCardList::matching()
{
    QFETCH(QString, name);
    QFETCH(QString, birth);
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QCOMPARE(matchesCardQuery(parseCardQuery(typed), searchWords(name), birth), found);
}

void TestCardList::summary_data()
{
    QTest::addColumn<QVector<QStringList>>("visits");
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("broken");   // a file of the set to spoil: suffix|bytes, "" none
    QTest::addColumn<QString>("expected"); // name|birth|last visit|weight, or "!" + start of the problem

    const QStringList row1 = {"10.01.2024", "96", "", "", "", "", "", "", "", ""};
    const QStringList row2 = {"24.01.2024", "94,5", "", "", "", "", "", "", "", ""};
    const QStringList row3 = {"7.02.2024", "", "", "", "", "", "", "", "", ""};
    const QString name = "Смирнова Ольга Петровна";
    QTest::newRow("no visits: the card's visit date and weight") << QVector<QStringList>{} << "12.05.1975"
                                                                 << "" << name + "|12.05.1975|01.12.2023|92";
    QTest::newRow("last row's date, last weight written") << QVector<QStringList>{row1, row2, row3} << "12.05.1975"
                                                          << "" << name + "|12.05.1975|7.02.2024|94,5";
    QTest::newRow("blank birth date") << QVector<QStringList>{row1} << "  .  .    "
                                      << "" << name + "||10.01.2024|96";
    QTest::newRow("side file missing") << QVector<QStringList>{} << ""
                                       << ".dat.vit|<delete>"
                                       << "!Cannot open file \"";
    QTest::newRow("not a number where one belongs") << QVector<QStringList>{} << ""
                                                    << ".dat|" + name + "\r\n  .  .    \r\nдва\r\n"
                                                    << "!'два' is not a valid integer value.";
}

void TestCardList::summary()
{
    QFETCH(QVector<QStringList>, visits);
    QFETCH(QString, birth);
    QFETCH(QString, broken);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    testsupport::writeFile(dir.filePath("shablon.kmt"), "");
    CardState card;
    card.setText(Field::Name, "Смирнова Ольга Петровна");
    card.setText(Field::BirthDate, birth);
    card.setText(Field::Weight, "92");
    card.setText(Field::VisitDate, "01.12.2023");
    card.visitRows = visits;
    QVERIFY(!saveCard(card, dir.path()));
    const QString main = dir.filePath("Смирнова Ольга Петровна.dat");
    if (!broken.isEmpty()) {
        const QString suffix = broken.section('|', 0, 0), bytes = broken.section('|', 1);
        const QString file = dir.filePath("Смирнова Ольга Петровна" + suffix);
        QVERIFY(bytes == "<delete>" ? QFile::remove(file) : testsupport::writeFile(file, testsupport::cp1251(bytes)));
    }

    const CardSummary s = summarizeCard(main, dir.path());
    QCOMPARE(s.path, QFileInfo(main).absoluteFilePath());
    if (expected.startsWith('!')) {
        QVERIFY2(s.problem.startsWith(expected.mid(1)), qPrintable(s.problem));
        QCOMPARE(s.name, "Смирнова Ольга Петровна"); // the file's name stands in
        return;
    }
    QCOMPARE(s.problem, QString());
    QCOMPARE(QStringList({s.name, s.birth, s.lastVisit, s.weight}).join('|'), expected);
    // Touching one file of the set tells the cache to read the card again.
    const CardStamp before = cardStamp(main);
    testsupport::writeFile(dir.filePath("Смирнова Ольга Петровна.dat.rec"), "changed");
    QVERIFY(cardStamp(main) != before);
}

void TestCardList::recentCards()
{
    QStringList recent;
    for (const char *name : {"/d/a.dat", "/d/b.dat", "/d/c.dat", "/d/d.dat", "/d/e.dat", "/d/f.dat"})
        recent = withRecentCard(recent, QString::fromUtf8(name));
    QCOMPARE(recent, QStringList({"/d/f.dat", "/d/e.dat", "/d/d.dat", "/d/c.dat", "/d/b.dat"}));
    recent = withRecentCard(recent, "/d/../d/c.dat"); // the same card, named another way
    QCOMPARE(recent, QStringList({"/d/c.dat", "/d/f.dat", "/d/e.dat", "/d/d.dat", "/d/b.dat"}));
    QCOMPARE(withoutRecentCard(recent, "/d/f.dat"), QStringList({"/d/c.dat", "/d/e.dat", "/d/d.dat", "/d/b.dat"}));
}

void TestCardList::recall_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("notice");
    QTest::newRow("1") << 1 << "Просрочен контроль: 1 пациент";
    QTest::newRow("2") << 2 << "Просрочен контроль: 2 пациента";
    QTest::newRow("4") << 4 << "Просрочен контроль: 4 пациента";
    QTest::newRow("5") << 5 << "Просрочен контроль: 5 пациентов";
    QTest::newRow("11") << 11 << "Просрочен контроль: 11 пациентов";
    QTest::newRow("12") << 12 << "Просрочен контроль: 12 пациентов";
    QTest::newRow("21") << 21 << "Просрочен контроль: 21 пациент";
    QTest::newRow("22") << 22 << "Просрочен контроль: 22 пациента";
    QTest::newRow("111") << 111 << "Просрочен контроль: 111 пациентов";
    QTest::newRow("1001") << 1001 << "Просрочен контроль: 1001 пациент";
}

void TestCardList::recall()
{
    QFETCH(int, count);
    QFETCH(QString, notice);
    QCOMPARE(overdueNotice(count), notice);

    // The days and the order do not depend on the count: checked once.
    const QDate today(2026, 12, 8);
    QCOMPARE(overdueDays(QDate(2026, 12, 7), today), 1);
    QCOMPARE(overdueDays(today, today), 0);
    QCOMPARE(overdueDays(QDate(2026, 12, 20), today), 0);
    QCOMPARE(overdueDays(QDate(), today), 0);
    QCOMPARE(overdueDays(QDate(2025, 12, 8), today), 365);
    const QVector<QDate> next = {QDate(2026, 12, 1), QDate(),          QDate(2026, 11, 1), today,
                                 QDate(2026, 12, 1), QDate(2027, 1, 1)};
    QCOMPARE(overdueOrder(next, today), QVector<int>({2, 0, 4}));
    QCOMPARE(proposedNextVisit("5.03.2024", 14), "19.03.2024");
    QCOMPARE(proposedNextVisit("25.12.2026", 14), "08.01.2027");
    QCOMPARE(proposedNextVisit("  .  .    ", 14), "");
}

void TestCardList::overdueInGeneratedFolder()
{
    // 5,000 cards as a practice has them, read as the card list reads them;
    // the overdue set is checked against the files' own lines.
    QTemporaryDir dir;
    constexpr int kCards = 5000;
    QCOMPARE(makeCards(dir.path(), kCards, 3, false), kCards);
    const QDate today(2026, 12, 8);
    QVector<QDate> next;
    QStringList paths;
    int withNext = 0;
    QSet<QString> expected;
    for (const QString &file : QDir(dir.path()).entryList({"*.dat"}, QDir::Files)) {
        const QString path = dir.filePath(file);
        const CardSummary s = summarizeCard(path, dir.path());
        QVERIFY2(s.opens(), qPrintable(s.problem));
        paths << path;
        next << parseDayMonthYear(s.nextVisit);
        const QList<QByteArray> vit = testsupport::readAll(path + ".vit").split('\n');
        const QDate stored = QDate::fromString(QString::fromLatin1(vit.value(228).trimmed()), "dd.MM.yyyy");
        withNext += stored.isValid();
        if (stored.isValid() && stored < today)
            expected.insert(path);
    }
    QCOMPARE(paths.size(), kCards);
    QVERIFY2(withNext > kCards / 4 && withNext < kCards / 2, qPrintable(QString::number(withNext)));
    const QVector<int> order = overdueOrder(next, today);
    QSet<QString> found;
    for (int i = 0; i < order.size(); ++i) {
        found.insert(paths.at(order.at(i)));
        if (i > 0)
            QVERIFY(overdueDays(next.at(order.at(i - 1)), today) >= overdueDays(next.at(order.at(i)), today));
    }
    QCOMPARE(found, expected);
    QVERIFY(!expected.isEmpty() && expected.size() < withNext);
}

QTEST_GUILESS_MAIN(TestCardList)
#include "tst_cardlist.moc"
