#include "benchtimer.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

Timing BenchTimer::time(const QString &what, const std::function<void()> &work, const std::function<void()> &prepare,
                        int runs)
{
    const int count = std::max(1, runs > 0 ? runs : m_runs);
    progress(QStringLiteral("%1 (%2 runs)").arg(what).arg(count));
    QVector<double> times;
    for (int i = 0; i < count; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    Timing t;
    t.first = times.first();
    t.runs = count;
    QVector<double> rest = count > 1 ? times.mid(1) : times;
    std::sort(rest.begin(), rest.end());
    t.median = rest.at(rest.size() / 2);
    return t;
}

void BenchTimer::progress(const QString &line)
{
    std::fprintf(stderr, "... %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void BenchTimer::heading(const QString &title)
{
    QTextStream out(stdout);
    out << "\n"
        << title << "\n"
        << QStringLiteral("%1  %2  %3\n")
               .arg(QStringLiteral("operation"), -52)
               .arg(QStringLiteral("first"), 10)
               .arg(QStringLiteral("median"), 10);
}

void BenchTimer::row(const QString &what, const Timing &t, const QString &note)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1  %2  %3").arg(what, -52).arg(ms(t.first), 10).arg(ms(t.median), 10);
    if (!note.isEmpty())
        out << "  " << note;
    out << "\n";
}

QString BenchTimer::ms(double value)
{
    return QString::number(value, 'f', value < 10 ? 2 : 1) + QStringLiteral(" ms");
}
