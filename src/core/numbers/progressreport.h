#pragma once

#include "card/cardstate.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// What the progress sheet handed to the patient says, worked out from the
// card; the window only lays it out on paper.

namespace vel {

struct ReportLine {
    QString label, value;
};
struct ReportSection {
    QString heading;
    QVector<ReportLine> lines;
};
struct ProgressReport {
    QString title;    // "Отчёт о динамике"
    QString dateLine; // "Дата: 8.12.2026"
    QVector<ReportSection> sections;
    QStringList visitTitles;     // date, weight, waist, hips
    QVector<QStringList> visits; // the visits with a date, in table order
    bool adultBmiBands = true;   // false for a child: the chart shows no adult BMI bands
};

ProgressReport progressReport(const CardState &card, const QDate &today);

// "1 год", "3 года", "49 лет".
QString yearsText(int years);

} // namespace vel
