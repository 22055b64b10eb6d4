#pragma once

#include "visits/bodyindex.h"

#include <QWidget>

class QPainter;

#include <optional>

namespace vel {

// The visits' weight, waist and hip girths against the visit date: the
// weight in kilograms above, the girths in centimetres on their own scale
// below, one date scale for both; the body composition where the doctor
// turns it on. It only shows the table's numbers; the
// table stays the record.
class WeightChart final : public QWidget {
    Q_OBJECT
public:
    explicit WeightChart(QWidget *parent = nullptr);

    void setSeries(const ChartSeries &series);
    const ChartSeries &series() const { return m_series; }

    // The body composition lines the doctor turned on: the percentages on a
    // scale of their own at the right, the kilograms on the weight's.
    enum BodySeries { FatPercentSeries, WaterSeries, FatMassSeries, MuscleSeries, BodySeriesCount };
    void setBodySeriesShown(BodySeries series, bool shown);
    bool bodySeriesShown(BodySeries series) const { return m_bodyShown[series]; }

    // The doctor's aids over the weights: the goal as a line, the trend of
    // the last weighed visits with the day it reaches the goal, and the BMI
    // classes as faint bands for the patient's height (cm, as typed).
    void setGoal(std::optional<double> goalKg);
    void setHeight(const QString &heightCm);
    // The adult BMI classes mean nothing for a child: the bands can be left out.
    void setBmiBandsShown(bool shown);
    bool bmiBandsShown() const { return m_bandsShown; }
    std::optional<double> goal() const { return m_goal; }
    QString forecast() const; // "цель ≈ 15.04.2027" or empty

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    // One scale of values and the plot it is drawn in; both plots share the dates.
    struct Frame {
        QRectF plot;
        double xLeft = 0, xRight = 0; // where the first and last visit dates go
        qint64 firstDay = 0, lastDay = 0;
        double low = 0, high = 1, step = 1;
        int intervals = 1;
        int decimals = 0;
        QString unit;
        double x(const QDate &date) const;
        double y(double value) const;
    };
    struct Frames {
        std::optional<Frame> weight, girths; // either may be absent, not both
        std::optional<Frame> percent;        // over the weight's plot, its scale at the right
        const Frame &bottom() const { return girths ? *girths : *weight; }
        const std::optional<Frame> &of(int series) const; // the scale a line of seriesList() is drawn on
    };
    bool drawn(int series) const;
    void drawRightScale(QPainter &p, const Frame &f) const;
    std::optional<Frames> frames() const;
    QString valueText(double value, int decimals) const;
    void drawScale(QPainter &p, const Frame &f) const;
    void drawBmiBands(QPainter &p, const Frame &f) const;
    void drawBandNames(QPainter &p, const Frame &f, const QVector<QPolygonF> &lines,
                       const QVector<QRectF> &taken) const;
    QPolygonF drawGoal(QPainter &p, const Frame &f) const;
    QPolygonF drawTrend(QPainter &p, const Frame &f) const;
    QRectF drawGoalCaption(QPainter &p, const Frame &f) const;
    QVector<std::pair<double, double>> bandRanges(const Frame &f) const;

    ChartSeries m_series;
    std::optional<double> m_goal;
    QVector<double> m_bmiBorders; // weights at the class borders, lowest first
    bool m_bandsShown = true;
    bool m_bodyShown[BodySeriesCount] = {true, false, false, false};
};

} // namespace vel
