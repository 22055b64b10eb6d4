#pragma once

#include <QTabBar>

namespace vel {

// A tab bar that lays its tabs out in two justified rows, so that nine
// Russian page captions fit the fixed window whole.
class MultiRowTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit MultiRowTabBar(int rows, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int tabAtPoint(const QPoint &pos) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QVector<QRect> rowRects() const;
    int rowHeight() const;
    int m_rows;
};

} // namespace vel
