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
#include <QSysInfo>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
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

std::function<int(const QString &)> &lockFault()
{
    static std::function<int(const QString &)> fault;
    return fault;
}

int lockFaultFor(const QString &lockPath)
{
    return lockFault() ? lockFault()(lockPath) : 0;
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

// Writes a new file completely and durably; the reason on failure. The
// permissions are set as asked where the file system keeps them; one
// without (FAT through FUSE) saves all the same.
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
    if (!error && !injected(path, SavePhase::Mode))
        (void)::fchmod(fd, mode);
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

mode_t usualMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode_t(0666 & ~mask);
}

// The journal names the card and says which way an interrupted save goes:
// "forward" once every new file is complete, "back" while a failed save is
// being undone. Which files existed before tells "back" what to remove. A
// fifth line, which older readers skip, holds the size and hash of each new
// file, so that a new file damaged since is never put in place; "-" stands
// for an optional file the new set does not have. A journal of six parts
// was written before the body composition file existed: it has none.
struct Journal {
    QString name;
    bool forward = true;
    std::array<bool, kCardPartCount> existed{};
    std::array<QByteArray, kCardPartCount> newFiles{}; // "size:sha1"; empty when not known
};

const QByteArray kJournalMagic = QByteArrayLiteral("card set journal 1");
const QByteArray kAbsentStamp = QByteArrayLiteral("-");
constexpr int kOlderPartCount = 6;

QByteArray fileStamp(const QByteArray &bytes)
{
    return QByteArray::number(bytes.size()) + ':' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

std::optional<QString> writeJournal(const SetPaths &p, const Journal &j)
{
    QByteArray text = kJournalMagic + '\n' + (j.forward ? "forward" : "back") + '\n';
    for (bool e : j.existed)
        text += e ? '1' : '0';
    text += '\n' + j.name.toUtf8() + '\n';
    QByteArrayList stamps(j.newFiles.begin(), j.newFiles.end());
    if (!stamps.contains(QByteArray()))
        text += stamps.join(' ') + '\n';
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
    if (lines.size() < 4 || lines.at(0) != kJournalMagic ||
        (lines.at(2).size() != kCardPartCount && lines.at(2).size() != kOlderPartCount))
        return std::nullopt;
    const int parts = int(lines.at(2).size());
    Journal j;
    j.forward = lines.at(1) == "forward";
    for (int i = 0; i < parts; ++i)
        j.existed[static_cast<std::size_t>(i)] = lines.at(2).at(i) == '1';
    for (int i = parts; i < kCardPartCount; ++i)
        j.newFiles[static_cast<std::size_t>(i)] = kAbsentStamp;
    j.name = QString::fromUtf8(lines.at(3));
    if (j.name.isEmpty() || stemOf(j.name) != p.stem)
        return std::nullopt;
    if (lines.size() > 4) {
        const QList<QByteArray> stamps = lines.at(4).split(' ');
        if (stamps.size() == parts)
            std::copy(stamps.begin(), stamps.end(), j.newFiles.begin());
    }
    return j;
}

// Whether a file holds the new version the journal promised; without a
// record of it, being there is all that can be asked.
bool holdsNewFile(const QString &path, const QByteArray &stamp)
{
    if (!exists(path))
        return false;
    if (stamp.isEmpty())
        return true;
    const auto bytes = readFileBytes(path, kMaxCardFileSize);
    return !failed(bytes) && fileStamp(std::get<QByteArray>(bytes)) == stamp;
}

// The files of the version a stopped save leads to: the new set when every
// new file is still in its temporary or already in place, and whole; else the
// old set from the backups.
PendingSave promisedVersion(const SetPaths &p, const Journal &j)
{
    PendingSave version;
    if (j.forward) {
        version.newVersion = true;
        for (int i = 0; i < kCardPartCount && version.newVersion; ++i) {
            const auto k = static_cast<std::size_t>(i);
            if (j.newFiles[k] == kAbsentStamp) {
                version.paths[k].clear();
                continue;
            }
            version.paths[k] = exists(p.temp(i)) ? p.temp(i) : target(p.folder, j.name, i);
            version.newVersion = holdsNewFile(version.paths[k], j.newFiles[k]);
        }
        if (version.newVersion)
            return version;
    }
    for (int i = 0; i < kCardPartCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (exists(p.backup(i)))
            version.paths[k] = p.backup(i);
        else
            version.paths[k] = j.existed[k] ? target(p.folder, j.name, i) : QString();
    }
    return version;
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
        if (j.newFiles[static_cast<std::size_t>(i)] == kAbsentStamp) {
            removeFile(target(p.folder, j.name, i)); // its old version waits in the backup
            continue;
        }
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
        auto j = readJournal(p);
        // Not written by this program: leave the journal, remove nothing.
        if (!j)
            return;
        if (j->forward && !promisedVersion(p, *j).newVersion) {
            // A new file is missing or damaged: the old set is the one kept.
            j->forward = false;
            (void)writeJournal(p, *j);
        }
        j->forward ? rollForward(p, *j) : rollBack(p, *j);
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

QString linkOutOfFolderText()
{
    return QStringLiteral("Это символическая ссылка на файл вне папки карточки. Замените ссылку самим файлом "
                          "карточки");
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
            return linkOutOfFolderText();
        if (!QFileInfo(resolved).isFile())
            return notRegularFileText();
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode))
        return notRegularFileText();
    return std::nullopt;
}

} // namespace

