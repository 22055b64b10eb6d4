#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;
class QWidget;

namespace vel {

// The status bar's two panels: the card shown ("Карточка пациента: ...") and
// the outcome of the last command. The outcome always has room for its whole
// line, a long name giving way (shortened, whole in its tip), and it lasts
// until another command ends without an outcome of its own.
class StatusPanels final : public QObject {
    Q_OBJECT
public:
    explicit StatusPanels(QStatusBar *bar);

    void show(int panel, const QString &text);
    QString text(int panel) const { return m_texts[panel]; }
    // Watches the window's menu commands and buttons as they are now.
    void watchCommandsOf(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commandEnded();
    void layOut();

    QStatusBar *m_bar;
    QLabel *m_labels[2] = {nullptr, nullptr};
    QString m_texts[2];
    int m_outcomes = 0;      // outcomes shown so far
    int m_outcomesAtEnd = 0; // ... when the last command ended
};

} // namespace vel
