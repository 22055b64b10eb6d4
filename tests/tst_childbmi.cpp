#include "numbers/bmiforage.h"
#include "numbers/bodynumbers.h"
#include "numbers/progressreport.h"
#include "support/testfiles.h"

#include <QtTest>

#include <cmath>

using namespace vel;

namespace {

// The BMI k SD from the median for one row of WHO's tables; past ±3 SD WHO
// steps on by the 2-to-3 SD distance.
double bmiAtSd(double l, double m, double s, int k)
{
    auto at = [&](double sd) { return m * std::pow(1 + l * s * sd, 1 / l); };
    if (k > 3)
        return at(3) + (k - 3) * (at(3) - at(2));
    if (k < -3)
        return at(-3) + (k + 3) * (at(-2) - at(-3));
    return at(k);
}

QMap<QString, QString> reportLines(const ProgressReport &r)
{
    QMap<QString, QString> lines;
    for (const ReportSection &s : r.sections)
        for (const ReportLine &l : s.lines)
            lines.insert(l.label, l.value);
    return lines;
}

QVector<QStringList> visitRows(const QVector<QStringList> &cells)
{
    QVector<QStringList> rows;
    for (QStringList row : cells) {
        while (row.size() < 10)
            row << QString();
        rows << row;
    }
    return rows;
}

} // namespace

class TestChildBmi final : public QObject {
    Q_OBJECT
private slots:
    void againstWhoTables_data();
    void againstWhoTables();
    void patients_data();
    void patients();
    void classes_data();
    void classes();
    void latestMeasures();
    void pageAndReportAgree();
    void childPageAndReport();
};

void TestChildBmi::againstWhoTables_data()
{
    // Rows copied from WHO's own tables (bfawho2007.txt by month, bmianthro.txt
    // by day); the ages are whole months of 30.4375 days, so no interpolation.
    QTest::addColumn<int>("sex");
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("l");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("s");
    QTest::newRow("boy 16 months (2006)") << 0 << 487 << -0.5082 << 16.3335 << 0.07913;
    QTest::newRow("girl 16 months (2006)") << 1 << 487 << -0.4623 << 15.9017 << 0.08693;
    QTest::newRow("boy 4 years (2006)") << 0 << 1461 << -0.3622 << 15.3326 << 0.08238;
    QTest::newRow("girl 4 years (2006)") << 1 << 1461 << -0.5684 << 15.2602 << 0.09168;
    QTest::newRow("boy 8 years") << 0 << 2922 << -1.4629 << 15.7368 << 0.09526;
    QTest::newRow("girl 8 years") << 1 << 2922 << -1.3880 << 15.6810 << 0.11291;
    QTest::newRow("boy 12 years") << 0 << 4383 << -1.7751 << 17.5334 << 0.11522;
    QTest::newRow("girl 12 years") << 1 << 4383 << -1.4006 << 17.9966 << 0.13129;
    QTest::newRow("boy 16 years") << 0 << 5844 << -1.3529 << 20.4951 << 0.12579;
    QTest::newRow("girl 17 y 4 m") << 1 << 6331 << -0.9104 << 21.1206 << 0.14250;
    QTest::newRow("boy 18 y 8 m") << 0 << 6818 << -0.9048 << 22.0374 << 0.12911;
}

void TestChildBmi::againstWhoTables()
{
    QFETCH(int, sex);
    QFETCH(int, days);
    QFETCH(double, l);
    QFETCH(double, m);
    QFETCH(double, s);
    for (int k : {-4, -3, -2, 0, 1, 2, 3, 4}) {
        const auto r = bmiForAgeZ(bmiAtSd(l, m, s, k), sex, days);
        QVERIFY2(r, qPrintable(QString::number(k)));
        QVERIFY2(std::abs(r->z - k) < 0.01, qPrintable(QStringLiteral("%1 SD gave %2").arg(k).arg(r->z)));
    }
}

void TestChildBmi::patients_data()
{
    QTest::addColumn<int>("sex");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("measured");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("line"); // "-" for no child's value
    QTest::newRow("girl of exactly 10") << 1 << QDate(2016, 12, 8) << QDate(2026, 12, 8) << "140"
                                        << "47,0"
                                        << "ИМТ 24,0 — SDS +2,30: ожирение I степени (дети 5–19 лет, ВОЗ 2007)";
    QTest::newRow("boy of 12") << 0 << QDate(2014, 12, 8) << QDate(2026, 12, 8) << "150"
                               << "52"
                               << "ИМТ 23,1 — SDS +1,89: избыточная масса тела (дети 5–19 лет, ВОЗ 2007)";
    QTest::newRow("girl of 3, under 5") << 1 << QDate(2023, 6, 1) << QDate(2026, 12, 8) << "98"
                                        << "15"
                                        << "ИМТ 15,6 — SDS +0,23: норма (дети до 5 лет, ВОЗ 2006)";
    QTest::newRow("the day before 19") << 0 << QDate(2007, 12, 9) << QDate(2026, 12, 8) << "180"
                                       << "70"
                                       << "ИМТ 21,6 — SDS -0,21: норма (дети 5–19 лет, ВОЗ 2007)";
    QTest::newRow("19th birthday: adult") << 0 << QDate(2007, 12, 8) << QDate(2026, 12, 8) << "180"
                                          << "70"
                                          << "-";
    QTest::newRow("sex not chosen") << -1 << QDate(2016, 12, 8) << QDate(2026, 12, 8) << "140"
                                    << "47"
                                    << "-";
}

