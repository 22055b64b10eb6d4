#pragma once

#include "cardlist/cardsummary.h"

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QDate>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <optional>

namespace vel {

class CardFolderReader;

// The cards of the data folder, one row each, kept for the whole session:
// a later look at the list reads only the cards whose files changed.
class CardListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        NameColumn,
        BirthColumn,
        AgeColumn,
        VisitColumn,
        WeightColumn,
        NextColumn,
        OverdueColumn,
        ColumnCount
    };
    enum Role { PathRole = Qt::UserRole + 1 };

    // What the filter and the sorting need, worked out once per card.
    struct Row {
        CardSummary card;
        QStringList words;
        std::optional<QCollatorSortKey> nameKey;
        QDate birthDate, visitDate, nextDate;
        int overdue = 0; // days the next visit has passed
        std::optional<int> age;
        std::optional<double> weight;
    };

    CardListModel(const QString &dataDir, const QDate &today, QObject *parent = nullptr);
    ~CardListModel() override;

    // Looks at the folder again in the background; rows fill in as cards are read.
    void refresh();
    bool isReading() const { return m_reading; }
    // A card saved, opened or deleted in the window: read it again now (a
    // card whose main file is gone leaves the list). Other folders are ignored.
    void updateCard(const QString &mainPath);
    void removeCard(const QString &mainPath);

    const Row &row(int r) const { return m_rows.at(r); }
    // The patients whose next visit has passed, as of the day the list was made for.
    int overdueCount() const;
    int rowOf(const QString &mainPath) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void readingChanged(bool reading);

private:
    void addCards(int pass, const QVector<CardSummary> &cards);
    void keepOnly(int pass, const QStringList &paths);
    Row makeRow(const CardSummary &card) const;
    void upsert(const QVector<CardSummary> &cards);
    void settle(const QString &path);
    void reindex();
    bool inDataFolder(const QString &path) const;

    QString m_dataDir;
    QDate m_today;
    CardFolderReader *m_reader = nullptr;
    int m_pass = 0;
    bool m_reading = false;
    QVector<Row> m_rows;
    QHash<QString, int> m_index;
    QSet<QString> m_settled; // saved, opened or deleted here while the folder is being read
};

} // namespace vel
