#include "backup/terminaljobs.h"

#include "backup/backup.h"
#include "backup/retention.h"

#include <QDir>

namespace vel {

JobOutcome runBackupJob(const QString &dataDir, const QString &folder, const QString &programVersion)
{
    BackupOptions options;
    options.programVersion = programVersion;
    const auto made = makeBackup(dataDir, folder, options);
    if (const auto *e = std::get_if<ReadError>(&made))
        return {1, e->message};
    const BackupResult &r = std::get<BackupResult>(made);
    const QStringList dropped = pruneBackups(folder);
    QString text = QStringLiteral("Резервная копия записана и проверена: %1 (карточек: %2, файлов: %3).")
                       .arg(QDir::toNativeSeparators(r.archivePath))
                       .arg(r.cardCount)
                       .arg(r.fileCount);
    if (!dropped.isEmpty())
        text += QStringLiteral("\nУдалены старые копии: %1.").arg(dropped.join(QStringLiteral(", ")));
    return {0, text};
}

JobOutcome runExportJob(const QString &dataDir, const QString &folder, SheetStyle style)
{
    const auto done = exportCards(dataDir, folder, style);
    if (const auto *e = std::get_if<ReadError>(&done))
        return {1, e->message};
    const ExportResult &r = std::get<ExportResult>(done);
    QString text = QStringLiteral("Таблицы записаны: %1 и %2 (карточек: %3).")
                       .arg(QDir::toNativeSeparators(r.patientsPath), QDir::toNativeSeparators(r.visitsPath))
                       .arg(r.cards);
    if (r.unreadable.isEmpty())
        return {0, text};
    text += QStringLiteral("\nНе прочитаны и не вошли в таблицы (%1):\n%2")
                .arg(r.unreadable.size())
                .arg(r.unreadable.join(u'\n'));
    return {1, text};
}

JobOutcome runTerminalJob(const StartupRequest &request, const QString &programVersion)
{
    if (request.action == StartupRequest::Action::Backup)
        return runBackupJob(request.dataDir, request.jobFolder, programVersion);
    return runExportJob(request.dataDir, request.jobFolder, request.isoSheet ? SheetStyle::Iso : SheetStyle::Russian);
}

} // namespace vel
