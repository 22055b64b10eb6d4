#pragma once

#include <QDateTime>
#include <QString>

// Where the backups go and how they went, kept in the user's settings
// (organisation and application "velnokasi", like the recent cards).

namespace vel {

struct BackupSettings {
    QString folder;        // chosen once by the doctor; empty: not yet
    bool automatic = true; // a copy on exit, at most once a day
    QDateTime lastGood;    // the last copy written and checked
    QDateTime lastAttempt; // the last automatic try, good or not
    QString lastFailure;   // why the last copy failed; empty after a good one

    static BackupSettings load();
    void save() const;
};

// Whether leaving the program now makes an automatic copy.
bool automaticBackupDue(const BackupSettings &settings, const QDateTime &now);

// The status bar's warning, or an empty text when all is well: no folder
// chosen, the last copy failed, or the last good copy is older than 7 days.
QString backupWarning(const BackupSettings &settings, const QDateTime &now);

} // namespace vel
