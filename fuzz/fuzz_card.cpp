// Feeds arbitrary bytes as the six files of a card and the template files to
// the same reading code that opening a card and the template editor use.
// Every input must either open or give a message; nothing may crash or hang.
#include "card/cardfiles.h"
#include "visits/templatestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

void writeFile(const QString &path, const std::string &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes.data(), qint64(bytes.size()));
}

} // namespace

// The input is the files one after another, separated by "|~|": the main
// file, .tb1, .tb2, .vit, .prp, .rec, shablon.kmt, shablon1.txt. A file
// whose part is missing does not exist.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
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
            writeFile(names[i], files.at(i).toStdString());
        else
            QFile::remove(names[i]);
    }

    const auto card = vel::loadCard(base, dir.path());
    if (const auto *loaded = std::get_if<vel::LoadedCard>(&card)) {
        // What opened saves again, unless a value has no Windows-1251 byte.
        QDir(dir.path()).mkpath(QStringLiteral("out"));
        (void)vel::saveCard(loaded->card, dir.filePath(QStringLiteral("out")));
    }
    (void)vel::readTemplateList(dir.path());
    (void)vel::readTemplateText(dir.path(), 1);
    return 0;
}
