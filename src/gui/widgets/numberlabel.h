#pragma once

#include <QLabel>

namespace vel {

// A line of computed numbers with a fixed place on its page: it keeps its
// height while empty and never widens the layout, so nothing moves while
// the doctor types. Text too long for it ends in "…" and shows whole as a tip.
class NumberLabel final : public QLabel {
    Q_OBJECT
public:
    explicit NumberLabel(const QString &objectName, QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_full; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void elide();

    QString m_full;
};

} // namespace vel
