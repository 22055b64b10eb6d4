#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QStringList>
#include <QVector>

namespace vel {

// The weight dynamics table: row 0 the column titles (editable, never stored),
// then one row per visit: ten cells, and the five of the body composition
// once one of them is filled.
class VisitModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit VisitModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setTitles(const QStringList &titles);
    // The card's visits replace every row below the titles at once.
    void setVisits(const QVector<QStringList> &visits);
    const QVector<QStringList> &visits() const { return m_visits; }
    void clear(); // the titles stay
    int appendVisit(const QString &today);
    // The first row whose date reads as this day, counted as the table shows
    // it (the titles are row 0); 0 when there is none.
    int rowOfDate(const QDate &day) const;

private:
    QStringList m_titles;
    QVector<QStringList> m_visits;
};

} // namespace vel
