// Feeds arbitrary bytes as the six files of a card and the template files to
// the same reading code that opening a card and the template editor use.
// Every input must either open or give a message; nothing may crash or hang.
// What opens must save, open and save again to the very same bytes.
#include "card/cardfiles.h"
#include "visits/templatestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// Files in memory where there is such a folder: the fuzzer writes thousands
// of card sets a second.
QString workFolder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_card-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_card-XXXXXX"));
    return dir.path();
}

// Saves a card into a fresh folder and returns the written set, or nothing
// when the card cannot be stored (a value without a Windows-1251 byte).
std::optional<vel::SetBytes> saveInto(const vel::CardState &card, const QString &folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    if (vel::saveCard(card, folder))
        return std::nullopt;
    vel::SetBytes files;
    const QStringList paths =
        vel::cardSetPaths(QDir(folder).filePath(card.text(vel::Field::Name) + QStringLiteral(".dat")));
    for (int i = 0; i < vel::kCardPartCount; ++i) {
        QFile f(paths.at(i));
        if (vel::isOptionalPart(i) && !f.exists())
            continue; // a part the card does not have
        if (!f.open(QIODevice::ReadOnly))
            std::abort();
        files[static_cast<std::size_t>(i)] = f.readAll();
    }
    return files;
}

} // namespace

// The input is the files one after another, separated by "|~|": the main
// file, .tb1, .tb2, .vit, .prp, .rec, shablon.kmt, shablon1.txt. A file
// whose part is missing does not exist.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDir dir(workFolder());
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> files;
    const QByteArray marker("|~|");
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = input.indexOf(marker, from);
        files << input.mid(from, at < 0 ? -1 : at - from);
        if (at < 0)
            break;
        from = at + marker.size();
    }

    const QString base = dir.filePath(QStringLiteral("card.dat"));
    const QString names[] = {base,
                             base + QStringLiteral(".tb1"),
                             base + QStringLiteral(".tb2"),
                             base + QStringLiteral(".vit"),
                             base + QStringLiteral(".prp"),
                             base + QStringLiteral(".rec"),
                             dir.filePath(QStringLiteral("shablon.kmt")),
                             dir.filePath(QStringLiteral("shablon1.txt"))};
    for (int i = 0; i < 8; ++i) {
        if (i < files.size())
            writeFile(names[i], files.at(i));
        else
            QFile::remove(names[i]);
    }

    const auto card = vel::loadCard(base, dir.path());
    if (const auto *loaded = std::get_if<vel::LoadedCard>(&card)) {
        const QString first = dir.filePath(QStringLiteral("out1")), second = dir.filePath(QStringLiteral("out2"));
        if (const auto saved = saveInto(loaded->card, first)) {
            const QString name = loaded->card.text(vel::Field::Name);
            const auto again = vel::loadCard(QDir(first).filePath(name + QStringLiteral(".dat")), dir.path());
            const auto *reloaded = std::get_if<vel::LoadedCard>(&again);
            if (!reloaded) {
                std::fprintf(stderr, "a saved card does not open again: %s\n",
                             qPrintable(std::get<vel::ReadError>(again).message));
                std::abort();
            }
            const auto resaved = saveInto(reloaded->card, second);
            if (!resaved || *resaved != *saved) {
                std::fprintf(stderr, "open, save, open, save changed the card's bytes\n");
                std::abort();
            }
        }
    }
    (void)vel::readTemplateList(dir.path());
    (void)vel::readTemplateText(dir.path(), 1);
    return 0;
}
