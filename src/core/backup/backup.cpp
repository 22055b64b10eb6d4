#include "backup/backup.h"

#include "backup/ziparchive.h"
#include "card/cardfiles.h"
#include "card/cardstore.h"
#include "card/deletion.h"
#include "card/recovery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vel {

namespace {

std::function<bool(const QString &)> &stopHook()
{
    static std::function<bool(const QString &)> hook;
    return hook;
}

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");
const QString kArchivePrefix = QStringLiteral("Картотека ");
const QString kPartSuffix = QStringLiteral(".part");
constexpr qint64 kChunk = 1024 * 1024;
constexpr qint64 kWritePart = 700; // of 1000: the rest is the check

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// One file or one card set to back up.
struct Item {
    QString relative; // a plain file: its path in the data folder
    QString cardName; // a card: its name; the set's files are read together
};

struct CardSetRead {
    QVector<QPair<QString, QByteArray>> files; // relative path, bytes
    QString error;
};

// The files of one card as one saved version: read without the lock while
// no save is under way, checked against a save replacing a file meanwhile,
// and otherwise read again under the card's lock.
CardSetRead readCardSet(const QString &dataDir, const QString &name)
{
    auto readAll = [&]() {
        CardSetRead read;
        for (const QString &suffix : cardSuffixes()) {
            const QString path = QDir(dataDir).filePath(name + suffix);
            if (!QFileInfo::exists(path))
                continue;
            FileRead r = readCardFile(path);
            if (!r.error.isEmpty()) {
                read.error = r.error;
                break;
            }
            read.files.append({name + suffix, std::move(r.bytes)});
        }
        return read;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto before = quietSetIdentity(dataDir, name);
        if (!before)
            break;
        CardSetRead read = readAll();
        const auto after = quietSetIdentity(dataDir, name);
        if (after && *after == *before)
            return read;
    }
    CardLock lock(dataDir, name);
    switch (lock.acquire(5000)) {
    case CardLock::State::Busy:
    case CardLock::State::Stuck: {
        CardSetRead busy;
        busy.error = QStringLiteral("Карточку \"%1\" сейчас сохраняет другая копия программы").arg(name);
        return busy;
    }
    case CardLock::State::Held:
        recoverCard(dataDir, name);
        break;
    case CardLock::State::Unavailable:
        break;
    }
    return readAll();
}

// What goes into the archive: every card set of the data folder, and every
// other visible regular file below it, except the recovery copies, the
// deleted cards and the target folder.
QVector<Item> collect(const QString &dataDir, const QString &targetDir)
{
    const QDir data(dataDir);
    const QString left[] = {QDir::cleanPath(QFileInfo(deletedCardsFolder(dataDir)).absoluteFilePath()) + u'/',
                            QDir::cleanPath(QFileInfo(recoveryFolder(dataDir)).absoluteFilePath()) + u'/',
                            QDir::cleanPath(QFileInfo(targetDir).absoluteFilePath()) + u'/'};
    QVector<Item> items;
    QSet<QString> cardFiles;
    const QStringList top = data.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QString &file : top) {
        const QString path = data.filePath(file);
        if (!isCardMainFile(path))
            continue;
        const QString name = cardNameOfFile(path);
        items.append({QString(), name});
        for (const QString &suffix : cardSuffixes())
            cardFiles.insert(name + suffix);
    }
    QStringList others;
    QDirIterator it(dataDir, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir::cleanPath(it.next());
        const QString relative = data.relativeFilePath(path);
        if (cardFiles.contains(relative) || relative == kManifestName)
            continue;
        if (std::any_of(std::begin(left), std::end(left), [&](const QString &l) { return path.startsWith(l); }))
            continue;
        others << relative;
    }
    others.sort();
    for (const QString &relative : others)
        items.append({relative, QString()});
    return items;
}

QString hex(QCryptographicHash &hash)
{
    return QString::fromLatin1(hash.result().toHex());
}

bool folderSynced(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync a folder
    ::close(fd);
    return ok;
}

