#include "window/titleprobe.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace vel {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void quitWhenShown(QWidget *window)
{
    // Posted paint requests are handled before a zero timer fires.
    QTimer::singleShot(0, window, [] {
        std::printf("rss-kb %ld\n", residentKilobytes());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

} // namespace vel
