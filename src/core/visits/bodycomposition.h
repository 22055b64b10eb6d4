#pragma once

#include "tables/visitcolumns.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

// The body composition of a visit, as a bioimpedance analyser gives it,
// read from the visit row's own cells. Only the fat mass is ever worked
// out: from the weight and the fat percentage when the doctor typed no mass.

namespace vel {

struct BodyMeasure {
    VisitColumn column;
    const char *title; // the visit table's column title
    const char *label; // how the report and the chart name it
    const char *unit;  // "%", "кг" or "" for the analyser's level
};
// In column order.
inline constexpr std::array<BodyMeasure, kBodyColumns> kBodyMeasures = {{
    {VisitColumn::FatPercent, "% жира", "Жир", "%"},
    {VisitColumn::FatMass, "Жир, кг", "Масса жира", "кг"},
    {VisitColumn::MuscleMass, "Мышцы, кг", "Скелетно-мышечная масса", "кг"},
    {VisitColumn::Water, "Вода, %", "Вода", "%"},
    {VisitColumn::VisceralFat, "Висц. жир", "Висцеральный жир", ""},
}};

const BodyMeasure &bodyMeasure(VisitColumn column);

// The fat mass shown is worked out, not typed.
bool fatMassWorkedOut(const QStringList &row);

// One decimal with a comma, without ",0": "28,4", "31".
QString decimalText(double value);

// A measure at the first and the last dated visit that has it.
struct BodyChange {
    QDate firstDate, lastDate;
    double first = 0, last = 0;
    int visits = 0; // dated visits with a value
};
std::optional<BodyChange> bodyChange(const QVector<QStringList> &visitRows, VisitColumn column);

// Whether any visit has a body composition value.
bool hasBodyComposition(const QVector<QStringList> &visitRows);

} // namespace vel
