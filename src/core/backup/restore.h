#pragma once

#include "backup/backup.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Bringing cards back from a backup. The whole archive is read and checked
// before anything is written; a damaged one is refused with the damaged file
// named. A card the data folder holds in another version is moved to the
// trash before the archived one is written, so nothing is lost either way.

namespace vel {

struct ArchivedCard {
    QString fileName;  // the card's name in file names: "<fileName>.dat"
    QString name;      // the patient's full name as the card holds it
    QString birth;     // as typed, "" when blank
    QString lastVisit; // the last visit's date, else the card's visit date
    enum class InFolder { Absent, Same, Different };
    InFolder inFolder = InFolder::Absent;
};

struct BackupListing {
    Manifest manifest;
    QVector<ArchivedCard> cards; // in the order of their names
    int otherFiles = 0;          // templates and other files
};

// Reads and checks the archive and lists its cards against the data folder.
Result<BackupListing> listBackup(const QString &archivePath, const QString &dataDir, const StepReport &report = {});

struct RestoreOutcome {
    int restored = 0;   // cards written
    int unchanged = 0;  // cards the folder already held as they are
    int movedAside = 0; // cards (and files) of the folder moved to the trash first
    int otherFiles = 0; // other files written
};

// Restores the named cards (by fileName), or with `everything` every card, into
// the data folder; with `everything` or `otherFiles` the templates and other
// files of the archive too.
Result<RestoreOutcome> restoreFromBackup(const QString &archivePath, const QString &dataDir,
                                         const QStringList &cardFileNames, bool everything,
                                         const StepReport &report = {}, bool otherFiles = false);

} // namespace vel
