#pragma once

#include "backup/restore.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vel {

// The cards of a backup, one row each, with a check mark in the first column
// for the cards to bring back.
class RestoreCardModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, BirthColumn, VisitColumn, InFolderColumn, ColumnCount };
    enum Role { FileNameRole = Qt::UserRole };

    explicit RestoreCardModel(const QVector<ArchivedCard> &cards, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QString name(int row) const { return m_rows.at(row).card.name; }
    QStringList checkedFileNames() const; // in the order of the rows
    int checkedCount() const { return m_checkedCount; }

    // Ticks every row the test accepts, telling the views once.
    void checkWhere(const std::function<bool(int row)> &accepts);

private:
    struct Row {
        ArchivedCard card;
        bool checked = false;
    };
    QVector<Row> m_rows;
    int m_checkedCount = 0;
};

// Shows the rows whose name holds the text, in any case.
class RestoreCardFilter final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setText(const QString &text);
    bool acceptsRow(int sourceRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_text;
};

} // namespace vel
