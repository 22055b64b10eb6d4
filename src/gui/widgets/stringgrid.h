#pragma once

#include <QTableWidget>

namespace vel {

// A string grid whose cells are addressed as (column, row) and whose
// row count can be set directly.
class StringGrid final : public QTableWidget {
    Q_OBJECT
public:
    StringGrid(const QString &objectName, const QList<int> &columnWidths, bool fixedFirstColumn,
               QWidget *parent = nullptr);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);
    void setRows(int rows); // rows that are added start empty

signals:
    void cellsChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QTableWidgetItem *fixedItem() const;
    void moveRow(int from, int to);
    bool m_fixedFirst;
    int m_dragRow = -1;
};

} // namespace vel
