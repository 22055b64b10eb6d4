#include "numbers/progressreport.h"

#include "numbers/energy.h"
#include "numbers/progress.h"
#include "numbers/waistheight.h"
#include "visits/age.h"
#include "visits/bodyindex.h"

#include <cmath>

namespace vel {

namespace {

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString weightText(double kg)
{
    return QString::number(kg, 'g', 10).replace(u'.', u',') + QStringLiteral(" кг");
}

QString bmiValue(const std::optional<BmiResult> &bmi)
{
    return bmi ? bmi->shown + QStringLiteral(" — ") + bmi->className : QString();
}

} // namespace

QString yearsText(int years)
{
    const int last2 = std::abs(years) % 100, last = last2 % 10;
    const char *word = (last2 >= 11 && last2 <= 14) ? "лет"
                       : last == 1                  ? "год"
                       : (last >= 2 && last <= 4)   ? "года"
                                                    : "лет";
    return QString::number(years) + u' ' + QString::fromUtf8(word);
}

ProgressReport progressReport(const CardState &card, const QDate &today)
{
    ProgressReport r;
    r.title = QStringLiteral("Отчёт о динамике");
    r.dateLine = QStringLiteral("Дата: ") + dateText(today);
    auto add = [](ReportSection &s, const QString &label, const QString &value) {
        if (!value.isEmpty())
            s.lines.append({label, value});
    };

    const QString height = card.text(Field::Height);
    const QString birth = card.text(Field::BirthDate);
    const auto age = ageFromBirthText(birth, today);
    const auto birthDate = readVisitDate(birth);

    ReportSection patient{QStringLiteral("Пациент"), {}};
    add(patient, QStringLiteral("Ф.И.О."), card.text(Field::Name));
    if (birthDate)
        add(patient, QStringLiteral("Дата рождения"),
            dateText(*birthDate) + (age && *age >= 0 ? QStringLiteral(", ") + yearsText(*age) : QString()));
    if (const auto h = readNumber(height); h && *h > 0)
        add(patient, QStringLiteral("Рост"),
            height.trimmed() + (height.contains(QStringLiteral("см")) ? QString() : QStringLiteral(" см")));
    r.sections << patient;

    const QVector<ChartPoint> weighed = weighedVisits(card.visitRows);
    const auto progress = progressSince(weighed, height);
    const auto goal = goalWeight(card.goal);
    ReportSection dynamics{QStringLiteral("Динамика веса"), {}};
    if (weighed.size() == 1) {
        add(dynamics, QStringLiteral("Визит"),
            dateText(weighed.first().date) + QStringLiteral(", вес ") + weightText(weighed.first().value));
    } else if (!weighed.isEmpty()) {
        add(dynamics, QStringLiteral("Первый визит"),
            dateText(weighed.first().date) + QStringLiteral(", вес ") + weightText(weighed.first().value));
        add(dynamics, QStringLiteral("Последний визит"),
            dateText(weighed.last().date) + QStringLiteral(", вес ") + weightText(weighed.last().value));
    }
    if (progress) {
        const bool gain = std::round(progress->lostKg * 10) < 0;
        add(dynamics, gain ? QStringLiteral("Прибавка") : QStringLiteral("Снижение"),
            kgText(std::abs(progress->lostKg)) + QStringLiteral(" кг (") + kgText(std::abs(progress->lostPercent)) +
                QStringLiteral(" % от начального веса)"));
        add(dynamics, QStringLiteral("ИМТ в начале"), bmiValue(progress->bmiFirst));
        add(dynamics, QStringLiteral("ИМТ сейчас"), bmiValue(progress->bmiLast));
    } else if (weighed.size() == 1) {
        add(dynamics, QStringLiteral("ИМТ"), bmiValue(bodyMassIndex(height, QString::number(weighed.first().value))));
    }
    if (goal) {
        QString value = weightText(*goal);
        const auto trend = weightTrend(weighed);
        if (const auto date = trend ? goalDate(*trend, weighed.last().value, *goal) : std::nullopt)
            value += QStringLiteral("; при нынешнем темпе — около ") + dateText(*date);
        add(dynamics, QStringLiteral("Целевой вес"), value);
    }
    if (weighed.isEmpty())
        add(dynamics, QStringLiteral("Визиты"), QStringLiteral("вес ещё не записан"));
    r.sections << dynamics;

    ReportSection numbers{QStringLiteral("Показатели"), {}};
    const QString weight = card.text(Field::Weight);
    const QString waist = card.text(Field::Waist);
    const int sex = card.index(Field::Sex);
    const auto whr = waistToHip(waist, card.text(Field::Hips), sex);
    if (whr)
        add(numbers, QStringLiteral("ОТ/ОБ"),
            whr->shown +
                (whr->riskKnown && whr->increasedRisk ? QStringLiteral(" — риск существенно повышен") : QString()));
    if (const auto wh = waistToHeight(waist, height, bmiTenths(height, weight)))
        add(numbers, QStringLiteral("ОТ/рост"), wh->shown + QStringLiteral(" — ") + waistHeightBand(wh->band));
    const int activity = card.activity;
    const auto energy = energyNeed(sex, age ? QString::number(*age) : QString(), height, weight, activity);
    if (energy) {
        const QString at =
            readNumber(weight) ? QStringLiteral(" (при весе ") + weightText(*readNumber(weight)) + u')' : QString();
        add(numbers, QStringLiteral("Обмен покоя"), QStringLiteral("%1 ккал/сут").arg(energy->resting) + at);
        if (energy->hasNeed()) {
            add(numbers, QStringLiteral("Потребность"),
                QStringLiteral("%1 ккал/сут (%2)").arg(energy->need).arg(activityItems().at(activity)));
            add(numbers, QStringLiteral("Для снижения веса"),
                QStringLiteral("%1–%2 ккал/сут").arg(energy->intakeLow).arg(energy->intakeHigh));
        }
    }
    r.sections << numbers;

    r.visitTitles = {QStringLiteral("Дата"), QStringLiteral("Вес, кг"), QStringLiteral("Талия, см"),
                     QStringLiteral("Бёдра, см")};
    for (const QStringList &row : card.visitRows) {
        if (!readVisitDate(visitCell(row, VisitColumn::Date)))
            continue;
        r.visits << QStringList{visitCell(row, VisitColumn::Date).trimmed(), visitCell(row, VisitColumn::Weight).trimmed(),
                                visitCell(row, VisitColumn::Waist).trimmed(), visitCell(row, VisitColumn::Hips).trimmed()};
    }
    return r;
}

} // namespace vel
