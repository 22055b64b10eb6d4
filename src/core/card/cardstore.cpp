#include "card/cardstore.h"

#include "text/linefile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vel {

namespace {

SaveFault &saveFault()
{
    static SaveFault fault;
    return fault;
}

std::function<bool(int)> &saveStop()
{
    static std::function<bool(int)> stop;
    return stop;
}

bool injected(const QString &path, SavePhase phase)
{
    return saveFault() && saveFault()(path, phase);
}

// Helper files are named ".<stem>.…" where the stem is a hash of the card name.
QString stemOf(const QString &name)
{
    return QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

struct SetPaths {
    QString folder;
    QString stem;
    QString helper(const QString &tail) const { return QDir(folder).filePath(u'.' + stem + u'.' + tail); }
    QString temp(int i) const { return helper(QString::number(i) + QStringLiteral(".new")); }
    QString backup(int i) const { return helper(QString::number(i) + QStringLiteral(".old")); }
    QString journal() const { return helper(QStringLiteral("journal")); }
    QString journalDraft() const { return helper(QStringLiteral("journal.new")); }
    QString lock() const { return helper(QStringLiteral("lock")); }
};

QString target(const QString &folder, const QString &name, int i)
{
    return QDir(folder).filePath(name + cardSuffixes()[static_cast<std::size_t>(i)]);
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool exists(const QString &path)
{
    struct stat st {};
    return ::lstat(native(path).constData(), &st) == 0;
}

void removeFile(const QString &path)
{
    ::unlink(native(path).constData());
}

// Renames and removals are durable only once their folder is synced.
void syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes a new file completely and durably; the reason on failure.
std::optional<QString> writeDurably(const QString &path, const QByteArray &bytes, mode_t mode)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return systemErrorText(errno);
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    int error = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        data += n;
        left -= n;
    }
    if (!error && ::fchmod(fd, mode) != 0)
        error = errno;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error) {
        removeFile(path);
        return systemErrorText(error);
    }
    return std::nullopt;
}

// The journal names the card and says which way an interrupted save goes:
// "forward" once every new file is complete, "back" while a failed save is
// being undone. Which files existed before tells "back" what to remove.
struct Journal {
    QString name;
    bool forward = true;
    std::array<bool, kCardPartCount> existed{};
};

const QByteArray kJournalMagic = QByteArrayLiteral("card set journal 1");

std::optional<QString> writeJournal(const SetPaths &p, const Journal &j)
{
    QByteArray text = kJournalMagic + '\n' + (j.forward ? "forward" : "back") + '\n';
    for (bool e : j.existed)
        text += e ? '1' : '0';
    text += '\n' + j.name.toUtf8() + '\n';
    if (auto error = writeDurably(p.journalDraft(), text, 0644))
        return error;
    if (::rename(native(p.journalDraft()).constData(), native(p.journal()).constData()) != 0) {
        const int error = errno;
        removeFile(p.journalDraft());
        return systemErrorText(error);
    }
    syncFolder(p.folder);
    return std::nullopt;
}

std::optional<Journal> readJournal(const SetPaths &p)
{
    auto bytes = readFileBytes(p.journal(), 64 * 1024);
    if (failed(bytes))
        return std::nullopt;
    const QList<QByteArray> lines = std::get<QByteArray>(bytes).split('\n');
    if (lines.size() < 4 || lines.at(0) != kJournalMagic || lines.at(2).size() != kCardPartCount)
        return std::nullopt;
    Journal j;
    j.forward = lines.at(1) == "forward";
    for (int i = 0; i < kCardPartCount; ++i)
        j.existed[static_cast<std::size_t>(i)] = lines.at(2).at(i) == '1';
    j.name = QString::fromUtf8(lines.at(3));
    if (j.name.isEmpty() || stemOf(j.name) != p.stem)
        return std::nullopt;
    return j;
}

void removeHelpers(const SetPaths &p)
{
    for (int i = 0; i < kCardPartCount; ++i) {
        removeFile(p.temp(i));
        removeFile(p.backup(i));
    }
    removeFile(p.journalDraft());
}

