#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// Reading a body composition analyser's export: a CSV file of one
// measurement a line (date, weight, fat %, muscle mass, water %, visceral
// fat and the like), its columns named in a header line. The separator (";",
// "," or a tab) and the decimal mark ("," or ".") are taken as they come;
// which column holds what is the doctor's choice, guessed from the names.
// Pure: the window reads the file and asks for the columns.

namespace vel {

// What a column may hold; each goes to the visit table's column of that name.
enum class ImportField { Date, Weight, FatPercent, FatMass, MuscleMass, Water, VisceralFat };
inline constexpr int kImportFields = 7;

struct CsvTable {
    QStringList header;
    QVector<QStringList> rows;
};

// UTF-8 (with or without its mark) where the bytes are that, else Windows-1251.
QString decodeCsvText(const QByteArray &bytes);
// The first non-empty line is the header; quoted cells may hold the separator.
CsvTable readCsv(const QString &text);

// The column of each field, -1 for none, by the header's names in Russian
// or English ("Дата", "Weight (kg)", "Body Fat %", "Висцеральный жир").
using ImportColumns = std::array<int, kImportFields>;
ImportColumns guessColumns(const QStringList &header);

// A date as analysers write it: "05.03.2024", "2024-03-05", "05/03/2024",
// with a time after it or not.
QDate readExportDate(const QString &text);

struct Measurement {
    QDate date;
    // By ImportField after the date, as the card writes numbers ("31,5"); "" when not given.
    std::array<QString, kImportFields - 1> values;
};
// The lines with a readable date; the others are counted as skipped.
QVector<Measurement> readMeasurements(const CsvTable &table, const ImportColumns &columns, int *skipped = nullptr);

struct ImportOutcome {
    QVector<QStringList> visitRows;
    int matched = 0; // measurements put into a visit of the same day
    int added = 0;   // visits added for days without one
};
// A measurement goes into the visit of its day, else into a new visit in
// date order. The analyser's values replace the body composition; a weight
// already written stays.
ImportOutcome mergeMeasurements(const QVector<QStringList> &visitRows, const QVector<Measurement> &measurements);

} // namespace vel
