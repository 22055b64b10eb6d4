#include "grids/visitmodel.h"

#include "card/cardfiles.h"
#include "grids/gridlook.h"
#include "tables/visitcolumns.h"
#include "visits/bodyindex.h"

namespace vel {

namespace {

QStringList padded(QStringList row)
{
    row.resize(kVisitColumns);
    return row;
}

} // namespace

VisitModel::VisitModel(QObject *parent) : QAbstractTableModel(parent), m_titles(kVisitColumns, QString()) {}

int VisitModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1 + int(m_visits.size());
}

int VisitModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kVisitColumns;
}

QVariant VisitModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const bool titles = index.row() == 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return titles ? m_titles.at(index.column()) : m_visits.at(index.row() - 1).at(index.column());
    case kHeaderRowRole:
        return titles;
    case Qt::BackgroundRole:
        return titles ? QVariant(gridHeaderBrush()) : QVariant();
    default:
        return {};
    }
}

bool VisitModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    QString &cell = index.row() == 0 ? m_titles[index.column()] : m_visits[index.row() - 1][index.column()];
    const QString text = value.toString();
    if (cell != text) {
        cell = text;
        emit dataChanged(index, index);
    }
    return true;
}

Qt::ItemFlags VisitModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void VisitModel::setTitles(const QStringList &titles)
{
    m_titles = padded(titles);
    emit dataChanged(index(0, 0), index(0, kVisitColumns - 1));
}

void VisitModel::setVisits(const QVector<QStringList> &visits)
{
    beginResetModel();
    m_visits.clear();
    m_visits.reserve(visits.size());
    for (const QStringList &row : visits)
        m_visits.append(row.size() == kVisitColumns ? row : padded(row));
    endResetModel();
}

void VisitModel::clear()
{
    setVisits({});
}

int VisitModel::appendVisit(const QString &today)
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    QStringList cells(kVisitColumns, QString());
    cells[0] = today;
    m_visits.append(cells);
    endInsertRows();
    return row;
}

int VisitModel::rowOfDate(const QDate &day) const
{
    for (int i = 0; i < m_visits.size(); ++i)
        if (readVisitDate(visitCell(m_visits.at(i), VisitColumn::Date)) == day)
            return i + 1;
    return 0;
}

} // namespace vel
