#include "backup/restore.h"

#include "card/cardfiles.h"
#include "card/cardstore.h"
#include "card/deletion.h"
#include "cardlist/cardsummary.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <climits>

namespace vel {

namespace {

// The cards of an archive: files "<name>.dat" at the top of the data folder.
QStringList cardFileNamesIn(const Manifest &manifest)
{
    QStringList names;
    for (const ManifestFile &f : manifest.files) {
        if (f.path.contains(u'/') || f.path.startsWith(u'.') || !f.path.endsWith(cardSuffixes()[0]))
            continue;
        const QString name = cardNameOfFile(f.path);
        if (isUsableCardName(name))
            names << name;
    }
    return names;
}

bool isCardFile(const QString &path, const QSet<QString> &cardFiles)
{
    return cardFiles.contains(path);
}

QSet<QString> setFilesOf(const QStringList &cardNames)
{
    QSet<QString> files;
    for (const QString &name : cardNames)
        for (const QString &suffix : cardSuffixes())
            files.insert(name + suffix);
    return files;
}

// What the list shows of an archived card: the card's own reading of its
// main file and its visits, so the dates are those the window would show.
ArchivedCard describe(const QString &fileName, const QHash<QString, QByteArray> &files)
{
    ArchivedCard c;
    c.fileName = fileName;
    c.name = fileName;
    CardState card;
    const auto main = files.constFind(fileName + cardSuffixes()[0]);
    if (main == files.constEnd() || cardParts()[0].decode(decode1251(*main), card, INT_MAX))
        return c;
    c.name = card.text(Field::Name);
    c.birth = dateShown(card.text(Field::BirthDate));
    c.lastVisit = dateShown(card.text(Field::VisitDate));
    const auto visits = files.constFind(fileName + cardSuffixes()[4]);
    if (visits != files.constEnd() && !cardParts()[4].decode(decode1251(*visits), card, INT_MAX) &&
        !card.visitRows.isEmpty())
        c.lastVisit = dateShown(visitCell(card.visitRows.constLast(), VisitColumn::Date));
    return c;
}

// The card's files in the folder as they are: absent ones are null.
std::array<QByteArray, kCardPartCount> folderSet(const QString &dataDir, const QString &name, QString &error)
{
    std::array<QByteArray, kCardPartCount> set;
    for (int i = 0; i < kCardPartCount; ++i) {
        const QString path = QDir(dataDir).filePath(name + cardSuffixes()[static_cast<std::size_t>(i)]);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            continue;
        FileRead r = readCardFile(path);
        if (!r.error.isEmpty()) {
            error = r.error;
            return set;
        }
        set[static_cast<std::size_t>(i)] = r.bytes.isNull() ? QByteArray("") : r.bytes;
    }
    return set;
}

std::array<QByteArray, kCardPartCount> archivedSet(const QString &name, const QHash<QString, QByteArray> &files)
{
    std::array<QByteArray, kCardPartCount> set;
    for (int i = 0; i < kCardPartCount; ++i) {
        const auto it = files.constFind(name + cardSuffixes()[static_cast<std::size_t>(i)]);
        if (it != files.constEnd())
            set[static_cast<std::size_t>(i)] = it->isNull() ? QByteArray("") : *it;
    }
    return set;
}

bool sameSet(const std::array<QByteArray, kCardPartCount> &a, const std::array<QByteArray, kCardPartCount> &b)
{
    for (int i = 0; i < kCardPartCount; ++i)
        if (a[static_cast<std::size_t>(i)].isNull() != b[static_cast<std::size_t>(i)].isNull() ||
            a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)])
            return false;
    return true;
}

