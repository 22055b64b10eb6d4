#pragma once

#include "backup/backup.h"
#include "card/cardstate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The cards out to a spreadsheet: one file of patients (a row per card) and
// one of visits (a row per visit of every card). Dates and numbers are
// written so that a spreadsheet reads them as dates and numbers, and a cell
// that a spreadsheet would take for a formula is kept as text.

namespace vel {

inline const QString kExportCancelled = QStringLiteral("Экспорт отменён; таблицы не записаны.");

enum class SheetStyle {
    Russian, // ";" between cells, decimal comma, dates dd.MM.yyyy
    Iso,     // "," between cells, decimal point, dates yyyy-MM-dd
};

struct SpreadsheetFiles {
    QByteArray patients;
    QByteArray visits;
};

// UTF-8 with a byte order mark, CR LF after every row, RFC 4180 quoting.
SpreadsheetFiles spreadsheetFiles(const QVector<CardState> &cards, SheetStyle style);

// The file names in the target folder.
QString patientsFileName(SheetStyle style);
QString visitsFileName(SheetStyle style);

struct ExportResult {
    QString patientsPath, visitsPath;
    int cards = 0;
    QStringList unreadable; // "name: why" of cards that could not be read
};

// Reads every card of the data folder and writes both files into the target
// folder, each whole or not at all. A card that cannot be read is left out
// and named in the result.
Result<ExportResult> exportCards(const QString &dataDir, const QString &targetDir, SheetStyle style,
                                 const StepReport &report = {});

} // namespace vel
