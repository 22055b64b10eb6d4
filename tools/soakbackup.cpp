// Makes backups of one data folder in a loop, to be killed at random moments
// (scripts/soak-backup), and checks what the kills left.
//   velsoakbackup backup DATA TARGET   backs up until killed
//   velsoakbackup check TARGET CARDS   reads and checks every archive with a
//                                      final name; exit status 0 when all pass
//                                      and each holds CARDS cards
#include "backup/backup.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace vel;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("backup") && args.size() == 4) {
        BackupOptions options;
        options.programVersion = QStringLiteral("soak");
        for (;;) {
            options.now = QDateTime::currentDateTime();
            const auto made = makeBackup(args.at(2), args.at(3), options);
            if (const auto *e = std::get_if<ReadError>(&made)) {
                std::fprintf(stderr, "%s\n", qPrintable(e->message));
                return 3;
            }
        }
    }
    if (args.value(1) == QLatin1String("check") && args.size() == 4) {
        const QDir target(args.at(2));
        const int cards = args.at(3).toInt();
        int checked = 0, bad = 0;
        for (const QString &name : target.entryList(QDir::Files)) {
            if (!archiveTime(name).isValid())
                continue;
            ++checked;
            const auto read = readBackup(target.filePath(name), [](const QString &) { return false; });
            if (const auto *e = std::get_if<ReadError>(&read)) {
                std::printf("BAD %s: %s\n", qPrintable(name), qPrintable(e->message));
                ++bad;
            } else if (std::get<ArchiveContents>(read).manifest.cardCount != cards) {
                std::printf("BAD %s: %d cards\n", qPrintable(name), std::get<ArchiveContents>(read).manifest.cardCount);
                ++bad;
            }
        }
        std::printf("%d archives checked, %d bad\n", checked, bad);
        return bad == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: velsoakbackup backup DATA TARGET | check TARGET CARDS\n");
    return 2;
}
