#pragma once

#include <QDate>
#include <QMetaType>
#include <QString>
#include <QVector>

// What the card list shows of one card, read from its files without opening
// it in the window. A card that the window could not open keeps the message
// its open would show, so the list can say why.

namespace vel {

// Size and modification time of the six files of a card (-1 when missing):
// a card is read again only when one of them changed.
struct CardStamp {
    QVector<qint64> values;
    bool operator==(const CardStamp &other) const { return values == other.values; }
    bool operator!=(const CardStamp &other) const { return values != other.values; }
};

struct CardSummary {
    QString path;      // absolute path of the main file
    QString name;      // the patient's full name; the file name for a card that does not open
    QString birth;     // birth date as typed, "" for a blank one
    QString lastVisit; // date of the last weight row, else the card's visit date
    QString weight;    // the last weight written
    QString nextVisit; // the next visit's date as typed, "" when none is set
    QString problem;   // empty when the card opens; otherwise the open's message
    CardStamp stamp;

    bool opens() const { return problem.isEmpty(); }
};

CardStamp cardStamp(const QString &mainPath);

// Reads one card the way the window's open does, all six files and the
// template list of the data folder, and keeps what the list shows.
CardSummary summarizeCard(const QString &mainPath, const QString &dataDir);

// A date field's text without its blank mask: "  .  .    " becomes "".
QString dateShown(const QString &fieldText);

// "5.03.2024" or "05.03.2024"; an invalid date for anything else.
QDate parseDayMonthYear(const QString &text);

} // namespace vel

Q_DECLARE_METATYPE(vel::CardSummary)
