#pragma once

#include "text/linefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

// A backup is one zip archive of the data folder: the cards and templates
// under the folder "Картотека/", and a manifest naming every file with its
// size and SHA-256, the number of cards and the program's version. It is
// written under a hidden temporary name, synced, read back and checked file
// by file against what was read from the folder, and only then given its
// final name, so an archive with a final name has always passed its check.

namespace vel {

// Told how far a long run is (done of total steps); returning false cancels it.
using StepReport = std::function<bool(qint64 done, qint64 total)>;

// What a run stopped through its report returns: the doctor asked for it.
inline const QString kBackupCancelled =
    QStringLiteral("Создание резервной копии отменено; незаконченный архив удалён.");
inline const QString kReadingCancelled = QStringLiteral("Чтение резервной копии отменено; ничего не записано.");

inline const QString kArchiveDataFolder = QStringLiteral("Картотека/");
inline const QString kManifestName = QStringLiteral("velnokasi-backup.json");

struct ManifestFile {
    QString path; // inside the data folder, "/" between folders
    qint64 size = 0;
    QByteArray sha256; // hex
    bool operator==(const ManifestFile &o) const { return path == o.path && size == o.size && sha256 == o.sha256; }
};

struct Manifest {
    QString programVersion;
    QDateTime created;
    int cardCount = 0;
    QVector<ManifestFile> files;
};

QByteArray manifestJson(const Manifest &manifest);
std::optional<Manifest> manifestFromJson(const QByteArray &json);

// "Картотека 2026-12-08 10-35-12.zip"; the time is local.
QString archiveName(const QDateTime &when);
// The moment an archive name stands for; invalid for any other file name.
QDateTime archiveTime(const QString &fileName);

struct BackupResult {
    QString archivePath;
    int cardCount = 0;
    int fileCount = 0;
    qint64 bytes = 0; // of the files backed up
};

struct BackupOptions {
    QString programVersion;
    QDateTime now = QDateTime::currentDateTime();
    StepReport report; // may be empty
};

// Backs the data folder up into the target folder. The recovery copies,
// the deleted cards, hidden helper files and the target folder itself (if it
// lies inside) are left out. A card being saved meanwhile is taken as one
// whole set, before or after that save. Cancelled or failed, it leaves no
// archive behind; the message says what failed and what to do.
Result<BackupResult> makeBackup(const QString &dataDir, const QString &targetDir, const BackupOptions &options);

// An archive read whole and checked against its manifest. `keep` chooses the
// files (paths in the data folder) whose bytes are kept.
struct ArchiveContents {
    Manifest manifest;
    QHash<QString, QByteArray> kept;
};
Result<ArchiveContents> readBackup(const QString &archivePath, const std::function<bool(const QString &path)> &keep,
                                   const StepReport &report = {});

// Test hook: called after each file written into the archive, and before
// the check and the final name (with an empty path); returning false stops
// the backup there as a crash would, leaving the temporary file.
void setBackupStopForTesting(std::function<bool(const QString &path)> stop);

} // namespace vel
