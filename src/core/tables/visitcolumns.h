#pragma once

#include <QString>
#include <QStringList>

namespace vel {

// The columns of the visit table: each visit is ten lines of the .dat.tb2
// file in this order, so a column never moves.
enum class VisitColumn : int { Date, Weight, Waist, Hips, FatFold, Health, Hunger, FoodVolume, Stool, Urine };
inline constexpr int kVisitColumns = 10;

// One cell of a visit row; a short row reads as empty cells.
inline QString visitCell(const QStringList &row, VisitColumn column)
{
    return row.value(static_cast<int>(column));
}

} // namespace vel
