#include "visits/prescription.h"

#include "text/linefile.h"
#include "visits/bodyindex.h"

namespace vel {

QString firstVisitDate(const QString &visitDate, const QVector<QStringList> &visitRows)
{
    QString first = visitDate;
    std::optional<QDate> firstDate = readVisitDate(visitDate);
    for (const QStringList &row : visitRows) {
        const QString text = row.value(0);
        const std::optional<QDate> date = readVisitDate(text);
        if (date && (!firstDate || *date < *firstDate)) {
            firstDate = date;
            first = text.trimmed();
        }
    }
    return first;
}

QString prescriptionText(const QString &today, const QString &fio, const QString &visitDate,
                         const QString &preparations, const QString &recommendations,
                         const QVector<QStringList> &visitRows)
{
    const QString spacer = QStringLiteral(" ");
    const QStringList items = {
        today,
        QStringLiteral("Рецепт лечения"),
        spacer,
        QStringLiteral("Пациент: ") + fio,
        QStringLiteral("Первое обращение: ") + firstVisitDate(visitDate, visitRows),
        spacer,
        QStringLiteral("Назначаемые препараты:"),
        memoFromFileText(preparations),
        spacer,
        QStringLiteral("Рекомендации:"),
        memoFromFileText(recommendations),
        spacer,
        spacer,
        QStringLiteral("Врач: ______________________ (подпись)"),
    };
    QString out;
    for (const QString &item : items)
        out += item + u'\n';
    return out;
}

QString prescriptionHeader(const QString &today, const QString &fio)
{
    const QString who = fio.trimmed();
    const QString what = QStringLiteral("Рецепт лечения от ") + today;
    return who.isEmpty() ? what : who + QStringLiteral(" — ") + what;
}

} // namespace vel
