#pragma once

#include <QString>

#include <optional>

// Waist-to-height ratio: central obesity at a glance, for either sex.

namespace vel {

struct WaistHeight {
    QString shown; // two decimals with a comma: "0,55"
    enum Band { NoRisk, Increased, High } band = NoRisk;
};

// Nothing unless both are numbers above zero, and nothing with a BMI of 35 or
// more (bmiTenths >= 350): there the ratio adds nothing to the BMI class.
// Pass a negative bmiTenths when the BMI is unknown. The band is read from
// the shown value: below 0,50, 0,50 to 0,59, 0,60 and more.
std::optional<WaistHeight> waistToHeight(const QString &waistCm, const QString &heightCm, qint64 bmiTenths);

// The BMI in tenths as bodyMassIndex() shows it, or -1.
qint64 bmiTenths(const QString &heightCm, const QString &weightKg);

// "риск повышен"
QString waistHeightBand(WaistHeight::Band band);
// "ОТ/рост: 0,55 — риск повышен"; empty without a value.
QString waistHeightText(const std::optional<WaistHeight> &r);

} // namespace vel
