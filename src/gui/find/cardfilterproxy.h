#pragma once

#include "cardlist/cardsearch.h"

#include <QSortFilterProxyModel>

namespace vel {

class CardListModel;

// The rows of the card list that match what the doctor typed, in the
// order of the column clicked (names in Russian order).
class CardFilterProxy final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CardFilterProxy(CardListModel *cards, QObject *parent = nullptr);

    void setSearchText(const QString &typed);
    // Only the patients whose next visit has passed.
    void setOverdueOnly(bool only);
    bool overdueOnly() const { return m_overdueOnly; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    CardListModel *m_cards;
    QString m_typed;
    CardQuery m_query;
    bool m_overdueOnly = false;
};

} // namespace vel
