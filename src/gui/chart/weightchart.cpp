#include "chart/weightchart.h"

#include "numbers/progress.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace vel {

namespace {

struct SeriesLook {
    QString name;
    QColor colour;
    int marker; // 0 circle, 1 square, 2 diamond: told apart without the colours too
};

// The weight and the girths, then the body composition in the order of
// WeightChart::BodySeries: the percentages on their own scale at the right
// (drawn dashed, to tell them by), the kilograms on the weight's.
QVector<SeriesLook> looks()
{
    return {{QStringLiteral("Вес"), QColor(0x1f, 0x5f, 0xbf), 0},
            {QStringLiteral("Объем талии"), QColor(0xc8, 0x46, 0x1a), 1},
            {QStringLiteral("Объем бедер"), QColor(0x2e, 0x8b, 0x3e), 2},
            {QStringLiteral("% жира"), QColor(0xb0, 0x30, 0x80), 0},
            {QStringLiteral("Вода, %"), QColor(0x00, 0x8b, 0xa8), 1},
            {QStringLiteral("Жир, кг"), QColor(0x8a, 0x5a, 0x20), 2},
            {QStringLiteral("Мышцы, кг"), QColor(0x55, 0x55, 0x55), 1}};
}

QVector<const QVector<ChartPoint> *> seriesList(const ChartSeries &s)
{
    return {&s.weight, &s.waist, &s.hips, &s.fatPercent, &s.water, &s.fatMass, &s.muscle};
}

constexpr int kFirstBodySeries = 3;
bool isPercentSeries(int s)
{
    return s == kFirstBodySeries + WeightChart::FatPercentSeries || s == kFirstBodySeries + WeightChart::WaterSeries;
}

constexpr double kMarkerRadius = 3.5;
constexpr int kLegendSwatch = 18;
constexpr double kMinSpan = 4;

// 1, 2 or 5 times a power of ten, at least raw.
double niceStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / power;
    return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * power;
}

void drawMarker(QPainter &p, int kind, const QPointF &c)
{
    const double r = kMarkerRadius;
    switch (kind) {
    case 1:
        p.drawRect(QRectF(c.x() - r + 0.5, c.y() - r + 0.5, 2 * r - 1, 2 * r - 1));
        break;
    case 2: {
        const double d = r + 0.8;
        const QPointF pts[] = {{c.x(), c.y() - d}, {c.x() + d, c.y()}, {c.x(), c.y() + d}, {c.x() - d, c.y()}};
        p.drawPolygon(pts, 4);
        break;
    }
    default:
        p.drawEllipse(c, r, r);
        break;
    }
}

QVector<ChartPoint> byDate(const QVector<ChartPoint> &points)
{
    // The table may be out of order; the line must not run back in time.
    QVector<ChartPoint> sorted = points;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const ChartPoint &a, const ChartPoint &b) { return a.date < b.date; });
    return sorted;
}

QPen goalPen()
{
    return QPen(QColor(0x8e, 0x3a, 0x9e), 1.5, Qt::DashLine, Qt::FlatCap);
}

