#include "numbers/progressreport.h"
#include "visits/analyserimport.h"
#include "visits/bodycomposition.h"
#include "visits/bodyindex.h"

#include <QFile>
#include <QtTest>

using namespace vel;

namespace {

QStringList visit(const QString &date, const QString &weight, const QStringList &body = {})
{
    QStringList row{date, weight, "", "", "", "", "", "", "", ""};
    return body.isEmpty() ? row : row + body;
}

QByteArray fixture(const QString &name)
{
    QFile f(QStringLiteral(VEL_TEST_DATA "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestBodyComposition final : public QObject {
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void importFillsVisits_data();
    void importFillsVisits();
    void reportTellsTheChange();
};

void TestBodyComposition::values_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value"); // "" for none
    QTest::addColumn<bool>("workedOut");
    const int mass = int(VisitColumn::FatMass);
    QTest::newRow("typed mass") << visit("1.01.2024", "90", {"40", "35,5", "", "", ""}) << mass << "35,5" << false;
    QTest::newRow("mass from weight and %")
        << visit("1.01.2024", "94,4", {"40,5", "", "", "", ""}) << mass << "38,2" << true;
    QTest::newRow("no weight, no mass") << visit("1.01.2024", "", {"40,5", "", "", "", ""}) << mass << "" << false;
    QTest::newRow("impossible %") << visit("1.01.2024", "90", {"120", "", "", "", ""}) << mass << "" << false;
    QTest::newRow("a row without body columns") << visit("1.01.2024", "90") << mass << "" << false;
    QTest::newRow("visceral level as typed")
        << visit("1.01.2024", "90", {"", "", "", "", "12"}) << int(VisitColumn::VisceralFat) << "12" << false;
    QTest::newRow("percent with a point")
        << visit("1.01.2024", "90", {"31.25", "", "", "", ""}) << int(VisitColumn::FatPercent) << "31,3"
        << true; // and the mass worked out from it
}

void TestBodyComposition::values()
{
    QFETCH(QStringList, row);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(bool, workedOut);
    const auto v = bodyValue(row, VisitColumn(column));
    QCOMPARE(v ? decimalText(*v) : QString(), value);
    QCOMPARE(fatMassWorkedOut(row), workedOut);
}

void TestBodyComposition::importFillsVisits_data()
{
    // Two exports of the same kind of analyser: a Russian one with ";" and
    // decimal commas (a mark at the start, a time column, a total line), and
    // an English one with "," and decimal points, one value quoted with a comma.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected"); // date|weight|fat %|fat mass|muscle|water|visceral per visit
    QTest::addColumn<int>("matched");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("skipped");
    QTest::newRow("semicolons, decimal commas")
        << "analyser-semicolon.csv"
        << QStringList{"10.01.2024|96,5|41,2|39,6|27,9|43,1|12", "24.01.2024|94,4|40,5||28,1|43,6|12",
                       "07.02.2024||39,8||28|44|11", "15.02.2024|92,9|39,1|36,3|28,2|44,4|11"}
        << 2 << 2 << 1;
    QTest::newRow("commas, decimal points")
        << "analyser-comma.csv"
        << QStringList{"10.01.2024|96,5|41,2||27,9|43,1|12", "07.02.2024||||||", "15.02.2024|92,9|39,1||28,2|44,4|11",
                       "01.03.2024|92,1|38,6||28,3|44,9|10"}
        << 1 << 2 << 0;
}

void TestBodyComposition::importFillsVisits()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    QFETCH(int, matched);
    QFETCH(int, added);
    QFETCH(int, skipped);
    const CsvTable table = readCsv(decodeCsvText(fixture(file)));
    QVERIFY(!table.rows.isEmpty());
    const ImportColumns columns = guessColumns(table.header);
    for (int f = 0; f < kImportFields; ++f)
        if (f != int(ImportField::FatMass) || file.contains("semicolon"))
            QVERIFY2(columns[std::size_t(f)] >= 0, qPrintable(QString::number(f)));
    int skippedLines = -1;
    const QVector<Measurement> measurements = readMeasurements(table, columns, &skippedLines);
    QCOMPARE(skippedLines, skipped);

    // The card had two visits: the doctor's weight at the first stays.
    const ImportOutcome out = mergeMeasurements({visit("10.01.2024", "96,5"), visit("07.02.2024", "")}, measurements);
    QCOMPARE(out.matched, matched);
    QCOMPARE(out.added, added);
    QStringList rows;
    for (const QStringList &row : out.visitRows)
        rows << QStringList{row.value(0),  row.value(1),  row.value(10), row.value(11),
                            row.value(12), row.value(13), row.value(14)}
                    .join('|');
    QCOMPARE(rows, expected);
}

void TestBodyComposition::reportTellsTheChange()
{
    CardState card;
    card.visitRows = {visit("10.01.2024", "96", {"41,2", "", "27,9", "", "12"}), visit("24.01.2024", "94"),
                      visit("15.02.2024", "92", {"39,1", "", "28,2", "", "12"})};
    const ProgressReport report = progressReport(card, QDate(2024, 3, 1));
    QStringList lines;
    for (const ReportSection &s : report.sections)
        if (s.heading == "Состав тела")
            for (const ReportLine &l : s.lines)
                lines << l.label + ": " + l.value;
    QCOMPARE(lines, QStringList({"Измерения: 10.01.2024 и 15.02.2024", "Жир, %: 41,2 → 39,1 (−2,1)",
                                 "Масса жира, кг: 39,6 → 36 (−3,6)", "Скелетно-мышечная масса, кг: 27,9 → 28,2 (+0,3)",
                                 "Висцеральный жир: 12 → 12 (0)"}));
    card.visitRows = {visit("10.01.2024", "96")};
    for (const ReportSection &s : progressReport(card, QDate(2024, 3, 1)).sections)
        QVERIFY(s.heading != "Состав тела"); // no section without measurements
}

QTEST_GUILESS_MAIN(TestBodyComposition)
#include "tst_bodycomposition.moc"