void TestChildBmi::patients()
{
    QFETCH(int, sex);
    QFETCH(QDate, birth);
    QFETCH(QDate, measured);
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, line);
    const auto c = childBmi(height, weight, sex, birth, measured);
    QCOMPARE(c ? childBmiText(*c) : QString("-"), line);
}

void TestChildBmi::classes_data()
{
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("name");
    QTest::newRow("-2,01") << -201 << "-2,01"
                           << "дефицит массы тела";
    QTest::newRow("-2,00") << -200 << "-2,00"
                           << "норма";
    QTest::newRow("0") << 0 << "0,00"
                       << "норма";
    QTest::newRow("+1,00") << 100 << "+1,00"
                           << "избыточная масса тела";
    QTest::newRow("+1,99") << 199 << "+1,99"
                           << "избыточная масса тела";
    QTest::newRow("+2,00") << 200 << "+2,00"
                           << "ожирение I степени";
    QTest::newRow("+2,54 is 2,5") << 254 << "+2,54"
                                  << "ожирение I степени";
    QTest::newRow("+2,55 is 2,6") << 255 << "+2,55"
                                  << "ожирение II степени";
    QTest::newRow("+3,04") << 304 << "+3,04"
                           << "ожирение II степени";
    QTest::newRow("+3,05") << 305 << "+3,05"
                           << "ожирение III степени";
    QTest::newRow("+3,94") << 394 << "+3,94"
                           << "ожирение III степени";
    QTest::newRow("+3,95 is 4,0") << 395 << "+3,95"
                                  << "морбидное ожирение";
}

void TestChildBmi::classes()
{
    QFETCH(int, hundredths);
    QFETCH(QString, shown);
    QFETCH(QString, name);
    QCOMPARE(sdsText(hundredths), shown);
    QCOMPARE(sdsClass(hundredths), name);
}

void TestChildBmi::latestMeasures()
{
    NumbersInput in;
    in.weight = "92";
    in.waist = "100";
    in.hips = "110";
    QCOMPARE(currentMeasures(in).weight.text, QString("92")); // no visit: the page's
    QVERIFY(!currentMeasures(in).weight.date);
    // Out of date order, a row without a date, two rows on one date (the later
    // row counts), and the girths of different visits.
    in.visitRows = visitRows({{"01.12.2026", "88", "97", "108"},
                              {"", "70"},
                              {"10.11.2026", "90", "99", "109"},
                              {"08.12.2026", "86,9", "96"},
                              {"8.12.2026", "86,5"}});
    const CurrentMeasures now = currentMeasures(in);
    QCOMPARE(now.weight.text, QString("86,5"));
    QCOMPARE(atWeightText(now.weight), QString("при весе 86,5 кг на 08.12.2026"));
    QCOMPARE(now.waist.text, QString("96"));
    QCOMPARE(now.waist.date, QDate(2026, 12, 8));
    QCOMPARE(now.waistForHips.text + "/" + now.hips.text, QString("97/108")); // one visit's pair
    QCOMPARE(now.hips.date, QDate(2026, 12, 1));
}

