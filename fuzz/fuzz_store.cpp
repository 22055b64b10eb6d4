// Drives the card's lock and journal: a save of a card is stopped at a chosen
// step, as a crash would stop it, and the folder is left with a lock, a stray
// lock helper, a damaged new file, a folder that refuses locks (read-only,
// full), in the combination the input chooses. Then the card is opened and
// saved again. Whatever is found:
//   - nothing waits longer than a live copy of the program is waited for;
//   - the open gives the old card or the new one whole, or a message, never a mix;
//   - the save either says why it cannot, leaving the folder as it was, or
//     leaves exactly the saved card, which opens again, and no helper file
//     once the folder is tidied as at start-up.
// A hostile mode also writes junk journals and removes helper files; there only
// the first rule and "a card or a message" hold.
#include "card/cardfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/time.h>
#include <unistd.h>

namespace {

const QString kName = QStringLiteral("Проверка");

vel::CardState version(const QString &tag)
{
    vel::CardState c;
    c.setText(vel::Field::Name, kName);
    c.setText(vel::Field::Address, tag);
    c.preparations = QStringLiteral("Препараты ") + tag;
    c.recommendations = QStringLiteral("Рекомендации ") + tag;
    c.diagnosticRows << QStringList{tag, QStringLiteral("1"), QStringLiteral("2")};
    c.visitRows << QStringList{tag, QStringLiteral("80"), {}, {}, {}, {}, {}, {}, {}, {}};
    c.activity = int(tag.at(0).unicode() - u'A'); // the catalogue file differs between versions too
    return c;
}

QByteArray digestOf(const vel::CardState &card)
{
    vel::SetBytes files;
    for (int i = 0; i < vel::kCardPartCount; ++i)
        files[static_cast<std::size_t>(i)] =
            *vel::encode1251(vel::cardParts()[static_cast<std::size_t>(i)].fileText(card));
    return vel::setDigest(files);
}

QString workFolder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_store-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_store-XXXXXX"));
    return dir.path();
}

[[noreturn]] void finding(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
    std::abort();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void age(const QString &path, int seconds)
{
    const struct timeval then = {time_t(::time(nullptr) - seconds), 0};
    const struct timeval times[2] = {then, then};
    ::lutimes(QFile::encodeName(path).constData(), times);
}

// What a copy of the program killed on this computer leaves in a lock.
QByteArray deadLockText()
{
    static const QByteArray text = [] {
        const QString model = QDir(workFolder()).filePath(QStringLiteral("model.lock"));
        QLockFile lock(model);
        lock.tryLock(0);
        QFile f(model);
        f.open(QIODevice::ReadOnly);
        QByteArray bytes = f.readAll();
        lock.unlock();
        return bytes.replace(0, bytes.indexOf('\n'), "2147483000");
    }();
    return text;
}

// Bytes a dying copy or a damaged disk may leave: a cut, a change or junk.
QByteArray damaged(FuzzedDataProvider &in, const QByteArray &bytes)
{
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return bytes.left(in.ConsumeIntegralInRange<qsizetype>(0, bytes.size()));
    case 1: {
        QByteArray changed = bytes.isEmpty() ? QByteArray("x") : bytes;
        changed[in.ConsumeIntegralInRange<qsizetype>(0, changed.size() - 1)] ^= char(in.ConsumeIntegralInRange(1, 255));
        return changed;
    }
    default: {
        const std::string junk = in.ConsumeRandomLengthString(256);
        return QByteArray(junk.data(), qsizetype(junk.size()));
    }
    }
}

