#include "card/recovery.h"

#include "card/cardfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace vel {

namespace {

QString unfinishedPrefix()
{
    return QStringLiteral(".unfinished ");
}

QString stampFormat()
{
    return QStringLiteral("yyyy-MM-dd HH-mm-ss-zzz");
}

// A new folder named after the moment and the patient, so that names sort
// by age. The copy is written in a hidden folder of its own and takes that
// name only once whole, so that a full disk or a crash never leaves a copy
// with files missing.
Result<QString> newCopyFolder(const QString &dataDir, const QString &name)
{
    const QString root = recoveryFolder(dataDir);
    if (::mkdir(QFile::encodeName(root).constData(), 0777) != 0 && errno != EEXIST)
        return ReadError{cannotCreateMessage(root, systemErrorText(errno))};
    // The patient's name in the folder's name is a hint only: kept short.
    const QString stamp = QDateTime::currentDateTime().toString(stampFormat()) + u' ' + name.left(60).trimmed();
    for (int n = 1;; ++n) {
        const QString folder = n == 1 ? stamp : stamp + QStringLiteral(" (%1)").arg(n);
        const QString path = QDir(root).filePath(unfinishedPrefix() + folder);
        if (QFileInfo::exists(QDir(root).filePath(folder)))
            continue;
        if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
            return path;
        if (errno != EEXIST)
            return ReadError{cannotCreateMessage(path, systemErrorText(errno))};
    }
}

QString dismissedMark()
{
    return QStringLiteral(".dismissed");
}

struct Copy {
    QString mainFile;
    QString name;
    QDateTime time;
    bool dismissed;
};

// Every finished copy, oldest first; the time is the one its folder is named after.
QList<Copy> listCopies(const QString &dataDir)
{
    QList<Copy> copies;
    const QDir root(recoveryFolder(dataDir));
    const int stampLength = int(stampFormat().size());
    for (const QString &sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir folder(root.filePath(sub));
        const QStringList mains = folder.entryList({QStringLiteral("*") + cardSuffixes()[0]}, QDir::Files);
        if (mains.size() != 1)
            continue;
        QDateTime time = QDateTime::fromString(sub.left(stampLength), stampFormat());
        if (!time.isValid())
            time = QFileInfo(folder.path()).lastModified();
        copies.append({folder.filePath(mains.first()), cardNameOfFile(mains.first()), time,
                       QFileInfo::exists(folder.filePath(dismissedMark()))});
    }
    return copies;
}

// The copies that hold a card's latest work: per card name the newest copy,
// when it is newer than the card's main file or the card was never saved.
QList<Copy> latestUnsaved(const QString &dataDir, const QList<Copy> &copies)
{
    QList<Copy> latest;
    for (auto it = copies.crbegin(); it != copies.crend(); ++it) {
        if (std::any_of(latest.cbegin(), latest.cend(), [&it](const Copy &c) { return c.name == it->name; }))
            continue;
        latest.append(*it);
    }
    latest.removeIf([&dataDir](const Copy &c) {
        const QFileInfo card(QDir(dataDir).filePath(c.name + cardSuffixes()[0]));
        return card.exists() && card.lastModified() >= c.time;
    });
    return latest;
}

Result<QString> writeCopy(const QString &dataDir, const QString &name, const SetBytes &files)
{
    auto folder = newCopyFolder(dataDir, name);
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
    pruneRecoveryCopies(dataDir, QDateTime::currentDateTime());
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

void pruneRecoveryCopies(const QString &dataDir, const QDateTime &now)
{
    const QList<Copy> copies = listCopies(dataDir);
    QList<Copy> keep = latestUnsaved(dataDir, copies);
    keep.removeIf([](const Copy &c) { return c.dismissed; }); // the doctor chose to drop that work
    const QDateTime oldest = now.addDays(-kRecoveryDaysKept);
    for (const Copy &c : copies) {
        if (c.time >= oldest ||
            std::any_of(keep.cbegin(), keep.cend(), [&c](const Copy &k) { return k.mainFile == c.mainFile; }))
            continue;
        QDir(QFileInfo(c.mainFile).absolutePath()).removeRecursively();
    }
}

QList<PendingCopy> pendingCopies(const QString &dataDir)
{
    QList<PendingCopy> pending;
    for (const Copy &c : latestUnsaved(dataDir, listCopies(dataDir))) {
        if (c.dismissed)
            continue;
        auto copy = loadCard(c.mainFile, dataDir);
        if (failed(copy))
            continue;
        const QString cardFile = QDir(dataDir).filePath(c.name + cardSuffixes()[0]);
        std::optional<CardState> saved;
        if (QFileInfo::exists(cardFile))
            if (auto card = loadCard(cardFile, dataDir); !failed(card))
                saved = std::get<LoadedCard>(card).card;
        const CardState &kept = std::get<LoadedCard>(copy).card;
        pending.append({c.mainFile, kept.text(Field::Name), c.time, describeChanges(kept, saved ? &*saved : nullptr)});
    }
    return pending;
}

void dismissCopy(const QString &mainFile)
{
    QFile mark(QFileInfo(mainFile).dir().filePath(dismissedMark()));
    if (mark.open(QIODevice::WriteOnly))
        mark.close();
}

QString describeChanges(const CardState &copy, const CardState *saved)
{
    if (!saved)
        return QStringLiteral("новая карточка");
    QStringList parts;
    bool fields = false, notes = false;
    for (int i = 0; i < kCardFieldCount; ++i) {
        const auto f = static_cast<std::size_t>(i);
        if (copy.fieldTexts[f] == saved->fieldTexts[f] && copy.fieldNumbers[f] == saved->fieldNumbers[f])
            continue;
        (kCardFields[f].kind == FieldKind::Notes ? notes : fields) = true;
    }
    if (fields || copy.activity != saved->activity || copy.goal != saved->goal)
        parts << QStringLiteral("данные анкеты");
    if (copy.anamnesis != saved->anamnesis)
        parts << QStringLiteral("анамнез");
    if (copy.diagnosticRows != saved->diagnosticRows)
        parts << QStringLiteral("диагностика");
    if (copy.visitRows.size() > saved->visitRows.size())
        parts << QStringLiteral("визиты (+%1)").arg(copy.visitRows.size() - saved->visitRows.size());
    else if (copy.visitRows != saved->visitRows)
        parts << QStringLiteral("визиты");
    if (notes)
        parts << QStringLiteral("примечания");
    if (copy.preparations != saved->preparations || copy.recommendations != saved->recommendations)
        parts << QStringLiteral("рецепт");
    return parts.isEmpty() ? QStringLiteral("без изменений") : parts.join(QStringLiteral(", "));
}

} // namespace vel
