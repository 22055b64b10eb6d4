#pragma once

#include "visits/bodyindex.h"

#include <QDate>
#include <QString>
#include <QVector>

#include <optional>

// Where the patient stands against the first visit and the goal, and where
// the recent visits lead. Read from the visit rows as typed; never stored.

namespace vel {

// The weighed visits in date order; rows on one date keep the table's order.
QVector<ChartPoint> weighedVisits(const QVector<QStringList> &visitRows);
// The same from the weight points of a chart series already read.
QVector<ChartPoint> weighedVisits(QVector<ChartPoint> weightPoints);

// The goal weight field: a number above zero, or nothing.
std::optional<double> goalWeight(const QString &text);

// The ideal weight after Broca as a hint for the goal field ("61 кг"), or
// empty while it cannot be worked out. Same rule as its button.
QString brocaHint(int bodyBuildIndex, const QString &ageText, const QString &heightText);

struct Progress {
    ChartPoint first, last;
    double lostKg = 0;                          // positive for a loss
    double lostPercent = 0;                     // of the first weight
    std::optional<BmiResult> bmiFirst, bmiLast; // with a height
};
// Needs two weighed visits on different dates.
std::optional<Progress> progressSince(const QVector<ChartPoint> &weighed, const QString &heightCm);

// "Снижение с 10.01.2024: 4,0 кг (4,2 %)" or "Прибавка с ...".
QString progressText(const std::optional<Progress> &p);
// "ИМТ: 35,3 → 33,8 (ожирение II ст. → ожирение I ст.)", one class where it
// did not change; empty without a height.
QString bmiChangeText(const std::optional<Progress> &p);

// A straight line fitted by least squares to the last five weighed visits.
inline constexpr int kTrendVisits = 5;
struct Trend {
    QDate from, to;    // first and last of the fitted visits
    double fromKg = 0; // the line's value at from
    double kgPerDay = 0;
    double at(const QDate &date) const { return fromKg + kgPerDay * double(from.daysTo(date)); }
};
// Needs two of those visits on different dates.
std::optional<Trend> weightTrend(const QVector<ChartPoint> &weighed);

// Beyond this the line says nothing about the goal.
inline constexpr int kForecastDays = 3 * 365;

// The day the line reaches the goal, after the last fitted visit. Nothing for
// a flat line, one leading away from the goal, a goal the last weight
// already reached, or a day further than kForecastDays.
std::optional<QDate> goalDate(const Trend &trend, double lastKg, double goalKg);

// "цель ≈ 15.04.2027"; empty without a date.
QString forecastText(const std::optional<QDate> &date);

// The weights at the BMI class borders 18,5, 25, 30, 35 and 40 for a height,
// lowest first; empty unless the height is a number above zero.
QVector<double> bmiBorderWeights(const QString &heightCm);

// One decimal with a comma, no "-0": 4 -> "4,0".
QString kgText(double kg);

} // namespace vel
