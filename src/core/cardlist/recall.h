#pragma once

#include <QDate>
#include <QString>
#include <QVector>

// Who is due back: each card may name its next visit, and a patient whose
// next visit has passed without a later one is overdue for the check-up.
// Pure: "today" is always given.

namespace vel {

// The interval the next visit is proposed at, after the last one, until the
// doctor sets another.
inline constexpr int kDefaultRecallDays = 14;

// Whole days the next visit lies behind "today"; 0 when it is today or
// later, not set or not a date.
int overdueDays(const QDate &nextVisit, const QDate &today);

// The positions of the overdue visits among nextVisits, the most overdue
// first; equal days keep their order.
QVector<int> overdueOrder(const QVector<QDate> &nextVisits, const QDate &today);

// "пациент", "пациента" or "пациентов", as Russian counts them.
QString patientsWord(int count);
// The status bar's line: "Просрочен контроль: 7 пациентов".
QString overdueNotice(int count);

// The next visit proposed after a visit on "from" (a date as the date
// fields write it): "dd.MM.yyyy", or "" when "from" is not a date.
QString proposedNextVisit(const QString &from, int days);

} // namespace vel
