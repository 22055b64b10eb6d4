#include "numbers/bodynumbers.h"

#include "numbers/waistheight.h"
#include "visits/age.h"

#include <algorithm>

namespace vel {

namespace {

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString kgShown(double kg)
{
    return QString::number(kg, 'g', 10).replace(u'.', u',') + QStringLiteral(" кг");
}

// Says which visit a line's value is from: "… (на 08.12.2026)", or inside a
// closing bracket the line already has.
QString withDate(const QString &text, const std::optional<QDate> &date)
{
    if (text.isEmpty() || !date)
        return text;
    if (text.endsWith(u')'))
        return text.chopped(1) + QStringLiteral("; на ") + dateText(*date) + u')';
    return text + QStringLiteral(" (на ") + dateText(*date) + u')';
}

struct DatedRow {
    QDate date;
    QStringList cells;
};

QVector<DatedRow> datedRows(const QVector<QStringList> &visitRows)
{
    QVector<DatedRow> rows;
    for (const QStringList &row : visitRows) {
        if (const auto date = readVisitDate(visitCell(row, VisitColumn::Date)))
            rows.append({*date, row});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const DatedRow &a, const DatedRow &b) { return a.date < b.date; });
    return rows;
}

bool hasNumber(const QString &text)
{
    return readNumber(text).has_value();
}

std::optional<QDate> birthDate(const NumbersInput &in)
{
    return readVisitDate(in.birth);
}

bool childOn(const NumbersInput &in, const QDate &day)
{
    const auto birth = birthDate(in);
    const auto years = birth ? completedYears(*birth, day) : std::nullopt;
    return years && *years >= 0 && *years < kAdultBmiYears;
}

} // namespace

NumbersInput numbersInput(const CardState &card, const QDate &today)
{
    NumbersInput in;
    in.birth = card.text(Field::BirthDate);
    in.height = card.text(Field::Height);
    in.weight = card.text(Field::Weight);
    in.waist = card.text(Field::Waist);
    in.hips = card.text(Field::Hips);
    in.sex = card.index(Field::Sex);
    in.activity = card.activity;
    in.visitRows = card.visitRows;
    in.today = today;
    return in;
}

CurrentMeasures currentMeasures(const NumbersInput &in)
{
    CurrentMeasures now{{in.weight, {}}, {in.waist, {}}, {in.waist, {}}, {in.hips, {}}};
    const QVector<DatedRow> rows = datedRows(in.visitRows);
    bool weight = false, waist = false, pair = false;
    for (auto it = rows.crbegin(); it != rows.crend() && !(weight && waist && pair); ++it) {
        const QString w = visitCell(it->cells, VisitColumn::Weight).trimmed(),
                      t = visitCell(it->cells, VisitColumn::Waist).trimmed(),
                      h = visitCell(it->cells, VisitColumn::Hips).trimmed();
        if (!weight && hasNumber(w)) {
            now.weight = {w, it->date};
            weight = true;
        }
        if (!waist && hasNumber(t)) {
            now.waist = {t, it->date};
            waist = true;
        }
        if (!pair && hasNumber(t) && hasNumber(h)) {
            now.waistForHips = {t, it->date};
            now.hips = {h, it->date};
            pair = true;
        }
    }
    return now;
}

QString atWeightText(const Measure &weight)
{
    const auto kg = readNumber(weight.text);
    if (!kg)
        return QString();
    QString text = QStringLiteral("при весе ") + kgShown(*kg);
    if (weight.date)
        text += QStringLiteral(" на ") + dateText(*weight.date);
    return text;
}

QString underAdultReason(const QString &why)
{
    return QStringLiteral("не применяется до 18 лет: ") + why;
}

