#include "backup/restorecardmodel.h"

namespace vel {

namespace {

QString inFolderText(ArchivedCard::InFolder state)
{
    switch (state) {
    case ArchivedCard::InFolder::Absent:
        return QStringLiteral("нет");
    case ArchivedCard::InFolder::Same:
        return QStringLiteral("такая же");
    case ArchivedCard::InFolder::Different:
        return QStringLiteral("другая версия");
    }
    return {};
}

} // namespace

RestoreCardModel::RestoreCardModel(const QVector<ArchivedCard> &cards, QObject *parent) : QAbstractTableModel(parent)
{
    m_rows.reserve(cards.size());
    for (const ArchivedCard &card : cards)
        m_rows.push_back({card, false});
}

int RestoreCardModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RestoreCardModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RestoreCardModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Row &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case NameColumn:
            return row.card.name;
        case BirthColumn:
            return row.card.birth;
        case VisitColumn:
            return row.card.lastVisit;
        case InFolderColumn:
            return inFolderText(row.card.inFolder);
        }
    }
    if (index.column() == NameColumn && role == Qt::CheckStateRole)
        return row.checked ? Qt::Checked : Qt::Unchecked;
    if (role == FileNameRole)
        return row.card.fileName;
    return {};
}

bool RestoreCardModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != NameColumn || role != Qt::CheckStateRole)
        return false;
    Row &row = m_rows[index.row()];
    const bool checked = value.toInt() == Qt::Checked;
    if (row.checked != checked) {
        row.checked = checked;
        m_checkedCount += checked ? 1 : -1;
        emit dataChanged(index, index, {Qt::CheckStateRole});
    }
    return true;
}

Qt::ItemFlags RestoreCardModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return index.column() == NameColumn ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant RestoreCardModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return QStringLiteral("Ф.И.О.");
    case BirthColumn:
        return QStringLiteral("Дата рождения");
    case VisitColumn:
        return QStringLiteral("Последний визит");
    case InFolderColumn:
        return QStringLiteral("В картотеке");
    }
    return {};
}

QStringList RestoreCardModel::checkedFileNames() const
{
    QStringList names;
    names.reserve(m_checkedCount);
    for (const Row &row : m_rows)
        if (row.checked)
            names << row.card.fileName;
    return names;
}

void RestoreCardModel::checkWhere(const std::function<bool(int row)> &accepts)
{
    int first = -1;
    int last = -1;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).checked || !accepts(i))
            continue;
        m_rows[i].checked = true;
        ++m_checkedCount;
        if (first < 0)
            first = i;
        last = i;
    }
    if (first >= 0)
        emit dataChanged(index(first, NameColumn), index(last, NameColumn), {Qt::CheckStateRole});
}

void RestoreCardFilter::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    invalidateFilter();
}

bool RestoreCardFilter::acceptsRow(int sourceRow) const
{
    const auto *cards = static_cast<const RestoreCardModel *>(sourceModel());
    return cards->name(sourceRow).contains(m_text, Qt::CaseInsensitive);
}

bool RestoreCardFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    return !sourceParent.isValid() && acceptsRow(sourceRow);
}

} // namespace vel
