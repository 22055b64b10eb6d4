#pragma once

#include <QString>
#include <QStringList>

namespace vel {

// The columns of the visit table: each visit is ten lines of the .dat.tb2
// file in this order, so a column never moves. The body composition an
// analyser measures follows them; it is kept in the .dat.bio file, one line
// a visit, and only by cards that have some.
enum class VisitColumn : int {
    Date,
    Weight,
    Waist,
    Hips,
    FatFold,
    Health,
    Hunger,
    FoodVolume,
    Stool,
    Urine,
    FatPercent, // % of the body weight
    FatMass,    // kg; worked out from the weight and the percentage when not typed
    MuscleMass, // skeletal muscle, kg
    Water,      // % of the body weight
    VisceralFat // the analyser's own level, no unit
};
inline constexpr int kVisitColumns = 10; // stored in .dat.tb2
inline constexpr int kBodyColumns = 5;   // stored in .dat.bio
inline constexpr int kVisitRowCells = kVisitColumns + kBodyColumns;

// One cell of a visit row; a short row reads as empty cells.
inline QString visitCell(const QStringList &row, VisitColumn column)
{
    return row.value(static_cast<int>(column));
}

} // namespace vel
