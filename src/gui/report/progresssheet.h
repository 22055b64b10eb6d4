#pragma once

#include "numbers/progressreport.h"
#include "visits/bodyindex.h"

#include <QString>

#include <optional>

class QPrinter;
class QTextDocument;

namespace vel {

// The progress sheet handed to the patient, laid out like a medical letter:
// serif text, clear headings, the weight chart and the visit table. Up to 20
// visits fit one A4 page; longer tables continue with their heading repeated.
class ProgressSheet final {
public:
    ProgressSheet(const ProgressReport &report, const ChartSeries &series, std::optional<double> goalKg,
                  const QString &heightCm);

    void print(QPrinter &printer) const;

    // The document as printed, for looking at it or reading it back.
    QString html() const;

private:
    void addChart(QTextDocument &doc) const;
    QString visitTable(const QVector<QStringList> &rows, qsizetype rowsPerColumn) const;

    ProgressReport m_report;
    ChartSeries m_series;
    std::optional<double> m_goal;
    QString m_height;
};

} // namespace vel
