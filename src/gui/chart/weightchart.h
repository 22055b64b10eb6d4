#pragma once

#include "visits/bodyindex.h"

#include <QWidget>

#include <optional>

namespace vel {

// The visits' weight, waist and hip girths against the visit date. It only
// shows the table's numbers; the table stays the record.
class WeightChart final : public QWidget {
    Q_OBJECT
public:
    explicit WeightChart(QWidget *parent = nullptr);

    void setSeries(const ChartSeries &series);
    const ChartSeries &series() const { return m_series; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Where everything goes for the current size, font and data.
    struct Frame {
        QRectF plot;
        double xLeft = 0, xRight = 0; // where the first and last visit dates go
        qint64 firstDay = 0, lastDay = 0;
        double low = 0, high = 1, step = 1;
        int intervals = 1;
        int decimals = 0;
        double x(const QDate &date) const;
        double y(double value) const;
    };
    std::optional<Frame> frame() const;
    QString valueText(double value, int decimals) const;

    ChartSeries m_series;
};

} // namespace vel
