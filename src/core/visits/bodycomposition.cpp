#include "visits/bodycomposition.h"

#include "visits/bodyindex.h"

#include <cmath>

namespace vel {

const BodyMeasure &bodyMeasure(VisitColumn column)
{
    return kBodyMeasures[static_cast<std::size_t>(int(column) - kVisitColumns)];
}

bool fatMassWorkedOut(const QStringList &row)
{
    return visitCell(row, VisitColumn::FatMass).trimmed().isEmpty() && bodyValue(row, VisitColumn::FatMass);
}

QString decimalText(double value)
{
    QString text = QString::number(std::round(value * 10) / 10, 'f', 1).replace(u'.', u',');
    if (text.endsWith(QStringLiteral(",0")))
        text.chop(2);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

std::optional<BodyChange> bodyChange(const QVector<QStringList> &visitRows, VisitColumn column)
{
    BodyChange change;
    for (const QStringList &row : visitRows) {
        const auto date = readVisitDate(visitCell(row, VisitColumn::Date));
        const auto value = bodyValue(row, column);
        if (!date || !value)
            continue;
        if (change.visits++ == 0) {
            change.firstDate = *date;
            change.first = *value;
        }
        change.lastDate = *date;
        change.last = *value;
    }
    if (change.visits == 0)
        return std::nullopt;
    return change;
}

bool hasBodyComposition(const QVector<QStringList> &visitRows)
{
    for (const QStringList &row : visitRows)
        for (int j = kVisitColumns; j < row.size(); ++j)
            if (!row.at(j).trimmed().isEmpty())
                return true;
    return false;
}

} // namespace vel
