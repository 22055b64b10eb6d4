#include "card/cardfiles.h"
#include "numbers/energy.h"
#include "numbers/progress.h"
#include "numbers/progressreport.h"
#include "numbers/waistheight.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vel;

namespace {

QVector<QStringList> visits(const QStringList &dates, const QStringList &weights)
{
    QVector<QStringList> rows;
    for (int i = 0; i < dates.size(); ++i)
        rows << QStringList{dates[i], weights.value(i), "", "", "", "", "", "", "", ""};
    return rows;
}

QString dateOrNone(const std::optional<QDate> &d)
{
    return d ? d->toString("dd.MM.yyyy") : QString("-");
}

} // namespace

class TestNumbers final : public QObject {
    Q_OBJECT
private slots:
    void energy_data();
    void energy();
    void waistHeight_data();
    void waistHeight();
    void forecast_data();
    void forecast();
    void progress();
    void storedLines_data();
    void storedLines();
    void saveRefusesUnstorableGoal();
    void reportFacts();
};

void TestNumbers::energy_data()
{
    QTest::addColumn<int>("sex");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<int>("activity");
    QTest::addColumn<QString>("resting"); // "-" for nothing shown
    QTest::addColumn<QString>("intake");

    QTest::newRow("woman 40, 165, 80") << 1 << "40"
                                       << "165"
                                       << "80" << -1 << "Обмен покоя: 1470 ккал/сут"
                                       << "";
    QTest::newRow("man 50, 180, 100") << 0 << "50"
                                      << "180"
                                      << "100" << -1 << "Обмен покоя: 1880 ккал/сут"
                                      << "";
    // 1470,25 x 1,55 = 2278,9 -> 2279; 2279 - 700 and 2279 - 500.
    QTest::newRow("woman, moderate") << 1 << "40"
                                     << "165"
                                     << "80" << 2 << "Обмен покоя: 1470 ккал/сут, с активностью: 2279"
                                     << "Для снижения веса: 1579–1779 ккал/сут";
    QTest::newRow("man, very active") << 0 << "50"
                                      << "180"
                                      << "100" << 4 << "Обмен покоя: 1880 ккал/сут, с активностью: 3572"
                                      << "Для снижения веса: 2872–3072 ккал/сут";
    QTest::newRow("weight with unit and comma") << 1 << "40"
                                                << "165"
                                                << "80,5 кг" << 0 << "Обмен покоя: 1475 ккал/сут, с активностью: 1770"
                                                << "Для снижения веса: 1070–1270 ккал/сут";
    QTest::newRow("level beyond the list") << 1 << "40"
                                           << "165"
                                           << "80" << 5 << "Обмен покоя: 1470 ккал/сут"
                                           << "";
    QTest::newRow("no sex") << -1 << "40"
                            << "165"
                            << "80" << 2 << "-"
                            << "";
    QTest::newRow("no age") << 1 << ""
                            << "165"
                            << "80" << 2 << "-"
                            << "";
    QTest::newRow("a child") << 1 << "17"
                             << "165"
                             << "60" << 2 << "-"
                             << "";
    QTest::newRow("height not a number") << 1 << "40"
                                         << "сто"
                                         << "80" << 2 << "-"
                                         << "";
    QTest::newRow("weight a range") << 1 << "40"
                                    << "165"
                                    << "80-82" << 2 << "-"
                                    << "";
    QTest::newRow("zero weight") << 0 << "40"
                                 << "165"
                                 << "0" << 2 << "-"
                                 << "";
    QTest::newRow("absurd sizes") << 1 << "90"
                                  << "10"
                                  << "1" << 2 << "-"
                                  << "";
}

void TestNumbers::energy()
{
    QFETCH(int, sex);
    QFETCH(QString, age);
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(int, activity);
    QFETCH(QString, resting);
    QFETCH(QString, intake);
    const auto e = energyNeed(sex, age, height, weight, activity);
    QCOMPARE(e ? restingText(e) : QString("-"), resting);
    QCOMPARE(intakeText(e), intake);
}

void TestNumbers::waistHeight_data()
{
    QTest::addColumn<QString>("waist");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("text");

    QTest::newRow("0,49 no risk") << "80,8"
                                  << "165"
                                  << "60"
                                  << "ОТ/рост: 0,49 — риск не повышен";
    QTest::newRow("0,50 increased") << "82,5"
                                    << "165"
                                    << "60"
                                    << "ОТ/рост: 0,50 — риск повышен";
    QTest::newRow("0,59 increased") << "97,35"
                                    << "165"
                                    << "80"
                                    << "ОТ/рост: 0,59 — риск повышен";
    QTest::newRow("0,60 high") << "99"
                               << "165"
                               << "80"
                               << "ОТ/рост: 0,60 — высокий риск";
    QTest::newRow("BMI 34,9 shown") << "110"
                                    << "165"
                                    << "95"
                                    << "ОТ/рост: 0,67 — высокий риск";
    QTest::newRow("BMI 35,0 hides it") << "110"
                                       << "165"
                                       << "95,3"
                                       << "";
    QTest::newRow("no weight: still shown") << "99"
                                            << "165"
                                            << ""
                                            << "ОТ/рост: 0,60 — высокий риск";
    QTest::newRow("no waist") << ""
                              << "165"
                              << "80"
                              << "";
    QTest::newRow("no height") << "99"
                               << ""
                               << "80"
                               << "";
}

