#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Finding a card by what the doctor types: every typed word must start a
// word of the name, in any order, ignoring case, with "ё" taken as "е".
// Words of digits match the birth date: "1975", "12.05", "05.1975".

namespace vel {

struct CardQuery {
    QStringList words;          // folded name prefixes
    QVector<QStringList> dates; // birth date pieces, e.g. {"12", "05"}
    bool isEmpty() const { return words.isEmpty() && dates.isEmpty(); }
};

// Lower case, "ё" as "е".
QString foldForSearch(const QString &text);

// The folded words of a name; hyphens and other marks separate words.
QStringList searchWords(const QString &name);

CardQuery parseCardQuery(const QString &typed);

// nameWords as searchWords gives them; birth as the card's date field shows it.
bool matchesCardQuery(const CardQuery &query, const QStringList &nameWords, const QString &birth);

} // namespace vel
