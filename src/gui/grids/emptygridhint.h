#pragma once

#include <QStringList>
#include <QWidget>

namespace vel {

class GridView;

// Stands in for a table while the table is hidden (a new card): the header
// row as the table will show it, and what the "+" button does.
class EmptyGridHint final : public QWidget {
    Q_OBJECT
public:
    // An empty header takes the texts of the table's row 0.
    EmptyGridHint(GridView *grid, const QStringList &header, const QString &hint, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GridView *m_grid;
    QStringList m_header;
    QString m_hint;
};

} // namespace vel
