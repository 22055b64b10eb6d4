#include "capture/screenshottaker.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QWidget>

namespace vel {

ScreenshotTaker::ScreenshotTaker(const QString &file, QObject *parent) : QObject(parent), m_file(file)
{
    // Started before the window exists, so it also ticks inside a box shown while it is built.
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotTaker::tick);
    m_timer.start(50);
}

void ScreenshotTaker::setWindow(QWidget *window)
{
    m_window = window;
}

void ScreenshotTaker::tick()
{
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            qWarning("%s: %s", qUtf8Printable(box->windowTitle()), qUtf8Printable(box->text()));
        modal->close();
        return;
    }
    if (!m_window || !m_window->isVisible())
        return;
    m_timer.stop();
    const bool saved = m_window->grab().save(m_file, "PNG");
    if (!saved)
        qWarning("Не удалось сохранить снимок в %s", qUtf8Printable(m_file));
    QCoreApplication::exit(saved ? 0 : 1);
}

} // namespace vel
