#include "widgets/stringgrid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace vel {

StringGrid::StringGrid(const QString &objectName, const QList<int> &columnWidths, bool fixedFirstColumn,
                       QWidget *parent)
    : QTableWidget(1, int(columnWidths.size()), parent), m_fixedFirst(fixedFirstColumn)
{
    setObjectName(objectName);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(19);
    verticalHeader()->setMinimumSectionSize(19);
    for (int c = 0; c < columnWidths.size(); ++c)
        setColumnWidth(c, columnWidths.at(c));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    if (m_fixedFirst)
        setItem(0, 0, fixedItem());
    connect(this, &QTableWidget::cellChanged, this, [this] { emit cellsChanged(); });
}

QTableWidgetItem *StringGrid::fixedItem() const
{
    // The point numbers look like a heading and cannot be edited.
    auto *it = new QTableWidgetItem;
    it->setFlags(Qt::ItemIsEnabled);
    it->setBackground(palette().button());
    it->setTextAlignment(Qt::AlignCenter);
    return it;
}

QString StringGrid::cell(int column, int row) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int column, int row, const QString &text)
{
    QTableWidgetItem *it = item(row, column);
    if (!it) {
        if (text.isEmpty())
            return;
        it = m_fixedFirst && column == 0 ? fixedItem() : new QTableWidgetItem;
        setItem(row, column, it);
    }
    it->setText(text);
}

void StringGrid::setRows(int rows)
{
    const int old = rowCount();
    // Rows taken away take their cells with them, so new rows start empty.
    setRowCount(std::max(0, rows));
    for (int r = old; r < rows; ++r) {
        setRowHeight(r, 19);
        if (m_fixedFirst)
            setItem(r, 0, fixedItem());
    }
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    m_dragRow = (m_fixedFirst && index.isValid() && index.column() == 0) ? index.row() : -1;
    QTableWidget::mousePressEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const int from = m_dragRow;
    m_dragRow = -1;
    QTableWidget::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (from >= 0 && index.isValid() && index.row() != from)
        moveRow(from, index.row());
}

void StringGrid::moveRow(int from, int to)
{
    QList<QTableWidgetItem *> taken;
    for (int c = 0; c < columnCount(); ++c)
        taken << takeItem(from, c);
    removeRow(from);
    insertRow(to);
    setRowHeight(to, 19);
    for (int c = 0; c < columnCount(); ++c)
        if (taken.at(c))
            setItem(to, c, taken.at(c));
    emit cellsChanged();
}

} // namespace vel
