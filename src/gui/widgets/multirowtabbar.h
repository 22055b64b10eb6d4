#pragma once

#include <QTabBar>

namespace vel {

// A tab bar that lays its tabs out in justified rows, so that nine Russian
// page captions fit the fixed window whole. As in every multi-row tab bar,
// the row that holds the selected tab moves next to the page.
class MultiRowTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit MultiRowTabBar(int rows, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int tabAtPoint(const QPoint &pos) const;
    QRect tabRectAt(int index) const; // where the tab is drawn now

    static constexpr int kTextPadding = 12; // room on each side of a caption

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QVector<QRect> rowRects() const;
    int naturalWidth(int index) const;
    int rowHeight() const;
    int m_rows;
    int m_hovered = -1;
};

} // namespace vel
