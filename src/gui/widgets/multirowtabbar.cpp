#include "widgets/multirowtabbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>

namespace vel {

MultiRowTabBar::MultiRowTabBar(int rows, QWidget *parent) : QTabBar(parent), m_rows(std::max(1, rows))
{
    setExpanding(false);
    setUsesScrollButtons(false);
    setDrawBase(false);
}

int MultiRowTabBar::rowHeight() const
{
    return fontMetrics().height() + 5;
}

QSize MultiRowTabBar::sizeHint() const
{
    return {parentWidget() ? parentWidget()->width() : 780, rowHeight() * m_rows};
}

QSize MultiRowTabBar::minimumSizeHint() const
{
    return {100, rowHeight() * m_rows};
}

QVector<QRect> MultiRowTabBar::rowRects() const
{
    // Tabs fill the rows in order, the same number in each; every row is
    // stretched to the full width.
    QVector<QRect> rects(count());
    const int perRow = (count() + m_rows - 1) / m_rows;
    const QFontMetrics fm = fontMetrics();
    for (int row = 0; row < m_rows; ++row) {
        const int first = row * perRow;
        const int last = std::min(count(), first + perRow);
        if (first >= last)
            break;
        int natural = 0;
        for (int i = first; i < last; ++i)
            natural += fm.horizontalAdvance(tabText(i)) + 16;
        const int spare = std::max(0, width() - natural);
        int x = 0;
        for (int i = first; i < last; ++i) {
            int w = fm.horizontalAdvance(tabText(i)) + 16 + spare / (last - first);
            if (i == last - 1)
                w = width() - x;
            rects[i] = QRect(x, row * rowHeight(), w, rowHeight());
            x += w;
        }
    }
    return rects;
}

int MultiRowTabBar::tabAtPoint(const QPoint &pos) const
{
    const QVector<QRect> rects = rowRects();
    for (int i = 0; i < rects.size(); ++i)
        if (rects.at(i).contains(pos))
            return i;
    return -1;
}

void MultiRowTabBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QVector<QRect> rects = rowRects();
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i))
            continue;
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.rect = rects.at(i);
        option.position = QStyleOptionTab::Middle;
        option.selectedPosition = QStyleOptionTab::NotAdjacent;
        if (i != currentIndex())
            option.state &= ~QStyle::State_Selected;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

void MultiRowTabBar::mousePressEvent(QMouseEvent *event)
{
    const int tab = tabAtPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton && tab >= 0 && isTabEnabled(tab))
        setCurrentIndex(tab);
    event->accept();
}

void MultiRowTabBar::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void MultiRowTabBar::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace vel
