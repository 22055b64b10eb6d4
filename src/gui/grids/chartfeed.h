#pragma once

#include "visits/bodyindex.h"

#include <QObject>
#include <QVector>

namespace vel {

class VisitModel;

// Keeps the weight chart's points of every visit row as the visit table
// changes: a whole card is read once, a typed cell re-reads only its row, so
// that typing in a long table stays as quick as in a short one.
class ChartFeed final : public QObject {
    Q_OBJECT
public:
    explicit ChartFeed(VisitModel *model, QObject *parent = nullptr);

    // The points of all rows in table order, as chartSeries() gives them.
    const ChartSeries &series() const;

signals:
    void changed();

private:
    void readAll();
    void readRows(int first, int last); // model rows, the titles are row 0

    VisitModel *m_model;
    QVector<ChartSeries> m_rows; // what each visit row adds, mostly one point a series
    mutable ChartSeries m_all;   // put together when first asked for after a change
    mutable bool m_allKept = false;
};

} // namespace vel
