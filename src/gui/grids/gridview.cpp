#include "grids/gridview.h"

#include "grids/gridlook.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <functional>
#include <utility>

namespace vel {

namespace {

// Header rows in bold, as the models mark them. Enter in a cell editor is
// told before the editor closes, for Qt closes it the same way when the
// keyboard moves to another row.
class HeaderRowDelegate final : public QStyledItemDelegate {
public:
    HeaderRowDelegate(std::function<void()> enterPressed, QObject *parent)
        : QStyledItemDelegate(parent), m_enterPressed(std::move(enterPressed))
    {
    }

protected:
    bool eventFilter(QObject *editor, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier)
                m_enterPressed();
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(kHeaderRowRole).toBool())
            option->font.setBold(true);
    }

private:
    std::function<void()> m_enterPressed;
};

constexpr int kRowHeight = 19;

} // namespace

GridView::GridView(const QString &objectName, const QList<int> &columnWidths, bool headingColumn, QWidget *parent)
    : QTableView(parent), m_widths(columnWidths), m_headingColumn(headingColumn)
{
    setObjectName(objectName);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Fixed rows keep a table of thousands of visits as cheap as a short one.
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(8);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    setItemDelegate(new HeaderRowDelegate([this] { m_enterPending = true; }, this));
}

void GridView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    applyWidths();
}

void GridView::applyWidths()
{
    for (int c = 0; c < m_widths.size(); ++c)
        horizontalHeader()->resizeSection(c, m_widths.at(c));
}

void GridView::fitColumns(const QVector<QStringList> &samples, int total)
{
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics plain(font()), strong(bold);
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    QList<int> need;
    int excess = -total;
    for (int c = 0; c < m_widths.size(); ++c) {
        int widest = 0;
        for (const QString &sample : samples.value(c))
            widest = std::max({widest, plain.horizontalAdvance(sample), strong.horizontalAdvance(sample)});
        need << widest + padding;
        m_widths[c] = std::max(m_widths.at(c), need.last());
        excess += m_widths.at(c);
    }
    // Columns wider than their content give room to those that need it, the roomiest first.
    while (excess > 0) {
        int roomiest = -1, room = 0;
        for (int c = 0; c < m_widths.size(); ++c) {
            if (m_widths.at(c) - need.at(c) > room) {
                room = m_widths.at(c) - need.at(c);
                roomiest = c;
            }
        }
        if (roomiest < 0)
            break;
        const int take = std::min({room, excess, 4});
        m_widths[roomiest] -= take;
        excess -= take;
    }
    // What is left over goes to the last column, so the table fills its frame.
    if (excess < 0 && !m_widths.isEmpty())
        m_widths.last() -= excess;
    applyWidths();
}

void GridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool enter = std::exchange(m_enterPending, false) && hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, hint);
    if (m_enterMovesOn && enter)
        moveOn();
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (m_enterMovesOn && enter && state() != EditingState && event->modifiers() == Qt::NoModifier) {
        moveOn();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridView::moveOn()
{
    const QModelIndex at = currentIndex();
    if (!at.isValid() || !model())
        return;
    // Hidden columns (the body measures while they are off) are passed over.
    int column = at.column() + 1;
    while (column < model()->columnCount() && isColumnHidden(column))
        ++column;
    QModelIndex next = at.siblingAtColumn(column);
    if (!next.isValid())
        next = model()->index(at.row() + 1, 0);
    // The last cell of the last row keeps the keyboard: a new visit comes from "+".
    if (!next.isValid())
        return;
    setCurrentIndex(next);
    scrollTo(next);
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    m_dragRow = (m_headingColumn && index.isValid() && index.column() == 0) ? index.row() : -1;
    QTableView::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    const int from = m_dragRow;
    m_dragRow = -1;
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (from >= 0 && index.isValid() && index.row() != from && model()) {
        const int to = index.row();
        model()->moveRow(QModelIndex(), from, QModelIndex(), to > from ? to + 1 : to);
    }
}

} // namespace vel