void TestChildBmi::pageAndReportAgree()
{
    // Six visits from 92 to 86,5 kg: the page and the report both speak of
    // today's weight, and "ИМТ в начале" keeps the first.
    CardState card;
    testsupport::setTexts(card, {{"FioEdit", "Иванова Анна"},
                                 {"BirEdit", "15.03.1976"},
                                 {"RostEdit", "165"},
                                 {"VesEdit", "92"},
                                 {"TalEdit", "104"},
                                 {"BedrEdit", "120"}});
    testsupport::setIndices(card, {{"SexGroup", 1}, {"AktivBox", 0}});
    card.visitRows = visitRows({{"13.10.2026", "92", "104", "120"},
                                {"20.10.2026", "91"},
                                {"3.11.2026", "90"},
                                {"17.11.2026", "88,8"},
                                {"24.11.2026", "87,6"},
                                {"08.12.2026", "86,5", "98", "117"}});
    const QDate today(2026, 12, 8);
    const BodyNumbers page = bodyNumbers(numbersInput(card, today));
    QCOMPARE(page.bmiLine, QString("ИМТ: 31,8 — ожирение I степени (на 08.12.2026)"));
    QCOMPARE(page.restingLine,
             QString("Обмен покоя: 1485 ккал/сут, с активностью: 1782 (при весе 86,5 кг на 08.12.2026)"));
    QCOMPARE(page.intakeLine, QString("Для снижения веса: 1082–1282 ккал/сут"));
    QCOMPARE(page.whrLine, QString("ОТ/ОБ: 0,84 (на 08.12.2026)"));
    QCOMPARE(page.whtLine, QString("ОТ/рост: 0,59 — риск повышен (на 08.12.2026)"));
    QVERIFY(page.adultBmiBands());
    QVERIFY(page.brocaLine.isEmpty());

    const auto report = reportLines(progressReport(card, today));
    QCOMPARE(report.value("ИМТ в начале"), QString("33,8 — ожирение I степени"));
    QCOMPARE(report.value("ИМТ сейчас"), QString("31,8 — ожирение I степени"));
    QVERIFY(page.bmiLine.startsWith("ИМТ: " + report.value("ИМТ сейчас")));
    QCOMPARE(report.value("Обмен покоя"),
             QString("1485 ккал/сут (при\u00a0весе\u00a086,5\u00a0кг на\u00a008.12.2026)"));
    QCOMPARE(report.value("Потребность").left(4), QString::number(page.energy->need));
    QCOMPARE(report.value("Для снижения веса"), page.intakeLine.mid(page.intakeLine.indexOf(": ") + 2));
    QCOMPARE(report.value("ОТ/ОБ"), QString("0,84 (на 08.12.2026)"));
    QCOMPARE(report.value("ОТ/рост"), QString("0,59 — риск повышен (на 08.12.2026)"));
    QCOMPARE(bmiChangeLine(progressSince(weighedVisits(card.visitRows), "165"), numbersInput(card, today)),
             QString("ИМТ: 33,8 → 31,8 (ожирение I ст.)"));
}

void TestChildBmi::childPageAndReport()
{
    // A girl of ten: her SDS on the page and in the report, reasons in place
    // of the adult numbers, and no adult bands on the chart.
    CardState card;
    testsupport::setTexts(card, {{"FioEdit", "Петрова Маша"},
                                 {"BirEdit", "08.12.2016"},
                                 {"RostEdit", "140"},
                                 {"VesEdit", "48"},
                                 {"TalEdit", "80"},
                                 {"BedrEdit", "90"}});
    testsupport::setIndices(card, {{"SexGroup", 1}, {"AktivBox", 1}});
    card.visitRows = visitRows({{"08.09.2026", "48", "80", "90"}, {"08.12.2026", "47,0", "78", "89"}});
    const QDate today(2026, 12, 8);
    const NumbersInput in = numbersInput(card, today);
    const BodyNumbers page = bodyNumbers(in);
    QCOMPARE(page.bmiLine,
             QString("ИМТ 24,0 — SDS +2,30: ожирение I степени (дети 5–19 лет, ВОЗ 2007; на 08.12.2026)"));
    QVERIFY(!page.adultBmiBands());
    QVERIFY(!page.energy);
    QCOMPARE(page.restingLine,
             QString("Обмен покоя: не применяется до 18 лет: формула Миффлина — Сан Жеора выведена для взрослых"));
    QVERIFY(page.intakeLine.isEmpty());
    QCOMPARE(page.whrLine, QString("ОТ/ОБ: не применяется до 18 лет: пороги риска ВОЗ даны для взрослых"));
    QCOMPARE(page.whtLine, QString("ОТ/рост: не применяется до 18 лет: пороги риска даны для взрослых"));
    QCOMPARE(page.brocaLine, QString("Идеальный вес по Броку: не применяется до 18 лет: правило Брока — для взрослых"));

    const ProgressReport r = progressReport(card, today);
    QVERIFY(!r.adultBmiBands);
    const auto report = reportLines(r);
    QCOMPARE(report.value("ИМТ сейчас"), QString("24,0 — SDS +2,30: ожирение I степени (дети 5–19 лет, ВОЗ 2007)"));
    QVERIFY(report.value("ИМТ в начале").startsWith("24,5 — SDS +2,"));
    QCOMPARE(report.value("Обмен покоя"), page.restingLine.mid(QString("Обмен покоя: ").size()));
    QVERIFY(!report.contains("Потребность"));
    QCOMPARE(report.value("ОТ/ОБ"), page.whrLine.mid(QString("ОТ/ОБ: ").size()));
    QVERIFY(
        bmiChangeLine(progressSince(weighedVisits(card.visitRows), "140"), in).startsWith("ИМТ: 24,5 → 24,0 (SDS +2,"));
}

QTEST_GUILESS_MAIN(TestChildBmi)
#include "tst_childbmi.moc"
