#include "visits/bodyindex.h"
#include "chart/weightchart.h"

#include <QImage>
#include <QtTest>

using namespace vel;

Q_DECLARE_METATYPE(QVector<QStringList>)

namespace {

// "05.03.2024=82.5 12.03.2024=80": compact enough to read a failing compare.
QString pointsText(const QVector<ChartPoint> &points)
{
    QStringList out;
    for (const ChartPoint &p : points)
        out << p.date.toString(QStringLiteral("dd.MM.yyyy")) + u'=' + QString::number(p.value);
    return out.join(u' ');
}

ChartPoint point(int day, int month, double value)
{
    return ChartPoint{QDate(2024, month, day), value};
}

// Pixels of exactly this colour below the legend row, where the lines go.
int pixelsBelowLegend(const QImage &image, const QColor &colour, int legendBottom)
{
    int n = 0;
    for (int y = legendBottom; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class BodyIndexTest : public QObject {
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readVisitDate_data();
    void readVisitDate();
    void bmi_data();
    void bmi();
    void whr_data();
    void whr();
    void chartSeries_data();
    void chartSeries();
    void chartPaintsPoints_data();
    void chartPaintsPoints();
};

void BodyIndexTest::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("has");
    QTest::addColumn<double>("value");

    QTest::newRow("comma") << "82,5" << true << 82.5;
    QTest::newRow("point") << "82.5" << true << 82.5;
    QTest::newRow("whole") << "82" << true << 82.0;
    QTest::newRow("unit after blank") << "82 кг" << true << 82.0;
    QTest::newRow("blanks, unit, full stop") << " 82,5 кг." << true << 82.5;
    QTest::newRow("unit glued") << "90,25см" << true << 90.25;
    QTest::newRow("full stop after whole") << "82." << true << 82.0;
    QTest::newRow("comma with nothing after") << "82," << true << 82.0;
    QTest::newRow("below one") << "0,87" << true << 0.87;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks") << "   " << false << 0.0;
    QTest::newRow("dash") << "—" << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("unit first") << "кг 82" << false << 0.0;
    QTest::newRow("range") << "80-82" << false << 0.0;
    QTest::newRow("thousands blank") << "1 200" << false << 0.0;
    QTest::newRow("two separators") << "82,5,3" << false << 0.0;
    QTest::newRow("a date") << "5.03.2024" << false << 0.0;
    QTest::newRow("no whole part") << ",5" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("exponent") << "1e3" << false << 0.0;
    QTest::newRow("beyond double") << QString(400, u'9') << false << 0.0;
}

void BodyIndexTest::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, has);
    QFETCH(double, value);
    const auto got = vel::readNumber(text);
    QCOMPARE(got.has_value(), has);
    if (has)
        QCOMPARE(*got, value);
}

void BodyIndexTest::readVisitDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: no date

    QTest::newRow("as new rows show it") << "5.03.2024" << QDate(2024, 3, 5);
    QTest::newRow("two-digit day") << "05.03.2024" << QDate(2024, 3, 5);
    QTest::newRow("one-digit month") << "5.3.2024" << QDate(2024, 3, 5);
    QTest::newRow("blanks around") << " 31.12.1999 " << QDate(1999, 12, 31);
    QTest::newRow("leap day") << "29.02.2024" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "29.02.2023" << QDate();
    QTest::newRow("two-digit year") << "5.03.24" << QDate();
    QTest::newRow("slashes") << "05/03/2024" << QDate();
    QTest::newRow("hyphens") << "05-03-2024" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("blank mask") << "  .  .    " << QDate();
    QTest::newRow("day 32") << "32.01.2024" << QDate();
    QTest::newRow("day 0") << "0.01.2024" << QDate();
    QTest::newRow("month 13") << "5.13.2024" << QDate();
    QTest::newRow("three-digit day") << "005.03.2024" << QDate();
    QTest::newRow("five-digit year") << "5.03.02024" << QDate();
    QTest::newRow("text after") << "5.03.2024г" << QDate();
    QTest::newRow("words") << "вчера" << QDate();
}

