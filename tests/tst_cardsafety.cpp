// A card set survives a crash at any instant of a save, a second copy of the
// program, hostile files in its folder and a delete by mistake.
#include "card/cardfiles.h"
#include "card/deletion.h"
#include "card/recovery.h"
#include "support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace vel;
using testsupport::readAll;
using testsupport::writeFile;

namespace {

CardState card(const QString &name, const QString &variant, bool body = false)
{
    CardState c;
    testsupport::setText(c, "FioEdit", name);
    testsupport::setText(c, "AdrEdit", "Адрес " + variant);
    c.preparations = "Препарат " + variant;
    c.recommendations = "Рекомендация " + variant;
    c.diagnosticRows << QStringList{variant, "1", "2"};
    c.visitRows << QStringList{"5.03.2024", variant, "", "", "", "", "", "", "", ""};
    if (body) // the optional body composition file
        c.visitRows.first() << "41,2"
                            << ""
                            << "27,9"
                            << "43,1"
                            << "12";
    testsupport::setFlag(c, "KonBox", variant == "новая");
    return c;
}

// Every file of the folder (helpers included) with its bytes.
QMap<QString, QByteArray> files(const QString &dir)
{
    QMap<QString, QByteArray> all;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        all.insert(name, readAll(QDir(dir).filePath(name)));
    return all;
}

QMap<QString, QByteArray> savedAlone(const CardState &c)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("shablon.kmt"), "");
    if (saveCard(c, dir.path()))
        return {};
    return files(dir.path());
}

