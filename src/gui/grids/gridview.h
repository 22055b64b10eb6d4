#pragma once

#include <QTableView>

namespace vel {

// A table view in the look of the card's string grids: no header bars, rows
// 19 pixels high, every cell edited in place. With a heading column, a row
// is dragged to another place by its cell in column 0.
class GridView final : public QTableView {
    Q_OBJECT
public:
    GridView(const QString &objectName, const QList<int> &columnWidths, bool headingColumn, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // Widens each column to its usual content (sample texts a column, titles
    // measured bold) within `total` pixels: columns with room to spare give way.
    void fitColumns(const QVector<QStringList> &samples, int total);
    QList<int> columnWidths() const { return m_widths; }
    // Enter moves on to the next cell, from a row's last cell to the next
    // row's first, as a row of one visit is typed from left to right.
    void setEnterMovesOn(bool on) { m_enterMovesOn = on; }

protected:
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyWidths();
    void moveOn();

    QList<int> m_widths;
    bool m_headingColumn;
    int m_dragRow = -1;
    bool m_enterMovesOn = false;
    bool m_enterPending = false; // an Enter in the cell editor, until the editor closes
};

} // namespace vel
