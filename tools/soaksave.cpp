// Saves one card over and over, each time a new version whose every file
// differs from the one before, so that a set mixing two saves is caught.
//   velsoak save DIR [large]   saves until killed
//   velsoak check DIR [large]  opens the card first as from a read-only
//                              folder (one version, whole, nothing changed),
//                              then as the program would, and checks the
//                              files are one version (the body composition
//                              file there or not as that version has it) and
//                              no helper file is left; exit status 0 when so
#include "card/cardfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>

#include <cerrno>
#include <cstdio>

using namespace vel;

namespace {

const QString kName = QStringLiteral("Проверочная Карточка");

CardState version(int v, bool large)
{
    const QString tag = QStringLiteral("v%1").arg(v);
    CardState c;
    c.setText(vel::Field::Name, kName);
    c.setText(vel::Field::Address, tag);
    c.setText(vel::Field::Notes, QStringLiteral("Примечания ") + tag);
    c.preparations = QStringLiteral("Препараты ") + tag + (large ? QString(200000, u'ж') : QString());
    c.recommendations = QStringLiteral("Рекомендации ") + tag;
    const int rows = large ? 3000 : 2;
    for (int r = 0; r < rows; ++r) {
        c.diagnosticRows << QStringList{tag, QStringLiteral("1"), QStringLiteral("2")};
        c.visitRows << QStringList{tag, QStringLiteral("80"), {}, {}, {}, {}, {}, {}, {}, {}};
        // Body composition in two versions of three: the optional file comes
        // and goes between saves.
        if (v % 3 != 0)
            c.visitRows.last() << QString::number(20 + v % 7) << QString() << QString() << QString() << QString();
    }
    // The catalogue file holds only numbers: the box without a line of its
    // own differs between one version and the next.
    // The anamnesis item kept after the 225 numbered lines flips too.
    for (std::size_t row = 0; row < vel::kCatalogue.size(); ++row)
        if (vel::kCatalogue[row].storageLine == 0)
            c.anamnesis[row] = v % 2;
    return c;
}

SetBytes encoded(const CardState &card)
{
    SetBytes files;
    for (int i = 0; i < kCardPartCount; ++i)
        files[static_cast<std::size_t>(i)] = *encode1251(cardParts()[static_cast<std::size_t>(i)].fileText(card));
    return files;
}

QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> all;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(QDir(dir).filePath(name));
        all.insert(name, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return all;
}

// Where no lock can be made, a save stopped half-way cannot be finished: the
// open must still give one version whole and change nothing.
int checkReadOnly(const QString &dir, bool large)
{
    const QString main = QDir(dir).filePath(kName + QStringLiteral(".dat"));
    if (!QFile::exists(main))
        return 0;
    const auto before = snapshot(dir);
    setLockFaultForTesting([](const QString &) { return EROFS; });
    const auto loaded = loadCard(main, dir);
    setLockFaultForTesting({});
    if (snapshot(dir) != before) {
        std::printf("MIXED read-only open changed the folder\n");
        return 1;
    }
    if (const auto *e = std::get_if<ReadError>(&loaded)) {
        std::printf("MIXED read-only open failed: %s\n", qPrintable(e->message));
        return 1;
    }
    const LoadedCard &card = std::get<LoadedCard>(loaded);
    const int v = card.card.text(vel::Field::Address).mid(1).toInt();
    if (card.digest != setDigest(encoded(version(v, large)))) {
        std::printf("MIXED read-only open gave a mix around version %d\n", v);
        return 1;
    }
    return 0;
}

int check(const QString &dir, bool large)
{
    if (const int status = checkReadOnly(dir, large))
        return status;
    const QString main = QDir(dir).filePath(kName + QStringLiteral(".dat"));
    int version = -1;
    if (QFile::exists(main)) {
        const auto loaded = loadCard(main, dir);
        if (const auto *e = std::get_if<ReadError>(&loaded)) {
            std::printf("MIXED cannot open: %s\n", qPrintable(e->message));
            return 1;
        }
        version = std::get<LoadedCard>(loaded).card.text(vel::Field::Address).mid(1).toInt();
        const SetBytes expected = encoded(::version(version, large));
        const QStringList paths = cardSetPaths(main);
        for (int i = 0; i < kCardPartCount; ++i) {
            QFile f(paths.at(i));
            if (absentPart(i, expected[static_cast<std::size_t>(i)])
                    ? f.exists()
                    : !f.open(QIODevice::ReadOnly) || f.readAll() != expected[static_cast<std::size_t>(i)]) {
                std::printf("MIXED %s is not version %d\n", qPrintable(paths.at(i)), version);
                return 1;
            }
        }
    } else {
        recoverFolder(dir);
    }
    const QStringList files = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &file : files) {
        if (file != QStringLiteral("shablon.kmt") && !cardSetPaths(main).contains(QDir(dir).filePath(file))) {
            std::printf("STRAY %s\n", qPrintable(file));
            return 2;
        }
    }
    if (version < 0 && files.size() > 1) {
        std::printf("MIXED side files without a main file\n");
        return 1;
    }
    std::printf("ok %d\n", version);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 64;
    const QString dir = args.at(2);
    const bool large = args.size() > 3 && args.at(3) == QStringLiteral("large");
    if (args.at(1) == QStringLiteral("check"))
        return check(dir, large);
    // Go on from the version on disk, so that every save changes every file.
    int v = 0;
    const auto loaded = loadCard(QDir(dir).filePath(kName + QStringLiteral(".dat")), dir);
    if (const auto *card = std::get_if<LoadedCard>(&loaded))
        v = card->card.text(vel::Field::Address).mid(1).toInt() + 1;
    for (;; ++v) {
        if (auto error = saveCard(version(v, large), dir)) {
            std::fprintf(stderr, "%s\n", qPrintable(error->message));
            return 1;
        }
    }
}