const std::array<QString, kCardPartCount> &cardSuffixes()
{
    static const std::array<QString, kCardPartCount> suffixes = {
        QStringLiteral(".dat"),     QStringLiteral(".dat.prp"), QStringLiteral(".dat.rec"), QStringLiteral(".dat.tb1"),
        QStringLiteral(".dat.tb2"), QStringLiteral(".dat.vit"), QStringLiteral(".dat.bio")};
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

namespace {

qint64 ageMs(const struct stat &st)
{
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec).addMSecs(st.st_mtim.tv_nsec / 1000000);
    return modified.msecsTo(QDateTime::currentDateTime());
}

// Why a file cannot be made in the lock's folder: the lock's own attempt
// does not say (read-only, no permission, a full disk), so a probe is made.
int creationError(const QString &lockPath)
{
    const QString probe = lockPath + QStringLiteral(".probe");
    const int fd = ::open(native(probe).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? EBUSY : errno;
    int error = ::write(fd, "0", 1) == 1 ? 0 : (errno ? errno : ENOSPC);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    removeFile(probe);
    return error ? error : EIO;
}

} // namespace

CardLock::State CardLock::acquire(int waitMs)
{
    m_error = 0;
    m_state = attempt(waitMs);
    return m_state;
}

CardLock::State CardLock::attempt(int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // A folder that refuses every change (the test hook) cannot take a
        // lock, nor have a dead copy's lock removed by the lock file itself.
        const int fault = lockFaultFor(m_path);
        if (fault && !exists(m_path)) {
            m_error = fault;
            return State::Unavailable;
        }
        if (!fault && m_lock->tryLock(0))
            return State::Held;
        if (!fault && m_lock->error() != QLockFile::LockFailedError) {
            m_error = creationError(m_path);
            return State::Unavailable;
        }
        struct stat st {};
        if (::lstat(native(m_path).constData(), &st) == 0) {
            // A copy killed while making its lock leaves it empty; a lock is
            // written whole within microseconds, so an empty one a second
            // old is dead. So is one whose copy no longer runs here.
            qint64 pid = 0;
            QString host, app;
            const bool readable = m_lock->getLockInfo(&pid, &host, &app);
            const bool dead = readable ? (host == QSysInfo::machineHostName() && pid > 0 &&
                                          ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) ||
                                             ageMs(st) > 60 * 1000
                                       : ageMs(st) > 1000;
            if (dead) {
                switch (
                    takeOverDeadLock(quint64(st.st_ino), qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec)) {
                case TakeOver::Failed:
                    return State::Stuck;
                case TakeOver::Removed:
                    // Taken at once, however short the wait; a copy that keeps
                    // leaving dead locks is still not waited on for long.
                    if (waited.elapsed() <= waitMs + 1000)
                        continue;
                    break;
                case TakeOver::Later:
                    break;
                }
            }
        }
        const qint64 left = waitMs - waited.elapsed();
        if (left <= 0)
            return State::Busy;
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 50)));
    }
}