// A folder of its own file system that can be made read-only or full to the
// last byte, as a write-protected stick or a full disk; only root can mount.
class Scratch final {
public:
    Scratch()
    {
        m_mounted = ::geteuid() == 0 && ::mount("tmpfs", qPrintable(m_dir.path()), "tmpfs", 0, "size=1m") == 0;
    }
    ~Scratch()
    {
        if (m_mounted)
            ::umount2(qPrintable(m_dir.path()), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    bool makeReadOnly() { return ::mount(nullptr, qPrintable(path()), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }
    void fill()
    {
        QFile filler(filePath(".filler"));
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        QFile more(filePath(".filler2")); // the last bytes of a block
        more.open(QIODevice::WriteOnly);
        while (more.write("x", 1) == 1 && more.flush()) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// How a folder refuses a lock: through the test hook, or for real.
enum class Refusal { HookReadOnly, HookFull, RealReadOnly, RealFull };

// Sets the folder up to refuse; false (and a reason to skip) when it cannot.
bool refuse(Scratch &folder, Refusal how, QString &skip)
{
    switch (how) {
    case Refusal::HookReadOnly:
    case Refusal::HookFull: {
        const int error = how == Refusal::HookFull ? ENOSPC : EROFS;
        const QString dir = folder.path();
        setLockFaultForTesting([dir, error](const QString &lock) { return lock.startsWith(dir) ? error : 0; });
        return true;
    }
    case Refusal::RealReadOnly:
    case Refusal::RealFull:
        if (!folder.mounted()) {
            skip = "only root can mount a file system of its own";
            return false;
        }
        if (how == Refusal::RealFull)
            folder.fill();
        else if (!folder.makeReadOnly()) {
            skip = "cannot remount read-only";
            return false;
        }
        return true;
    }
    return false;
}

void addRefusalRows(const char *prefix = "")
{
    QTest::addColumn<int>("how");
    QTest::addRow("%sread-only, hook", prefix) << int(Refusal::HookReadOnly);
    QTest::addRow("%sfull disk, hook", prefix) << int(Refusal::HookFull);
    QTest::addRow("%sread-only mount", prefix) << int(Refusal::RealReadOnly);
    QTest::addRow("%sfull tmpfs", prefix) << int(Refusal::RealFull);
}

// The files of the card as a set, for comparing with a version.
QByteArray digestOf(const QMap<QString, QByteArray> &set, const QString &name)
{
    SetBytes bytes;
    for (int i = 0; i < kCardPartCount; ++i)
        bytes[std::size_t(i)] = set.value(name + cardSuffixes()[std::size_t(i)]);
    return setDigest(bytes);
}

// Makes a file look as old as a dead copy's leftover.
void age(const QString &path, qint64 seconds = 24 * 3600)
{
    const struct timeval old = {time_t(::time(nullptr) - seconds), 0};
    const struct timeval times[2] = {old, old};
    ::lutimes(QFile::encodeName(path).constData(), times);
}

} // namespace

class TestCardSafety final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setSaveFaultForTesting({});
        setSaveStopForTesting({});
        setLockFaultForTesting({});
    }

    // The save is stopped, as a crash would stop it, after every step; what
    // the next open or start-up finds is the old set or the new one, whole,
    // and nothing else.
    void crashAtEveryStep_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("failingRename");
        QTest::addColumn<bool>("byOpen");
        QTest::addColumn<int>("body"); // 1: the new version has the optional file, 2: only the old one has it
        for (bool existing : {true, false})
            for (int failing : {-1, 3})
                for (bool byOpen : {true, false})
                    QTest::addRow("%s, %s, then %s", existing ? "over a card" : "new card",
                                  failing < 0 ? "saving" : "undoing", byOpen ? "open" : "start-up")
                        << existing << failing << byOpen << 0;
        for (int body : {1, 2})
            for (int failing : {-1, 3})
                QTest::addRow("over a card, body file %s, %s", body == 1 ? "added" : "dropped",
                              failing < 0 ? "saving" : "undoing")
                    << true << failing << true << body;
        QTest::addRow("new card with a body file") << false << -1 << false << 1;
    }
    void crashAtEveryStep()
    {
        QFETCH(bool, existing);
        QFETCH(int, failingRename);
        QFETCH(bool, byOpen);
        QFETCH(int, body);
        const QString name = "Иванова";
        const QMap<QString, QByteArray> nothing{{"shablon.kmt", ""}};
        const CardState oldCard = card(name, "старая", body == 2), newCard = card(name, "новая", body == 1);
        const auto oldSet = existing ? savedAlone(oldCard) : nothing;
        const auto newSet = savedAlone(newCard);
        QVERIFY(oldSet != newSet);
        QCOMPARE(newSet.contains(name + ".dat.bio"), body == 1);
        int crashes = 0;
        for (int step = 0;; ++step) {
            QTemporaryDir dir;
            writeFile(dir.filePath("shablon.kmt"), "");
            if (existing)
                QVERIFY(!saveCard(oldCard, dir.path()));
            setSaveStopForTesting([step](int at) { return at == step; });
            setSaveFaultForTesting([&](const QString &path, SavePhase phase) {
                return phase == SavePhase::Replace && failingRename >= 0 &&
                       path.endsWith(cardSuffixes()[std::size_t(failingRename)]);
            });
            const auto error = saveCard(newCard, dir.path());
            init();
            const bool crashed = error && error->message == kStoppedForTesting;
            if (byOpen && QFile::exists(dir.filePath(name + ".dat")))
                QVERIFY(!failed(loadCard(dir.filePath(name + ".dat"), dir.path())));
            else
                recoverFolder(dir.path());
            const auto found = files(dir.path());
            QVERIFY2(found == oldSet || found == newSet, qPrintable(QStringList(found.keys()).join(", ")));
            if (failingRename >= 0 && !crashed)
                QCOMPARE(found, oldSet);
            if (!crashed)
                break;
            ++crashes;
        }
        QVERIFY(crashes >= 8);
    }

    // A save stopped once its journal is written, by a version of the
    // program that knew six files: it is finished as such, without a body file.
    void olderJournalIsFinished()
    {
        const QString name = "Иванова";
        const auto newSet = savedAlone(card(name, "новая"));
        bool found = false;
        for (int step = 0; !found; ++step) {
            QTemporaryDir dir;
            writeFile(dir.filePath("shablon.kmt"), "");
            QVERIFY(!saveCard(card(name, "старая"), dir.path()));
            setSaveStopForTesting([step](int at) { return at == step; });
            const auto error = saveCard(card(name, "новая"), dir.path());
            init();
            QVERIFY2(error, "no step left the journal");
            const QStringList journals = QDir(dir.path()).entryList({".*.journal"}, QDir::Hidden | QDir::Files);
            if (journals.isEmpty())
                continue;
            found = true;
            // Six flags and six stamps, as that version wrote them.
            const QString path = dir.filePath(journals.first());
            QList<QByteArray> lines = readAll(path).split('\n');
            lines[2].chop(1);
            lines[4] = lines[4].left(lines[4].lastIndexOf(' '));
            writeFile(path, lines.join('\n'));
            recoverFolder(dir.path());
            QCOMPARE(files(dir.path()), newSet);
        }
    }

    // A save stopped between any two steps, then a folder where no lock can
    // be made: the open reads the version the journal leads to, whole, says
    // so, and changes nothing on disk.
    void unfinishedSaveOpensWholeWithoutLock_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("damagedNewFile");
        for (bool existing : {true, false})
            for (bool damaged : {false, true})
                for (int how : {0, 1, 2, 3})
                    QTest::addRow(
                        "%s%s, %s", existing ? "over a card" : "new card", damaged ? ", a new file damaged" : "",
                        std::array{"read-only, hook", "full disk, hook", "read-only mount", "full tmpfs"}[how])
                        << how << existing << damaged;
    }
    void unfinishedSaveOpensWholeWithoutLock()
    {
        QFETCH(int, how);
        QFETCH(bool, existing);
        QFETCH(bool, damagedNewFile);
        const QString name = "Иванова";
        const QByteArray oldDigest = digestOf(savedAlone(card(name, "старая")), name);
        const QByteArray newDigest = digestOf(savedAlone(card(name, "новая")), name);
        int withJournal = 0;
        for (int step = 0;; ++step) {
            Scratch dir;
            writeFile(dir.filePath("shablon.kmt"), "");
            if (existing)
                QVERIFY(!saveCard(card(name, "старая"), dir.path()));
            setSaveStopForTesting([step](int at) { return at == step; });
            const auto error = saveCard(card(name, "новая"), dir.path());
            setSaveStopForTesting({});
            if (!error)
                break;
            QCOMPARE(error->message, kStoppedForTesting);
            const QStringList journals = QDir(dir.path()).entryList({".*.journal"}, QDir::Hidden | QDir::Files);
            if (damagedNewFile) {
                const QStringList temps = QDir(dir.path()).entryList({".*.new"}, QDir::Hidden | QDir::Files);
                if (journals.isEmpty() || temps.isEmpty())
                    continue;
                QFile(dir.filePath(temps.last())).resize(3);
            }
            QString skip;
            if (!refuse(dir, Refusal(how), skip))
                QSKIP(qPrintable(skip));
            withJournal += !journals.isEmpty();
            const auto before = files(dir.path());
            QElapsedTimer timer;
            timer.start();
            const auto opened = loadCard(dir.filePath(name + ".dat"), dir.path());
            QVERIFY(timer.elapsed() < 5000);
            setLockFaultForTesting({});
            QCOMPARE(files(dir.path()), before);
            if (const auto *e = std::get_if<ReadError>(&opened)) {
                // Only a first save can leave no whole version behind.
                QVERIFY2(!existing, qPrintable(e->message));
                QVERIFY2(e->message.contains(journals.isEmpty() ? "Cannot open file" : "Первое сохранение"),
                         qPrintable(e->message));
                continue;
            }
            const LoadedCard &card = std::get<LoadedCard>(opened);
            QVERIFY2(card.digest == oldDigest || card.digest == newDigest, qPrintable(QString::number(step)));
            if (damagedNewFile)
                QCOMPARE(card.digest, oldDigest);
            QCOMPARE(card.notice.isEmpty(), journals.isEmpty());
            if (!journals.isEmpty()) {
                QVERIFY2(card.notice.contains("прервано") &&
                             card.notice.contains(how % 2 ? "Нет места на диске" : "только для чтения"),
                         qPrintable(card.notice));
            }
        }
        QVERIFY(withJournal >= (damagedNewFile ? 1 : 6));
    }