// Told from the weight by colour and by its dashes, also in grey print.
QPen trendPen()
{
    QPen pen(QColor(0xe0, 0x6c, 0x00), 2, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({4, 2.5});
    return pen;
}

// Fills of the BMI classes from underweight to grade III, faint enough to
// stay behind everything; each band is named where it has room.
struct BandLook {
    QColor fill;
    const char *name;
};
const BandLook kBandLooks[] = {
    {QColor(0x5b, 0x9b, 0xd5, 28), "дефицит"},     {QColor(0x4c, 0xaf, 0x50, 30), "норма"},
    {QColor(0xff, 0xc1, 0x07, 34), "избыток"},     {QColor(0xff, 0x98, 0x00, 34), "ожирение I"},
    {QColor(0xf4, 0x51, 0x1e, 32), "ожирение II"}, {QColor(0xd3, 0x2f, 0x2f, 32), "ожирение III"},
};

// A line of more points than pixels looks the same drawn through each pixel
// column's first, lowest, highest and last point, in their order.
QPolygonF thinnedToPixels(const QPolygonF &line)
{
    if (line.size() < 2)
        return line;
    QPolygonF out;
    int i = 0;
    while (i < line.size()) {
        const double column = std::floor(line.at(i).x());
        int lo = i, hi = i, j = i;
        while (j < line.size() && std::floor(line.at(j).x()) == column) {
            if (line.at(j).y() < line.at(lo).y())
                lo = j;
            if (line.at(j).y() > line.at(hi).y())
                hi = j;
            ++j;
        }
        int keep[] = {i, std::min(lo, hi), std::max(lo, hi), j - 1};
        int previous = -1;
        for (int k : keep) {
            if (k != previous)
                out << line.at(k);
            previous = k;
        }
        i = j;
    }
    return out;
}

QString dateLabel(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yy"));
}

} // namespace

WeightChart::WeightChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WeightChart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WeightChart::setSeries(const ChartSeries &series)
{
    m_series = series;
    update();
}

void WeightChart::setBodySeriesShown(BodySeries series, bool shown)
{
    if (m_bodyShown[series] == shown)
        return;
    m_bodyShown[series] = shown;
    update();
}

bool WeightChart::drawn(int s) const
{
    return s < kFirstBodySeries || m_bodyShown[s - kFirstBodySeries];
}

const std::optional<WeightChart::Frame> &WeightChart::Frames::of(int s) const
{
    if (s == 0 || (s >= kFirstBodySeries && !isPercentSeries(s)))
        return weight;
    return isPercentSeries(s) ? percent : girths;
}

void WeightChart::setGoal(std::optional<double> goalKg)
{
    if (goalKg == m_goal)
        return;
    m_goal = goalKg;
    update();
}

void WeightChart::setBmiBandsShown(bool shown)
{
    if (shown == m_bandsShown)
        return;
    m_bandsShown = shown;
    update();
}

void WeightChart::setHeight(const QString &heightCm)
{
    const QVector<double> borders = bmiBorderWeights(heightCm);
    if (borders == m_bmiBorders)
        return;
    m_bmiBorders = borders;
    update();
}

QString WeightChart::forecast() const
{
    if (!m_goal)
        return QString();
    const QVector<ChartPoint> weighed = byDate(m_series.weight);
    const auto trend = weightTrend(weighed);
    return trend ? forecastText(goalDate(*trend, weighed.last().value, *m_goal)) : QString();
}

QSize WeightChart::sizeHint() const
{
    return {760, 210};
}

QSize WeightChart::minimumSizeHint() const
{
    return {320, 120};
}

double WeightChart::Frame::x(const QDate &date) const
{
    if (lastDay == firstDay)
        return (xLeft + xRight) / 2;
    return xLeft + double(date.toJulianDay() - firstDay) / double(lastDay - firstDay) * (xRight - xLeft);
}

double WeightChart::Frame::y(double value) const
{
    return plot.bottom() - (value - low) / (high - low) * plot.height();
}

QString WeightChart::valueText(double value, int decimals) const
{
    // "+ 0.0" keeps a rounded negative zero from showing as "-0".
    return QString::number(value + 0.0, 'f', decimals).replace(u'.', u',');
}

