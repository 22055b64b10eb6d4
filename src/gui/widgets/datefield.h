#pragma once

#include <QLineEdit>

class QToolButton;

namespace vel {

// Masked day.month.year field with a calendar drop-down. Its text is what it
// shows, blanks and separators included.
class DateField final : public QLineEdit {
    Q_OBJECT
public:
    explicit DateField(const QString &objectName, QWidget *parent = nullptr);

    QString shownText() const;
    void setShownText(const QString &text);

signals:
    void left(); // the input focus moved on to another control of the window

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void dropCalendar();
    void takeMask();
    QToolButton *m_button;
};

} // namespace vel