void BodyIndexTest::readVisitDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const auto got = vel::readVisitDate(text);
    QCOMPARE(got.value_or(QDate()), date);
}

void BodyIndexTest::bmi_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("shown"); // empty: nothing shown
    QTest::addColumn<QString>("className");

    // 100 cm makes the index equal the weight, so the borders read plainly.
    QTest::newRow("18.44 stays below") << "100"
                                       << "18,44"
                                       << "18,4"
                                       << "недостаточная масса тела";
    QTest::newRow("18.49 shown 18.5 is normal") << "100"
                                                << "18,49"
                                                << "18,5"
                                                << "норма";
    QTest::newRow("18.5") << "100"
                          << "18,5"
                          << "18,5"
                          << "норма";
    QTest::newRow("24.9") << "100"
                          << "24,9"
                          << "24,9"
                          << "норма";
    QTest::newRow("25.0") << "100"
                          << "25"
                          << "25,0"
                          << "избыточная масса тела (предожирение)";
    QTest::newRow("24.96 rounds across") << "100"
                                         << "24,96"
                                         << "25,0"
                                         << "избыточная масса тела (предожирение)";
    QTest::newRow("29.9") << "100"
                          << "29,9"
                          << "29,9"
                          << "избыточная масса тела (предожирение)";
    QTest::newRow("30.0") << "100"
                          << "30,0"
                          << "30,0"
                          << "ожирение I степени";
    QTest::newRow("34.9") << "100"
                          << "34,9"
                          << "34,9"
                          << "ожирение I степени";
    QTest::newRow("35.0") << "100"
                          << "35"
                          << "35,0"
                          << "ожирение II степени";
    QTest::newRow("39.9") << "100"
                          << "39,9"
                          << "39,9"
                          << "ожирение II степени";
    QTest::newRow("40.0") << "100"
                          << "40"
                          << "40,0"
                          << "ожирение III степени";
    // Exactly 24.95 and 39.95, which plain binary division puts just below the half.
    QTest::newRow("decimal half 24.95") << "180"
                                        << "80,838"
                                        << "25,0"
                                        << "избыточная масса тела (предожирение)";
    QTest::newRow("decimal half 39.95") << "180"
                                        << "129,438"
                                        << "40,0"
                                        << "ожирение III степени";
    QTest::newRow("everyday") << "170"
                              << "72"
                              << "24,9"
                              << "норма";
    QTest::newRow("with units") << "180 см"
                                << "100 кг"
                                << "30,9"
                                << "ожирение I степени";
    QTest::newRow("decimal height") << "165,5"
                                    << "60"
                                    << "21,9"
                                    << "норма";
    QTest::newRow("no height") << ""
                               << "70"
                               << ""
                               << "";
    QTest::newRow("no weight") << "170"
                               << ""
                               << ""
                               << "";
    QTest::newRow("zero height") << "0"
                                 << "70"
                                 << ""
                                 << "";
    QTest::newRow("zero weight") << "170"
                                 << "0"
                                 << ""
                                 << "";
    QTest::newRow("negative height") << "-170"
                                     << "70"
                                     << ""
                                     << "";
    QTest::newRow("height in words") << "высокий"
                                     << "70"
                                     << ""
                                     << "";
    QTest::newRow("weight a dash") << "170"
                                   << "—"
                                   << ""
                                   << "";
}

void BodyIndexTest::bmi()
{
    QFETCH(QString, height);
    QFETCH(QString, weight);
    QFETCH(QString, shown);
    QFETCH(QString, className);
    const auto got = bodyMassIndex(height, weight);
    QCOMPARE(got.has_value(), !shown.isEmpty());
    QCOMPARE(bmiText(got), shown.isEmpty() ? QString() : "ИМТ: " + shown + " — " + className);
    if (got) {
        QCOMPARE(got->shown, shown);
        QCOMPARE(got->className, className);
    }
}