    // No wait is endless: a lock that cannot be taken or removed ends every
    // open, save, delete and start-up within the five seconds a live copy
    // gets, with the true reason.
    void lockThatCannotBeTakenEndsSoon_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QString>("reason");
        for (const char *action : {"open", "save", "delete", "start-up"}) {
            QTest::addRow("%s, folder with the lock's name", action)
                << QString("folder") + "/" + action << "На месте файла блокировки лежит папка";
            QTest::addRow("%s, empty lock, read-only folder", action)
                << QString("empty") + "/" + action << "только для чтения";
            QTest::addRow("%s, dead copy's lock, read-only mount", action)
                << QString("dead") + "/" + action << "только для чтения";
        }
    }
    void lockThatCannotBeTakenEndsSoon()
    {
        QFETCH(QString, lock);
        QFETCH(QString, reason);
        const QString kind = lock.section('/', 0, 0), action = lock.section('/', 1);
        Scratch dir;
        if (kind == "dead" && !dir.mounted())
            QSKIP("only root can mount a file system of its own");
        writeFile(dir.filePath("shablon.kmt"), "");
        const QString name = "Петрова";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        // A save killed after its journal, and its lock left behind.
        setSaveStopForTesting([](int at) { return at == 12; });
        QCOMPARE(saveCard(card(name, "новая"), dir.path())->message, kStoppedForTesting);
        setSaveStopForTesting({});
        QString lockPath;
        {
            CardLock probe(dir.path(), name);
            QCOMPARE(probe.acquire(0), CardLock::State::Held);
            lockPath = probe.path();
        }
        if (kind == "folder") {
            QVERIFY(QDir().mkdir(lockPath));
        } else {
            QByteArray text = "";
            if (kind == "dead") {
                QLockFile model(dir.filePath("model.lock"));
                QVERIFY(model.tryLock(0));
                text = readAll(dir.filePath("model.lock"));
                model.unlock();
                text.replace(0, text.indexOf('\n'), "2147483000");
            }
            QVERIFY(writeFile(lockPath, text));
            if (kind == "dead")
                QVERIFY(dir.makeReadOnly());
            else
                setLockFaultForTesting([&](const QString &) { return EROFS; });
        }
        // An empty lock a few seconds old is dead, but not old enough for the
        // lock file's own clean-up to have removed it.
        age(lockPath, kind == "empty" ? 5 : 24 * 3600);

        QElapsedTimer timer;
        timer.start();
        QString message;
        if (action == "open") {
            const auto opened = loadCard(dir.filePath(name + ".dat"), dir.path());
            QVERIFY(!failed(opened));
            message = std::get<LoadedCard>(opened).notice;
        } else if (action == "save") {
            message = saveCard(card(name, "третья"), dir.path())->message;
        } else if (action == "delete") {
            message = deleteCard(dir.filePath(name + ".dat"), dir.path()).value_or(QString());
        } else {
            recoverFolder(dir.path());
            message = "осталась блокировка от завершившейся копии программы " + reason;
        }
        const double took = double(timer.nsecsElapsed()) / 1e6;
        qInfo("%s took %.2f ms", qPrintable(lock), took);
        QVERIFY(took < 5000);
        QVERIFY2(message.contains("осталась блокировка от завершившейся копии программы") && message.contains(reason),
                 qPrintable(message));
        QVERIFY(!message.contains("сейчас сохраняет другая копия"));
    }

    // Without a lock a save says why, in the system's words and the doctor's.
    void saveWhereNoLockCanBeMade_data() { addRefusalRows(); }
    void saveWhereNoLockCanBeMade()
    {
        QFETCH(int, how);
        Scratch dir;
        const QString name = "Смирнова";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        QString skip;
        if (!refuse(dir, Refusal(how), skip))
            QSKIP(qPrintable(skip));
        const auto before = files(dir.path());
        QElapsedTimer timer;
        timer.start();
        const auto error = saveCard(card(name, "новая"), dir.path());
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(error);
        const bool full = how % 2;
        QVERIFY2(error->message.startsWith("Cannot create file \"" + dir.filePath(name + ".dat") + "\". " +
                                           (full ? "No space left on device" : "Read-only file system")),
                 qPrintable(error->message));
        QVERIFY2(error->message.contains(full ? "Нет места на диске" : "только для чтения"),
                 qPrintable(error->message));
        setLockFaultForTesting({});
        QCOMPARE(files(dir.path()), before);
    }

    // A copy killed while taking over a dead copy's lock leaves its guard
    // empty: both are taken over within about a second, not waited on.
    void deadLockBehindAnEmptyGuard()
    {
        QTemporaryDir dir;
        const QString name = "Фёдорова";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        QString lockPath;
        {
            CardLock probe(dir.path(), name);
            QCOMPARE(probe.acquire(0), CardLock::State::Held);
            lockPath = probe.path();
        }
        writeFile(lockPath, "");
        age(lockPath, 5);
        writeFile(lockPath + ".rmlock", "");
        QElapsedTimer timer;
        timer.start();
        const auto error = saveCard(card(name, "новая"), dir.path());
        QVERIFY2(!error, error ? qPrintable(error->message) : "");
        QVERIFY(timer.elapsed() < 2500);
        auto expected = savedAlone(card(name, "новая"));
        expected.remove("shablon.kmt");
        QCOMPARE(files(dir.path()), expected);
    }

    // A file system without permissions (FAT through FUSE) saves all the same.
    void savesWithoutPermissions()
    {
        QTemporaryDir dir;
        setSaveFaultForTesting([](const QString &, SavePhase phase) { return phase == SavePhase::Mode; });
        const auto error = saveCard(card("Новикова", "новая"), dir.path());
        QVERIFY2(!error, error ? qPrintable(error->message) : "");
        QCOMPARE(files(dir.path()).size(), 6);
    }

    // Leftovers of copies that died while taking over a lock, and recovery
    // copies a full disk or a crash cut short, go at start-up; a copy is kept
    // only whole.
    void strayHelpersAreCleaned()
    {
        QTemporaryDir dir;
        const QString name = "Орлова";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const auto whole = files(dir.path());
        QLockFile model(dir.filePath("model.lock"));
        QVERIFY(model.tryLock(0));
        QByteArray dead = readAll(dir.filePath("model.lock"));
        model.unlock();
        dead.replace(0, dead.indexOf('\n'), "2147483000");
        QString lockPath;
        {
            CardLock probe(dir.path(), name);
            QCOMPARE(probe.acquire(0), CardLock::State::Held);
            lockPath = probe.path();
        }
        writeFile(lockPath + ".rmlock", dead);
        writeFile(lockPath + ".probe", "");
        age(lockPath + ".probe");
        const QString loneLock = dir.filePath(".0123456789abcdef.lock"); // of a card killed before its first file
        writeFile(loneLock, "");
        age(loneLock);
        QVERIFY(!failed(keepRecoveryCopy(dir.path(), card(name, "копия"))));
        const QString cutShort = recoveryFolder(dir.path()) + "/.unfinished 2024-01-01 10-00-00-000";
        QVERIFY(QDir().mkpath(cutShort));
        writeFile(cutShort + "/" + name + ".dat", "обрывок");
        age(cutShort);
        recoverFolder(dir.path()); // what the start-up does
        removeUnfinishedCopies(dir.path());
        QCOMPARE(files(dir.path()), whole);
        const QStringList kept =
            QDir(recoveryFolder(dir.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(files(recoveryFolder(dir.path()) + "/" + kept.first()).size(), 6);

        Scratch full;
        if (!full.mounted())
            QSKIP("only root can mount a file system of its own");
        full.fill();
        QVERIFY(failed(keepRecoveryCopy(full.path(), card(name, "копия"))));
        QVERIFY(
            QDir(recoveryFolder(full.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }

    void secondWriterIsRefused()
    {
        QTemporaryDir dir;
        const QString name = "Петров";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const auto before = files(dir.path());
        {
            // Another copy of the program holds the card.
            CardLock other(dir.path(), name);
            QCOMPARE(other.acquire(0), CardLock::State::Held);
            const auto error = saveCard(card(name, "новая"), dir.path());
            QVERIFY(error);
            QVERIFY(!error->refusedInput);
            QVERIFY2(error->message.contains("сейчас сохраняет другая копия программы"), qPrintable(error->message));
        }
        QCOMPARE(files(dir.path()), before);
    }

    void staleLockOfDeadCopyIsTakenOver()
    {
        QTemporaryDir dir;
        const QString name = "Петров";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const auto before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        {
            CardLock mine(dir.path(), name);
            QCOMPARE(mine.acquire(0), CardLock::State::Held);
        }
        // Write a lock file as a crashed copy on this computer leaves it.
        QLockFile probe(dir.filePath("probe.lock"));
        QVERIFY(probe.tryLock(0));
        const QByteArray own = readAll(dir.filePath("probe.lock"));
        probe.unlock();
        QString lockName;
        {
            CardLock held(dir.path(), name);
            QCOMPARE(held.acquire(0), CardLock::State::Held);
            for (const QString &f : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
                if (!before.contains(f))
                    lockName = f;
        }
        QVERIFY(lockName.endsWith(".lock"));
        QByteArray dead = own;
        dead.replace(0, own.indexOf('\n'), "2147483000");
        writeFile(dir.filePath(lockName), dead);
        QVERIFY(!saveCard(card(name, "новая"), dir.path()));
        QVERIFY(!QFile::exists(dir.filePath(lockName)));
    }

    // A save notices that another copy saved the card after this window read
    // it; a set this window never read is kept as a recovery copy first.
    void saveOverUnknownSet()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("shablon.kmt"), "");
        const QString name = "Сидорова";
        SaveGuard first;
        QVERIFY(!saveCard(card(name, "первая"), dir.path(), &first));
        QVERIFY(!first.writtenDigest.isEmpty());
        QVERIFY(first.keptCopy.isEmpty());
        const auto opened = loadCard(dir.filePath(name + ".dat"), dir.path());
        QCOMPARE(std::get<LoadedCard>(opened).digest, first.writtenDigest);

        QVERIFY(!saveCard(card(name, "чужая"), dir.path())); // another copy
        const auto theirs = files(dir.path());
        const auto keepInRecovery = [&dir](const QString &folder, const QString &setName) {
            return keepSetCopy(dir.path(), folder, setName);
        };
        SaveGuard stale{first.writtenDigest, keepInRecovery, {}, {}};
        const auto refused = saveCard(card(name, "моя"), dir.path(), &stale);
        QVERIFY(refused);
        QVERIFY2(refused->message.contains("другая копия"), qPrintable(refused->message));
        QCOMPARE(files(dir.path()), theirs);

        SaveGuard unknown{{}, keepInRecovery, {}, {}};
        QVERIFY(!saveCard(card(name, "новая"), dir.path(), &unknown));
        QVERIFY(unknown.keptCopy.startsWith(recoveryFolder(dir.path())));
        for (const QString &suffix : cardSuffixes())
            if (theirs.contains(name + suffix) || suffix != cardSuffixes()[kBodyPart]) // the optional file: none here
                QCOMPARE(readAll(unknown.keptCopy.chopped(4) + suffix), theirs.value(name + suffix));
        QVERIFY(!QFile::exists(unknown.keptCopy.chopped(4) + cardSuffixes()[kBodyPart]));
        QVERIFY(!failed(loadCard(unknown.keptCopy, dir.path())));
        QCOMPARE(files(dir.path()), savedAlone(card(name, "новая")));
    }

    void hostileFileIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QString outside = "Это символическая ссылка на файл вне папки карточки. Замените ссылку самим файлом "
                                "карточки";
        QTest::newRow("fifo") << "fifo" << notRegularFileText();
        QTest::newRow("link to /dev/zero") << "zero" << outside;
        QTest::newRow("link out of the folder") << "outside" << outside;
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
        QTest::newRow("65 MB") << "huge"
                               << "Файл больше 64 МБ, такого файла карточки не бывает. Проверьте, тот ли файл выбран";
    }
    void hostileFileIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir, elsewhere;
        writeFile(dir.filePath("shablon.kmt"), "");
        const QString name = "Козлов";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const QString victim = dir.filePath(name + ".dat.prp");
        const QString outside = elsewhere.filePath("чужой.txt");
        writeFile(outside, "не трогать");
        QVERIFY(QFile::remove(victim));
        const QByteArray native = QFile::encodeName(victim);
        if (kind == "fifo")
            QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", victim));
        else if (kind == "outside")
            QVERIFY(QFile::link(outside, victim));
        else if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir(name + ".dat.prp"));
        else
            QCOMPARE(::truncate((writeFile(victim, ""), native.constData()), 65 * 1024 * 1024), 0);

        const auto opened = loadCard(dir.filePath(name + ".dat"), dir.path());
        QVERIFY(failed(opened));
        QCOMPARE(std::get<ReadError>(opened).message, "Cannot open file \"" + victim + "\". " + reason);

        const auto saved = saveCard(card(name, "новая"), dir.path());
        if (kind == "huge") {
            QVERIFY(!saved); // an ordinary file, only too large to read: replaced
        } else {
            QVERIFY(saved);
            QVERIFY2(saved->message.startsWith("Cannot create file \"" + victim + "\". "), qPrintable(saved->message));
        }
        QCOMPARE(readAll(outside), QByteArray("не трогать"));
    }

    // Where the old files cannot get a second name they are copied; an old
    // file that cannot be copied stops the save before anything is replaced.
    void oldFilesAreKeptWithoutHardLinks_data()
    {
        QTest::addColumn<bool>("hugeOldFile");
        QTest::addColumn<int>("failingRename");
        QTest::newRow("copied, then a replacement fails") << false << 4;
        QTest::newRow("copied, saved") << false << -1;
        QTest::newRow("an old file that cannot be read") << true << -1;
    }
    void oldFilesAreKeptWithoutHardLinks()
    {
        QFETCH(bool, hugeOldFile);
        QFETCH(int, failingRename);
        QTemporaryDir dir;
        const QString name = "Лебедева";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const QString prp = dir.filePath(name + ".dat.prp");
        if (hugeOldFile)
            QCOMPARE(::truncate(QFile::encodeName(prp).constData(), 65 * 1024 * 1024), 0);
        const auto before = files(dir.path());
        setSaveFaultForTesting([&](const QString &path, SavePhase phase) {
            return phase == SavePhase::Link || (phase == SavePhase::Replace && failingRename >= 0 &&
                                                path.endsWith(cardSuffixes()[std::size_t(failingRename)]));
        });
        const auto error = saveCard(card(name, "новая"), dir.path());
        if (failingRename < 0 && !hugeOldFile) {
            QVERIFY(!error);
            auto expected = savedAlone(card(name, "новая"));
            expected.remove("shablon.kmt");
            QCOMPARE(files(dir.path()), expected);
            return;
        }
        QVERIFY(error);
        QVERIFY2(error->message.contains(hugeOldFile ? prp : dir.filePath(name + ".dat.tb2")),
                 qPrintable(error->message));
        QCOMPARE(files(dir.path()), before);
    }

    void namesTooLongForTheFileSystem_data()
    {
        QTest::addColumn<int>("letters");
        QTest::addColumn<bool>("fits");
        QTest::newRow("121 letters") << 121 << true;
        QTest::newRow("123 letters") << 123 << true;
        QTest::newRow("124 letters") << 124 << false;
    }
    void namesTooLongForTheFileSystem()
    {
        QFETCH(int, letters);
        QFETCH(bool, fits);
        QTemporaryDir dir;
        const QString name(letters, u'Ж');
        for (int round = 0; round < 2; ++round) {
            const auto error = saveCard(card(name, QString::number(round)), dir.path());
            QCOMPARE(!error, fits);
            if (error) {
                QVERIFY(error->refusedInput);
                QVERIFY2(error->message.contains("слишком длинное"), qPrintable(error->message));
            }
        }
        QCOMPARE(files(dir.path()).size(), fits ? 6 : 0);
    }

    void leftoversOfEarlierVersionsAreRemoved_data()
    {
        QTest::addColumn<bool>("bySave");
        QTest::newRow("next save") << true;
        QTest::newRow("start-up") << false;
    }
    void leftoversOfEarlierVersionsAreRemoved()
    {
        QFETCH(bool, bySave);
        QTemporaryDir dir;
        writeFile(dir.filePath("shablon.kmt"), "");
        const QString name = "Орлова";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const auto whole = files(dir.path());
        writeFile(dir.filePath(name + ".dat.tb2.AbC123"), "обрывок");
        writeFile(dir.filePath(name + ".dat.q1W2e3"), "обрывок");
        writeFile(dir.filePath("Другая.dat.tb2.AbC123"), "чужое");
        writeFile(dir.filePath("Нет карточки.dat.tb2.AbC123"), "ничьё");
        if (bySave)
            QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        else
            recoverFolder(dir.path());
        auto now = files(dir.path());
        QCOMPARE(now.take("Другая.dat.tb2.AbC123"), QByteArray("чужое"));
        QCOMPARE(now.take("Нет карточки.dat.tb2.AbC123"), QByteArray("ничьё"));
        QCOMPARE(now, whole);
    }

    // All six files go to one place or none moves: the desktop trash, which
    // refuses a link whose file is gone, else the folder of deleted cards.
    void deleteMovesTheSetAway_data()
    {
        QTest::addColumn<bool>("withTrash");
        QTest::addColumn<bool>("danglingLink");
        QTest::addColumn<bool>("noFolder");
        QTest::newRow("desktop trash") << true << false << false;
        QTest::newRow("no trash") << false << false << false;
        QTest::newRow("trash refuses a dangling link") << true << true << false;
        QTest::newRow("no place takes them") << true << true << true;
    }
    void deleteMovesTheSetAway()
    {
        QFETCH(bool, withTrash);
        QFETCH(bool, danglingLink);
        QFETCH(bool, noFolder);
        QTemporaryDir dir, trashFolder;
        setTrashForTesting([&](const QString &path, QString *inTrash) {
            *inTrash = trashFolder.filePath(QFileInfo(path).fileName());
            return withTrash && QFileInfo::exists(path) && QFile::rename(path, *inTrash);
        });
        const QString name = "Зайцев";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        if (danglingLink) {
            QVERIFY(QFile::remove(dir.filePath(name + ".dat.vit")));
            QVERIFY(QFile::link(dir.filePath("нет такого"), dir.filePath(name + ".dat.vit")));
        }
        if (noFolder)
            writeFile(deletedCardsFolder(dir.path()), "не папка");
        const auto before = files(dir.path());
        const auto error = deleteCard(dir.filePath(name + ".dat"), dir.path());
        setTrashForTesting([](const QString &path, QString *inTrash) { return QFile::moveToTrash(path, inTrash); });
        if (noFolder) {
            QVERIFY(error);
            QVERIFY2(error->contains("Все файлы карточки остались на месте"), qPrintable(*error));
            QCOMPARE(files(dir.path()), before);
            QVERIFY(QFileInfo(dir.filePath(name + ".dat.vit")).isSymLink());
            QVERIFY(files(trashFolder.path()).isEmpty());
            return;
        }
        QVERIFY2(!error, error ? qPrintable(*error) : "");
        QVERIFY(files(dir.path()).isEmpty());
        QString folder = trashFolder.path();
        if (!withTrash || danglingLink) {
            QVERIFY(files(trashFolder.path()).isEmpty());
            const QDir deleted(deletedCardsFolder(dir.path()));
            const QStringList kept = deleted.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            QCOMPARE(kept.size(), 1);
            folder = deleted.filePath(kept.first());
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::System).size(), 6);
        if (!danglingLink)
            QCOMPARE(files(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestCardSafety)
#include "tst_cardsafety.moc"
