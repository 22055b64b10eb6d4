#include "widgets/multirowtabbar.h"

#include <QHoverEvent>
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
    // Air above and below the caption, as much as beside it.
    return fontMetrics().height() + 10;
}

QSize MultiRowTabBar::sizeHint() const
{
    return {parentWidget() ? parentWidget()->width() : 780, rowHeight() * m_rows};
}

QSize MultiRowTabBar::minimumSizeHint() const
{
    return {100, rowHeight() * m_rows};
}

int MultiRowTabBar::naturalWidth(int index) const
{
    return fontMetrics().horizontalAdvance(tabText(index)) + 2 * kTextPadding;
}

QVector<QRect> MultiRowTabBar::rowRects() const
{
    // Tabs fill the rows in order, the same number in each; every row is
    // stretched to the full width. The rows turn so that the selected tab's
    // row is the lowest, next to the page.
    QVector<QRect> rects(count());
    const int perRow = (count() + m_rows - 1) / m_rows;
    const int selectedRow = currentIndex() >= 0 ? currentIndex() / perRow : m_rows - 1;
    for (int row = 0; row < m_rows; ++row) {
        const int first = row * perRow;
        const int last = std::min(count(), first + perRow);
        if (first >= last)
            break;
        const int shownRow = (row - selectedRow + 2 * m_rows - 1) % m_rows;
        int natural = 0;
        for (int i = first; i < last; ++i)
            natural += naturalWidth(i);
        const int spare = std::max(0, width() - natural);
        int x = 0;
        for (int i = first; i < last; ++i) {
            int w = naturalWidth(i) + spare / (last - first);
            if (i == last - 1)
                w = width() - x;
            rects[i] = QRect(x, shownRow * rowHeight(), w, rowHeight());
            x += w;
        }
    }
    return rects;
}

QRect MultiRowTabBar::tabRectAt(int index) const
{
    const QVector<QRect> rects = rowRects();
    return index >= 0 && index < rects.size() ? rects.at(index) : QRect();
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
        // Hover and focus follow the rows as drawn, not the base class's single row.
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
        if (i == m_hovered)
            option.state |= QStyle::State_MouseOver;
        if (i == currentIndex() && hasFocus())
            option.state |= QStyle::State_HasFocus;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

bool MultiRowTabBar::event(QEvent *event)
{
    int hovered = m_hovered;
    if (event->type() == QEvent::HoverMove || event->type() == QEvent::HoverEnter)
        hovered = tabAtPoint(static_cast<QHoverEvent *>(event)->position().toPoint());
    else if (event->type() == QEvent::HoverLeave)
        hovered = -1;
    if (hovered != m_hovered) {
        m_hovered = hovered;
        update();
    }
    return QTabBar::event(event);
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
