#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace vel {

// The date of the first visit: the card's visit date, or the earliest row of
// the visit table when one is earlier. Kept as written; the card's visit
// date when no date can be read.
QString firstVisitDate(const QString &visitDate, const QVector<QStringList> &visitRows);

// The plain text that is printed as the prescription: date, heading, patient,
// first visit, preparations and recommendations, then the doctor's signature
// line, every item ended by "\n". The memo texts keep their own line breaks.
// visitRows as the visit table holds them, cell 0 the date.
QString prescriptionText(const QString &today, const QString &fio, const QString &visitDate,
                         const QString &preparations, const QString &recommendations,
                         const QVector<QStringList> &visitRows = {});

// The line at the top of every printed page: the patient and the date.
QString prescriptionHeader(const QString &today, const QString &fio);

} // namespace vel
