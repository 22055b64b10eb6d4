#include "numbers/bmiforage.h"

#include "numbers/growthtables.h"
#include "visits/bodyindex.h"

#include <cmath>

namespace vel {

namespace {

// The standard's daily table changes from length to height at 731 days.
constexpr qint64 kFirstHeightDay = 731;
constexpr double kBmi2006LastMonth = 60;

Lms between(const Lms &a, const Lms &b, double t)
{
    return {a.l + t * (b.l - a.l), a.m + t * (b.m - a.m), a.s + t * (b.s - a.s)};
}

std::optional<Lms> standard2006(int sexIndex, qint64 ageDays)
{
    const DayLms *rows = sexIndex == 0 ? kBmi2006Boys : kBmi2006Girls;
    const bool height = ageDays >= kFirstHeightDay;
    for (int i = 0; i + 1 < kBmi2006Nodes; ++i) {
        const DayLms &a = rows[i], &b = rows[i + 1];
        if (a.height != height || b.height != height || ageDays < a.day || ageDays > b.day)
            continue;
        return between(a.lms, b.lms, double(ageDays - a.day) / double(b.day - a.day));
    }
    return std::nullopt;
}

std::optional<Lms> reference2007(int sexIndex, double months)
{
    if (months < kBmi2007FirstMonth || months > kBmi2007LastMonth)
        return std::nullopt;
    const Lms *rows = sexIndex == 0 ? kBmi2007Boys : kBmi2007Girls;
    const int low = int(std::trunc(months));
    const double part = months - low;
    const Lms &a = rows[low - kBmi2007FirstMonth];
    if (part <= 0)
        return a;
    return between(a, rows[low + 1 - kBmi2007FirstMonth], part);
}

} // namespace

std::optional<int> completedYears(const QDate &birth, const QDate &on)
{
    if (!birth.isValid() || !on.isValid())
        return std::nullopt;
    int years = on.year() - birth.year();
    if (on.month() < birth.month() || (on.month() == birth.month() && on.day() < birth.day()))
        --years;
    return years;
}

double lmsZ(double y, double l, double m, double s)
{
    auto at = [&](double sd) { return m * std::pow(1 + l * s * sd, 1 / l); };
    const double z = (std::pow(y / m, l) - 1) / (s * l);
    if (z > 3) {
        const double sd3 = at(3);
        return 3 + (y - sd3) / (sd3 - at(2));
    }
    if (z < -3) {
        const double sd3 = at(-3);
        return -3 + (y - sd3) / (at(-2) - sd3);
    }
    return z;
}

std::optional<BmiForAge> bmiForAgeZ(double bmi, int sexIndex, qint64 ageDays)
{
    if ((sexIndex != 0 && sexIndex != 1) || !std::isfinite(bmi) || bmi <= 0 || ageDays < 0)
        return std::nullopt;
    const double months = double(ageDays) / kDaysPerMonth;
    BmiForAge r;
    std::optional<Lms> lms;
    if (months < kBmi2006LastMonth) {
        r.reference = GrowthReference::Standard2006;
        lms = standard2006(sexIndex, ageDays);
    } else {
        // The standard ends before 60 months and the reference begins at 61;
        // the month between is read from the reference's own row for 60.
        r.reference = GrowthReference::Reference2007;
        lms = reference2007(sexIndex, months);
    }
    if (!lms)
        return std::nullopt;
    r.z = lmsZ(bmi, lms->l, lms->m, lms->s);
    if (!std::isfinite(r.z))
        return std::nullopt;
    return r;
}

qint64 sdsHundredths(double z)
{
    // Half away from zero, as the value would be rounded on paper.
    return qint64(std::llround(z * 100 * (1 + 1e-12)));
}

QString sdsText(qint64 hundredths)
{
    const qint64 magnitude = std::abs(hundredths);
    const QString sign = hundredths > 0 ? QStringLiteral("+") : hundredths < 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(magnitude / 100) + u',' +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString sdsClass(qint64 hundredths)
{
    if (hundredths < -200)
        return QStringLiteral("дефицит массы тела");
    if (hundredths < 100)
        return QStringLiteral("норма");
    if (hundredths < 200)
        return QStringLiteral("избыточная масса тела");
    // The grades are given to one decimal: 2,54 is 2,5 (I), 2,55 is 2,6 (II).
    if (hundredths < 255)
        return QStringLiteral("ожирение I степени");
    if (hundredths < 305)
        return QStringLiteral("ожирение II степени");
    if (hundredths < 395)
        return QStringLiteral("ожирение III степени");
    return QStringLiteral("морбидное ожирение");
}

QString referenceName(GrowthReference reference)
{
    return reference == GrowthReference::Standard2006 ? QStringLiteral("дети до 5 лет, ВОЗ 2006")
                                                      : QStringLiteral("дети 5–19 лет, ВОЗ 2007");
}

std::optional<ChildBmi> childBmi(const QString &heightCm, const QString &weightKg, int sexIndex, const QDate &birth,
                                 const QDate &measured)
{
    const auto years = completedYears(birth, measured);
    if (!years || *years >= kAdultBmiYears)
        return std::nullopt;
    const auto shown = bodyMassIndex(heightCm, weightKg);
    const auto height = readNumber(heightCm);
    const auto weight = readNumber(weightKg);
    if (!shown || !height || !weight)
        return std::nullopt;
    // WHO reads the BMI unrounded.
    const double bmi = *weight / (*height / 100 * (*height / 100));
    const auto sds = bmiForAgeZ(bmi, sexIndex, birth.daysTo(measured));
    if (!sds)
        return std::nullopt;
    const qint64 h = sdsHundredths(sds->z);
    return ChildBmi{shown->shown, *sds, sdsText(h), sdsClass(h)};
}

QString childBmiText(const ChildBmi &bmi)
{
    return QStringLiteral("ИМТ ") + bmi.bmiShown + QStringLiteral(" — SDS ") + bmi.sdsShown + QStringLiteral(": ") +
           bmi.className + QStringLiteral(" (") + referenceName(bmi.sds.reference) + u')';
}

} // namespace vel
