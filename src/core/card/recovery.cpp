#include "card/recovery.h"

#include "card/cardfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace vel {

namespace {

QString unfinishedPrefix()
{
    return QStringLiteral(".unfinished ");
}

// A new folder named after the moment, so that names sort by age. The copy
// is written in a hidden folder of its own and takes that name only once
// whole, so that a full disk or a crash never leaves a copy with files missing.
Result<QString> newCopyFolder(const QString &dataDir)
{
    const QString root = recoveryFolder(dataDir);
    if (::mkdir(QFile::encodeName(root).constData(), 0777) != 0 && errno != EEXIST)
        return ReadError{cannotCreateMessage(root, systemErrorText(errno))};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz"));
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stamp : stamp + QStringLiteral(" (%1)").arg(n);
        const QString path = QDir(root).filePath(unfinishedPrefix() + name);
        if (QFileInfo::exists(QDir(root).filePath(name)))
            continue;
        if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
            return path;
        if (errno != EEXIST)
            return ReadError{cannotCreateMessage(path, systemErrorText(errno))};
    }
}

void pruneCopies(const QString &dataDir)
{
    QDir root(recoveryFolder(dataDir));
    const QStringList copies = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (qsizetype i = 0; i + kRecoveryCopiesKept < copies.size(); ++i)
        QDir(root.filePath(copies.at(i))).removeRecursively();
}

Result<QString> writeCopy(const QString &dataDir, const QString &name, const SetBytes &files)
{
    auto folder = newCopyFolder(dataDir);
    if (auto *e = std::get_if<ReadError>(&folder))
        return *e;
    const QString unfinished = std::get<QString>(folder);
    const QString base = QDir(unfinished).filePath(name);
    for (int i = 0; i < kCardPartCount; ++i) {
        if (absentPart(i, files[static_cast<std::size_t>(i)]))
            continue;
        const QString path = base + cardSuffixes()[static_cast<std::size_t>(i)];
        if (auto reason = writeFileDurably(path, files[static_cast<std::size_t>(i)])) {
            QDir(unfinished).removeRecursively();
            return ReadError{cannotCreateMessage(path, *reason)};
        }
    }
    syncFolder(unfinished);
    const QString done =
        QDir(recoveryFolder(dataDir)).filePath(QFileInfo(unfinished).fileName().mid(unfinishedPrefix().size()));
    if (::rename(QFile::encodeName(unfinished).constData(), QFile::encodeName(done).constData()) != 0) {
        const int error = errno;
        QDir(unfinished).removeRecursively();
        return ReadError{cannotCreateMessage(done, systemErrorText(error))};
    }
    syncFolder(recoveryFolder(dataDir));
    pruneCopies(dataDir);
    return QDir(done).filePath(name + cardSuffixes()[0]);
}

} // namespace

QString recoveryFolder(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral(".recovery"));
}

void removeUnfinishedCopies(const QString &dataDir)
{
    QDir root(recoveryFolder(dataDir));
    const QDateTime minuteAgo = QDateTime::currentDateTime().addSecs(-60);
    // A copy being written right now by another copy of the program is left alone.
    for (const QFileInfo &copy : root.entryInfoList({unfinishedPrefix() + u'*'}, QDir::Dirs | QDir::Hidden))
        if (copy.lastModified() < minuteAgo)
            QDir(copy.filePath()).removeRecursively();
}

Result<QString> keepRecoveryCopy(const QString &dataDir, const CardState &card)
{
    CardState copy = card;
    const QString name = card.text(Field::Name);
    if (!isUsableCardName(name) || !nameFitsFileSystem(dataDir, name))
        copy.setText(Field::Name, QStringLiteral("Без имени"));
    return writeCopy(dataDir, copy.text(Field::Name), encodeCardLossy(copy));
}

Result<QString> keepSetCopy(const QString &dataDir, const QString &folder, const QString &name)
{
    SetBytes files;
    for (int i = 0; i < kCardPartCount; ++i) {
        const QString path = QDir(folder).filePath(name + cardSuffixes()[static_cast<std::size_t>(i)]);
        if (!QFileInfo::exists(path))
            continue; // a file missing from the set is kept as an empty one
        FileRead r = readCardFile(path);
        if (!r.error.isEmpty())
            return ReadError{r.error};
        files[static_cast<std::size_t>(i)] = r.bytes;
    }
    return writeCopy(dataDir, name, files);
}

} // namespace vel
