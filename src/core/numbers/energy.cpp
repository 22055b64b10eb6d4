#include "numbers/energy.h"

#include "visits/bodyindex.h"

#include <cmath>

namespace vel {

namespace {

constexpr int kAdultAge = 18;

std::optional<int> wholeKcal(double kcal)
{
    if (!std::isfinite(kcal) || kcal <= 0 || kcal > 1e6)
        return std::nullopt;
    // A nudge keeps decimal halves such as 1470.5 from rounding down.
    return int(std::floor(kcal * (1 + 1e-12) + 0.5));
}

QString decimalComma(double value)
{
    return QString::number(value, 'g', 6).replace(u'.', u',');
}

} // namespace

QStringList activityItems()
{
    QStringList items;
    for (const ActivityLevel &level : kActivityLevels)
        items << QString::fromUtf8(level.name) + QStringLiteral(" — ") + decimalComma(level.factor);
    return items;
}

std::optional<EnergyNeed> energyNeed(int sexIndex, const QString &ageText, const QString &heightCm,
                                     const QString &weightKg, int activityIndex)
{
    if (sexIndex != 0 && sexIndex != 1)
        return std::nullopt;
    const auto age = readNumber(ageText);
    const auto height = readNumber(heightCm);
    const auto weight = readNumber(weightKg);
    if (!age || !height || !weight || *age < kAdultAge || *height <= 0 || *weight <= 0)
        return std::nullopt;
    const double exact = 10 * *weight + 6.25 * *height - 5 * std::floor(*age) + (sexIndex == 0 ? 5 : -161);
    const auto resting = wholeKcal(exact);
    if (!resting)
        return std::nullopt;
    EnergyNeed e;
    e.resting = *resting;
    if (activityIndex >= 0 && activityIndex < kActivityLevelCount) {
        const auto need = wholeKcal(exact * kActivityLevels[activityIndex].factor);
        if (need && *need > kDeficitHigh) {
            e.need = *need;
            e.intakeLow = *need - kDeficitHigh;
            e.intakeHigh = *need - kDeficitLow;
        }
    }
    return e;
}

QString restingText(const std::optional<EnergyNeed> &e)
{
    if (!e)
        return QString();
    QString text = QStringLiteral("Обмен покоя: %1 ккал/сут").arg(e->resting);
    if (e->hasNeed())
        text += QStringLiteral(", с активностью: %1").arg(e->need);
    return text;
}

QString intakeText(const std::optional<EnergyNeed> &e)
{
    if (!e || !e->hasNeed())
        return QString();
    return QStringLiteral("Для снижения веса: %1–%2 ккал/сут").arg(e->intakeLow).arg(e->intakeHigh);
}

} // namespace vel
