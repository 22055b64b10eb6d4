#include "cardlist/recall.h"

#include "cardlist/cardsummary.h"

#include <algorithm>

namespace vel {

int overdueDays(const QDate &nextVisit, const QDate &today)
{
    if (!nextVisit.isValid() || !today.isValid())
        return 0;
    return int(std::max<qint64>(0, nextVisit.daysTo(today)));
}

QVector<int> overdueOrder(const QVector<QDate> &nextVisits, const QDate &today)
{
    QVector<int> order;
    for (int i = 0; i < nextVisits.size(); ++i)
        if (overdueDays(nextVisits.at(i), today) > 0)
            order << i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return nextVisits.at(a) < nextVisits.at(b); });
    return order;
}

QString patientsWord(int count)
{
    const int lastTwo = std::abs(count) % 100;
    const int last = lastTwo % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return QStringLiteral("пациентов");
    if (last == 1)
        return QStringLiteral("пациент");
    if (last >= 2 && last <= 4)
        return QStringLiteral("пациента");
    return QStringLiteral("пациентов");
}

QString overdueNotice(int count)
{
    return QStringLiteral("Просрочен контроль: %1 %2").arg(count).arg(patientsWord(count));
}

QString proposedNextVisit(const QString &from, int days)
{
    const QDate day = parseDayMonthYear(from);
    return day.isValid() ? day.addDays(days).toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

} // namespace vel
