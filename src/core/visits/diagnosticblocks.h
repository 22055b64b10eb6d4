#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The diagnostic table's blocks: one examination is 14 rows, a header row
// with the date, six arm points, a leg header row and six leg points. Rows
// here hold all four cells; column 0 is the point number, shown but never
// stored, so it is rebuilt from the row's place in its block.

namespace vel {

inline constexpr int kBlockRows = 14;
inline constexpr int kDiagnosticGridColumns = 4; // the point number and the three stored cells

// "1".."6" for the point rows of a block, empty for its two header rows.
QString pointNumber(int rowInBlock);

// The shown rows of a stored table (three cells a row): complete blocks get
// their point numbers, a trailing part block none. An empty table is one
// empty row, as a new card shows it.
QVector<QStringList> diagnosticRowsFromStored(const QVector<QStringList> &stored);

// Columns 1..3 of every row, as the card keeps them.
QVector<QStringList> storedDiagnosticRows(const QVector<QStringList> &rows);

// Appends one block dated today and returns its first row. A table of one
// row counts as empty: that row becomes the block's header row, and its
// point number cell keeps what it held.
int appendBlock(QVector<QStringList> &rows, const QString &today);

// A row that carries a block's header texts ("Дата", the arm or leg words),
// wherever a drag has put it.
bool isBlockHeaderRow(const QStringList &row);

} // namespace vel