namespace {

struct Span {
    double lowest = 0, highest = 0;
    bool any = false;
    void add(double v)
    {
        lowest = any ? std::min(lowest, v) : v;
        highest = any ? std::max(highest, v) : v;
        any = true;
    }
};

// Whether a line drawn through these points passes through the box.
bool crosses(const QPolygonF &line, const QRectF &box)
{
    if (line.size() == 1)
        return box.contains(line.first());
    const QLineF edges[] = {{box.topLeft(), box.topRight()},
                            {box.topRight(), box.bottomRight()},
                            {box.bottomRight(), box.bottomLeft()},
                            {box.bottomLeft(), box.topLeft()}};
    for (int i = 1; i < line.size(); ++i) {
        const QLineF segment(line.at(i - 1), line.at(i));
        if (std::max(segment.x1(), segment.x2()) < box.left() || std::min(segment.x1(), segment.x2()) > box.right() ||
            std::max(segment.y1(), segment.y2()) < box.top() || std::min(segment.y1(), segment.y2()) > box.bottom())
            continue;
        if (box.contains(segment.p1()) || box.contains(segment.p2()))
            return true;
        for (const QLineF &edge : edges)
            if (segment.intersects(edge, nullptr) == QLineF::BoundedIntersection)
                return true;
    }
    return false;
}

} // namespace

std::optional<WeightChart::Frames> WeightChart::frames() const
{
    Span weight, girths, percent;
    qint64 firstDay = 0, lastDay = 0;
    bool anyDay = false;
    const auto all = seriesList(m_series);
    // The body composition shows beside the weight only.
    const bool weighed = !m_series.weight.isEmpty();
    for (int s = 0; s < all.size(); ++s) {
        if (!drawn(s) || (s >= kFirstBodySeries && !weighed))
            continue;
        Span &span = s == 0 || (s >= kFirstBodySeries && !isPercentSeries(s)) ? weight
                     : isPercentSeries(s)                                     ? percent
                                                                              : girths;
        for (const ChartPoint &pt : *all.at(s)) {
            const qint64 day = pt.date.toJulianDay();
            firstDay = anyDay ? std::min(firstDay, day) : day;
            lastDay = anyDay ? std::max(lastDay, day) : day;
            anyDay = true;
            span.add(pt.value);
        }
    }
    if (!anyDay)
        return std::nullopt;
    if (m_goal && weight.any)
        weight.add(*m_goal);

    const QFontMetricsF fm(font());
    const double line = fm.height();
    const double top = 6 + line + 10;
    const double bottom = height() - line - 9;
    // Both scales when both are there: the weight gets the larger share. The
    // gap between them holds the girths' unit clear of the last weight number
    // above it and the first girth number below it (half a line each).
    const double gap = 2 * line + 4;
    const double split = weight.any && girths.any ? top + (bottom - top - gap) * 0.6 : bottom;

    auto scale = [&](const Span &span, double plotTop, double plotBottom, const QString &unit) -> std::optional<Frame> {
        double lowest = span.lowest, highest = span.highest;
        Frame f;
        f.firstDay = firstDay;
        f.lastDay = lastDay;
        f.unit = unit;
        // A few hundred grams must not look like a cliff: show at least 4 kg or cm.
        if (highest - lowest < kMinSpan) {
            const double middle = (highest + lowest) / 2;
            lowest = middle - kMinSpan / 2;
            highest = middle + kMinSpan / 2;
        }
        const int intervals = std::max(2, int((plotBottom - plotTop) / (line * 2.4)));
        f.step = niceStep((highest - lowest) / intervals);
        f.low = std::floor(lowest / f.step) * f.step;
        // The lowest point keeps clear of the axis line.
        if (lowest - f.low < f.step * 0.3)
            f.low -= f.step;
        f.high = std::ceil(highest / f.step) * f.step;
        f.decimals = std::max(0, int(-std::floor(std::log10(f.step) + 1e-9)));
        // Numbers so large that a step no longer adds anything cannot be drawn.
        const double count = std::round((f.high - f.low) / f.step);
        if (!std::isfinite(count) || count < 1 || count > 100)
            return std::nullopt;
        f.intervals = int(count);
        f.plot = QRectF(0, plotTop, 1, std::max(1.0, plotBottom - plotTop));
        return f;
    };
    Frames result;
    if (weight.any) {
        result.weight = scale(weight, top, split, QStringLiteral("кг"));
        if (!result.weight)
            return std::nullopt;
    }
    if (girths.any) {
        result.girths = scale(girths, weight.any ? split + gap : top, bottom, QStringLiteral("см"));
        if (!result.girths)
            return std::nullopt;
    }
    if (percent.any && result.weight) {
        result.percent = scale(percent, top, split, QStringLiteral("%"));
        if (!result.percent)
            return std::nullopt;
    }

    // One left edge for both plots, wide enough for either scale's numbers.
    double labelWidth = 0;
    for (const std::optional<Frame> *f : {&result.weight, &result.girths})
        if (*f)
            for (int k = 0; k <= (*f)->intervals; ++k)
                labelWidth =
                    std::max(labelWidth, fm.horizontalAdvance(valueText((*f)->low + k * (*f)->step, (*f)->decimals)));
    const double left = 8 + std::ceil(labelWidth) + 6;
    // The percentages' numbers stand right of the plot.
    double percentWidth = 0;
    if (result.percent)
        for (int k = 0; k <= result.percent->intervals; ++k)
            percentWidth =
                std::max(percentWidth, fm.horizontalAdvance(valueText(result.percent->low + k * result.percent->step,
                                                                      result.percent->decimals)));
    const double right = width() - 10 - (result.percent ? std::ceil(percentWidth) + 6 : 0);
    const double halfDate = fm.horizontalAdvance(dateLabel(QDate(2000, 12, 31))) / 2;
    for (std::optional<Frame> *f : {&result.weight, &result.girths, &result.percent}) {
        if (!*f)
            continue;
        Frame &frame = **f;
        frame.plot = QRectF(left, frame.plot.top(), std::max(1.0, right - left), frame.plot.height());
        frame.xLeft = frame.plot.left() + std::max(14.0, halfDate - 8 - labelWidth);
        frame.xRight = std::min(frame.plot.right() - 14, width() - 7 - halfDate);
        if (frame.xRight < frame.xLeft)
            frame.xLeft = frame.xRight = frame.plot.center().x();
    }
    return result;
}

