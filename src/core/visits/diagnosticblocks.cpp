#include "visits/diagnosticblocks.h"

namespace vel {

namespace {

const QString kDate = QStringLiteral("Дата");
const QString kRightArm = QStringLiteral("Правая рука");
const QString kLeftArm = QStringLiteral("Левая рука");
const QString kRightLeg = QStringLiteral("Правая нога");
const QString kLeftLeg = QStringLiteral("Левая нога");

QStringList emptyRow()
{
    return QStringList(kDiagnosticGridColumns, QString());
}

} // namespace

QString pointNumber(int rowInBlock)
{
    if (rowInBlock >= 1 && rowInBlock <= 6)
        return QString::number(rowInBlock);
    if (rowInBlock >= 8 && rowInBlock <= 13)
        return QString::number(rowInBlock - 7);
    return {};
}

QVector<QStringList> diagnosticRowsFromStored(const QVector<QStringList> &stored)
{
    QVector<QStringList> rows;
    rows.reserve(std::max<qsizetype>(1, stored.size()));
    const qsizetype complete = stored.size() / kBlockRows * kBlockRows;
    for (qsizetype r = 0; r < stored.size(); ++r) {
        const QStringList &cells = stored.at(r);
        rows.append(QStringList{r < complete ? pointNumber(int(r % kBlockRows)) : QString(), cells.value(0),
                                cells.value(1), cells.value(2)});
    }
    if (rows.isEmpty())
        rows.append(emptyRow());
    return rows;
}

QVector<QStringList> storedDiagnosticRows(const QVector<QStringList> &rows)
{
    QVector<QStringList> stored;
    stored.reserve(rows.size());
    for (const QStringList &row : rows)
        stored.append(row.mid(1, kDiagnosticGridColumns - 1));
    return stored;
}

int appendBlock(QVector<QStringList> &rows, const QString &today)
{
    int b = 0;
    if (rows.size() == 1) {
        rows.resize(kBlockRows, emptyRow());
    } else {
        b = int(rows.size());
        rows.resize(b + kBlockRows, emptyRow());
    }
    QStringList &head = rows[b];
    head[1] = kDate;
    head[2] = kRightArm;
    head[3] = kLeftArm;
    rows[b + 1][1] = today;
    rows[b + 7][2] = kRightLeg;
    rows[b + 7][3] = kLeftLeg;
    for (int k = 1; k < kBlockRows; ++k)
        if (k != 7)
            rows[b + k][0] = pointNumber(k);
    return b;
}

bool isBlockHeaderRow(const QStringList &row)
{
    return (row.value(1) == kDate && row.value(2) == kRightArm && row.value(3) == kLeftArm) ||
           (row.value(2) == kRightLeg && row.value(3) == kLeftLeg);
}

} // namespace vel