void TestNumbers::waistHeight()
{
    QFETCH(QString, waist);
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, text);
    QCOMPARE(waistHeightText(waistToHeight(waist, height, bmiTenths(height, weight))), text);
}

void TestNumbers::forecast_data()
{
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QStringList>("weights");
    QTest::addColumn<double>("goal");
    QTest::addColumn<QString>("expected"); // the date, or "-"

    const QStringList weekly = {"1.03.2027", "8.03.2027", "15.03.2027", "22.03.2027"};
    // 2/7 kg a day down to 85 from 94: 31,5 days after 22.03 is 22 or 23.04.
    QTest::newRow("weekly loss") << weekly << QStringList{"100", "98", "96", "94"} << 85.0 << "23.04.2027";
    QTest::newRow("table out of order") << QStringList{"22.03.2027", "1.03.2027", "15.03.2027", "8.03.2027"}
                                        << QStringList{"94", "100", "96", "98"} << 85.0 << "23.04.2027";
    QTest::newRow("only the last five count")
        << QStringList{"1.01.2027", "22.02.2027"} + weekly << QStringList{"60", "102", "100", "98", "96", "94"} << 85.0
        << "23.04.2027";
    QTest::newRow("flat") << weekly << QStringList{"94", "94", "94", "94"} << 85.0 << "-";
    QTest::newRow("rising away from the goal") << weekly << QStringList{"90", "91", "92", "94"} << 85.0 << "-";
    QTest::newRow("goal already reached") << weekly << QStringList{"100", "98", "96", "84"} << 85.0 << "-";
    QTest::newRow("rising to a higher goal")
        << weekly << QStringList{"48", "48,5", "49", "49,5"} << 52.0 << "26.04.2027";
    QTest::newRow("too slow: years away") << weekly << QStringList{"100", "99,98", "99,96", "99,94"} << 85.0 << "-";
    QTest::newRow("one visit") << QStringList{"1.03.2027"} << QStringList{"100"} << 85.0 << "-";
    QTest::newRow("two visits, one day") << QStringList{"1.03.2027", "1.03.2027"} << QStringList{"100", "98"} << 85.0
                                         << "-";
    QTest::newRow("unweighed rows left out")
        << weekly + QStringList{"29.03.2027"} << QStringList{"100", "98", "96", "94", ""} << 85.0 << "23.04.2027";
}

void TestNumbers::forecast()
{
    QFETCH(QStringList, dates);
    QFETCH(QStringList, weights);
    QFETCH(double, goal);
    QFETCH(QString, expected);
    const QVector<ChartPoint> weighed = weighedVisits(visits(dates, weights));
    const auto trend = weightTrend(weighed);
    const auto date = trend ? goalDate(*trend, weighed.last().value, goal) : std::nullopt;
    if (expected == "-") {
        QCOMPARE(dateOrNone(date), expected);
        return;
    }
    QVERIFY(date);
    const QDate want = QDate::fromString(expected, "dd.MM.yyyy");
    QVERIFY2(std::abs(date->daysTo(want)) <= 1, qPrintable(dateOrNone(date)));
    QCOMPARE(forecastText(date), "цель ≈ " + date->toString("dd.MM.yyyy"));
}

void TestNumbers::progress()
{
    const auto rows = visits({"5.03.2024", "10.01.2024", "7.02.2024"}, {"92", "96,5", "93"});
    const auto p = progressSince(weighedVisits(rows), "165");
    QVERIFY(p);
    QCOMPARE(progressText(p), QString("Снижение с 10.01.2024: 4,5 кг (4,7 %)"));
    QCOMPARE(bmiChangeText(p), QString("ИМТ: 35,4 → 33,8 (ожирение II ст. → ожирение I ст.)"));
    const auto gain = progressSince(weighedVisits(visits({"1.01.2024", "1.02.2024"}, {"60", "61"})), "");
    QCOMPARE(progressText(gain), QString("Прибавка с 01.01.2024: 1,0 кг (1,7 %)"));
    QCOMPARE(bmiChangeText(gain), QString());
    QVERIFY(!progressSince(weighedVisits(visits({"1.01.2024"}, {"60"})), "165"));
    QCOMPARE(goalWeight(" 85,5 кг").value_or(0), 85.5);
    QVERIFY(!goalWeight("0") && !goalWeight("") && !goalWeight("85-80"));
    QCOMPARE(brocaHint(0, "30", "170"), QString("по Броку 60 кг"));
    QCOMPARE(brocaHint(-1, "30", "170"), QString());
    const QVector<double> borders = bmiBorderWeights("200");
    QCOMPARE(borders, (QVector<double>{74, 100, 120, 140, 160}));
    QVERIFY(bmiBorderWeights("x").isEmpty());
}

