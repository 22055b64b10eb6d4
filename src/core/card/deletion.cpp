#include "card/deletion.h"

#include "card/cardfiles.h"
#include "text/linefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vel {

namespace {

QString cannotDeleteMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot delete file \"%1\". %2").arg(QFileInfo(path).absoluteFilePath(), reason);
}

std::function<bool(const QString &)> &trash()
{
    static std::function<bool(const QString &)> moveToTrash = [](const QString &path) {
        return QFile::moveToTrash(path);
    };
    return moveToTrash;
}

} // namespace

void setTrashForTesting(std::function<bool(const QString &path)> stand)
{
    trash() = std::move(stand);
}

QString deletedCardsFolder(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("Удалённые карточки"));
}

std::optional<QString> moveFileAside(const QString &path, const QString &dataDir)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    if (trash()(path))
        return std::nullopt;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz"));
    const QString fallback = QDir(deletedCardsFolder(dataDir)).filePath(stamp);
    if (!QDir().mkpath(fallback))
        return cannotDeleteMessage(path, QStringLiteral("Cannot create folder \"%1\"").arg(fallback));
    QFile file(path);
    if (!file.rename(QDir(fallback).filePath(info.fileName())))
        return cannotDeleteMessage(path, file.errorString());
    return std::nullopt;
}

std::optional<QString> deleteCard(const QString &chosen, const QString &dataDir)
{
    const QString folder = QFileInfo(chosen).absolutePath();
    const QString name = cardNameOfFile(chosen);
    CardLock lock(folder, name);
    switch (lock.acquire(5000)) {
    case CardLock::State::Busy:
        return QStringLiteral("Карточку \"%1\" сейчас сохраняет другая копия программы. "
                              "Подождите немного и удалите карточку снова!")
            .arg(name);
    case CardLock::State::Held:
        recoverCard(folder, name);
        break;
    case CardLock::State::Unavailable:
        break;
    }

    QString fallback; // made on first need, one folder per deletion
    for (const QString &path : deletionNames(chosen)) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (trash()(path))
            continue;
        if (fallback.isEmpty()) {
            const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz"));
            fallback = QDir(deletedCardsFolder(dataDir)).filePath(stamp);
            if (!QDir().mkpath(fallback))
                return cannotDeleteMessage(path, QStringLiteral("Cannot create folder \"%1\"").arg(fallback));
        }
        QFile file(path);
        if (!file.rename(QDir(fallback).filePath(info.fileName())))
            return cannotDeleteMessage(path, file.errorString());
    }
    return std::nullopt;
}

} // namespace vel
