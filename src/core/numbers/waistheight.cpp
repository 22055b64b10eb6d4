#include "numbers/waistheight.h"

#include "visits/bodyindex.h"

#include <cmath>

namespace vel {

namespace {

constexpr qint64 kMorbidBmiTenths = 350;

std::optional<qint64> hundredths(double ratio)
{
    if (!std::isfinite(ratio) || ratio < 0 || ratio > 1e6)
        return std::nullopt;
    return qint64(std::floor(ratio * 100 * (1 + 1e-12) + 0.5));
}

} // namespace

qint64 bmiTenths(const QString &heightCm, const QString &weightKg)
{
    const auto bmi = bodyMassIndex(heightCm, weightKg);
    if (!bmi)
        return -1;
    return QString(bmi->shown).remove(u',').toLongLong();
}

std::optional<WaistHeight> waistToHeight(const QString &waistCm, const QString &heightCm, qint64 bmiTenths)
{
    const auto waist = readNumber(waistCm);
    const auto height = readNumber(heightCm);
    if (!waist || !height || *waist <= 0 || *height <= 0 || bmiTenths >= kMorbidBmiTenths)
        return std::nullopt;
    const auto h = hundredths(*waist / *height);
    if (!h)
        return std::nullopt;
    WaistHeight r;
    r.shown = QString::number(*h / 100) + u',' + QStringLiteral("%1").arg(*h % 100, 2, 10, QLatin1Char('0'));
    r.band = *h < 50 ? WaistHeight::NoRisk : *h < 60 ? WaistHeight::Increased : WaistHeight::High;
    return r;
}

QString waistHeightBand(WaistHeight::Band band)
{
    static const char *const bands[] = {"риск не повышен", "риск повышен", "высокий риск"};
    return QString::fromUtf8(bands[band]);
}

QString waistHeightText(const std::optional<WaistHeight> &r)
{
    if (!r)
        return QString();
    return QStringLiteral("ОТ/рост: ") + r->shown + QStringLiteral(" — ") + waistHeightBand(r->band);
}

} // namespace vel