void BodyIndexTest::whr_data()
{
    QTest::addColumn<QString>("waist");
    QTest::addColumn<QString>("hips");
    QTest::addColumn<int>("sex");
    QTest::addColumn<QString>("text"); // empty: nothing shown
    QTest::addColumn<bool>("riskKnown");

    const QString mark = QStringLiteral(" — риск существенно повышен");
    QTest::newRow("man 0.90") << "90"
                              << "100" << 0 << "ОТ/ОБ: 0,90" + mark << true;
    QTest::newRow("man 0.89") << "89"
                              << "100" << 0 << "ОТ/ОБ: 0,89" << true;
    QTest::newRow("man 0.895 shown 0.90") << "89,5"
                                          << "100" << 0 << "ОТ/ОБ: 0,90" + mark << true;
    QTest::newRow("man decimal half") << "71,6"
                                      << "80" << 0 << "ОТ/ОБ: 0,90" + mark << true;
    QTest::newRow("man above one") << "120 см"
                                   << "100 см" << 0 << "ОТ/ОБ: 1,20" + mark << true;
    QTest::newRow("woman 0.85") << "85"
                                << "100" << 1 << "ОТ/ОБ: 0,85" + mark << true;
    QTest::newRow("woman 0.849 shown 0.85") << "84,9"
                                            << "100" << 1 << "ОТ/ОБ: 0,85" + mark << true;
    QTest::newRow("woman 0.844") << "84,4"
                                 << "100" << 1 << "ОТ/ОБ: 0,84" << true;
    QTest::newRow("woman decimal half") << "77,74"
                                        << "92" << 1 << "ОТ/ОБ: 0,85" + mark << true;
    QTest::newRow("woman 0.89 marked") << "89"
                                       << "100" << 1 << "ОТ/ОБ: 0,89" + mark << true;
    QTest::newRow("woman 0.80") << "80"
                                << "100" << 1 << "ОТ/ОБ: 0,80" << true;
    QTest::newRow("sex not chosen") << "95"
                                    << "100" << -1 << "ОТ/ОБ: 0,95" << false;
    QTest::newRow("no waist") << ""
                              << "100" << 0 << "" << false;
    QTest::newRow("no hips") << "90"
                             << "" << 0 << "" << false;
    QTest::newRow("zero hips") << "90"
                               << "0" << 1 << "" << false;
    QTest::newRow("zero waist") << "0"
                                << "100" << 1 << "" << false;
    QTest::newRow("hips in words") << "90"
                                   << "широкие" << 1 << "" << false;
}

void BodyIndexTest::whr()
{
    QFETCH(QString, waist);
    QFETCH(QString, hips);
    QFETCH(int, sex);
    QFETCH(QString, text);
    QFETCH(bool, riskKnown);
    const auto got = waistToHip(waist, hips, sex);
    QCOMPARE(got.has_value(), !text.isEmpty());
    QCOMPARE(whrText(got), text);
    if (got) {
        QCOMPARE(got->riskKnown, riskKnown);
        QCOMPARE(got->increasedRisk, text.contains(u'—'));
    }
}

