#include "cardlist/cardsearch.h"

#include "text/linefile.h"

namespace vel {

namespace {

// The keys of the two layouts, position by position (lower case, then the
// shifted marks that carry letters in the other layout).
const QString &latinKeys()
{
    static const QString keys = QStringLiteral("qwertyuiop[]asdfghjkl;'zxcvbnm,./`{}:\"<>~");
    return keys;
}

const QString &russianKeys()
{
    static const QString keys = QStringLiteral("йцукенгшщзхъфывапролджэячсмитьбю.ёхъжэбюё");
    return keys;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber();
}

bool isDateToken(const QString &token)
{
    bool digit = false;
    for (QChar c : token) {
        if (c.isDigit())
            digit = true;
        else if (c != u'.')
            return false;
    }
    return digit;
}

bool isDigits(const QString &token)
{
    for (QChar c : token)
        if (!c.isDigit())
            return false;
    return !token.isEmpty();
}

// Pieces before the last must equal the date's parts; the last may be the
// start of one, so the list narrows digit by digit.
bool datePiecesMatch(const QStringList &pieces, const QStringList &parts)
{
    for (qsizetype start = 0; start + pieces.size() <= parts.size(); ++start) {
        bool all = true;
        for (qsizetype i = 0; i < pieces.size() && all; ++i) {
            const QString part = parts.at(start + i).trimmed();
            const QString &piece = pieces.at(i);
            const auto a = toInt(part), b = toInt(piece);
            const bool equal = a && b && *a == *b;
            const bool last = i + 1 == pieces.size();
            all = equal || (last && part.startsWith(piece));
        }
        if (all)
            return true;
    }
    return false;
}

// The birth date as the date field takes it typed without dots: "14031978".
QString compactDate(const QStringList &parts)
{
    if (parts.size() != 3)
        return {};
    return parts.at(0).trimmed().rightJustified(2, u'0') + parts.at(1).trimmed().rightJustified(2, u'0') +
           parts.at(2).trimmed();
}

bool digitsMatch(const QString &digits, const QStringList &parts)
{
    const QString compact = compactDate(parts);
    if (compact.isEmpty())
        return false;
    if (compact.startsWith(digits))
        return true;
    // Six digits may be the short form with a two-digit year: "140378".
    return digits.size() == 6 && compact.size() == 8 && compact.left(4) == digits.left(4) &&
           compact.right(2) == digits.right(2);
}

void addReading(QVector<CardQueryReading> &readings, const QString &token)
{
    CardQueryReading reading;
    if (isDateToken(token)) {
        reading.datePieces = token.split(u'.', Qt::SkipEmptyParts);
        if (isDigits(token))
            reading.dateDigits = token;
        if (reading.datePieces.isEmpty())
            return;
    } else {
        reading.words = searchWords(token);
        if (reading.words.isEmpty())
            return;
    }
    readings << reading;
}

bool readingMatches(const CardQueryReading &reading, const QStringList &nameWords, const QStringList &birthParts)
{
    for (const QString &word : reading.words) {
        bool found = false;
        for (const QString &nameWord : nameWords)
            if (nameWord.startsWith(word)) {
                found = true;
                break;
            }
        if (!found)
            return false;
    }
    if (reading.datePieces.isEmpty())
        return true;
    return datePiecesMatch(reading.datePieces, birthParts) ||
           (!reading.dateDigits.isEmpty() && digitsMatch(reading.dateDigits, birthParts));
}

} // namespace

QString foldForSearch(const QString &text)
{
    QString folded = text.toLower();
    folded.replace(u'ё', u'е');
    return folded;
}

QStringList searchWords(const QString &name)
{
    QStringList words;
    const QString folded = foldForSearch(name);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool inWord = i < folded.size() && isWordChar(folded.at(i));
        if (inWord && start < 0)
            start = i;
        else if (!inWord && start >= 0) {
            words << folded.mid(start, i - start);
            start = -1;
        }
    }
    return words;
}

QString otherKeyboardLayout(const QString &typed)
{
    QString text = typed.toLower();
    // Latin letters mean the Latin layout was on: its marks are Russian
    // letters too. Otherwise Russian letters (and "." of the Russian layout)
    // go back to the Latin keys.
    bool latin = false;
    for (QChar c : text)
        if (c >= u'a' && c <= u'z')
            latin = true;
    const QString &from = latin ? latinKeys() : russianKeys();
    const QString &to = latin ? russianKeys() : latinKeys();
    for (QChar &c : text) {
        if (!latin && c == u'.')
            continue; // a date's dots stay dots
        const qsizetype at = from.indexOf(c);
        if (at >= 0)
            c = to.at(at);
    }
    return text;
}

CardQuery parseCardQuery(const QString &typed)
{
    CardQuery query;
    for (const QString &token : typed.split(u' ', Qt::SkipEmptyParts)) {
        QVector<CardQueryReading> readings;
        addReading(readings, token);
        const QString other = otherKeyboardLayout(token);
        if (other != token.toLower())
            addReading(readings, other);
        for (const CardQueryReading &reading : readings)
            query.readsBirth = query.readsBirth || !reading.datePieces.isEmpty();
        if (!readings.isEmpty())
            query.terms << readings;
    }
    return query;
}

bool matchesCardQuery(const CardQuery &query, const QStringList &nameWords, const QString &birth)
{
    const QStringList parts = query.readsBirth ? birth.split(u'.') : QStringList();
    for (const QVector<CardQueryReading> &readings : query.terms) {
        bool any = false;
        for (const CardQueryReading &reading : readings)
            if (readingMatches(reading, nameWords, parts)) {
                any = true;
                break;
            }
        if (!any)
            return false;
    }
    return true;
}

} // namespace vel
