#include "cardlist/recentcards.h"

#include <QDir>
#include <QFileInfo>

namespace vel {

namespace {

QString samePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QStringList withRecentCard(QStringList recent, const QString &path)
{
    recent = withoutRecentCard(recent, path);
    recent.prepend(samePath(path));
    while (recent.size() > kRecentCardCount)
        recent.removeLast();
    return recent;
}

QStringList withoutRecentCard(QStringList recent, const QString &path)
{
    const QString key = samePath(path);
    recent.removeIf([&key](const QString &p) { return samePath(p) == key; });
    return recent;
}

} // namespace vel
