#include "cardlist/cardsummary.h"

#include "card/cardfiles.h"
#include "text/linefile.h"

#include <QDir>
#include <QFileInfo>

namespace vel {

CardStamp cardStamp(const QString &mainPath)
{
    CardStamp stamp;
    stamp.values.reserve(12);
    for (const QString &file : deletionNames(mainPath)) {
        const QFileInfo info(file);
        const bool exists = info.exists();
        stamp.values << (exists ? info.size() : -1) << (exists ? info.lastModified().toMSecsSinceEpoch() : -1);
    }
    return stamp;
}

QString dateShown(const QString &fieldText)
{
    const QString trimmed = fieldText.trimmed();
    for (QChar c : trimmed)
        if (c != u'.' && c != u' ')
            return trimmed;
    return {};
}

QDate parseDayMonthYear(const QString &text)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 3)
        return {};
    const auto day = toInt(parts.at(0));
    const auto month = toInt(parts.at(1));
    const auto year = toInt(parts.at(2));
    if (!day || !month || !year)
        return {};
    return QDate(*year, *month, *day);
}

CardSummary summarizeCard(const QString &mainPath, const QString &dataDir)
{
    CardSummary summary;
    const QFileInfo info(mainPath);
    summary.path = QDir::cleanPath(info.absoluteFilePath());
    summary.stamp = cardStamp(summary.path);
    auto loaded = loadCard(summary.path, dataDir);
    if (auto *e = std::get_if<ReadError>(&loaded)) {
        summary.name = info.completeBaseName();
        summary.problem = withFullStop(e->message);
        return summary;
    }
    const CardState &card = std::get<LoadedCard>(loaded).card;
    summary.name = card.text(Field::Name);
    summary.birth = dateShown(card.text(Field::BirthDate));
    summary.lastVisit = card.visitRows.isEmpty() ? dateShown(card.text(Field::VisitDate))
                                                 : dateShown(visitCell(card.visitRows.constLast(), VisitColumn::Date));
    summary.weight = card.text(Field::Weight).trimmed();
    summary.nextVisit = dateShown(card.nextVisit);
    // Visits are written in order; the newest row with a weight wins over the first visit's.
    for (auto row = card.visitRows.crbegin(); row != card.visitRows.crend(); ++row) {
        const QString weight = visitCell(*row, VisitColumn::Weight).trimmed();
        if (!weight.isEmpty()) {
            summary.weight = weight;
            break;
        }
    }
    return summary;
}

} // namespace vel