// Removes the lock of a copy that has ended, the very file seen (inode and
// change time); Failed, with the reason, when it cannot be removed. Two
// copies never remove it together: the one that holds the guard looks again
// before removing, so that a lock just made by the other one stays.
CardLock::TakeOver CardLock::takeOverDeadLock(quint64 inode, qint64 changedNs)
{
    if (const int fault = lockFaultFor(m_path)) {
        m_error = fault;
        return TakeOver::Failed;
    }
    // The guard is a lock like any other: one left by a copy that died while
    // holding it is taken over in turn, and one that cannot be made (a
    // read-only folder) lets the removal itself say why.
    CardLock guard(m_path + QStringLiteral(".rmlock"));
    if (guard.acquire(0) == State::Busy)
        return TakeOver::Later; // another copy is removing it
    struct stat now {};
    if (::lstat(native(m_path).constData(), &now) != 0)
        return TakeOver::Removed;
    if (quint64(now.st_ino) != inode || qint64(now.st_ctim.tv_sec) * 1000000000 + now.st_ctim.tv_nsec != changedNs)
        return TakeOver::Later;
    if (::unlink(native(m_path).constData()) != 0 && errno != ENOENT) {
        m_error = errno;
        return TakeOver::Failed;
    }
    return TakeOver::Removed;
}

QString folderProblem(const QString &folder, int error)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    switch (error) {
    case EROFS:
        return QStringLiteral("Папка \"%1\" только для чтения: снимите защиту от записи с диска, флешки или "
                              "сетевой папки.")
            .arg(shown);
    case EACCES:
    case EPERM:
        return QStringLiteral("Нет прав на запись в папку \"%1\": попросите администратора компьютера разрешить "
                              "вам запись в неё.")
            .arg(shown);
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Нет места на диске, где лежит папка \"%1\": освободите место, удалив ненужные "
                              "файлы.")
            .arg(shown);
    default:
        return QStringLiteral("В папку \"%1\" не удаётся записать (%2): проверьте диск или сетевое подключение.")
            .arg(shown, systemErrorText(error));
    }
}

QString lockProblem(const CardLock &lock, const QString &folder, const QString &name, CardAction action)
{
    const QString again = action == CardAction::Open   ? QStringLiteral("откройте карточку снова")
                          : action == CardAction::Save ? QStringLiteral("сохраните карточку снова")
                                                       : QStringLiteral("удалите карточку снова");
    const QString lockFile = QDir::toNativeSeparators(QFileInfo(lock.path()).absoluteFilePath());
    switch (lock.state()) {
    case CardLock::State::Stuck: {
        const QString reason = lock.error() == EISDIR ? QStringLiteral("На месте файла блокировки лежит папка.")
                                                      : folderProblem(folder, lock.error());
        return QStringLiteral("С карточкой \"%1\" нельзя работать: осталась блокировка от завершившейся копии "
                              "программы, и снять её не удаётся. %2 Убедитесь, что программа не запущена на "
                              "другом компьютере, удалите \"%3\" вручную, затем %4!")
            .arg(name, reason, lockFile, again);
    }
    case CardLock::State::Unavailable:
        return folderProblem(folder, lock.error()) + QStringLiteral(" Затем %1!").arg(again);
    case CardLock::State::Busy:
    case CardLock::State::Held:
        break;
    }
    return QStringLiteral("Карточку \"%1\" сейчас сохраняет другая копия программы. Подождите немного и %2!")
        .arg(name, again);
}

