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

#include <sys/stat.h>
#include <unistd.h>

using namespace vel;
using testsupport::readAll;
using testsupport::writeFile;

namespace {

CardState card(const QString &name, const QString &variant)
{
    CardState c;
    testsupport::setText(c, "FioEdit", name);
    testsupport::setText(c, "AdrEdit", "Адрес " + variant);
    c.preparations = "Препарат " + variant;
    c.recommendations = "Рекомендация " + variant;
    c.diagnosticRows << QStringList{variant, "1", "2"};
    c.visitRows << QStringList{"5.03.2024", variant, "", "", "", "", "", "", "", ""};
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

} // namespace

class TestCardSafety final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setSaveFaultForTesting({});
        setSaveStopForTesting({});
    }

    // The save is stopped, as a crash would stop it, after every step; what
    // the next open or start-up finds is the old set or the new one, whole,
    // and nothing else.
    void crashAtEveryStep_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("failingRename");
        QTest::addColumn<bool>("byOpen");
        for (bool existing : {true, false})
            for (int failing : {-1, 3})
                for (bool byOpen : {true, false})
                    QTest::addRow("%s, %s, then %s", existing ? "over a card" : "new card",
                                  failing < 0 ? "saving" : "undoing", byOpen ? "open" : "start-up")
                        << existing << failing << byOpen;
    }
    void crashAtEveryStep()
    {
        QFETCH(bool, existing);
        QFETCH(int, failingRename);
        QFETCH(bool, byOpen);
        const QString name = "Иванова";
        const QMap<QString, QByteArray> nothing{{"shablon.kmt", ""}};
        const auto oldSet = existing ? savedAlone(card(name, "старая")) : nothing;
        const auto newSet = savedAlone(card(name, "новая"));
        QVERIFY(oldSet != newSet);
        int crashes = 0;
        for (int step = 0;; ++step) {
            QTemporaryDir dir;
            writeFile(dir.filePath("shablon.kmt"), "");
            if (existing)
                QVERIFY(!saveCard(card(name, "старая"), dir.path()));
            setSaveStopForTesting([step](int at) { return at == step; });
            setSaveFaultForTesting([&](const QString &path, SavePhase phase) {
                return phase == SavePhase::Replace && failingRename >= 0 &&
                       path.endsWith(cardSuffixes()[std::size_t(failingRename)]);
            });
            const auto error = saveCard(card(name, "новая"), dir.path());
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
        SaveGuard stale{first.writtenDigest, dir.path(), {}, {}};
        const auto refused = saveCard(card(name, "моя"), dir.path(), &stale);
        QVERIFY(refused);
        QVERIFY2(refused->message.contains("другая копия"), qPrintable(refused->message));
        QCOMPARE(files(dir.path()), theirs);

        SaveGuard unknown{{}, dir.path(), {}, {}};
        QVERIFY(!saveCard(card(name, "новая"), dir.path(), &unknown));
        QVERIFY(unknown.keptCopy.startsWith(recoveryFolder(dir.path())));
        for (const QString &suffix : cardSuffixes())
            QCOMPARE(readAll(unknown.keptCopy.chopped(4) + suffix), theirs.value(name + suffix));
        QVERIFY(!failed(loadCard(unknown.keptCopy, dir.path())));
        QCOMPARE(files(dir.path()), savedAlone(card(name, "новая")));
    }

    void hostileFileIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << "fifo"
                              << "Not a regular file";
        QTest::newRow("link to /dev/zero") << "zero"
                                           << "Symbolic link leads out of the card's folder";
        QTest::newRow("link out of the folder") << "outside"
                                                << "Symbolic link leads out of the card's folder";
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
        QTest::newRow("65 MB") << "huge"
                               << "File too large (more than 64 MB)";
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

    void deleteMovesTheSetAway_data()
    {
        QTest::addColumn<bool>("withTrash");
        QTest::newRow("desktop trash") << true;
        QTest::newRow("no trash") << false;
    }
    void deleteMovesTheSetAway()
    {
        QFETCH(bool, withTrash);
        QTemporaryDir dir, trashFolder;
        setTrashForTesting([&](const QString &path) {
            return withTrash && QFile::rename(path, trashFolder.filePath(QFileInfo(path).fileName()));
        });
        const QString name = "Зайцев";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const auto before = files(dir.path());
        const auto error = deleteCard(dir.filePath(name + ".dat"), dir.path());
        setTrashForTesting([](const QString &path) { return QFile::moveToTrash(path); });
        QVERIFY2(!error, error ? qPrintable(*error) : "");
        QVERIFY(files(dir.path()).isEmpty());
        QString folder = trashFolder.path();
        if (!withTrash) {
            const QDir deleted(deletedCardsFolder(dir.path()));
            const QStringList kept = deleted.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            QCOMPARE(kept.size(), 1);
            folder = deleted.filePath(kept.first());
        }
        QCOMPARE(files(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestCardSafety)
#include "tst_cardsafety.moc"
