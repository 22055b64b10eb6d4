#include "find/cardlistmodel.h"

#include "cardlist/cardsearch.h"
#include "cardlist/recall.h"
#include "find/cardfolderreader.h"
#include "visits/age.h"

#include <QBrush>
#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPalette>

#include <algorithm>

namespace vel {

namespace {

const QCollator &russianOrder()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Russian, QLocale::Russia));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

std::optional<double> weightValue(const QString &text)
{
    bool ok = false;
    QString t = text;
    const double v = t.replace(u',', u'.').toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

} // namespace

CardListModel::CardListModel(const QString &dataDir, const QDate &today, QObject *parent)
    : QAbstractTableModel(parent), m_dataDir(QDir(dataDir).absolutePath()), m_today(today),
      m_reader(new CardFolderReader(this))
{
    connect(m_reader, &CardFolderReader::cardsRead, this, &CardListModel::addCards);
    connect(m_reader, &CardFolderReader::folderRead, this, &CardListModel::keepOnly);
}

CardListModel::~CardListModel()
{
    m_reader->stop();
}

void CardListModel::refresh()
{
    QHash<QString, CardStamp> known;
    known.reserve(m_rows.size());
    for (const Row &r : std::as_const(m_rows))
        known.insert(r.card.path, r.card.stamp);
    m_settled.clear();
    m_pass = m_reader->start(m_dataDir, known);
    if (!m_reading) {
        m_reading = true;
        emit readingChanged(true);
    }
}

bool CardListModel::inDataFolder(const QString &path) const
{
    return QDir::cleanPath(QFileInfo(path).absolutePath()) == m_dataDir;
}

void CardListModel::updateCard(const QString &mainPath)
{
    if (!inDataFolder(mainPath))
        return;
    if (!QFileInfo::exists(mainPath)) {
        removeCard(mainPath);
        return;
    }
    const CardSummary card = summarizeCard(mainPath, m_dataDir);
    settle(card.path);
    upsert({card});
}

void CardListModel::settle(const QString &path)
{
    // What the reader saw of this card may be older than what the window just did.
    if (m_reading)
        m_settled.insert(path);
}

void CardListModel::removeCard(const QString &mainPath)
{
    settle(QDir::cleanPath(QFileInfo(mainPath).absoluteFilePath()));
    const int r = rowOf(mainPath);
    if (r < 0)
        return;
    beginRemoveRows({}, r, r);
    m_rows.removeAt(r);
    reindex();
    endRemoveRows();
}

int CardListModel::rowOf(const QString &mainPath) const
{
    return m_index.value(QDir::cleanPath(QFileInfo(mainPath).absoluteFilePath()), -1);
}

void CardListModel::addCards(int pass, const QVector<CardSummary> &cards)
{
    if (pass != m_pass)
        return;
    QVector<CardSummary> fresh;
    fresh.reserve(cards.size());
    for (const CardSummary &card : cards)
        if (!m_settled.contains(card.path))
            fresh << card;
    upsert(fresh);
}

void CardListModel::keepOnly(int pass, const QStringList &paths)
{
    if (pass != m_pass)
        return;
    const QSet<QString> present(paths.cbegin(), paths.cend());
    for (int r = int(m_rows.size()) - 1; r >= 0; --r) {
        const QString &path = m_rows.at(r).card.path;
        if (present.contains(path) || m_settled.contains(path))
            continue;
        beginRemoveRows({}, r, r);
        m_rows.removeAt(r);
        endRemoveRows();
    }
    reindex();
    m_settled.clear();
    m_reading = false;
    emit readingChanged(false);
}

CardListModel::Row CardListModel::makeRow(const CardSummary &card) const
{
    Row row;
    row.card = card;
    row.words = searchWords(card.name);
    row.nameKey = russianOrder().sortKey(card.name);
    row.birthDate = parseDayMonthYear(card.birth);
    row.visitDate = parseDayMonthYear(card.lastVisit);
    row.nextDate = parseDayMonthYear(card.nextVisit);
    row.overdue = card.opens() ? overdueDays(row.nextDate, m_today) : 0;
    if (card.opens() && !card.birth.isEmpty())
        row.age = ageFromBirthText(card.birth, m_today);
    row.weight = weightValue(card.weight);
    return row;
}

void CardListModel::upsert(const QVector<CardSummary> &cards)
{
    QVector<Row> added;
    for (const CardSummary &card : cards) {
        const int r = m_index.value(card.path, -1);
        if (r < 0) {
            added << makeRow(card);
            continue;
        }
        m_rows[r] = makeRow(card);
        emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
    }
    if (added.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(added.size()) - 1);
    for (Row &r : added) {
        m_index.insert(r.card.path, int(m_rows.size()));
        m_rows << std::move(r);
    }
    endInsertRows();
}

void CardListModel::reindex()
{
    m_index.clear();
    for (int r = 0; r < m_rows.size(); ++r)
        m_index.insert(m_rows.at(r).card.path, r);
}

int CardListModel::overdueCount() const
{
    QVector<QDate> next;
    next.reserve(m_rows.size());
    for (const Row &r : m_rows)
        next << (r.card.opens() ? r.nextDate : QDate());
    return int(overdueOrder(next, m_today).size());
}

int CardListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CardListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CardListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return row.card.name;
        case BirthColumn:
            return row.card.birth;
        case AgeColumn:
            return row.age && *row.age >= 0 ? QString::number(*row.age) : QString();
        case VisitColumn:
            return row.card.lastVisit;
        case WeightColumn:
            return row.card.weight;
        case NextColumn:
            return row.card.nextVisit;
        case OverdueColumn:
            return row.overdue > 0 ? QString::number(row.overdue) : QString();
        }
        break;
    case Qt::ToolTipRole:
        return row.card.opens() ? row.card.path : QStringLiteral("Карточку нельзя открыть: ") + row.card.problem;
    case Qt::ForegroundRole:
        if (!row.card.opens())
            return QPalette().brush(QPalette::Disabled, QPalette::Text);
        if (index.column() == OverdueColumn && row.overdue > 0)
            return QBrush(QColor(0xb0, 0x10, 0x10));
        break;
    case Qt::TextAlignmentRole:
        if (index.column() != NameColumn)
            return int(Qt::AlignCenter);
        break;
    case PathRole:
        return row.card.path;
    }
    return {};
}

QVariant CardListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[ColumnCount] = {"Ф.И.О.", "Дата рождения",   "Возраст",        "Последний приём",
                                                    "Вес",    "Следующий приём", "Просрочено, дн."};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QString();
}

Qt::ItemFlags CardListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return Qt::NoItemFlags;
    // A card that does not open stays listed, greyed, and cannot be chosen.
    return m_rows.at(index.row()).card.opens() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace vel
