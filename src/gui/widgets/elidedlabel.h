#pragma once

#include <QLabel>

namespace vel {

// A one-line label that keeps the place its layout gives it: a longer text
// never widens it, it is cut with "…" instead and shown whole as a tooltip.
class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString &objectName, QWidget *parent = nullptr);

    bool isElided() const;
    QString shownText() const; // the text as drawn

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vel