// Puts the old set back: every backup returns to its place, files that did
// not exist before go. Safe to repeat after a crash half-way through.
void rollBack(const SetPaths &p, const Journal &j)
{
    for (int i = 0; i < kCardPartCount; ++i) {
        const QString t = target(p.folder, j.name, i);
        if (exists(p.backup(i)))
            ::rename(native(p.backup(i)).constData(), native(t).constData());
        else if (!j.existed[static_cast<std::size_t>(i)])
            removeFile(t);
    }
    syncFolder(p.folder);
    removeHelpers(p);
    syncFolder(p.folder);
    removeFile(p.journal());
    syncFolder(p.folder);
}

// Finishes the save the journal names: the remaining new files go into place.
void rollForward(const SetPaths &p, Journal j)
{
    for (int i = 0; i < kCardPartCount; ++i) {
        if (!exists(p.temp(i)))
            continue;
        if (::rename(native(p.temp(i)).constData(), native(target(p.folder, j.name, i)).constData()) != 0) {
            // A file that cannot take its place: the old set is the one kept.
            j.forward = false;
            if (!writeJournal(p, j))
                rollBack(p, j);
            return;
        }
    }
    syncFolder(p.folder);
    removeHelpers(p);
    syncFolder(p.folder);
    removeFile(p.journal());
    syncFolder(p.folder);
}

void recoverStem(const SetPaths &p)
{
    if (exists(p.journal())) {
        if (const auto j = readJournal(p)) {
            j->forward ? rollForward(p, *j) : rollBack(p, *j);
            return;
        }
        // Not written by this program: leave the journal, remove nothing.
        return;
    }
    // Without a journal nothing was replaced yet: the helpers are leftovers.
    removeHelpers(p);
}

// The tail after "<name>.dat" of a temporary file that earlier versions of
// the program left when stopped: ".XXXXXX" or ".tb2.XXXXXX".
bool isEarlierTemporary(const QString &tail)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\.(prp|rec|tb1|tb2|vit))?\\.[A-Za-z0-9]{6}$"));
    return pattern.match(tail).hasMatch();
}

int &stepCounter()
{
    static int step = 0;
    return step;
}

bool stopHere()
{
    return saveStop() && saveStop()(stepCounter()++);
}

// Checks that a file of the set may be replaced: a regular file or nothing,
// or a link to a regular file of the same folder.
std::optional<QString> unsafeTarget(const QString &path)
{
    struct stat st {};
    if (::lstat(native(path).constData(), &st) != 0)
        return errno == ENOENT ? std::nullopt : std::optional<QString>(systemErrorText(errno));
    if (S_ISDIR(st.st_mode))
        return systemErrorText(EISDIR);
    if (S_ISLNK(st.st_mode)) {
        const QFileInfo link(path);
        const QString resolved = link.canonicalFilePath();
        if (resolved.isEmpty() ||
            QFileInfo(resolved).absolutePath() != QFileInfo(link.absolutePath()).canonicalFilePath())
            return QStringLiteral("Symbolic link leads out of the card's folder");
        if (!QFileInfo(resolved).isFile())
            return QStringLiteral("Not a regular file");
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("Not a regular file");
    return std::nullopt;
}

} // namespace

const std::array<QString, kCardPartCount> &cardSuffixes()
{
    static const std::array<QString, kCardPartCount> suffixes = {
        QStringLiteral(".dat"),     QStringLiteral(".dat.prp"), QStringLiteral(".dat.rec"),
        QStringLiteral(".dat.tb1"), QStringLiteral(".dat.tb2"), QStringLiteral(".dat.vit")};
    return suffixes;
}

CardLock::CardLock(const QString &folder, const QString &name) : CardLock(SetPaths{folder, stemOf(name)}.lock()) {}

CardLock::CardLock(const QString &lockPath) : m_path(lockPath), m_lock(std::make_unique<QLockFile>(m_path))
{
    // A save takes well under a second; a lock this old was left by a crash
    // on another computer sharing the folder.
    m_lock->setStaleLockTime(60 * 1000);
}

CardLock::~CardLock() = default;

CardLock::State CardLock::acquire(int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (m_lock->tryLock(std::min(waitMs, 100)))
            return State::Held;
        if (m_lock->error() != QLockFile::LockFailedError)
            return State::Unavailable;
        // A copy killed while making its lock leaves it empty; a lock is
        // written whole within microseconds, so an empty one a second old is dead.
        qint64 pid = 0;
        QString host, app;
        const QFileInfo file(m_path);
        if (!m_lock->getLockInfo(&pid, &host, &app) && file.exists() &&
            file.lastModified().msecsTo(QDateTime::currentDateTime()) > 1000) {
            m_lock->removeStaleLockFile();
            continue;
        }
        if (waited.elapsed() >= waitMs)
            return State::Busy;
    }
}

