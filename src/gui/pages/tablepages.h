#pragma once

#include "pages/cardpage.h"
#include "visits/bodyindex.h"

namespace vel {

class BodyControls;
class ChartFeed;
class DiagnosticModel;
class GridView;
class VisitModel;
class WeightChart;

// "Данные диагностики": blocks of points on the arms and legs.
class DiagnosticPage final : public CardPage {
    Q_OBJECT
public:
    DiagnosticPage(const QString &today, QWidget *parent = nullptr);

    void load(const CardState &card) override;
    void store(CardState &card) const override;
    void reset(PageFields::Stage stage, const QString &today) override;

    void AddBtnClick();
    DiagnosticModel *model() const { return m_model; }

private:
    QString m_today;
    GridView *Grid1 = nullptr;
    DiagnosticModel *m_model = nullptr;
};

// "Динамика потери веса": the visit table and the weight chart under it.
class DynamicsPage final : public CardPage {
    Q_OBJECT
public:
    DynamicsPage(const QDate &today, QWidget *parent = nullptr);

    void load(const CardState &card) override;
    void store(CardState &card) const override;
    void reset(PageFields::Stage stage, const QString &today) override;

    void Add2ButtonClick();
    VisitModel *model() const { return m_model; }
    // Visits filled from an analyser's export: the body columns come into view.
    void takeImportedVisits(const QVector<QStringList> &visits);
    const ChartSeries &series() const;
    void setChartAids(std::optional<double> goalKg, const QString &height, bool adultBands);

signals:
    // The visits' points changed: once for a whole card, once per typed cell.
    void seriesChanged(const vel::ChartSeries &series);
    // What a command here tells in the status bar: a second visit on one day.
    void told(const QString &status);
    // The doctor added a visit on this day.
    void visitAdded(const QString &date);
    // The doctor asked to read an analyser's export into the visits.
    void importRequested();

private:
    QDate m_today;
    GridView *Grid2 = nullptr;
    VisitModel *m_model = nullptr;
    ChartFeed *m_feed = nullptr;
    WeightChart *Chart = nullptr;
    BodyControls *m_body = nullptr;
};

} // namespace vel
