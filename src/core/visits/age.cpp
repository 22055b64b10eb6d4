#include "visits/age.h"

#include "text/linefile.h"

namespace vel {

std::optional<int> ageFromBirthText(const QString &birthText, const QDate &today)
{
    const auto day = toInt(birthText.mid(0, 2));
    const auto month = toInt(birthText.mid(3, 2));
    const auto year = toInt(birthText.mid(6, 4));
    if (!day || !month || !year)
        return std::nullopt;
    // A date that does not exist (31.02) or has not come yet gives no age.
    const QDate birth(*year, *month, *day);
    if (!birth.isValid() || birth > today)
        return std::nullopt;

    // Unsigned 16-bit parts, as earlier versions computed them ("-1" wraps).
    const int birthDay = quint16(*day);
    const int birthMonth = quint16(*month);
    const int birthYear = quint16(*year);
    const int thisMonth = today.month();

    int age = int(quint16(today.year())) - birthYear;
    // The birthday of this year is still to come.
    if (birthMonth > thisMonth || (birthMonth == thisMonth && birthDay > today.day()))
        --age;
    return age;
}

QString brocaRestingCaption()
{
    return QStringLiteral("Идеальный вес по Броку");
}

QString birthDateMessage()
{
    return QStringLiteral("Введите корректную дату рождения пациента!");
}

QString heightMessage()
{
    return QStringLiteral("Введите рост пациента: целое число в сантиметрах!");
}

namespace {

// Tenths written with a decimal comma and no trailing zero: 477 -> "47,7",
// 540 -> "54", -27 -> "-2,7". Whole numbers keep the result exact.
QString tenthsText(qint64 tenths)
{
    const bool negative = tenths < 0;
    const qint64 magnitude = negative ? -tenths : tenths;
    QString out;
    if (negative)
        out += u'-';
    out += QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        out += u',' + QString::number(magnitude % 10);
    return out;
}

} // namespace

BrocaResult brocaCaption(int bodyBuildIndex, const QString &ageText, const QString &heightText)
{
    if (bodyBuildIndex < 0 || bodyBuildIndex > 2)
        return {BrocaResult::NoBodyBuild, QString()};

    const auto age = toInt(ageText);
    const auto height = toInt(heightText);
    if (!age || !height) {
        // An empty age means the birth date was never accepted.
        return {ageText.isEmpty() ? BrocaResult::BirthDateMessage : BrocaResult::HeightMessage, QString()};
    }

    const qint64 deduction = *age >= 40 ? 100 : 110;
    const qint64 w = qint64(*height) - deduction;
    QString value;
    switch (bodyBuildIndex) {
    case 0:
        value = QString::number(w);
        break;
    case 1:
        value = tenthsText(w * 9);
        break;
    default:
        value = tenthsText(w * 11);
        break;
    }
    return {BrocaResult::Shown, brocaRestingCaption() + QStringLiteral(": ") + value + QStringLiteral(" кг.")};
}

QString todayText(const QDate &d)
{
    return QStringLiteral("%1.%2.%3").arg(d.day()).arg(d.month(), 2, 10, QLatin1Char('0')).arg(d.year());
}

QString visitDateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace vel
