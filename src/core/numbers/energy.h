#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The daily energy need a diet is set from: resting energy after Mifflin and
// St Jeor (Am J Clin Nutr 1990;51:241) times the patient's activity level,
// and the intake suggested for losing weight. Computed, never stored.

namespace vel {

// The activity levels of the drop-down, in stored index order.
struct ActivityLevel {
    double factor;
    const char *name;
};
inline constexpr ActivityLevel kActivityLevels[] = {
    {1.2, "сидячий"}, {1.375, "малоактивный"}, {1.55, "умеренный"}, {1.725, "активный"}, {1.9, "очень активный"},
};
inline constexpr int kActivityLevelCount = int(sizeof kActivityLevels / sizeof kActivityLevels[0]);

// "умеренный — 1,55", as the drop-down lists them.
QStringList activityItems();

// A daily deficit of 500 to 700 kcal loses weight without starving.
inline constexpr int kDeficitLow = 500;
inline constexpr int kDeficitHigh = 700;

struct EnergyNeed {
    int resting = 0;    // kcal a day at rest
    int need = 0;       // with the activity level; 0 while no level is chosen
    int intakeLow = 0;  // need - 700
    int intakeHigh = 0; // need - 500
    bool hasNeed() const { return need > 0; }
};

// sexIndex: 0 male, 1 female. The texts are the fields' own (weight may be
// "82,5 кг"); the age is whole years. Nothing while any input is missing or
// not a number, the sex is not chosen, or the patient is not an adult: the
// equation was derived for adults. activityIndex outside the levels leaves
// the need empty but keeps the resting energy.
std::optional<EnergyNeed> energyNeed(int sexIndex, const QString &ageText, const QString &heightCm,
                                     const QString &weightKg, int activityIndex);

// "Обмен покоя: 1470 ккал/сут, с активностью: 1764" and
// "Для снижения веса: 1064–1264 ккал/сут"; empty without a value.
QString restingText(const std::optional<EnergyNeed> &e);
QString intakeText(const std::optional<EnergyNeed> &e);

} // namespace vel