BodyNumbers bodyNumbers(const NumbersInput &in)
{
    BodyNumbers n;
    n.now = currentMeasures(in);
    const auto birth = birthDate(in);
    if (birth)
        n.ageYears = completedYears(*birth, in.today);
    n.underAdult = n.ageYears && *n.ageYears >= 0 && *n.ageYears < kAdultYears;
    const QDate weighed = n.now.weight.date.value_or(in.today);
    n.child = childOn(in, weighed);

    // BMI: a child's against the WHO references, an adult's by its classes.
    n.bmi = bodyMassIndex(in.height, n.now.weight.text);
    if (n.child) {
        n.childBmi = childBmi(in.height, n.now.weight.text, in.sex, *birth, weighed);
        if (n.childBmi)
            n.bmiLine = childBmiText(*n.childBmi);
        else if (n.bmi)
            n.bmiLine = QStringLiteral("ИМТ ") + n.bmi->shown +
                        QStringLiteral(" — для оценки у детей выберите пол: нормы ВОЗ свои для мальчиков и девочек");
    } else {
        n.bmiLine = bmiText(n.bmi);
    }
    n.bmiLine = withDate(n.bmiLine, n.now.weight.date);

    const auto whr = waistToHip(n.now.waistForHips.text, n.now.hips.text, in.sex);
    const auto wht = waistToHeight(n.now.waist.text, in.height, bmiTenths(in.height, n.now.weight.text));
    if (n.underAdult) {
        if (whr)
            n.whrLine =
                QStringLiteral("ОТ/ОБ: ") + underAdultReason(QStringLiteral("пороги риска ВОЗ даны для взрослых"));
        if (hasNumber(n.now.waist.text) && hasNumber(in.height))
            n.whtLine =
                QStringLiteral("ОТ/рост: ") + underAdultReason(QStringLiteral("пороги риска даны для взрослых"));
        n.restingLine = QStringLiteral("Обмен покоя: ") +
                        underAdultReason(QStringLiteral("формула Миффлина — Сан Жеора выведена для взрослых"));
        n.brocaLine = brocaRestingCaption() + QStringLiteral(": ") +
                      underAdultReason(QStringLiteral("правило Брока — для взрослых"));
        return n;
    }
    n.whrLine = withDate(whrText(whr), n.now.hips.date);
    n.whtLine = withDate(waistHeightText(wht), n.now.waist.date);
    n.energy = energyNeed(in.sex, n.ageYears ? QString::number(*n.ageYears) : QString(), in.height, n.now.weight.text,
                          in.activity);
    if (n.energy) {
        n.restingLine = restingText(n.energy) + QStringLiteral(" (") + atWeightText(n.now.weight) + u')';
        n.intakeLine = intakeText(n.energy);
    }
    return n;
}

QString bmiValueOn(const NumbersInput &in, double weightKg, const QDate &measured)
{
    const QString weight = QString::number(weightKg, 'g', 10);
    if (childOn(in, measured)) {
        if (const auto c = childBmi(in.height, weight, in.sex, *birthDate(in), measured))
            return c->bmiShown + QStringLiteral(" — SDS ") + c->sdsShown + QStringLiteral(": ") + c->className +
                   QStringLiteral(" (") + referenceName(c->sds.reference) + u')';
        const auto bmi = bodyMassIndex(in.height, weight);
        return bmi ? bmi->shown : QString();
    }
    const auto bmi = bodyMassIndex(in.height, weight);
    return bmi ? bmi->shown + QStringLiteral(" — ") + bmi->className : QString();
}

QString bmiChangeLine(const std::optional<Progress> &p, const NumbersInput &in)
{
    if (!p || !p->bmiFirst || !p->bmiLast)
        return QString();
    if (!childOn(in, p->first.date))
        return bmiChangeText(p);
    QString text = QStringLiteral("ИМТ: ") + p->bmiFirst->shown + QStringLiteral(" → ") + p->bmiLast->shown;
    const auto birth = birthDate(in);
    const auto then = childBmi(in.height, QString::number(p->first.value, 'g', 10), in.sex, *birth, p->first.date);
    const auto now = childBmi(in.height, QString::number(p->last.value, 'g', 10), in.sex, *birth, p->last.date);
    if (then && now)
        text += QStringLiteral(" (SDS ") + then->sdsShown + QStringLiteral(" → ") + now->sdsShown + u')';
    return text;
}

} // namespace vel
