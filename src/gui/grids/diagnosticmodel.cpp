#include "grids/diagnosticmodel.h"

#include "grids/gridlook.h"
#include "visits/diagnosticblocks.h"

namespace vel {

DiagnosticModel::DiagnosticModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_rows = diagnosticRowsFromStored({});
}

int DiagnosticModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DiagnosticModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kDiagnosticGridColumns;
}

QVariant DiagnosticModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QStringList &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row.at(index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == 0)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return {};
    case kHeaderRowRole:
        return isBlockHeaderRow(row);
    case Qt::BackgroundRole:
        if (index.column() == 0)
            return gridHeadingBrush();
        return isBlockHeaderRow(row) ? QVariant(gridHeaderBrush()) : QVariant();
    default:
        return {};
    }
}

bool DiagnosticModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() == 0)
        return false;
    QString &cell = m_rows[index.row()][index.column()];
    const QString text = value.toString();
    if (cell == text)
        return true;
    const bool wasHeader = isBlockHeaderRow(m_rows.at(index.row()));
    cell = text;
    // Typing a header text over a row changes how the whole row looks.
    if (wasHeader != isBlockHeaderRow(m_rows.at(index.row())))
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kDiagnosticGridColumns - 1));
    else
        emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DiagnosticModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The point numbers are a heading: the row is dragged by them, never typed into.
    if (index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool DiagnosticModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                               const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0 ||
        sourceRow >= m_rows.size() || destinationChild < 0 || destinationChild > m_rows.size() ||
        destinationChild == sourceRow || destinationChild == sourceRow + 1)
        return false;
    beginMoveRows(QModelIndex(), sourceRow, sourceRow, QModelIndex(), destinationChild);
    m_rows.move(sourceRow, destinationChild > sourceRow ? destinationChild - 1 : destinationChild);
    endMoveRows();
    return true;
}

void DiagnosticModel::moveRowTo(int from, int to)
{
    moveRows(QModelIndex(), from, 1, QModelIndex(), to > from ? to + 1 : to);
}

void DiagnosticModel::replaceRows(QVector<QStringList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void DiagnosticModel::setStoredRows(const QVector<QStringList> &stored)
{
    replaceRows(diagnosticRowsFromStored(stored));
}

QVector<QStringList> DiagnosticModel::storedRows() const
{
    return storedDiagnosticRows(m_rows);
}

void DiagnosticModel::clear()
{
    replaceRows(diagnosticRowsFromStored({}));
}

int DiagnosticModel::appendBlock(const QString &today)
{
    // The one row of an empty table becomes the header row, the rest are appended.
    const int old = int(m_rows.size());
    const int target = old == 1 ? kBlockRows : old + kBlockRows;
    beginInsertRows(QModelIndex(), old, target - 1);
    const int first = vel::appendBlock(m_rows, today);
    endInsertRows();
    if (first < old)
        emit dataChanged(index(first, 0), index(old - 1, kDiagnosticGridColumns - 1));
    return first;
}

} // namespace vel
