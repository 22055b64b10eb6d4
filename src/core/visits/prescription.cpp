#include "visits/prescription.h"

#include "text/linefile.h"

#include <QStringList>

namespace vel {

QString prescriptionText(const QString &today, const QString &fio, const QString &visitDate,
                         const QString &preparations, const QString &recommendations)
{
    const QString spacer = QStringLiteral(" ");
    const QStringList items = {
        today,
        QStringLiteral("Рецепт лечения"),
        spacer,
        QStringLiteral("Пациент: ") + fio,
        QStringLiteral("Первое обращение: ") + visitDate,
        spacer,
        QStringLiteral("Назначаемые препараты:"),
        memoFromFileText(preparations),
        spacer,
        QStringLiteral("Рекомендации:"),
        memoFromFileText(recommendations),
    };
    QString out;
    for (const QString &item : items)
        out += item + u'\n';
    return out;
}

} // namespace vel
