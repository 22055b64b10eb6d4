#include "cardlist/recentcards.h"

#include "card/deletion.h"
#include "card/recovery.h"

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

bool isRecentCandidate(const QString &path, const QString &dataDir)
{
    const QString file = samePath(path);
    for (const QString &aside : {recoveryFolder(dataDir), deletedCardsFolder(dataDir)}) {
        if (file.startsWith(samePath(aside) + u'/'))
            return false;
        const QString real = QFileInfo(aside).canonicalFilePath(); // empty while it does not exist
        if (!real.isEmpty() && QFileInfo(file).canonicalFilePath().startsWith(real + u'/'))
            return false;
    }
    // The desktop trash keeps its files in a folder "files" of a folder "Trash".
    return !file.contains(QStringLiteral("/Trash/files/"));
}

} // namespace vel
