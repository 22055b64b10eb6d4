#include "card/deletion.h"

#include "card/cardfiles.h"
#include "text/linefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPair>

#include <cerrno>

namespace vel {

namespace {

std::function<bool(const QString &, QString *)> &trash()
{
    static std::function<bool(const QString &, QString *)> moveToTrash = [](const QString &path, QString *inTrash) {
        return QFile::moveToTrash(path, inTrash);
    };
    return moveToTrash;
}

bool renamePath(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Puts back the files already moved, newest first; a file back from the
// desktop trash takes its note there along.
void moveBack(const QList<QPair<QString, QString>> &moved)
{
    for (auto it = moved.crbegin(); it != moved.crend(); ++it) {
        if (!renamePath(it->second, it->first))
            continue;
        const QFileInfo inTrash(it->second);
        if (inTrash.dir().dirName() == QStringLiteral("files"))
            QFile::remove(
                inTrash.dir().filePath(QStringLiteral("../info/") + inTrash.fileName() + QStringLiteral(".trashinfo")));
    }
}

QString couldNotDelete(const QString &path, const QString &reason)
{
    return QStringLiteral("Карточка не удалена: файл \"%1\" нельзя перенести ни в корзину, ни в папку "
                          "\"Удалённые карточки\" (%2). Все файлы карточки остались на месте. Проверьте, что папка "
                          "доступна для записи, и удалите карточку снова!")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
}

} // namespace

void setTrashForTesting(std::function<bool(const QString &path, QString *pathInTrash)> stand)
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
    QString inTrash;
    if (trash()(path, &inTrash))
        return std::nullopt;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz"));
    const QString fallback = QDir(deletedCardsFolder(dataDir)).filePath(stamp);
    if (!QDir().mkpath(fallback) || !renamePath(path, QDir(fallback).filePath(info.fileName())))
        return QStringLiteral("файл \"%1\" нельзя перенести ни в корзину, ни в папку \"Удалённые карточки\" (%2)")
            .arg(QDir::toNativeSeparators(info.absoluteFilePath()), systemErrorText(errno));
    return std::nullopt;
}

std::optional<QString> deleteCard(const QString &chosen, const QString &dataDir, QString *placedIn)
{
    if (placedIn)
        placedIn->clear();
    const QString folder = QFileInfo(chosen).absolutePath();
    const QString name = cardNameOfFile(chosen);
    CardLock lock(folder, name);
    switch (lock.acquire(5000)) {
    case CardLock::State::Busy:
    case CardLock::State::Stuck:
        return lockProblem(lock, folder, name, CardAction::Delete);
    case CardLock::State::Held:
        recoverCard(folder, name);
        break;
    case CardLock::State::Unavailable:
        // A save stopped half-way that cannot be finished: its files would stay behind.
        if (pendingSave(folder, name))
            return lockProblem(lock, folder, name, CardAction::Delete);
        break;
    }

    QStringList present;
    for (const QString &path : deletionNames(chosen)) {
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink())
            present << path;
    }
    // All the files go to one place, the trash or else the folder of deleted
    // cards, or none goes: a card is never split between the two.
    QList<QPair<QString, QString>> moved;
    for (const QString &path : present) {
        QString inTrash;
        if (!trash()(path, &inTrash) || inTrash.isEmpty())
            break;
        moved.append({path, inTrash});
    }
    if (moved.size() == present.size())
        return std::nullopt;
    moveBack(moved);
    moved.clear();

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz"));
    const QString fallback = QDir(deletedCardsFolder(dataDir)).filePath(stamp);
    if (!QDir().mkpath(fallback))
        return couldNotDelete(
            present.value(0, chosen),
            QStringLiteral("не удаётся создать папку \"%1\"").arg(QDir::toNativeSeparators(fallback)));
    for (const QString &path : present) {
        const QString to = QDir(fallback).filePath(QFileInfo(path).fileName());
        if (!renamePath(path, to)) {
            const QString reason = systemErrorText(errno);
            moveBack(moved);
            QDir().rmdir(fallback);
            return couldNotDelete(path, reason);
        }
        moved.append({path, to});
    }
    if (placedIn)
        *placedIn = fallback;
    return std::nullopt;
}

} // namespace vel