QString failedWrite(const QString &target, const QString &why)
{
    return QStringLiteral("Не удалось записать резервную копию в папку \"%1\": %2. Проверьте, что папка доступна "
                          "и на носителе есть место, и создайте копию снова.")
        .arg(shown(target), why);
}

// Removes temporary archives that a backup killed half-way left behind.
void removeLeftovers(const QString &targetDir)
{
    const QDir target(targetDir);
    const QStringList parts = target.entryList({u'.' + kArchivePrefix + QStringLiteral("*.zip") + kPartSuffix},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &part : parts)
        QFile::remove(target.filePath(part));
}

// A final name no archive has yet: two backups within one second get " (2)".
QString freeFinalName(const QString &targetDir, const QDateTime &now)
{
    const QDir target(targetDir);
    QString name = archiveName(now);
    for (int n = 2; QFileInfo::exists(target.filePath(name)); ++n)
        name = archiveName(now).chopped(4) + QStringLiteral(" (%1).zip").arg(n);
    return target.filePath(name);
}

} // namespace

void setBackupStopForTesting(std::function<bool(const QString &path)> stop)
{
    stopHook() = std::move(stop);
}

QByteArray manifestJson(const Manifest &manifest)
{
    QJsonArray files;
    for (const ManifestFile &f : manifest.files)
        files.append(QJsonObject{{QStringLiteral("path"), f.path},
                                 {QStringLiteral("size"), double(f.size)},
                                 {QStringLiteral("sha256"), QString::fromLatin1(f.sha256)}});
    const QJsonObject root{{QStringLiteral("program"), QStringLiteral("velnokasi")},
                           {QStringLiteral("version"), manifest.programVersion},
                           {QStringLiteral("created"), manifest.created.toString(Qt::ISODate)},
                           {QStringLiteral("cards"), manifest.cardCount},
                           {QStringLiteral("files"), files}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Manifest> manifestFromJson(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("program")).toString() != u"velnokasi" ||
        !root.value(QStringLiteral("files")).isArray())
        return std::nullopt;
    Manifest m;
    m.programVersion = root.value(QStringLiteral("version")).toString();
    m.created = QDateTime::fromString(root.value(QStringLiteral("created")).toString(), Qt::ISODate);
    m.cardCount = root.value(QStringLiteral("cards")).toInt(-1);
    for (const QJsonValue &v : root.value(QStringLiteral("files")).toArray()) {
        const QJsonObject f = v.toObject();
        const QString path = f.value(QStringLiteral("path")).toString();
        const double size = f.value(QStringLiteral("size")).toDouble(-1);
        if (path.isEmpty() || size < 0)
            return std::nullopt;
        m.files.append({path, qint64(size), f.value(QStringLiteral("sha256")).toString().toLatin1()});
    }
    return m;
}

QString archiveName(const QDateTime &when)
{
    return kArchivePrefix + when.toString(kTimeFormat) + QStringLiteral(".zip");
}

QDateTime archiveTime(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^Картотека (\\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2})( \\(\\d+\\))?\\.zip$"));
    const auto match = pattern.match(fileName);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), kTimeFormat);
}

