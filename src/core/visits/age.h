#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace vel {

// Age in completed years from the birth date field's text "dd.mm.yyyy".
// Nothing when the day, month or year part is not a whole number (a blank
// or half-typed mask). A birth date in the future gives a negative age.
std::optional<int> ageFromBirthText(const QString &birthText, const QDate &today);

// Ideal weight after Broca, shown as the caption of its button.
struct BrocaResult {
    enum Outcome {
        Shown,            // caption holds the new text
        NoBodyBuild,      // no body build chosen: leave everything as it is
        BirthDateMessage, // show birthDateMessage()
        HeightMessage     // show heightMessage()
    } outcome;
    QString caption;
};

// bodyBuildIndex: 0 normosthenic, 1 asthenic, 2 hypersthenic, anything else
// means nothing is selected. ageText and heightText are the fields' texts.
BrocaResult brocaCaption(int bodyBuildIndex, const QString &ageText, const QString &heightText);

QString brocaRestingCaption(); // "Идеальный вес по Броку"
QString birthDateMessage();    // "Введите корректную дату рождения пациента!"
QString heightMessage(); // "Введите рост пациента: целое число в сантиметрах!"

// The date as shown on new rows and printouts: 5.03.2024.
QString todayText(const QDate &d);
// The date of a new visit row, with the day in two digits as the doctor
// types the others: 05.03.2024.
QString visitDateText(const QDate &d);

} // namespace vel
