#include "grids/visitmodel.h"

#include "card/cardfiles.h"
#include "grids/gridlook.h"
#include "tables/visitcolumns.h"
#include "visits/bodycomposition.h"
#include "visits/bodyindex.h"

#include <QBrush>
#include <QPalette>

namespace vel {

namespace {

// A visit row has its ten stored cells; the body columns only once one is filled.
QStringList padded(QStringList row)
{
    row.resize(row.size() > kVisitColumns ? kVisitRowCells : kVisitColumns);
    return row;
}

} // namespace

VisitModel::VisitModel(QObject *parent) : QAbstractTableModel(parent), m_titles(kVisitRowCells, QString()) {}

int VisitModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1 + int(m_visits.size());
}

int VisitModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kVisitRowCells;
}

QVariant VisitModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const bool titles = index.row() == 0;
    const bool workedOut =
        !titles && index.column() == int(VisitColumn::FatMass) && fatMassWorkedOut(m_visits.at(index.row() - 1));
    switch (role) {
    case Qt::DisplayRole:
        // The fat mass the analyser did not give: weight × %, shown until one is typed.
        if (workedOut)
            return decimalText(*bodyValue(m_visits.at(index.row() - 1), VisitColumn::FatMass));
        [[fallthrough]];
    case Qt::EditRole:
        return titles ? m_titles.at(index.column()) : m_visits.at(index.row() - 1).value(index.column());
    case kHeaderRowRole:
        return titles;
    case Qt::BackgroundRole:
        return titles ? QVariant(gridHeaderBrush()) : QVariant();
    case Qt::ForegroundRole:
        return workedOut ? QVariant(QPalette().brush(QPalette::Disabled, QPalette::Text)) : QVariant();
    case Qt::ToolTipRole:
        return workedOut ? QVariant(QStringLiteral("Рассчитано: вес × % жира")) : QVariant();
    default:
        return {};
    }
}

bool VisitModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    if (index.row() > 0 && index.column() >= m_visits.at(index.row() - 1).size()) {
        if (text.isEmpty())
            return true; // a body column the row does not have yet stays away
        m_visits[index.row() - 1].resize(kVisitRowCells);
    }
    QString &cell = index.row() == 0 ? m_titles[index.column()] : m_visits[index.row() - 1][index.column()];
    if (cell != text) {
        cell = text;
        // The fat mass worked out from the weight and the percentage changes with them: one change for both.
        const int column = index.column();
        const bool massFollows = index.row() > 0 && m_visits.at(index.row() - 1).size() > kVisitColumns &&
                                 (column == int(VisitColumn::Weight) || column == int(VisitColumn::FatPercent));
        emit dataChanged(index, massFollows ? index.siblingAtColumn(int(VisitColumn::FatMass)) : index);
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
    m_titles = titles;
    m_titles.resize(kVisitRowCells);
    emit dataChanged(index(0, 0), index(0, kVisitRowCells - 1));
}

void VisitModel::setVisits(const QVector<QStringList> &visits)
{
    beginResetModel();
    m_visits.clear();
    m_visits.reserve(visits.size());
    for (const QStringList &row : visits)
        m_visits.append(row.size() == kVisitColumns || row.size() == kVisitRowCells ? row : padded(row));
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
