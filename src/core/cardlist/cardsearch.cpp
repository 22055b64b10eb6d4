#include "cardlist/cardsearch.h"

#include "text/linefile.h"

namespace vel {

namespace {

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

CardQuery parseCardQuery(const QString &typed)
{
    CardQuery query;
    for (const QString &token : typed.split(u' ', Qt::SkipEmptyParts)) {
        if (isDateToken(token)) {
            const QStringList pieces = token.split(u'.', Qt::SkipEmptyParts);
            if (!pieces.isEmpty())
                query.dates << pieces;
        } else {
            query.words << searchWords(token);
        }
    }
    return query;
}

bool matchesCardQuery(const CardQuery &query, const QStringList &nameWords, const QString &birth)
{
    for (const QString &word : query.words) {
        bool found = false;
        for (const QString &nameWord : nameWords)
            if (nameWord.startsWith(word)) {
                found = true;
                break;
            }
        if (!found)
            return false;
    }
    if (query.dates.isEmpty())
        return true;
    const QStringList parts = birth.split(u'.');
    for (const QStringList &pieces : query.dates)
        if (!datePiecesMatch(pieces, parts))
            return false;
    return true;
}

} // namespace vel
