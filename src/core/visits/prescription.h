#pragma once

#include <QString>

namespace vel {

// The plain text that is printed as the prescription: date, heading, patient,
// first visit, preparations and recommendations, every item ended by "\n".
// The memo texts keep their own line breaks.
QString prescriptionText(const QString &today, const QString &fio, const QString &visitDate,
                         const QString &preparations, const QString &recommendations);

} // namespace vel