Result<BackupResult> makeBackup(const QString &dataDir, const QString &targetDir, const BackupOptions &options)
{
    if (!QFileInfo(dataDir).isDir())
        return ReadError{QStringLiteral("Папка картотеки \"%1\" не найдена.").arg(shown(dataDir))};
    if (targetDir.isEmpty() || !QFileInfo(targetDir).isDir())
        return ReadError{QStringLiteral("Папка для резервных копий \"%1\" недоступна. Подключите носитель или "
                                        "выберите другую папку.")
                             .arg(shown(targetDir))};
    // One backup at a time into one folder: a scheduled job and the exit of
    // the program may meet.
    QLockFile folderLock(QDir(targetDir).filePath(QStringLiteral(".velnokasi-backup.lock")));
    if (!folderLock.tryLock(10000))
        return ReadError{failedWrite(targetDir, folderLock.error() == QLockFile::LockFailedError
                                                    ? QStringLiteral("туда сейчас пишет другая копия программы")
                                                    : QStringLiteral("нет права записи"))};
    removeLeftovers(targetDir);

    const QString finalName = archiveName(options.now);
    const QString temporary = QDir(targetDir).filePath(u'.' + finalName + kPartSuffix);
    const int fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ReadError{failedWrite(targetDir, systemErrorText(errno))};
    bool fdOpen = true;
    auto discard = [&] {
        if (fdOpen)
            ::close(fd);
        fdOpen = false;
        QFile::remove(temporary);
    };
    const QString cancelled = kBackupCancelled;

    const QVector<Item> items = collect(dataDir, targetDir);
    Manifest manifest;
    manifest.programVersion = options.programVersion;
    manifest.created = options.now;
    BackupResult result;
    ZipWriter zip;
    if (!zip.open(fd)) {
        discard();
        return ReadError{failedWrite(targetDir, zip.errorText())};
    }
    auto add = [&](const QString &relative, const QByteArray &bytes, qint64 modified) {
        if (!zip.beginFile(kArchiveDataFolder + relative, bytes.size(), modified) ||
            !zip.writeData(bytes.constData(), bytes.size()))
            return false;
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(bytes);
        manifest.files.append({relative, bytes.size(), hex(hash).toLatin1()});
        result.bytes += bytes.size();
        return true;
    };
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (options.report && !options.report(kWritePart * i / std::max<qsizetype>(1, items.size()), 1000)) {
            discard();
            return ReadError{cancelled};
        }
        const Item &item = items.at(i);
        if (!item.cardName.isEmpty()) {
            const CardSetRead set = readCardSet(dataDir, item.cardName);
            if (!set.error.isEmpty()) {
                discard();
                return ReadError{QStringLiteral("Резервная копия не создана: %1. Повторите позже.").arg(set.error)};
            }
            if (set.files.isEmpty())
                continue; // deleted meanwhile
            const qint64 modified =
                QFileInfo(QDir(dataDir).filePath(set.files.first().first)).lastModified().toSecsSinceEpoch();
            for (const auto &file : set.files) {
                if (!add(file.first, file.second, modified)) {
                    discard();
                    return ReadError{failedWrite(targetDir, zip.errorText())};
                }
                if (stopHook() && !stopHook()(file.first))
                    return ReadError{kStoppedForTesting};
            }
            ++result.cardCount;
            continue;
        }
        // Any other file is streamed: the folder may hold large documents.
        QFile file(QDir(dataDir).filePath(item.relative));
        if (!file.open(QIODevice::ReadOnly)) {
            if (!file.exists())
                continue;
            discard();
            return ReadError{QStringLiteral("Резервная копия не создана: файл \"%1\" не читается (%2).")
                                 .arg(shown(file.fileName()), file.errorString())};
        }
        const qint64 size = file.size();
        if (!zip.beginFile(kArchiveDataFolder + item.relative, size,
                           QFileInfo(file).lastModified().toSecsSinceEpoch())) {
            discard();
            return ReadError{failedWrite(targetDir, zip.errorText())};
        }
        QCryptographicHash hash(QCryptographicHash::Sha256);
        qint64 total = 0;
        while (total < size) {
            const QByteArray chunk = file.read(std::min(kChunk, size - total));
            if (chunk.isEmpty())
                break;
            hash.addData(chunk);
            total += chunk.size();
            if (!zip.writeData(chunk.constData(), chunk.size())) {
                discard();
                return ReadError{failedWrite(targetDir, zip.errorText())};
            }
        }
        if (total != size || !file.atEnd()) {
            discard();
            return ReadError{QStringLiteral("Резервная копия не создана: файл \"%1\" изменился во время копирования. "
                                            "Создайте копию снова.")
                                 .arg(shown(file.fileName()))};
        }
        manifest.files.append({item.relative, size, hex(hash).toLatin1()});
        result.bytes += size;
        if (stopHook() && !stopHook()(item.relative))
            return ReadError{kStoppedForTesting};
    }
    manifest.cardCount = result.cardCount;
    result.fileCount = int(manifest.files.size());
    const QByteArray json = manifestJson(manifest);
    if (!zip.beginFile(kManifestName, json.size(), options.now.toSecsSinceEpoch()) ||
        !zip.writeData(json.constData(), json.size()) || !zip.close()) {
        discard();
        return ReadError{failedWrite(targetDir, zip.errorText())};
    }
    // On the disk before it is read back; dropped from the cache so that the
    // check reads what the disk holds where the system allows it.
    if (::fsync(fd) != 0) {
        const int error = errno;
        discard();
        return ReadError{failedWrite(targetDir, systemErrorText(error))};
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    fdOpen = false;
    if (::close(fd) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        return ReadError{failedWrite(targetDir, systemErrorText(error))};
    }
    if (stopHook() && !stopHook()(QString()))
        return ReadError{kStoppedForTesting};

    StepReport checkReport;
    if (options.report)
        checkReport = [&](qint64 done, qint64 total) {
            return options.report(kWritePart + (1000 - kWritePart) * done / std::max<qint64>(1, total), 1000);
        };
    auto read = readBackup(
        temporary, [](const QString &) { return false; }, checkReport);
    if (auto *e = std::get_if<ReadError>(&read)) {
        QFile::remove(temporary);
        if (e->message == kReadingCancelled)
            return ReadError{cancelled};
        return ReadError{QStringLiteral("Резервная копия не прошла проверку после записи и удалена: %1 "
                                        "Проверьте носитель и создайте копию снова.")
                             .arg(e->message)};
    }
    const Manifest &back = std::get<ArchiveContents>(read).manifest;
    if (back.files != manifest.files || back.cardCount != manifest.cardCount) {
        QFile::remove(temporary);
        return ReadError{QStringLiteral("Резервная копия не прошла проверку после записи и удалена: её опись не "
                                        "совпадает с записанной. Проверьте носитель и создайте копию снова.")};
    }

    result.archivePath = freeFinalName(targetDir, options.now);
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(result.archivePath).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        return ReadError{failedWrite(targetDir, systemErrorText(error))};
    }
    if (!folderSynced(targetDir))
        return ReadError{failedWrite(targetDir, systemErrorText(errno))};
    if (options.report)
        options.report(1000, 1000);
    return result;
}