QStringList helpers(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral(".*")},
                               QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> all;
    for (const QFileInfo &f :
         QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(f.filePath());
        all.insert(f.fileName(), f.isDir()
                                     ? QByteArray("<folder>")
                                     : (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>")));
    }
    return all;
}

template <typename F> auto timed(const char *what, F &&f)
{
    QElapsedTimer timer;
    timer.start();
    auto result = f();
    if (timer.elapsed() > 5500)
        finding("waited too long:", QString::fromLatin1(what) + QStringLiteral(" %1 ms").arg(timer.elapsed()));
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString dir = QDir(workFolder()).filePath(QStringLiteral("card"));
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    write(QDir(dir).filePath(QStringLiteral("shablon.kmt")), "\xc4\xe8\xe5\xf2\xe0\r\n");
    const QString main = QDir(dir).filePath(kName + QStringLiteral(".dat"));
    static const QByteArray digestA = digestOf(version(QStringLiteral("A"))),
                            digestB = digestOf(version(QStringLiteral("B"))),
                            digestC = digestOf(version(QStringLiteral("C")));

    // 1. A save of B over A (or of a new card) stopped at a chosen step,
    // perhaps with one file failing to take its place.
    const bool existing = in.ConsumeBool();
    if (existing && vel::saveCard(version(QStringLiteral("A")), dir))
        finding("the first save failed");
    const int stopAt = in.ConsumeIntegralInRange(0, 24);
    const int failing = in.ConsumeIntegralInRange(-1, vel::kCardPartCount - 1);
    vel::setSaveStopForTesting([stopAt](int step) { return step == stopAt; });
    vel::setSaveFaultForTesting([failing](const QString &path, vel::SavePhase phase) {
        return phase == vel::SavePhase::Replace && failing >= 0 &&
               path.endsWith(vel::cardSuffixes()[static_cast<std::size_t>(failing)]);
    });
    (void)vel::saveCard(version(QStringLiteral("B")), dir);
    vel::setSaveStopForTesting({});
    vel::setSaveFaultForTesting({});

    // 2. What else the crash, the disk or another copy left.
    QString lockPath;
    {
        vel::CardLock probe(dir, kName);
        lockPath = probe.path();
    }
    const int lockKind = in.ConsumeIntegralInRange(0, 4); // none, empty and young, empty and old, dead, a folder
    switch (lockKind) {
    case 1:
    case 2:
        write(lockPath, {});
        age(lockPath, lockKind == 1 ? 2 : 120);
        break;
    case 3:
        write(lockPath, deadLockText());
        break;
    case 4:
        QDir().mkdir(lockPath);
        age(lockPath, 120);
        break;
    default:
        break;
    }
    if (in.ConsumeBool()) {
        write(lockPath + QStringLiteral(".rmlock"), in.ConsumeBool() ? deadLockText() : QByteArray());
        age(lockPath + QStringLiteral(".rmlock"), 120);
    }
    QStringList left = helpers(dir);
    left.removeAll(QFileInfo(lockPath).fileName());
    if (in.ConsumeBool() && !left.isEmpty()) {
        // A new file damaged since it was written: the journal knows it.
        const QString victim = left.at(in.ConsumeIntegralInRange<qsizetype>(0, left.size() - 1));
        if (victim.endsWith(QStringLiteral(".new"))) {
            QFile f(QDir(dir).filePath(victim));
            f.open(QIODevice::ReadOnly);
            const QByteArray bytes = f.readAll();
            f.close();
            write(QDir(dir).filePath(victim), damaged(in, bytes));
        }
    }
    const bool hostile = in.ConsumeBool() && in.ConsumeBool();
    if (hostile) {
        for (int n = in.ConsumeIntegralInRange(0, 3); n > 0 && !left.isEmpty(); --n) {
            const QString victim =
                QDir(dir).filePath(left.at(in.ConsumeIntegralInRange<qsizetype>(0, left.size() - 1)));
            if (in.ConsumeBool()) {
                QFile::remove(victim);
            } else {
                QFile f(victim);
                f.open(QIODevice::ReadOnly);
                const QByteArray bytes = f.readAll();
                f.close();
                write(victim, damaged(in, bytes));
            }
        }
    }
    const int refusal = std::array{0, 0, EROFS, ENOSPC, EACCES}[in.ConsumeIntegralInRange(0, 4)];
    if (refusal)
        vel::setLockFaultForTesting([refusal](const QString &) { return refusal; });

    // 3. The open.
    const auto before = snapshot(dir);
    const auto opened = timed("open", [&] { return vel::loadCard(main, dir); });
    if (const auto *card = std::get_if<vel::LoadedCard>(&opened)) {
        if (!hostile && card->digest != digestA && card->digest != digestB)
            finding("the open gave a mixed set");
    } else {
        const QString message = std::get<vel::ReadError>(opened).message;
        if (message.isEmpty())
            finding("an open failed without a message");
        if (!hostile && existing)
            finding("a card that had a whole version did not open:", message);
    }
    if (refusal && snapshot(dir) != before)
        finding("an open changed a folder that refuses locks");

    // 4. The save.
    const auto error = timed("save", [&] { return vel::saveCard(version(QStringLiteral("C")), dir); });
    const bool lockable = !refusal && lockKind != 4;
    if (error) {
        if (error->message.isEmpty())
            finding("a save failed without a message");
        if (!hostile && lockable)
            finding("a save failed:", error->message);
        if (lockKind == 4 && !error->message.contains(QStringLiteral("осталась блокировка от завершившейся копии")))
            finding("a dead copy's lock was not named:", error->message);
    } else if (!lockable) {
        finding("a save went ahead without its lock");
    }
    vel::setLockFaultForTesting({});

    // 5. The folder tidied as at start-up: only the card saved last is left.
    if (lockKind == 4)
        QDir().rmdir(lockPath);
    timed("start-up", [&] {
        vel::recoverFolder(dir);
        return 0;
    });
    if (!error) {
        const auto again = vel::loadCard(main, dir);
        if (vel::failed(again) || std::get<vel::LoadedCard>(again).digest != digestC)
            finding("a saved card does not open as saved");
        if (!hostile && !helpers(dir).isEmpty())
            finding("helper files left:", helpers(dir).join(QStringLiteral(", ")));
    }
    return 0;
}