FileRead readCardFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty() &&
            QFileInfo(resolved).absolutePath() != QFileInfo(info.absolutePath()).canonicalFilePath())
            return {{},
                    cannotOpenMessage(info.absoluteFilePath(),
                                      QStringLiteral("Symbolic link leads out of the card's folder"))};
    }
    auto bytes = readFileBytes(path, kMaxCardFileSize);
    if (auto *e = std::get_if<ReadError>(&bytes))
        return {{}, e->message};
    return {std::get<QByteArray>(bytes), {}};
}

QByteArray setDigest(const SetBytes &files)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QByteArray &f : files) {
        const qint64 size = f.size();
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(&size), sizeof size));
        hash.addData(f);
    }
    return hash.result();
}

QByteArray setDigest(const QString &folder, const QString &name)
{
    if (!exists(target(folder, name, 0)))
        return {};
    SetBytes files;
    QByteArray problems;
    for (int i = 0; i < kCardPartCount; ++i) {
        FileRead r = readCardFile(target(folder, name, i));
        files[static_cast<std::size_t>(i)] = r.bytes;
        problems += r.error.toUtf8();
    }
    // A set with a file missing or unreadable differs from every whole set.
    if (!problems.isEmpty())
        return QCryptographicHash::hash(problems, QCryptographicHash::Sha1).toHex();
    return setDigest(files);
}

std::optional<QByteArray> quietSetIdentity(const QString &folder, const QString &name)
{
    const SetPaths p{folder, stemOf(name)};
    for (const QString &helper : {p.journal(), p.lock(), p.temp(0), p.journalDraft()})
        if (exists(helper))
            return std::nullopt;
    QByteArray identity;
    for (int i = 0; i < kCardPartCount; ++i) {
        struct stat st {};
        if (::lstat(native(target(folder, name, i)).constData(), &st) != 0)
            st = {};
        const qint64 fields[] = {qint64(st.st_dev),         qint64(st.st_ino),          qint64(st.st_size),
                                 qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec),
                                 qint64(st.st_ctim.tv_nsec)};
        identity.append(reinterpret_cast<const char *>(fields), sizeof fields);
    }
    return identity;
}

void recoverCard(const QString &folder, const QString &name)
{
    recoverStem(SetPaths{folder, stemOf(name)});
}

void removeEarlierTemporaries(const QString &folder, const QString &name)
{
    const QString prefix = name + cardSuffixes()[0];
    for (const QString &file : QDir(folder).entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::Hidden))
        if (isEarlierTemporary(file.mid(prefix.size())))
            removeFile(QDir(folder).filePath(file));
}

void recoverFolder(const QString &folder)
{
    static const QRegularExpression helper(QStringLiteral("^\\.([0-9a-f]{16})\\.(\\d\\.(new|old)|journal(\\.new)?)$"));
    // Temporary files of earlier versions: "<name>.dat.XXXXXX", "<name>.dat.tb2.XXXXXX".
    static const QRegularExpression earlier(
        QStringLiteral("^(.+\\.dat)((\\.(prp|rec|tb1|tb2|vit))?\\.[A-Za-z0-9]{6})$"));
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList stems;
    for (const QString &file : files) {
        if (const auto m = helper.match(file); m.hasMatch() && !stems.contains(m.captured(1)))
            stems << m.captured(1);
    }
    for (const QString &stem : stems) {
        const SetPaths p{folder, stem};
        CardLock lock(p.lock());
        if (lock.acquire(0) == CardLock::State::Held)
            recoverStem(p);
    }
    for (const QString &file : files) {
        const auto m = earlier.match(file);
        // Only next to the card they belong to, and never while it is being saved.
        if (!m.hasMatch() || !files.contains(m.captured(1)))
            continue;
        const QString name = m.captured(1).chopped(cardSuffixes()[0].size());
        CardLock lock(folder, name);
        if (lock.acquire(0) == CardLock::State::Held)
            removeFile(QDir(folder).filePath(file));
    }
}

