#pragma once

#include "tables/visitcolumns.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Body indices and the weight chart's data, read from what the doctor typed.
// Nothing here is stored or printed: it only shows the card in another way.

namespace vel {

// A number at the start of free text: optional blanks and sign, digits, an
// optional decimal comma or point with digits, then any text without digits
// ("82,5", "82.5", "82 кг", " 82,5 кг."). Nothing for "", "—", "abc", and for
// "80-82" or "1 200", which cannot be read as one number with certainty.
std::optional<double> readNumber(const QString &text);

// A visit date "d.m.yyyy" or "dd.mm.yyyy", blanks around allowed. Two-digit
// years and impossible days give nothing.
std::optional<QDate> readVisitDate(const QString &text);

// The value of a visit's body column; the fat mass falls back to weight × % / 100.
std::optional<double> bodyValue(const QStringList &row, VisitColumn column);

// Body mass index, kg / m², shown with one decimal and a comma ("25,0"). The
// WHO class is taken from the shown value, so the two never disagree.
struct BmiResult {
    QString shown;
    QString className;
};
// Nothing unless both are numbers above zero.
std::optional<BmiResult> bodyMassIndex(const QString &heightCm, const QString &weightKg);

// Waist-to-hip ratio shown with two decimals ("0,87"). increasedRisk is the
// WHO mark of substantially increased risk (men 0,90 and more, women 0,85 and
// more) on the shown value; riskKnown is false while the sex is not chosen.
struct WhrResult {
    QString shown;
    bool increasedRisk = false;
    bool riskKnown = false;
};
// sexIndex: 0 male, 1 female, anything else not chosen. Nothing unless both
// girths are numbers above zero.
std::optional<WhrResult> waistToHip(const QString &waist, const QString &hips, int sexIndex);

// The lines shown beside the measurements; empty when there is no value.
// "ИМТ: 25,0 — избыточная масса тела (предожирение)"
QString bmiText(const std::optional<BmiResult> &bmi);
// "ОТ/ОБ: 0,92 — риск существенно повышен", or just "ОТ/ОБ: 0,80"
QString whrText(const std::optional<WhrResult> &whr);

struct ChartPoint {
    QDate date;
    double value = 0;
};
struct ChartSeries {
    QVector<ChartPoint> weight, waist, hips;
    // The body composition where visits have it: percentages and kilograms
    // (the fat mass worked out where only the percentage was typed).
    QVector<ChartPoint> fatPercent, water, fatMass, muscle;
    bool isEmpty() const { return weight.isEmpty() && waist.isEmpty() && hips.isEmpty(); }
    void append(const ChartSeries &more);
};

// Visit rows as kept in the table below its title row: cell 0 the date, then
// weight, waist and hips, and the body composition columns. Rows without a readable date and cells without a
// number are left out; the points keep the table's order.
ChartSeries chartSeries(const QVector<QStringList> &visitRows);

} // namespace vel
