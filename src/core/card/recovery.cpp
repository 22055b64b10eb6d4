#include "card/recovery.h"

#include "card/cardfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace vel {

namespace {

// A new folder named after the moment, so that names sort by age.
Result<QString> newCopyFolder(const QString &dataDir)
{
    QDir root(recoveryFolder(dataDir));
    if (!root.mkpath(QStringLiteral(".")))
        return ReadError{cannotCreateMessage(root.absolutePath(), systemErrorText(EACCES))};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz"));
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stamp : stamp + QStringLiteral(" (%1)").arg(n);
        if (root.mkdir(name))
            return root.filePath(name);
        if (!root.exists(name))
            return ReadError{cannotCreateMessage(root.filePath(name), systemErrorText(EACCES))};
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
    const QString base = QDir(std::get<QString>(folder)).filePath(name);
    for (int i = 0; i < kCardPartCount; ++i) {
        QFile f(base + cardSuffixes()[static_cast<std::size_t>(i)]);
        const QByteArray &bytes = files[static_cast<std::size_t>(i)];
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
            return ReadError{cannotCreateMessage(f.fileName(), f.errorString())};
    }
    pruneCopies(dataDir);
    return base + cardSuffixes()[0];
}

} // namespace

QString recoveryFolder(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral(".recovery"));
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
