#pragma once

#include <QDate>
#include <QString>

#include <optional>

// A child's BMI read against the WHO growth references as an SDS (z-score),
// and its class as the Russian clinical guidelines on childhood obesity grade
// it. Adults keep the BMI classes of bodyMassIndex().

namespace vel {

// WHO's software turns days into months with this average month.
inline constexpr double kDaysPerMonth = 30.4375;
// The child references end at 19 years (228 months); adult classes from then.
inline constexpr int kAdultBmiYears = 19;

// Whole years from birth to a day; nothing for invalid dates.
std::optional<int> completedYears(const QDate &birth, const QDate &on);

// z of a measure y for L, M and S, with WHO's restricted rule beyond ±3 SD:
// past +3 (or -3) the distance is counted in units of the 2-to-3 SD step.
double lmsZ(double y, double l, double m, double s);

enum class GrowthReference {
    Standard2006, // WHO Child Growth Standards, birth to 5 years
    Reference2007 // WHO Reference 2007, 5 to 19 years
};

struct BmiForAge {
    double z = 0; // unrounded
    GrowthReference reference = GrowthReference::Reference2007;
};

// The BMI-for-age z of a child, as WHO's software computes it: the age in
// days on the day of measuring; under 60 months (days / 30.4375) the 2006
// standard by the day, from there the 2007 reference with L, M and S taken
// between the two whole months around the age. sexIndex: 0 boy, 1 girl.
// Nothing for another sex index, a BMI not above zero, a negative age, or
// an age past 228 months.
std::optional<BmiForAge> bmiForAgeZ(double bmi, int sexIndex, qint64 ageDays);

// The SDS as shown, with sign and two decimals: "+2,30", "-0,45", "0,00".
// Classes are read from this rounding, so the two never disagree.
qint64 sdsHundredths(double z);
QString sdsText(qint64 hundredths);

// By the Russian clinical guidelines: below -2 "дефицит массы тела", -2 up to
// +1 "норма", +1 up to +2 "избыточная масса тела", from +2 obesity graded by
// the SDS to one decimal: I 2,0–2,5, II 2,6–3,0, III 3,1–3,9, "морбидное
// ожирение" from 4,0.
QString sdsClass(qint64 hundredths);

// "дети 5–19 лет, ВОЗ 2007" or "дети до 5 лет, ВОЗ 2006".
QString referenceName(GrowthReference reference);

// A child's BMI from the fields' texts, the birth date and the day of
// measuring. Nothing unless height and weight are numbers above zero, the
// birth date is readable, the sex is chosen and the child is under 19 years
// on that day.
struct ChildBmi {
    QString bmiShown; // "24,0", as bodyMassIndex() shows it
    BmiForAge sds;
    QString sdsShown;  // "+2,30"
    QString className; // "ожирение I степени"
};
std::optional<ChildBmi> childBmi(const QString &heightCm, const QString &weightKg, int sexIndex, const QDate &birth,
                                 const QDate &measured);

// "ИМТ 24,0 — SDS +2,30: ожирение I степени (дети 5–19 лет, ВОЗ 2007)"
QString childBmiText(const ChildBmi &bmi);

} // namespace vel