FileRead readCardFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty() &&
            QFileInfo(resolved).absolutePath() != QFileInfo(info.absolutePath()).canonicalFilePath())
            return {{}, cannotOpenMessage(info.absoluteFilePath(), linkOutOfFolderText())};
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
        if (isOptionalPart(i) && !exists(target(folder, name, i)))
            continue;
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

std::optional<PendingSave> pendingSave(const QString &folder, const QString &name)
{
    const SetPaths p{folder, stemOf(name)};
    if (!exists(p.journal()))
        return std::nullopt;
    const auto j = readJournal(p);
    if (!j || j->name != name)
        return std::nullopt;
    return promisedVersion(p, *j);
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::optional<QString> writeFileDurably(const QString &path, const QByteArray &bytes)
{
    return writeDurably(path, bytes, usualMode());
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
    // A lock alone is a dead copy's when it can be taken: it goes with the rest.
    static const QRegularExpression helper(
        QStringLiteral("^\\.([0-9a-f]{16})\\.(\\d\\.(new|old)|journal(\\.new)?|lock)$"));
    // Left when a copy died while taking over a dead copy's lock, or probing why no lock could be made.
    static const QRegularExpression lockHelper(QStringLiteral("^\\.[0-9a-f]{16}\\.lock\\.(rmlock|probe)$"));
    // Temporary files of earlier versions: "<name>.dat.XXXXXX", "<name>.dat.tb2.XXXXXX".
    static const QRegularExpression earlier(
        QStringLiteral("^(.+\\.dat)((\\.(prp|rec|tb1|tb2|vit))?\\.[A-Za-z0-9]{6})$"));
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList stems;
    for (const QString &file : files) {
        if (const auto m = helper.match(file); m.hasMatch() && !stems.contains(m.captured(1)))
            stems << m.captured(1);
        if (lockHelper.match(file).hasMatch()) {
            const QString path = QDir(folder).filePath(file);
            if (file.endsWith(QStringLiteral(".rmlock"))) {
                // Taken as a lock of its own: one of a copy that has ended goes when released.
                CardLock rmlock(path);
                rmlock.acquire(0);
            } else if (struct stat st{}; ::lstat(native(path).constData(), &st) == 0 && ageMs(st) > 60 * 1000) {
                removeFile(path);
            }
        }
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
        const QString message = cannotCreateMessage(QFileInfo(target(folder, name, i)).absoluteFilePath(), reason);
        // The folder's own trouble is told with what to do about it.
        for (int error : {ENOSPC, EDQUOT, EROFS, EACCES, EPERM})
            if (reason == systemErrorText(error))
                return message + QStringLiteral(". ") + folderProblem(folder, error) +
                       QStringLiteral(" Затем сохраните карточку снова!");
        return message;
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
        modes[static_cast<std::size_t>(i)] = existed ? (st.st_mode & 07777) : usualMode();
    }

    // 1. The new files, complete and durable under temporary names.
    for (int i = 0; i < kCardPartCount; ++i) {
        if (absentPart(i, files[static_cast<std::size_t>(i)]))
            continue;
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

    for (int i = 0; i < kCardPartCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        journal.newFiles[k] = absentPart(i, files[k]) ? kAbsentStamp : fileStamp(files[k]);
    }

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
        if (absentPart(i, files[static_cast<std::size_t>(i)])) {
            // The old file, if any, waits in its backup like the others.
            if (::unlink(native(t).constData()) != 0 && errno != ENOENT)
                error = errno;
        } else if (injected(t, SavePhase::Replace)) {
            error = EIO;
        } else if (::rename(native(p.temp(i)).constData(), native(t).constData()) != 0) {
            error = errno;
        }
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

void setLockFaultForTesting(std::function<int(const QString &lockPath)> fault)
{
    lockFault() = std::move(fault);
}

void setSaveStopForTesting(std::function<bool(int step)> stop)
{
    saveStop() = std::move(stop);
}

} // namespace vel
