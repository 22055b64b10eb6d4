#include "cardlist/cardsearch.h"

#include "text/linefile.h"

#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <optional>

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

// A birth date's parts, seen in place: the list is filtered per keystroke
// over thousands of cards, with no string made per card.
using DateParts = QVarLengthArray<QStringView, 4>;

DateParts dateParts(const QString &birth)
{
    DateParts parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= birth.size(); ++i)
        if (i == birth.size() || birth.at(i) == u'.') {
            parts.append(QStringView(birth).mid(start, i - start));
            start = i + 1;
        }
    return parts;
}

// A part's number: digits, blanks around allowed.
std::optional<int> partNumber(QStringView part)
{
    part = part.trimmed();
    if (part.isEmpty() || part.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : part) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// Pieces before the last must equal the date's parts; the last may be the
// start of one, so the list narrows digit by digit.
bool datePiecesMatch(const QStringList &pieces, const DateParts &parts)
{
    for (qsizetype start = 0; start + pieces.size() <= parts.size(); ++start) {
        bool all = true;
        for (qsizetype i = 0; i < pieces.size() && all; ++i) {
            const QStringView part = parts.at(start + i).trimmed();
            const QString &piece = pieces.at(i);
            const auto a = partNumber(part), b = toInt(piece);
            const bool equal = a && b && *a == *b;
            const bool last = i + 1 == pieces.size();
            all = equal || (last && part.startsWith(piece));
        }
        if (all)
            return true;
    }
    return false;
}

// The birth date as the date field takes it typed without dots ("14031978")
// must start with the digits; six digits may also be the short form with a
// two-digit year ("140378").
bool digitsMatch(const QString &digits, const DateParts &parts)
{
    if (parts.size() != 3)
        return false;
    std::array<char16_t, 32> buffer{};
    std::size_t n = 0;
    const auto put = [&buffer, &n](QStringView part, qsizetype width) {
        part = part.trimmed();
        for (qsizetype k = part.size(); k < width && n < buffer.size(); ++k)
            buffer[n++] = u'0';
        for (QChar c : part)
            if (n < buffer.size())
                buffer[n++] = c.unicode();
    };
    put(parts.at(0), 2);
    put(parts.at(1), 2);
    put(parts.at(2), 0);
    const QStringView compact(buffer.data(), qsizetype(n));
    if (compact.startsWith(digits))
        return true;
    return digits.size() == 6 && compact.size() == 8 && compact.left(4) == QStringView(digits).left(4) &&
           compact.right(2) == QStringView(digits).right(2);
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

bool readingMatches(const CardQueryReading &reading, const QStringList &nameWords, const DateParts &birthParts)
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
    const DateParts parts = query.readsBirth ? dateParts(birth) : DateParts();
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
