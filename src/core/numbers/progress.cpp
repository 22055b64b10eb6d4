#include "numbers/progress.h"

#include "visits/age.h"

#include <algorithm>
#include <cmath>

namespace vel {

namespace {

constexpr double kBmiBorders[] = {18.5, 25, 30, 35, 40};
// Slower than this (about 36 g a year) the line counts as flat.
constexpr double kFlatKgPerDay = 1e-4;

std::optional<BmiResult> bmiAt(double kg, const QString &heightCm)
{
    return bodyMassIndex(heightCm, QString::number(kg, 'g', 10));
}

// Class names short enough for one line beside the measurements.
QString shortClass(const QString &name)
{
    if (name.startsWith(QStringLiteral("избыточная")))
        return QStringLiteral("предожирение");
    if (name.startsWith(QStringLiteral("недостаточная")))
        return QStringLiteral("дефицит массы");
    return QString(name).replace(QStringLiteral(" степени"), QStringLiteral(" ст."));
}

} // namespace

QString kgText(double kg)
{
    return QString::number(kg + 0.0, 'f', 1).replace(u'.', u',').replace(QStringLiteral("-0,0"), QStringLiteral("0,0"));
}

QVector<ChartPoint> weighedVisits(const QVector<QStringList> &visitRows)
{
    return weighedVisits(chartSeries(visitRows).weight);
}

QVector<ChartPoint> weighedVisits(QVector<ChartPoint> weightPoints)
{
    std::stable_sort(weightPoints.begin(), weightPoints.end(),
                     [](const ChartPoint &a, const ChartPoint &b) { return a.date < b.date; });
    return weightPoints;
}

std::optional<double> goalWeight(const QString &text)
{
    const auto v = readNumber(text);
    if (!v || *v <= 0)
        return std::nullopt;
    return v;
}

QString brocaHint(int bodyBuildIndex, const QString &ageText, const QString &heightText)
{
    const BrocaResult r = brocaCaption(bodyBuildIndex, ageText, heightText);
    if (r.outcome != BrocaResult::Shown)
        return QString();
    // The caption ends "…: 61 кг."; the value is what the hint offers.
    QString value = r.caption.mid(r.caption.lastIndexOf(QStringLiteral(": ")) + 2);
    if (value.endsWith(u'.'))
        value.chop(1);
    return QStringLiteral("по Броку ") + value;
}

std::optional<Progress> progressSince(const QVector<ChartPoint> &weighed, const QString &heightCm)
{
    if (weighed.size() < 2 || weighed.first().date == weighed.last().date || weighed.first().value <= 0)
        return std::nullopt;
    Progress p;
    p.first = weighed.first();
    p.last = weighed.last();
    p.lostKg = p.first.value - p.last.value;
    p.lostPercent = p.lostKg / p.first.value * 100;
    p.bmiFirst = bmiAt(p.first.value, heightCm);
    p.bmiLast = bmiAt(p.last.value, heightCm);
    return p;
}

QString progressText(const std::optional<Progress> &p)
{
    if (!p)
        return QString();
    const bool gain = std::round(p->lostKg * 10) < 0;
    return (gain ? QStringLiteral("Прибавка с ") : QStringLiteral("Снижение с ")) +
           p->first.date.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(": ") + kgText(std::abs(p->lostKg)) +
           QStringLiteral(" кг (") + kgText(std::abs(p->lostPercent)) + QStringLiteral(" %)");
}

QString bmiChangeText(const std::optional<Progress> &p)
{
    if (!p || !p->bmiFirst || !p->bmiLast)
        return QString();
    QString text = QStringLiteral("ИМТ: ") + p->bmiFirst->shown + QStringLiteral(" → ") + p->bmiLast->shown;
    const QString then = shortClass(p->bmiFirst->className), now = shortClass(p->bmiLast->className);
    text += QStringLiteral(" (") + (then == now ? now : then + QStringLiteral(" → ") + now) + u')';
    return text;
}

std::optional<Trend> weightTrend(const QVector<ChartPoint> &weighed)
{
    const qsizetype n = std::min<qsizetype>(kTrendVisits, weighed.size());
    if (n < 2)
        return std::nullopt;
    const QVector<ChartPoint> last = weighed.mid(weighed.size() - n);
    const QDate from = last.first().date;
    double sx = 0, sy = 0;
    for (const ChartPoint &pt : last) {
        sx += double(from.daysTo(pt.date));
        sy += pt.value;
    }
    const double mx = sx / double(n), my = sy / double(n);
    double sxx = 0, sxy = 0;
    for (const ChartPoint &pt : last) {
        const double dx = double(from.daysTo(pt.date)) - mx;
        sxx += dx * dx;
        sxy += dx * (pt.value - my);
    }
    if (sxx <= 0)
        return std::nullopt;
    Trend t;
    t.from = from;
    t.to = last.last().date;
    t.kgPerDay = sxy / sxx;
    t.fromKg = my - t.kgPerDay * mx;
    if (!std::isfinite(t.kgPerDay) || !std::isfinite(t.fromKg))
        return std::nullopt;
    return t;
}

std::optional<QDate> goalDate(const Trend &trend, double lastKg, double goalKg)
{
    if (std::abs(trend.kgPerDay) < kFlatKgPerDay)
        return std::nullopt;
    const bool losing = trend.kgPerDay < 0;
    if (losing ? lastKg <= goalKg : lastKg >= goalKg)
        return std::nullopt;
    const double days = (goalKg - trend.at(trend.to)) / trend.kgPerDay;
    if (!std::isfinite(days) || days <= 0 || days > kForecastDays)
        return std::nullopt;
    return trend.to.addDays(qint64(std::llround(days)));
}

QString forecastText(const std::optional<QDate> &date)
{
    if (!date)
        return QString();
    return QStringLiteral("цель ≈ ") + date->toString(QStringLiteral("dd.MM.yyyy"));
}

QVector<double> bmiBorderWeights(const QString &heightCm)
{
    const auto h = readNumber(heightCm);
    if (!h || *h <= 0)
        return {};
    const double m = *h / 100;
    QVector<double> weights;
    for (double bmi : kBmiBorders)
        weights << bmi * m * m;
    return weights;
}

} // namespace vel
