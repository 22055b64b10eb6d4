#include "numbers/progressreport.h"

#include "numbers/bodynumbers.h"
#include "numbers/energy.h"
#include "numbers/progress.h"
#include "numbers/waistheight.h"
#include "visits/age.h"
#include "visits/bodycomposition.h"
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

// The body composition at the first and the last visit that measured it,
// and the change between: "32,1 → 29,4 (−2,7)". Dates follow only where a
// measure was taken on other days than the rest.
ReportSection bodySection(const QVector<QStringList> &visitRows)
{
    ReportSection section{QStringLiteral("Состав тела"), {}};
    std::optional<BodyChange> changes[kBodyColumns];
    QDate first, last;
    for (int i = 0; i < kBodyColumns; ++i) {
        changes[i] = bodyChange(visitRows, kBodyMeasures[static_cast<std::size_t>(i)].column);
        if (!changes[i])
            continue;
        first = first.isValid() ? std::min(first, changes[i]->firstDate) : changes[i]->firstDate;
        last = last.isValid() ? std::max(last, changes[i]->lastDate) : changes[i]->lastDate;
    }
    if (!first.isValid())
        return section;
    section.lines.append({QStringLiteral("Измерения"),
                          first == last ? dateText(first) : dateText(first) + QStringLiteral(" и ") + dateText(last)});
    for (int i = 0; i < kBodyColumns; ++i) {
        if (!changes[i])
            continue;
        const BodyMeasure &m = kBodyMeasures[static_cast<std::size_t>(i)];
        const BodyChange &c = *changes[i];
        QString label = QString::fromUtf8(m.label);
        if (*m.unit)
            label += QStringLiteral(", ") + QString::fromUtf8(m.unit);
        QString value = decimalText(c.first);
        if (c.visits > 1) {
            const double change = std::round((c.last - c.first) * 10) / 10;
            const QString sign = change > 0 ? QStringLiteral("+") : change < 0 ? QStringLiteral("\u2212") : QString();
            value += QStringLiteral(" \u2192 ") + decimalText(c.last) + QStringLiteral(" (") + sign +
                     decimalText(std::abs(change)) + u')';
        }
        if (c.firstDate != first || c.lastDate != last)
            value += c.visits > 1
                         ? QStringLiteral("; ") + dateText(c.firstDate) + QStringLiteral(" и ") + dateText(c.lastDate)
                         : QStringLiteral("; ") + dateText(c.firstDate);
        section.lines.append({label, value});
    }
    return section;
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

    // The same numbers as the patient page: today's weight, a child's SDS.
    const NumbersInput in = numbersInput(card, today);
    const BodyNumbers body = bodyNumbers(in);
    r.adultBmiBands = body.adultBmiBands();

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
        add(dynamics, QStringLiteral("ИМТ в начале"), bmiValueOn(in, progress->first.value, progress->first.date));
        add(dynamics, QStringLiteral("ИМТ сейчас"), bmiValueOn(in, progress->last.value, progress->last.date));
    } else if (weighed.size() == 1) {
        add(dynamics, QStringLiteral("ИМТ"), bmiValueOn(in, weighed.first().value, weighed.first().date));
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
    // Under 18 the adult thresholds and the energy equation give way to the reason.
    auto value = [](const QString &line) { return line.mid(line.indexOf(QStringLiteral(": ")) + 2); };
    add(numbers, QStringLiteral("ОТ/ОБ"), value(body.whrLine));
    add(numbers, QStringLiteral("ОТ/рост"), value(body.whtLine));
    const int activity = in.activity;
    if (const auto &energy = body.energy) {
        // "(при весе 92 кг" never breaks inside; the visit's date may go to the next line.
        QString bracket = u'(' + atWeightText(body.now.weight) + u')';
        bracket.replace(u' ', QChar::Nbsp).replace(QStringLiteral("\u00a0на\u00a0"), QStringLiteral(" на\u00a0"));
        add(numbers, QStringLiteral("Обмен покоя"), QStringLiteral("%1 ккал/сут ").arg(energy->resting) + bracket);
        if (energy->hasNeed()) {
            add(numbers, QStringLiteral("Потребность"),
                QStringLiteral("%1 ккал/сут (%2)").arg(energy->need).arg(activityItems().at(activity)));
            add(numbers, QStringLiteral("Для снижения веса"),
                QStringLiteral("%1–%2 ккал/сут").arg(energy->intakeLow).arg(energy->intakeHigh));
        }
    } else if (body.underAdult) {
        add(numbers, QStringLiteral("Обмен покоя"), value(body.restingLine));
    }
    r.sections << numbers;
    if (const ReportSection body = bodySection(card.visitRows); !body.lines.isEmpty())
        r.sections << body;

    r.visitTitles = {QStringLiteral("Дата"), QStringLiteral("Вес, кг"), QStringLiteral("Талия, см"),
                     QStringLiteral("Бёдра, см")};
    for (const QStringList &row : card.visitRows) {
        if (!readVisitDate(visitCell(row, VisitColumn::Date)))
            continue;
        r.visits << QStringList{
            visitCell(row, VisitColumn::Date).trimmed(), visitCell(row, VisitColumn::Weight).trimmed(),
            visitCell(row, VisitColumn::Waist).trimmed(), visitCell(row, VisitColumn::Hips).trimmed()};
    }
    return r;
}

} // namespace vel