void WeightChart::drawRightScale(QPainter &p, const Frame &f) const
{
    // No rules across: those of the weight are there already.
    const QFontMetricsF fm(font());
    p.setPen(palette().color(QPalette::Text));
    for (int k = 0; k <= f.intervals; ++k) {
        const double v = f.low + k * f.step;
        const double y = std::round(f.y(v)) + 0.5;
        p.drawText(QRectF(f.plot.right() + 6, y - fm.height() / 2, width() - f.plot.right() - 6, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, valueText(v, f.decimals));
    }
    QColor axis = palette().color(QPalette::Text);
    axis.setAlpha(150);
    p.setPen(axis);
    const double x = std::round(f.plot.right()) + 0.5;
    p.drawLine(QPointF(x, f.plot.top()), QPointF(x, std::round(f.plot.bottom()) + 0.5));
}

void WeightChart::drawScale(QPainter &p, const Frame &f) const
{
    const QFontMetricsF fm(font());
    const QPalette &pal = palette();
    QColor grid = pal.color(QPalette::Mid);
    grid.setAlpha(90);
    QColor axis = pal.color(QPalette::Text);
    axis.setAlpha(150);
    // Value scale: light rules across, labels at the left.
    for (int k = 0; k <= f.intervals; ++k) {
        const double v = f.low + k * f.step;
        const double y = std::round(f.y(v)) + 0.5;
        p.setPen(grid);
        p.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
        p.setPen(pal.color(QPalette::Text));
        const QRectF label(0, y - fm.height() / 2, f.plot.left() - 6, fm.height());
        p.drawText(label, Qt::AlignRight | Qt::AlignVCenter, valueText(v, f.decimals));
    }
    p.setPen(axis);
    const double axisLeft = std::round(f.plot.left()) + 0.5;
    const double axisBottom = std::round(f.plot.bottom()) + 0.5;
    p.drawLine(QPointF(axisLeft, f.plot.top()), QPointF(axisLeft, axisBottom));
    p.drawLine(QPointF(axisLeft, axisBottom), QPointF(f.plot.right(), axisBottom));
}

void WeightChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const std::optional<Frames> fs = frames();
    if (!fs) {
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Нет данных для графика"));
        return;
    }
    const QFontMetricsF fm(font());
    const QColor text = pal.color(QPalette::Text);
    QColor axis = text;
    axis.setAlpha(150);

    if (fs->weight)
        drawBmiBands(p, *fs->weight);
    for (const std::optional<Frame> *f : {&fs->weight, &fs->girths})
        if (*f)
            drawScale(p, **f);
    if (fs->percent)
        drawRightScale(p, *fs->percent);

    // Date scale under the lower plot: a tick at every visit, a label wherever
    // one fits. Ticks and labels go by pixel, so thousands of visits cost no
    // more than the width of the chart.
    const Frame &dates = fs->bottom();
    const double axisBottom = std::round(dates.plot.bottom()) + 0.5;
    QVector<qint64> days;
    const auto drawnSeries = seriesList(m_series);
    for (int s = 0; s < drawnSeries.size(); ++s)
        if (fs->of(s) && drawn(s))
            for (const ChartPoint &pt : *drawnSeries.at(s))
                days.append(pt.date.toJulianDay());
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    struct Label {
        QRectF box;
        QString text;
    };
    QVector<Label> labels;
    const double gap = fm.horizontalAdvance(QStringLiteral("  "));
    // Every label has the same digits' width; "00.00.00" is the widest.
    const double widest = fm.horizontalAdvance(dateLabel(QDate(2000, 12, 31)));
    double lastTick = -1, lastRight = -1e9;
    p.setPen(axis);
    for (int i = 0; i < days.size(); ++i) {
        const QDate date = QDate::fromJulianDay(days.at(i));
        const double x = std::round(dates.x(date)) + 0.5;
        if (x != lastTick) {
            p.drawLine(QPointF(x, axisBottom), QPointF(x, axisBottom + 3));
            if (fs->weight && fs->girths) {
                const double upper = std::round(fs->weight->plot.bottom()) + 0.5;
                p.drawLine(QPointF(x, upper), QPointF(x, upper + 3));
            }
        }
        lastTick = x;
        const bool latest = i == days.size() - 1;
        const double l0 = std::clamp(x - widest / 2, 2.0, std::max(2.0, width() - 2 - widest));
        if (!latest && !labels.isEmpty() && l0 < lastRight + gap - 1)
            continue;
        const QString t = dateLabel(date);
        const double w = fm.horizontalAdvance(t);
        const double l = std::clamp(x - w / 2, 2.0, std::max(2.0, width() - 2 - w));
        const Label label{QRectF(l, axisBottom + 4, w, fm.height()), t};
        if (labels.isEmpty() || l >= labels.last().box.right() + gap) {
            labels.append(label);
            lastRight = label.box.right();
        } else if (latest && labels.size() > 1) {
            // The latest visit matters most: it takes the place of the one before.
            labels.last() = label;
        }
    }
    p.setPen(text);
    for (const Label &label : labels)
        p.drawText(label.box, Qt::AlignCenter, label.text);

    p.setRenderHint(QPainter::Antialiasing);
    // The goal lies under the lines; the trend goes over the weight, where
    // it would otherwise hide.
    QVector<QPolygonF> weightLines;
    if (fs->weight)
        weightLines << drawGoal(p, *fs->weight);

    // The lines, each with its own marker, each on its own scale.
    const QVector<SeriesLook> look = looks();
    const auto all = seriesList(m_series);
    for (int s = 0; s < all.size(); ++s) {
        const std::optional<Frame> &frame = fs->of(s);
        if (!frame || !drawn(s))
            continue;
        const Frame &f = *frame;
        const QVector<ChartPoint> points = byDate(*all.at(s));
        QPolygonF line;
        line.reserve(points.size());
        for (const ChartPoint &pt : points)
            line << QPointF(f.x(pt.date), f.y(pt.value));
        p.setBrush(Qt::NoBrush);
        const bool dense = line.size() > f.plot.width() / 2;
        if (dense) {
            // Years of weekly visits: a hairline through every pixel column
            // keeps the shape and draws in a moment, where a wide smooth pen
            // over a zig-zag of thousands of points takes the better part of
            // a second.
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(look.at(s).colour, 1));
            const QPolygonF thin = thinnedToPixels(line);
            p.drawPolyline(thin);
            p.restore();
            if (s == 0)
                weightLines << thin;
        } else {
            p.setPen(QPen(look.at(s).colour, s >= kFirstBodySeries ? 1.5 : 2,
                          isPercentSeries(s) ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(line);
            if (s == 0)
                weightLines << line;
        }
        p.setPen(QPen(pal.color(QPalette::Base), 1));
        p.setBrush(look.at(s).colour);
        // Markers only while they stand apart; a dense line is read as a line.
        if (line.size() <= 1 || f.plot.width() / line.size() >= 2 * kMarkerRadius + 1) {
            for (const QPointF &c : line)
                drawMarker(p, look.at(s).marker, c);
        } else {
            drawMarker(p, look.at(s).marker, line.last());
        }
    }
    p.setBrush(Qt::NoBrush);
    if (fs->weight) {
        weightLines << drawTrend(p, *fs->weight);
        const QRectF caption = drawGoalCaption(p, *fs->weight);
        drawBandNames(p, *fs->weight, weightLines, {caption});
    }

    // Legend at the top right, the unit at the top left over the values; the
    // percentages' unit over their scale at the right.
    double x = width() - 10;
    const double legendY = 6;
    if (fs->percent) {
        const double w = fm.horizontalAdvance(fs->percent->unit);
        p.setPen(text);
        p.drawText(QRectF(x - w, legendY, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, fs->percent->unit);
        x -= w + 16;
    }
    for (int s = int(look.size()) - 1; s >= 0; --s) {
        if (all.at(s)->isEmpty() || !fs->of(s) || !drawn(s))
            continue;
        const double w = fm.horizontalAdvance(look.at(s).name);
        // The body composition's names give way where the bar is full.
        if (s >= kFirstBodySeries && x - w - 5 - kLegendSwatch < width() / 3)
            continue;
        x -= w;
        p.setPen(text);
        p.drawText(QRectF(x, legendY, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, look.at(s).name);
        x -= 5 + kLegendSwatch;
        const double cy = legendY + fm.height() / 2;
        p.setPen(QPen(look.at(s).colour, 2, isPercentSeries(s) ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x + 1, cy), QPointF(x + kLegendSwatch - 1, cy));
        p.setPen(QPen(pal.color(QPalette::Base), 1));
        p.setBrush(look.at(s).colour);
        drawMarker(p, look.at(s).marker, QPointF(x + kLegendSwatch / 2.0, cy));
        p.setBrush(Qt::NoBrush);
        x -= 16;
    }
    // The aids follow on the left, each only while it is drawn.
    const QString topUnit = fs->weight ? fs->weight->unit : fs->girths->unit;
    const double unitRight = 8 + fm.horizontalAdvance(topUnit) + 16;
    const bool hasTrend = bool(weightTrend(byDate(m_series.weight)));
    const std::pair<QString, QPen> aids[] = {{QStringLiteral("Тренд"), trendPen()},
                                             {QStringLiteral("Цель"), goalPen()}};
    for (const auto &[name, pen] : aids) {
        if ((name == aids[0].first ? !hasTrend : !m_goal || m_series.weight.isEmpty()))
            continue;
        const double w = fm.horizontalAdvance(name);
        if (x - w - 5 - kLegendSwatch < unitRight)
            break;
        x -= w;
        p.setPen(text);
        p.drawText(QRectF(x, legendY, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, name);
        x -= 5 + kLegendSwatch;
        const double cy = legendY + fm.height() / 2;
        p.setPen(pen);
        p.drawLine(QPointF(x + 1, cy), QPointF(x + kLegendSwatch - 1, cy));
        x -= 16;
    }
    p.setPen(text);
    if (unitRight < x)
        p.drawText(QRectF(8, legendY, fm.horizontalAdvance(topUnit) + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   topUnit);
    // The girths' unit over their own scale, when they have a plot of their own.
    if (fs->weight && fs->girths) {
        const QString unit = fs->girths->unit;
        const double y = fs->girths->plot.top() - 1.5 * fm.height() - 2;
        p.drawText(QRectF(8, y, fm.horizontalAdvance(unit) + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, unit);
    }
}

QVector<std::pair<double, double>> WeightChart::bandRanges(const Frame &f) const
{
    // Pixel top and bottom of every class band, cut to the plot; empty where none shows.
    QVector<std::pair<double, double>> ranges;
    for (int b = 0; b <= m_bmiBorders.size(); ++b) {
        const double lowKg = b == 0 ? f.low : m_bmiBorders.at(b - 1);
        const double highKg = b == m_bmiBorders.size() ? f.high : m_bmiBorders.at(b);
        const double top = std::max(f.plot.top(), f.y(std::min(highKg, f.high)));
        const double bottom = std::min(f.plot.bottom(), f.y(std::max(lowKg, f.low)));
        ranges.append({top, bottom});
    }
    return ranges;
}

void WeightChart::drawBmiBands(QPainter &p, const Frame &f) const
{
    if (!m_bandsShown || m_bmiBorders.isEmpty() || m_series.weight.isEmpty())
        return;
    p.save();
    p.setClipRect(f.plot);
    const auto ranges = bandRanges(f);
    for (int b = 0; b < ranges.size(); ++b) {
        const auto [top, bottom] = ranges.at(b);
        if (bottom - top < 1)
            continue;
        p.fillRect(QRectF(f.plot.left(), top, f.plot.width(), bottom - top), kBandLooks[b].fill);
    }
    p.restore();
}

void WeightChart::drawBandNames(QPainter &p, const Frame &f, const QVector<QPolygonF> &lines,
                                const QVector<QRectF> &taken) const
{
    if (!m_bandsShown || m_bmiBorders.isEmpty() || m_series.weight.isEmpty())
        return;
    QFont small = font();
    small.setPixelSize(std::max(8, QFontInfo(font()).pixelSize() - 2));
    const QFontMetricsF fm(small);
    p.save();
    p.setFont(small);
    p.setClipRect(f.plot);
    const auto ranges = bandRanges(f);
    for (int b = 0; b < ranges.size(); ++b) {
        const auto [top, bottom] = ranges.at(b);
        if (bottom - top < fm.height() + 2)
            continue;
        const QString name = QStringLiteral("ИМТ: ") + QString::fromUtf8(kBandLooks[b].name);
        const double w = fm.horizontalAdvance(name) + 2;
        const double h = fm.height();
        // A name goes where no line runs through it: a corner of its band,
        // or, in a tall band, its middle; with no free place it is left out.
        const double left = f.plot.left() + 4, right = f.plot.right() - 4 - w;
        const double low = bottom - 1 - h, high = top + 1, middle = (top + bottom - h) / 2;
        const QPointF places[] = {{left, low},
                                  {right, low},
                                  {left, high},
                                  {right, high},
                                  {left, middle},
                                  {right, middle},
                                  {(left + right) / 2, low},
                                  {(left + right) / 2, high}};
        for (const QPointF &place : places) {
            const QRectF box(place, QSizeF(w, h));
            bool free = box.left() >= f.plot.left() && box.right() <= f.plot.right();
            for (const QRectF &other : taken)
                free = free && !box.intersects(other);
            for (const QPolygonF &line : lines)
                free = free && !crosses(line, box.adjusted(-2, -1, 2, 1));
            if (!free)
                continue;
            QColor ink = kBandLooks[b].fill;
            ink.setAlpha(190);
            p.setPen(ink.darker(160));
            p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, name);
            break;
        }
    }
    p.restore();
}

QPolygonF WeightChart::drawTrend(QPainter &p, const Frame &f) const
{
    const QVector<ChartPoint> weighed = byDate(m_series.weight);
    const auto trend = weightTrend(weighed);
    if (!trend)
        return {};
    // On past the last visit to the edge, to show where it leads.
    double endX = f.x(trend->to), endKg = trend->at(trend->to);
    if (f.lastDay > f.firstDay && f.xRight > f.xLeft) {
        const double daysPerPixel = double(f.lastDay - f.firstDay) / (f.xRight - f.xLeft);
        endKg += trend->kgPerDay * (f.plot.right() - endX) * daysPerPixel;
        endX = f.plot.right();
    }
    p.save();
    p.setClipRect(f.plot);
    p.setPen(trendPen());
    const QLineF line(QPointF(f.x(trend->from), f.y(trend->at(trend->from))), QPointF(endX, f.y(endKg)));
    p.drawLine(line);
    p.restore();
    return QPolygonF{line.p1(), line.p2()};
}

QPolygonF WeightChart::drawGoal(QPainter &p, const Frame &f) const
{
    if (!m_goal || m_series.weight.isEmpty())
        return {};
    const double y = f.y(*m_goal);
    p.setPen(goalPen());
    p.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
    return QPolygonF{QPointF(f.plot.left(), y), QPointF(f.plot.right(), y)};
}

QRectF WeightChart::drawGoalCaption(QPainter &p, const Frame &f) const
{
    if (!m_goal || m_series.weight.isEmpty())
        return {};
    const double y = f.y(*m_goal);
    const QString caption =
        forecast().isEmpty()
            ? QStringLiteral("цель ") + kgText(*m_goal).remove(QStringLiteral(",0")) + QStringLiteral(" кг")
            : forecast();
    const QFontMetricsF fm(font());
    const double w = fm.horizontalAdvance(caption) + 1;
    // Above the line, or below it where the top of the plot is too near.
    const double top = y - fm.height() - 1 >= f.plot.top() ? y - fm.height() - 1 : y + 2;
    const QRectF box(f.plot.right() - w - 6, top, w, fm.height());
    QColor back = palette().color(QPalette::Base);
    back.setAlpha(200);
    p.fillRect(box.adjusted(-2, 0, 2, 0), back);
    p.setPen(goalPen().color());
    p.drawText(box, Qt::AlignCenter, caption);
    return box.adjusted(-2, 0, 2, 0);
}

bool WeightChart::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const std::optional<Frames> fs = frames();
    QString tip;
    if (fs) {
        // The nearest marker under the pointer tells its date and number.
        double best = 8 * 8;
        const QVector<SeriesLook> look = looks();
        const auto all = seriesList(m_series);
        for (int s = 0; s < all.size(); ++s) {
            const std::optional<Frame> &f = fs->of(s);
            if (!f || !drawn(s))
                continue;
            for (const ChartPoint &pt : *all.at(s)) {
                const QPointF d = QPointF(f->x(pt.date), f->y(pt.value)) - QPointF(help->pos());
                const double dist = d.x() * d.x() + d.y() * d.y();
                if (dist <= best) {
                    best = dist;
                    tip = pt.date.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" — ") + look.at(s).name +
                          QStringLiteral(": ") + QString::number(pt.value, 'g', 10).replace(u'.', u',');
                }
            }
        }
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

} // namespace vel
