#pragma once

#include <QWidget>

class QCheckBox;
class QToolButton;

namespace vel {

class GridView;
class VisitModel;
class WeightChart;

// The row between the visit table and the chart: whether the table shows
// the body composition columns (hidden until the doctor turns them on),
// which of those measures the chart draws, and the import of an analyser's
// export. The choices are the doctor's, kept for the next start.
class BodyControls final : public QWidget {
    Q_OBJECT
public:
    BodyControls(GridView *grid, VisitModel *model, WeightChart *chart, QWidget *parent);

    void showColumns(bool shown);
    bool columnsShown() const;

signals:
    void importRequested();

private:
    void chartChoiceChanged();

    GridView *m_grid;
    WeightChart *m_chart;
    QToolButton *BodyButton;
    QCheckBox *m_series[4] = {};
};

} // namespace vel
