#pragma once

#include "backup/spreadsheet.h"
#include "startup/commandline.h"

#include <QString>

// The backup and the export run from the command line, for a scheduled job:
// no window, the outcome as a line of text and an exit status.

namespace vel {

struct JobOutcome {
    int exitStatus = 0; // 0 done, 1 failed
    QString message;    // for the terminal, in Russian
};

// A backup of the data folder into the folder, then the older archives
// thinned out by the retention rule.
JobOutcome runBackupJob(const QString &dataDir, const QString &folder, const QString &programVersion);
// Both spreadsheet files into the folder. A card that could not be read
// makes the job fail after writing the rest, so that it is noticed.
JobOutcome runExportJob(const QString &dataDir, const QString &folder, SheetStyle style);

// The job the command line asks for (--backup or --export).
JobOutcome runTerminalJob(const StartupRequest &request, const QString &programVersion);

} // namespace vel
