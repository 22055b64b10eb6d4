#include "find/cardfilterproxy.h"

#include "find/cardlistmodel.h"

namespace vel {

namespace {

// Rows without a value sort before those with one.
template <typename T> int compareOptional(const std::optional<T> &a, const std::optional<T> &b)
{
    if (!a || !b)
        return int(bool(a)) - int(bool(b));
    return *a < *b ? -1 : (*b < *a ? 1 : 0);
}

int compareDates(const QDate &a, const QDate &b)
{
    if (!a.isValid() || !b.isValid())
        return int(a.isValid()) - int(b.isValid());
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

CardFilterProxy::CardFilterProxy(CardListModel *cards, QObject *parent) : QSortFilterProxyModel(parent), m_cards(cards)
{
    setSourceModel(cards);
    setDynamicSortFilter(true);
}

void CardFilterProxy::setSearchText(const QString &typed)
{
    if (typed == m_typed)
        return;
    m_typed = typed;
    m_query = parseCardQuery(typed);
    // One layout change for the whole list: row by row, thousands of rows
    // coming back on an erased letter would each be announced to the view.
    invalidate();
}

void CardFilterProxy::setOverdueOnly(bool only)
{
    if (only == m_overdueOnly)
        return;
    m_overdueOnly = only;
    invalidate();
}

bool CardFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const CardListModel::Row &row = m_cards->row(sourceRow);
    if (m_overdueOnly && row.overdue <= 0)
        return false;
    return m_query.isEmpty() || matchesCardQuery(m_query, row.words, row.card.birth);
}

bool CardFilterProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const CardListModel::Row &a = m_cards->row(left.row());
    const CardListModel::Row &b = m_cards->row(right.row());
    int order = 0;
    switch (left.column()) {
    case CardListModel::BirthColumn:
        order = compareDates(a.birthDate, b.birthDate);
        break;
    case CardListModel::AgeColumn:
        order = compareOptional(a.age, b.age);
        break;
    case CardListModel::VisitColumn:
        order = compareDates(a.visitDate, b.visitDate);
        break;
    case CardListModel::WeightColumn:
        order = compareOptional(a.weight, b.weight);
        break;
    case CardListModel::NextColumn:
        order = compareDates(a.nextDate, b.nextDate);
        break;
    case CardListModel::OverdueColumn:
        order = a.overdue - b.overdue;
        break;
    default:
        break;
    }
    // Equal values keep the patients in name order, then by file.
    if (order == 0)
        order = a.nameKey->compare(*b.nameKey);
    if (order == 0)
        order = a.card.path.compare(b.card.path);
    return order < 0;
}

} // namespace vel