void BodyIndexTest::chartSeries_data()
{
    QTest::addColumn<QVector<QStringList>>("rows");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("waist");
    QTest::addColumn<QString>("hips");

    auto row = [](const QStringList &cells) {
        QStringList full = cells;
        while (full.size() < 10)
            full << QString();
        return full;
    };

    QTest::newRow("no visits") << QVector<QStringList>() << ""
                               << ""
                               << "";
    QTest::newRow("all readable") << QVector<QStringList>{row({"5.03.2024", "82,5", "90", "105"}),
                                                          row({"12.03.2024", "81 кг", "89,5 см", "104"})}
                                  << "05.03.2024=82.5 12.03.2024=81"
                                  << "05.03.2024=90 12.03.2024=89.5"
                                  << "05.03.2024=105 12.03.2024=104";
    QTest::newRow("unreadable dates leave the row out")
        << QVector<QStringList>{row({"вчера", "81", "88", "104"}), row({"19.03.24", "80", "87", "103"}),
                                row({"", "79", "86", "102"}), row({"26.03.2024", "78", "85", "101"})}
        << "26.03.2024=78"
        << "26.03.2024=85"
        << "26.03.2024=101";
    QTest::newRow("cells without numbers are left out")
        << QVector<QStringList>{row({"5.03.2024", "", "—", "105"}), row({"12.03.2024", "abc", "89", ""}),
                                row({"19.03.2024"})}
        << ""
        << "12.03.2024=89"
        << "05.03.2024=105";
    QTest::newRow("short rows") << QVector<QStringList>{{"5.03.2024", "82"}, {}} << "05.03.2024=82"
                                << ""
                                << "";
    QTest::newRow("table order kept") << QVector<QStringList>{row({"5.03.2024", "82"}), row({"1.02.2024", "84"}),
                                                              row({"5.03.2024", "83"})}
                                      << "05.03.2024=82 01.02.2024=84 05.03.2024=83"
                                      << ""
                                      << "";
}

void BodyIndexTest::chartSeries()
{
    QFETCH(QVector<QStringList>, rows);
    QFETCH(QString, weight);
    QFETCH(QString, waist);
    QFETCH(QString, hips);
    const ChartSeries s = vel::chartSeries(rows);
    QCOMPARE(pointsText(s.weight), weight);
    QCOMPARE(pointsText(s.waist), waist);
    QCOMPARE(pointsText(s.hips), hips);
    QCOMPARE(s.isEmpty(), weight.isEmpty() && waist.isEmpty() && hips.isEmpty());
}

void BodyIndexTest::chartPaintsPoints_data()
{
    QTest::addColumn<QVector<ChartPoint>>("weight");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("none") << QVector<ChartPoint>() << false;
    QTest::newRow("one visit") << QVector<ChartPoint>{point(5, 3, 82.5)} << true;
    QTest::newRow("one date, two values") << QVector<ChartPoint>{point(5, 3, 82), point(5, 3, 84)} << true;
    QTest::newRow("same value") << QVector<ChartPoint>{point(5, 3, 80), point(5, 4, 80)} << true;
    QTest::newRow("out of order, below zero") << QVector<ChartPoint>{point(5, 4, -2), point(5, 3, 90.5)} << true;
    // A typing slip must not hang the page: such a chart shows the hint instead.
    QTest::newRow("absurd size") << QVector<ChartPoint>{point(5, 3, 1e17), point(6, 3, 80)} << true;
    QTest::newRow("absurd alone") << QVector<ChartPoint>{point(5, 3, 1e300)} << false;
    QTest::newRow("tiny spread") << QVector<ChartPoint>{point(5, 3, 80.001), point(6, 3, 80.002)} << true;
}

void BodyIndexTest::chartPaintsPoints()
{
    QFETCH(QVector<ChartPoint>, weight);
    QFETCH(bool, drawn);
    WeightChart chart;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    chart.setFont(font);
    chart.resize(760, 200);
    ChartSeries s;
    s.weight = weight;
    chart.setSeries(s);
    const QImage image = chart.grab().toImage();
    // The weight colour appears below the legend row only when the points are drawn.
    const int legendBottom = 6 + QFontMetrics(font).height() + 2;
    const int pixels = pixelsBelowLegend(image, QColor(0x1f, 0x5f, 0xbf), legendBottom);
    if (drawn)
        QVERIFY2(pixels >= 20, qPrintable(QString::number(pixels)));
    else
        QCOMPARE(pixels, 0);
}

QTEST_MAIN(BodyIndexTest)
#include "tst_bodyindex.moc"
