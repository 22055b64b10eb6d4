#include "grids/chartfeed.h"

#include "grids/visitmodel.h"
#include "tables/visitcolumns.h"

namespace vel {

namespace {

// The chart reads the date, the weight and the two girths.
constexpr int kChartColumns = 4;

ChartSeries rowPoints(const QStringList &row)
{
    return chartSeries(QVector<QStringList>{row});
}

} // namespace

ChartFeed::ChartFeed(VisitModel *model, QObject *parent) : QObject(parent), m_model(model)
{
    connect(model, &QAbstractItemModel::modelReset, this, &ChartFeed::readAll);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ChartFeed::readAll);
    connect(model, &QAbstractItemModel::rowsMoved, this, &ChartFeed::readAll);
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        const int from = std::max(first, 1);
        if (from > last)
            return;
        m_rows.insert(from - 1, last - from + 1, ChartSeries());
        m_allKept = false;
        readRows(from, last);
        emit changed();
    });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                // The free-text columns between the girths and the body composition draw nothing.
                if (bottomRight.row() < 1 ||
                    (topLeft.column() >= kChartColumns && bottomRight.column() < kVisitColumns))
                    return;
                readRows(std::max(topLeft.row(), 1), bottomRight.row());
                emit changed();
            });
    readAll();
}

void ChartFeed::readAll()
{
    m_rows.resize(m_model->visits().size());
    m_allKept = false;
    readRows(1, int(m_rows.size()));
    emit changed();
}

void ChartFeed::readRows(int first, int last)
{
    m_allKept = false;
    const QVector<QStringList> &visits = m_model->visits();
    for (int r = first; r <= last && r - 1 < visits.size(); ++r)
        m_rows[r - 1] = rowPoints(visits.at(r - 1));
}

const ChartSeries &ChartFeed::series() const
{
    if (m_allKept)
        return m_all;
    ChartSeries &all = m_all;
    all = ChartSeries();
    qsizetype counts[3] = {0, 0, 0};
    for (const ChartSeries &row : m_rows) {
        counts[0] += row.weight.size();
        counts[1] += row.waist.size();
        counts[2] += row.hips.size();
    }
    all.weight.reserve(counts[0]);
    all.waist.reserve(counts[1]);
    all.hips.reserve(counts[2]);
    for (const ChartSeries &row : m_rows)
        all.append(row);
    m_allKept = true;
    return all;
}

} // namespace vel
