#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Finding a card by what the doctor types: every typed word must start a
// word of the name, in any order, ignoring case, with "ё" taken as "е".
// Words of digits match the birth date: "1975", "12.05", "05.1975", and
// the digits alone as the date field takes them: "1403", "14031978".
// A word typed in the other keyboard layout ("bdfyjdf" for "иванова",
// "14ю03" for "14.03") is read both ways.

namespace vel {

// One way of reading a typed word.
struct CardQueryReading {
    QStringList words;      // folded name prefixes
    QStringList datePieces; // birth date pieces, e.g. {"12", "05"}
    QString dateDigits;     // digits only: also the start of "ddmmyyyy"
};

struct CardQuery {
    // Every typed word must match; a word matches when one of its readings does.
    QVector<QVector<CardQueryReading>> terms;
    bool readsBirth = false; // some reading is a date
    bool isEmpty() const { return terms.isEmpty(); }
};

// Lower case, "ё" as "е".
QString foldForSearch(const QString &text);

// The folded words of a name; hyphens and other marks separate words.
QStringList searchWords(const QString &name);

// The same keys read in the other layout, Latin QWERTY ↔ Russian ЙЦУКЕН:
// "bdfyjdf" gives "иванова" and "ыьшер" gives "smith". Other characters stay.
QString otherKeyboardLayout(const QString &typed);

CardQuery parseCardQuery(const QString &typed);

// nameWords as searchWords gives them; birth as the card's date field shows it.
bool matchesCardQuery(const CardQuery &query, const QStringList &nameWords, const QString &birth);

} // namespace vel
