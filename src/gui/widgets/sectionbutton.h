#pragma once

#include <QPushButton>

namespace vel {

// A button of the anamnesis index: its caption at the left and, while the
// section holds ticks, their number in a badge at the right. The caption
// itself never changes.
class SectionButton final : public QPushButton {
    Q_OBJECT
public:
    SectionButton(const QString &objectName, const QString &caption, QWidget *parent = nullptr);

    int tickCount() const { return m_ticks; }
    void setTickCount(int ticks);
    QRect badgeRect() const; // empty while nothing is ticked

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_ticks = 0;
};

} // namespace vel