Result<ArchiveContents> readBackup(const QString &archivePath, const std::function<bool(const QString &path)> &keep,
                                   const StepReport &report)
{
    const QString archiveShown = QFileInfo(archivePath).fileName();
    auto damaged = [&](const QString &file, const QString &how) {
        return ReadError{
            QStringLiteral("Резервная копия \"%1\" повреждена: файл \"%2\" %3.").arg(archiveShown, file, how)};
    };
    const qint64 archiveSize = QFileInfo(archivePath).size();
    bool cancelled = false;

    struct Seen {
        qint64 size = 0;
        QByteArray sha256;
    };
    QStringList order; // the files as read, by their own headers
    auto pass = [&](bool streaming, QHash<QString, Seen> &seen, QByteArray &manifestBytes, ArchiveContents &contents,
                    QString &stranger) {
        order.clear();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QString open; // the file whose hash is being taken
        auto finish = [&] {
            if (!open.isNull())
                seen[open].sha256 = hash.result().toHex();
            open = QString();
        };
        auto failure = readZip(
            archivePath,
            [&](const QString &path, qint64, qint64 position) -> ZipDataSink {
                finish();
                order << path;
                if (report && !report(position, archiveSize)) {
                    cancelled = true;
                    return {};
                }
                if (path == kManifestName) {
                    manifestBytes.clear();
                    return [&](const char *data, qint64 size) {
                        manifestBytes.append(data, size);
                        return manifestBytes.size() < 256 * 1024 * 1024;
                    };
                }
                if (!path.startsWith(kArchiveDataFolder) || path.size() == kArchiveDataFolder.size()) {
                    stranger = path;
                    return {};
                }
                const QString relative = path.mid(kArchiveDataFolder.size());
                // Nothing may land outside the data folder when restored.
                if (QDir::cleanPath(relative) != relative || relative.startsWith(QStringLiteral("../")) ||
                    relative == u".." || QDir::isAbsolutePath(relative) || relative.contains(u'\\')) {
                    stranger = path;
                    return {};
                }
                QByteArray *bytes = keep(relative) ? &contents.kept[relative] : nullptr;
                Seen *s = &seen[relative];
                *s = Seen{};
                hash.reset();
                open = relative;
                return [&hash, bytes, s](const char *data, qint64 size) {
                    hash.addData(QByteArrayView(data, size));
                    s->size += size;
                    if (bytes)
                        bytes->append(data, size);
                    return true;
                };
            },
            streaming);
        if (!failure)
            finish();
        return failure;
    };

    QHash<QString, Seen> seen;
    QByteArray manifestBytes;
    ArchiveContents contents;
    QString stranger;
    auto failure = pass(false, seen, manifestBytes, contents, stranger);
    if (cancelled)
        return ReadError{kReadingCancelled};
    if (!stranger.isEmpty())
        return damaged(stranger, QStringLiteral("не относится к резервной копии программы или имеет недопустимое имя"));
    if (failure && failure->file.isEmpty()) {
        // The table of contents at the end is unreadable: reading the files
        // one after another tells which of them the damage reaches.
        QHash<QString, Seen> seenAgain;
        QByteArray manifestAgain;
        ArchiveContents unused;
        QString strangerAgain;
        const auto second = pass(true, seenAgain, manifestAgain, unused, strangerAgain);
        if (cancelled)
            return ReadError{kReadingCancelled};
        if (second && !second->file.isEmpty())
            return damaged(second->file,
                           QStringLiteral("не читается (%1); архив, видимо, обрезан").arg(second->reason));
        return ReadError{QStringLiteral("Резервная копия \"%1\" повреждена: оглавление архива не читается (%2).")
                             .arg(archiveShown, failure->reason)};
    }
    if (failure)
        return damaged(failure->file, QStringLiteral("не читается (%1)").arg(failure->reason));
    // Other zip programs list the files from the table of contents: it must
    // name the same files.
    const auto listed = zipDirectoryNames(archivePath);
    if (!listed)
        return ReadError{
            QStringLiteral("Резервная копия \"%1\" повреждена: оглавление архива не читается.").arg(archiveShown)};
    for (qsizetype i = 0; i < std::max(order.size(), listed->size()); ++i)
        if (order.value(i) != listed->value(i))
            return damaged(order.value(i, listed->value(i))
                               .mid(order.value(i).startsWith(kArchiveDataFolder) ? kArchiveDataFolder.size() : 0),
                           QStringLiteral("записан в оглавлении архива неверно"));

    const auto manifest = manifestFromJson(manifestBytes);
    if (!manifest)
        return ReadError{QStringLiteral("Файл \"%1\" не является резервной копией этой программы или повреждён: в нём "
                                        "нет читаемой описи \"%2\".")
                             .arg(archiveShown, kManifestName)};
    QSet<QString> inManifest;
    for (const ManifestFile &f : manifest->files) {
        inManifest.insert(f.path);
        const auto it = seen.constFind(f.path);
        if (it == seen.constEnd())
            return damaged(f.path, QStringLiteral("отсутствует в архиве"));
        if (it->size != f.size || it->sha256 != f.sha256)
            return damaged(f.path, QStringLiteral("не совпадает с описью (размер или контрольная сумма)"));
    }
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        if (!inManifest.contains(it.key()))
            return damaged(it.key(), QStringLiteral("нет в описи"));
    contents.manifest = *manifest;
    if (report)
        report(archiveSize, archiveSize);
    return contents;
}

} // namespace vel