std::optional<QString> writeWhole(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return cannotCreateMessage(QFileInfo(path).absoluteFilePath(), QStringLiteral("Cannot create folder"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return cannotCreateMessage(QFileInfo(path).absoluteFilePath(), file.errorString());
    return std::nullopt;
}

QString notRestored(const QString &why)
{
    return QStringLiteral("Восстановление остановлено: %1. Карточки, восстановленные до этого, остались в папке "
                          "картотеки; те, что были там раньше, — в корзине.")
        .arg(why);
}

} // namespace

Result<BackupListing> listBackup(const QString &archivePath, const QString &dataDir, const StepReport &report)
{
    auto read = readBackup(
        archivePath,
        [](const QString &path) {
            return !path.contains(u'/') && (path.endsWith(cardSuffixes()[0]) || path.endsWith(cardSuffixes()[4]));
        },
        report);
    if (auto *e = std::get_if<ReadError>(&read))
        return *e;
    const ArchiveContents &contents = std::get<ArchiveContents>(read);
    BackupListing listing;
    listing.manifest = contents.manifest;
    const QStringList names = cardFileNamesIn(contents.manifest);
    const QSet<QString> cardFiles = setFilesOf(names);
    for (const ManifestFile &f : contents.manifest.files)
        if (!isCardFile(f.path, cardFiles))
            ++listing.otherFiles;
    QHash<QString, const ManifestFile *> byPath;
    for (const ManifestFile &f : contents.manifest.files)
        byPath.insert(f.path, &f);
    for (const QString &name : names) {
        ArchivedCard card = describe(name, contents.kept);
        if (QFileInfo::exists(QDir(dataDir).filePath(name + cardSuffixes()[0]))) {
            // Compared file by file by size and SHA-256 against the manifest.
            card.inFolder = ArchivedCard::InFolder::Same;
            for (const QString &suffix : cardSuffixes()) {
                const QString path = QDir(dataDir).filePath(name + suffix);
                const ManifestFile *archived = byPath.value(name + suffix);
                const bool inFolder = QFileInfo::exists(path);
                if (!archived && !inFolder)
                    continue;
                FileRead r = inFolder ? readCardFile(path) : FileRead{{}, QStringLiteral("missing")};
                if (!archived || !r.error.isEmpty() || r.bytes.size() != archived->size ||
                    QCryptographicHash::hash(r.bytes, QCryptographicHash::Sha256).toHex() != archived->sha256) {
                    card.inFolder = ArchivedCard::InFolder::Different;
                    break;
                }
            }
        }
        listing.cards.append(card);
    }
    std::sort(listing.cards.begin(), listing.cards.end(), [](const ArchivedCard &a, const ArchivedCard &b) {
        const int order = QString::localeAwareCompare(a.name, b.name);
        return order != 0 ? order < 0 : a.fileName < b.fileName;
    });
    return listing;
}

Result<RestoreOutcome> restoreFromBackup(const QString &archivePath, const QString &dataDir,
                                         const QStringList &cardFileNames, bool everything, const StepReport &report,
                                         bool otherFiles)
{
    // Read and checked whole before the first file is written.
    QSet<QString> wanted = setFilesOf(cardFileNames);
    // Reading and checking is the first third of the way, writing the rest.
    StepReport readReport;
    if (report)
        readReport = [&](qint64 done, qint64 total) { return report(300 * done / std::max<qint64>(1, total), 1000); };
    auto read = readBackup(
        archivePath,
        [&](const QString &path) {
            // Other files are told from cards' files once the manifest is known;
            // keeping them all costs only their size.
            return everything || otherFiles || wanted.contains(path);
        },
        readReport);
    if (auto *e = std::get_if<ReadError>(&read))
        return *e;
    const ArchiveContents &contents = std::get<ArchiveContents>(read);
    const QStringList archivedCards = cardFileNamesIn(contents.manifest);
    QStringList cards = everything ? archivedCards : cardFileNames;
    for (const QString &name : cards)
        if (!archivedCards.contains(name))
            return ReadError{QStringLiteral("В резервной копии нет карточки \"%1\".").arg(name)};

    RestoreOutcome outcome;
    auto locked = [&](CardLock &lock, const QString &name) -> std::optional<QString> {
        switch (lock.acquire(5000)) {
        case CardLock::State::Held:
            recoverCard(dataDir, name);
            return std::nullopt;
        case CardLock::State::Unavailable:
            return std::nullopt;
        default:
            return notRestored(QStringLiteral("карточку \"%1\" сейчас сохраняет другая копия программы").arg(name));
        }
    };
    for (const QString &name : cards) {
        if (report &&
            !report(300 + 700 * (outcome.restored + outcome.unchanged) / std::max<qsizetype>(1, cards.size()), 1000))
            return ReadError{
                notRestored(QStringLiteral("отменено после %1 карточек").arg(outcome.restored + outcome.unchanged))};
        const auto archived = archivedSet(name, contents.kept);
        bool present = false;
        {
            CardLock lock(dataDir, name);
            if (auto e = locked(lock, name))
                return ReadError{*e};
            QString error;
            const auto current = folderSet(dataDir, name, error);
            if (!error.isEmpty())
                return ReadError{notRestored(error)};
            if (sameSet(current, archived)) {
                ++outcome.unchanged;
                continue;
            }
            present = std::any_of(current.begin(), current.end(), [](const QByteArray &b) { return !b.isNull(); });
        }
        // The current version goes to the trash whole, the way a deleted card does.
        if (present) {
            if (auto e = deleteCard(QDir(dataDir).filePath(name + cardSuffixes()[0]), dataDir))
                return ReadError{notRestored(*e)};
            ++outcome.movedAside;
        }
        CardLock lock(dataDir, name);
        if (auto e = locked(lock, name))
            return ReadError{*e};
        for (const QString &suffix : cardSuffixes())
            if (QFileInfo::exists(QDir(dataDir).filePath(name + suffix)))
                return ReadError{
                    notRestored(QStringLiteral("карточку \"%1\" сохранили во время восстановления").arg(name))};
        // A card without the optional file is whole all the same.
        bool whole = true;
        for (int i = 0; i < kCardPartCount; ++i)
            whole = whole && (isOptionalPart(i) || !archived[static_cast<std::size_t>(i)].isNull());
        if (whole) {
            SetBytes files;
            std::copy(archived.begin(), archived.end(), files.begin());
            if (auto e = replaceSet(dataDir, name, files))
                return ReadError{notRestored(*e)};
        } else {
            // A set that was incomplete when backed up comes back as it was.
            for (int i = 0; i < kCardPartCount; ++i)
                if (!archived[static_cast<std::size_t>(i)].isNull())
                    if (auto e = writeWhole(QDir(dataDir).filePath(name + cardSuffixes()[static_cast<std::size_t>(i)]),
                                            archived[static_cast<std::size_t>(i)]))
                        return ReadError{notRestored(*e)};
        }
        ++outcome.restored;
    }

    if (everything || otherFiles) {
        const QSet<QString> cardFiles = setFilesOf(archivedCards);
        for (const ManifestFile &f : contents.manifest.files) {
            if (cardFiles.contains(f.path))
                continue;
            const QString path = QDir(dataDir).filePath(f.path);
            const QByteArray bytes = contents.kept.value(f.path);
            QFile existing(path);
            if (existing.exists()) {
                if (existing.open(QIODevice::ReadOnly) && existing.size() == bytes.size() &&
                    existing.readAll() == bytes)
                    continue;
                existing.close();
                if (auto e = moveFileAside(path, dataDir))
                    return ReadError{notRestored(*e)};
                ++outcome.movedAside;
            }
            if (auto e = writeWhole(path, bytes))
                return ReadError{notRestored(*e)};
            ++outcome.otherFiles;
        }
    }
    return outcome;
}

} // namespace vel