void TestNumbers::storedLines_data()
{
    QTest::addColumn<QStringList>("extra"); // the .vit lines after line 225
    QTest::addColumn<int>("activity");
    QTest::addColumn<QString>("goal");

    QTest::newRow("225 lines") << QStringList{} << -1 << "";
    QTest::newRow("226 lines") << QStringList{"1"} << -1 << "";
    QTest::newRow("227 lines") << QStringList{"1", "3"} << 3 << "";
    QTest::newRow("both") << QStringList{"0", "4", "85,5"} << 4 << "85,5";
    QTest::newRow("level beyond the list") << QStringList{"0", "5", "80"} << -1 << "80";
    QTest::newRow("level not a number") << QStringList{"0", "x", "80"} << -1 << "80";
    QTest::newRow("goal kept as typed") << QStringList{"0", "-1", " 72 кг "} << -1 << " 72 кг ";
}

void TestNumbers::storedLines()
{
    QFETCH(QStringList, extra);
    QFETCH(int, activity);
    QFETCH(QString, goal);

    QTemporaryDir dir;
    QVERIFY(testsupport::writeFile(dir.filePath("shablon.kmt"), QByteArray()));
    CardState card;
    testsupport::setText(card, "FioEdit", "Иванова");
    QVERIFY(!saveCard(card, dir.path()));
    const QString vit = dir.filePath("Иванова.dat.vit");
    QByteArray bytes = testsupport::readAll(vit);
    QCOMPARE(bytes.count("\r\n"), 228);
    QVERIFY(bytes.endsWith("\r\n0\r\n-1\r\n\r\n"));
    bytes.chop(QByteArray("0\r\n-1\r\n\r\n").size());
    for (const QString &line : extra)
        bytes += testsupport::cp1251(line) + "\r\n";
    QVERIFY(testsupport::writeFile(vit, bytes));

    const auto loaded = loadCard(dir.filePath("Иванова.dat"), dir.path());
    QVERIFY(std::holds_alternative<LoadedCard>(loaded));
    const CardState &back = std::get<LoadedCard>(loaded).card;
    QCOMPARE(testsupport::indexOf(back, "AktivBox"), activity);
    QCOMPARE(back.goal, goal);

    // Saved again, the two lines hold what was read.
    QVERIFY(!saveCard(back, dir.path()));
    const QByteArray again = testsupport::readAll(vit);
    QVERIFY(again.endsWith("\r\n" + QByteArray::number(activity) + "\r\n" + testsupport::cp1251(goal) + "\r\n"));
}

void TestNumbers::saveRefusesUnstorableGoal()
{
    QTemporaryDir dir;
    CardState card;
    testsupport::setText(card, "FioEdit", "Иванова");
    testsupport::setText(card, "CelEdit", "85 ☺");
    const auto error = saveCard(card, dir.path());
    QVERIFY(error && error->refusedInput);
    QVERIFY(error->message.contains("Целевой вес"));
    QVERIFY(!QFile::exists(dir.filePath("Иванова.dat")));
}

void TestNumbers::reportFacts()
{
    CardState card;
    card.setText(Field::Name, "Смирнова Ольга");
    card.setText(Field::BirthDate, "12.05.1975");
    card.setText(Field::Height, "165");
    card.setText(Field::Weight, "92");
    card.setText(Field::Waist, "98");
    card.setText(Field::Hips, "118");
    card.goal = "80";
    card.setIndex(Field::Sex, 1);
    card.activity = 1;
    card.visitRows = visits({"10.01.2024", "24.01.2024", "", "7.02.2024"}, {"96", "94,5", "95", "93"});
    const ProgressReport r = progressReport(card, QDate(2024, 2, 10));
    QStringList lines;
    for (const ReportSection &s : r.sections)
        for (const ReportLine &l : s.lines)
            lines << l.label + ": " + l.value;
    const QStringList expected = {
        "Ф.И.О.: Смирнова Ольга",
        "Дата рождения: 12.05.1975, 48 лет",
        "Рост: 165 см",
        "Первый визит: 10.01.2024, вес 96 кг",
        "Последний визит: 07.02.2024, вес 93 кг",
        "Снижение: 3,0 кг (3,1 % от начального веса)",
        "ИМТ в начале: 35,3 — ожирение II степени",
        "ИМТ сейчас: 34,2 — ожирение I степени",
        "Целевой вес: 80 кг; при нынешнем темпе — около 07.06.2024",
        "ОТ/ОБ: 0,83",
        "ОТ/рост: 0,59 — риск повышен",
        // The energy follows the last visit's weight, not the page's 92 kg.
        "Обмен покоя: 1560 ккал/сут (при\u00a0весе\u00a093\u00a0кг на\u00a007.02.2024)",
        "Потребность: 2145 ккал/сут (малоактивный — 1,375)",
        "Для снижения веса: 1445–1645 ккал/сут",
    };
    QCOMPARE(lines, expected);
    QCOMPARE(r.visits.size(), 3); // the row without a date is left out
    QCOMPARE(yearsText(1) + yearsText(3) + yearsText(11) + yearsText(22), QString("1 год3 года11 лет22 года"));
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
