#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace vel {

// The diagnostic table's rows, four cells each: the point number (a heading,
// never edited or stored) and the three cells the doctor types.
class DiagnosticModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DiagnosticModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count, const QModelIndex &destinationParent,
                  int destinationChild) override;

    // The card's stored rows (three cells each) replace the whole table at once.
    void setStoredRows(const QVector<QStringList> &stored);
    QVector<QStringList> storedRows() const;
    void clear(); // one empty row, as at start-up
    int appendBlock(const QString &today);
    // Puts row `from` at place `to`, the others closing up around it.
    void moveRowTo(int from, int to);

    const QVector<QStringList> &rows() const { return m_rows; }

private:
    void replaceRows(QVector<QStringList> rows);
    QVector<QStringList> m_rows;
};

} // namespace vel