bool nameFitsFileSystem(const QString &folder, const QString &name)
{
    long limit = ::pathconf(native(folder).constData(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = 255;
    qsizetype longest = 0;
    for (const QString &suffix : cardSuffixes())
        longest = std::max(longest, native(name + suffix).size());
    return longest <= limit;
}

std::optional<QString> replaceSet(const QString &folder, const QString &name, const SetBytes &files)
{
    stepCounter() = 0;
    const SetPaths p{folder, stemOf(name)};
    auto failure = [&](int i, const QString &reason) {
        return cannotCreateMessage(QFileInfo(target(folder, name, i)).absoluteFilePath(), reason);
    };

    Journal journal;
    journal.name = name;
    std::array<mode_t, kCardPartCount> modes{};
    for (int i = 0; i < kCardPartCount; ++i) {
        const QString t = target(folder, name, i);
        if (auto reason = unsafeTarget(t))
            return failure(i, *reason);
        struct stat st {};
        const bool existed = ::stat(native(t).constData(), &st) == 0;
        journal.existed[static_cast<std::size_t>(i)] = existed;
        // A replaced file keeps its permissions; a new one gets the usual ones.
        modes[static_cast<std::size_t>(i)] = existed ? (st.st_mode & 07777) : [] {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            return mode_t(0666 & ~mask);
        }();
    }

    // 1. The new files, complete and durable under temporary names.
    for (int i = 0; i < kCardPartCount; ++i) {
        std::optional<QString> reason;
        if (injected(target(folder, name, i), SavePhase::Write))
            reason = systemErrorText(EIO);
        else
            reason = writeDurably(p.temp(i), files[static_cast<std::size_t>(i)], modes[static_cast<std::size_t>(i)]);
        if (reason) {
            removeHelpers(p);
            return failure(i, *reason);
        }
        if (stopHere())
            return kStoppedForTesting;
    }

    // 2. The old files under backup names: a second name for the same file
    // where the file system allows it, a durable copy elsewhere. An old file
    // that cannot be kept stops the save before anything is replaced.
    for (int i = 0; i < kCardPartCount; ++i) {
        if (!journal.existed[static_cast<std::size_t>(i)])
            continue;
        const QString t = target(folder, name, i);
        removeFile(p.backup(i));
        if (injected(t, SavePhase::Link) || ::link(native(t).constData(), native(p.backup(i)).constData()) != 0) {
            const FileRead old = readCardFile(t);
            std::optional<QString> reason;
            if (!old.error.isEmpty())
                reason = old.error;
            else
                reason = writeDurably(p.backup(i), old.bytes, modes[static_cast<std::size_t>(i)]);
            if (reason) {
                removeHelpers(p);
                return old.error.isEmpty() ? failure(i, *reason) : *reason;
            }
        }
        if (stopHere())
            return kStoppedForTesting;
    }
    syncFolder(folder);

    // 3. The journal: from here on an interrupted save is finished by the next reader.
    if (auto reason = writeJournal(p, journal)) {
        removeHelpers(p);
        syncFolder(folder);
        return failure(0, *reason);
    }
    if (stopHere())
        return kStoppedForTesting;

    // 4. Into place, one rename each.
    for (int i = 0; i < kCardPartCount; ++i) {
        const QString t = target(folder, name, i);
        int error = 0;
        if (injected(t, SavePhase::Replace))
            error = EIO;
        else if (::rename(native(p.temp(i)).constData(), native(t).constData()) != 0)
            error = errno;
        if (error) {
            journal.forward = false;
            if (stopHere())
                return kStoppedForTesting;
            // If even the journal cannot turn, the next reader finishes the
            // save instead: every new file is still complete.
            if (!writeJournal(p, journal))
                rollBack(p, journal);
            else
                rollForward(p, journal);
            return failure(i, systemErrorText(error));
        }
        if (stopHere())
            return kStoppedForTesting;
    }
    syncFolder(folder);

    // 5. The backups and the journal go.
    for (int i = 0; i < kCardPartCount; ++i)
        removeFile(p.backup(i));
    syncFolder(folder);
    if (stopHere())
        return kStoppedForTesting;
    removeFile(p.journal());
    syncFolder(folder);
    return std::nullopt;
}

void setSaveFaultForTesting(SaveFault fault)
{
    saveFault() = std::move(fault);
}

void setSaveStopForTesting(std::function<bool(int step)> stop)
{
    saveStop() = std::move(stop);
}

} // namespace vel
