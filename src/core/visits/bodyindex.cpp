#include "visits/bodyindex.h"

#include "tables/visitcolumns.h"

#include <QLocale>

#include <cmath>

namespace vel {

std::optional<double> bodyValue(const QStringList &row, VisitColumn column)
{
    if (const auto typed = readNumber(visitCell(row, column)))
        return typed;
    if (column != VisitColumn::FatMass || !visitCell(row, column).trimmed().isEmpty())
        return std::nullopt;
    const auto weight = readNumber(visitCell(row, VisitColumn::Weight));
    const auto percent = readNumber(visitCell(row, VisitColumn::FatPercent));
    if (!weight || !percent || *weight <= 0 || *percent <= 0 || *percent >= 100)
        return std::nullopt;
    return std::round(*weight * *percent / 10.0) / 10.0;
}

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Rounds an already scaled value half up, as the doctor would on paper.
// Decimal halves such as 184.5 tend to come out of the division a few ulps
// low, so they are nudged up first. Absurd sizes give nothing.
std::optional<qint64> roundedScaled(double scaled)
{
    if (!std::isfinite(scaled) || scaled < 0 || scaled > 1e12)
        return std::nullopt;
    return qint64(std::floor(scaled * (1 + 1e-12) + 0.5));
}

std::optional<double> positive(const QString &text)
{
    const auto v = readNumber(text);
    if (!v || *v <= 0)
        return std::nullopt;
    return v;
}

QString bmiClass(qint64 tenths)
{
    if (tenths < 185)
        return QStringLiteral("недостаточная масса тела");
    if (tenths < 250)
        return QStringLiteral("норма");
    if (tenths < 300)
        return QStringLiteral("избыточная масса тела (предожирение)");
    if (tenths < 350)
        return QStringLiteral("ожирение I степени");
    if (tenths < 400)
        return QStringLiteral("ожирение II степени");
    return QStringLiteral("ожирение III степени");
}

} // namespace

std::optional<double> readNumber(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i).isSpace())
        ++i;
    QString number;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+'))
        number += text.at(i++);
    const qsizetype firstDigit = i;
    while (i < n && isAsciiDigit(text.at(i)))
        number += text.at(i++);
    if (i == firstDigit)
        return std::nullopt;
    // A separator without digits after it is the end of a sentence: "82 кг."
    if (i + 1 < n && (text.at(i) == u',' || text.at(i) == u'.') && isAsciiDigit(text.at(i + 1))) {
        number += u'.';
        ++i;
        while (i < n && isAsciiDigit(text.at(i)))
            number += text.at(i++);
    }
    // A unit may follow, but more digits mean a range, a date or a typo.
    for (qsizetype k = i; k < n; ++k) {
        if (text.at(k).isDigit())
            return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<QDate> readVisitDate(const QString &text)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 3)
        return std::nullopt;
    const int maxLength[3] = {2, 2, 4};
    const int minLength[3] = {1, 1, 4};
    int values[3] = {0, 0, 0};
    for (int p = 0; p < 3; ++p) {
        const QString &part = parts.at(p);
        if (part.size() < minLength[p] || part.size() > maxLength[p])
            return std::nullopt;
        for (QChar c : part) {
            if (!isAsciiDigit(c))
                return std::nullopt;
            values[p] = values[p] * 10 + (c.unicode() - u'0');
        }
    }
    const QDate date(values[2], values[1], values[0]);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<BmiResult> bodyMassIndex(const QString &heightCm, const QString &weightKg)
{
    const auto height = positive(heightCm);
    const auto weight = positive(weightKg);
    if (!height || !weight)
        return std::nullopt;
    // Tenths of kg/m² straight from centimetres keeps whole inputs exact.
    const auto tenths = roundedScaled(*weight * 100000.0 / (*height * *height));
    if (!tenths)
        return std::nullopt;
    return BmiResult{QString::number(*tenths / 10) + u',' + QString::number(*tenths % 10), bmiClass(*tenths)};
}

std::optional<WhrResult> waistToHip(const QString &waist, const QString &hips, int sexIndex)
{
    const auto w = positive(waist);
    const auto h = positive(hips);
    if (!w || !h)
        return std::nullopt;
    const auto hundredths = roundedScaled(*w * 100.0 / *h);
    if (!hundredths)
        return std::nullopt;
    WhrResult r;
    r.shown = QString::number(*hundredths / 100) + u',' +
              QStringLiteral("%1").arg(*hundredths % 100, 2, 10, QLatin1Char('0'));
    r.riskKnown = sexIndex == 0 || sexIndex == 1;
    if (r.riskKnown)
        r.increasedRisk = *hundredths >= (sexIndex == 0 ? 90 : 85);
    return r;
}

QString bmiText(const std::optional<BmiResult> &bmi)
{
    if (!bmi)
        return QString();
    return QStringLiteral("ИМТ: ") + bmi->shown + QStringLiteral(" — ") + bmi->className;
}

QString whrText(const std::optional<WhrResult> &whr)
{
    if (!whr)
        return QString();
    QString text = QStringLiteral("ОТ/ОБ: ") + whr->shown;
    if (whr->riskKnown && whr->increasedRisk)
        text += QStringLiteral(" — риск существенно повышен");
    return text;
}

void ChartSeries::append(const ChartSeries &more)
{
    weight += more.weight;
    waist += more.waist;
    hips += more.hips;
    fatPercent += more.fatPercent;
    water += more.water;
    fatMass += more.fatMass;
    muscle += more.muscle;
}

ChartSeries chartSeries(const QVector<QStringList> &visitRows)
{
    ChartSeries series;
    const std::pair<VisitColumn, QVector<ChartPoint> *> columns[] = {
        {VisitColumn::Weight, &series.weight}, {VisitColumn::Waist, &series.waist}, {VisitColumn::Hips, &series.hips}};
    const std::pair<VisitColumn, QVector<ChartPoint> *> body[] = {{VisitColumn::FatPercent, &series.fatPercent},
                                                                  {VisitColumn::Water, &series.water},
                                                                  {VisitColumn::FatMass, &series.fatMass},
                                                                  {VisitColumn::MuscleMass, &series.muscle}};
    for (const QStringList &row : visitRows) {
        const auto date = readVisitDate(visitCell(row, VisitColumn::Date));
        if (!date)
            continue;
        for (const auto &[column, points] : columns) {
            if (const auto v = readNumber(visitCell(row, column)))
                points->append(ChartPoint{*date, *v});
        }
        if (row.size() <= kVisitColumns)
            continue;
        for (const auto &[column, points] : body) {
            if (const auto v = bodyValue(row, column))
                points->append(ChartPoint{*date, *v});
        }
    }
    return series;
}

} // namespace vel
