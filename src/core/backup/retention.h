#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Which automatic backups to keep: the newest of each of the last 7 days
// that have one, of each of the last 4 weeks that have one, and of each of
// the last 12 months that have one. Days without a backup do not use up a
// place, so copies that stopped for a while are not all thrown away.

namespace vel {

struct Retention {
    int daily = 7;
    int weekly = 4;
    int monthly = 12;
};

// Of the given file names, those to delete. Names that are not archives of
// this program are never chosen.
QStringList archivesToDelete(const QStringList &fileNames, const Retention &rule = {});

// Applies the rule to the archives of a backup folder; returns the names of
// the archives deleted.
QStringList pruneBackups(const QString &folder, const Retention &rule = {});

} // namespace vel
