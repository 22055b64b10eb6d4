#pragma once

#include "card/cardstate.h"
#include "numbers/bmiforage.h"
#include "numbers/energy.h"
#include "numbers/progress.h"
#include "visits/bodyindex.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The body numbers of the patient page and the progress report, worked out
// once so that the two never disagree: from today's measurements (the latest
// visit's weight and girths, the page's while no visit has them), with a
// child's BMI against the WHO references and, under 18, plain reasons in
// place of the numbers made for adults.

namespace vel {

// What the numbers are read from; numbersInput() is the one place that knows
// the card's field names.
struct NumbersInput {
    QString birth;                  // BirEdit, "dd.mm.yyyy"
    QString height;                 // RostEdit
    QString weight, waist, hips;    // the page's VesEdit, TalEdit, BedrEdit
    int sex = -1;                   // SexGroup: 0 male, 1 female
    int activity = -1;              // AktivBox
    QVector<QStringList> visitRows; // the visit table: date, weight, waist, hips, ...
    QDate today;
};
NumbersInput numbersInput(const CardState &card, const QDate &today);

// A measure and the visit it was taken at; no date when it is the page's.
struct Measure {
    QString text; // as a number reads it: "86.5", or the page field's text
    std::optional<QDate> date;
    bool isEmpty() const { return !readNumber(text); }
};
struct CurrentMeasures {
    Measure weight;
    Measure waist;        // for the waist-to-height ratio
    Measure waistForHips; // waist and hips of one visit, for their ratio
    Measure hips;
};
// The latest dated visit with a weight gives the weight, the latest with a
// waist the waist, the latest with both girths the pair; rows on one date
// count in table order. Without such a visit the page's fields stand.
CurrentMeasures currentMeasures(const NumbersInput &in);

// "при весе 86,5 кг на 08.12.2026", or "при весе 92 кг" for the page's
// weight; empty without a weight.
QString atWeightText(const Measure &weight);

// Under this age the adult equations and thresholds are not shown.
inline constexpr int kAdultYears = 18;

struct BodyNumbers {
    CurrentMeasures now;
    std::optional<int> ageYears;      // completed years today
    bool child = false;               // under 19 on the day of the weight: WHO references
    bool underAdult = false;          // under 18 today: no adult equations
    std::optional<BmiResult> bmi;     // adult classes
    std::optional<ChildBmi> childBmi; // a child's SDS and class
    std::optional<EnergyNeed> energy; // adults only

    // The lines beside the measurements; empty where there is nothing to say.
    QString bmiLine;     // "ИМТ: 31,8 — ожирение I степени (на 08.12.2026)" or a child's SDS line
    QString whrLine;     // "ОТ/ОБ: 0,92 — риск существенно повышен"
    QString whtLine;     // "ОТ/рост: 0,55 — риск повышен"
    QString restingLine; // "Обмен покоя: 1495 ккал/сут, с активностью: 2317 (при весе 86,5 кг на 08.12.2026)"
    QString intakeLine;  // "Для снижения веса: 1617–1817 ккал/сут"
    QString brocaLine;   // under 18 only: what the Broca button says instead
    bool adultBmiBands() const { return !child; }
};
BodyNumbers bodyNumbers(const NumbersInput &in);

// "не применяется до 18 лет: " and why, for each adult measure.
QString underAdultReason(const QString &why);

// A BMI as the report's lines show it: "31,8 — ожирение I степени" for an
// adult, "24,0 — SDS +2,30: ожирение I степени (дети 5–19 лет, ВОЗ 2007)" for
// a child on the day of the visit. Empty without a value.
QString bmiValueOn(const NumbersInput &in, double weightKg, const QDate &measured);

// The change since the first visit beside the visit date: for an adult
// bmiChangeText(); for a child "ИМТ: 24,0 → 22,9 (SDS +2,30 → +1,85)".
QString bmiChangeLine(const std::optional<Progress> &p, const NumbersInput &in);

} // namespace vel
