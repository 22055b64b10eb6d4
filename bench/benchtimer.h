#pragma once

#include <QString>
#include <QVector>

#include <functional>

// Times an operation several times: the first run (what a doctor meets after
// start-up) and the median of the runs after it. Each operation prints a
// progress line to stderr; the figures go to stdout as tables.
struct Timing {
    double first = 0;  // ms
    double median = 0; // ms, of the runs after the first (the first when there is one run)
    int runs = 0;
};

class BenchTimer final {
public:
    explicit BenchTimer(int runs) : m_runs(runs) {}
    int runs() const { return m_runs; }

    // `prepare` runs untimed before every run; runs 0 means the default count.
    Timing time(const QString &what, const std::function<void()> &work, const std::function<void()> &prepare = {},
                int runs = 0);

    static void progress(const QString &line);
    static void heading(const QString &title);
    // One table row: the operation, then first and median.
    static void row(const QString &what, const Timing &t, const QString &note = {});
    static QString ms(double value);

private:
    int m_runs;
};
