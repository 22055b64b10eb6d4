#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

namespace vel {

// Saves a picture of the window once it is shown and ends the program: 0 when
// the picture was written, 1 when not. A modal box met on the way, such as an
// error at start-up, is printed and closed, as nobody is there to answer it.
class ScreenshotTaker final : public QObject {
    Q_OBJECT

public:
    explicit ScreenshotTaker(const QString &file, QObject *parent = nullptr);
    void setWindow(QWidget *window);

private:
    void tick();

    QString m_file;
    QPointer<QWidget> m_window;
    QTimer m_timer;
};

} // namespace vel
