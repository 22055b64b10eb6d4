#include "visits/analyserimport.h"

#include "text/linefile.h"
#include "visits/bodycomposition.h"
#include "visits/bodyindex.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace vel {

namespace {

QStringList splitCsvLine(const QString &line, QChar separator)
{
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            cells << cell.trimmed();
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells << cell.trimmed();
    return cells;
}

// The separator the header uses: ";" and tabs first, since "," may be a decimal mark.
QChar separatorOf(const QString &header)
{
    for (QChar c : {QChar(u';'), QChar(u'\t'), QChar(u',')})
        if (header.contains(c))
            return c;
    return u';';
}

// The field a column name stands for, the most particular names first.
int fieldOf(const QString &name)
{
    const QString n = name.toLower();
    auto has = [&n](std::initializer_list<const char16_t *> words) {
        return std::any_of(words.begin(), words.end(),
                           [&n](const char16_t *w) { return n.contains(QString::fromUtf16(w)); });
    };
    if (has({u"дата", u"date", u"день", u"day"}))
        return int(ImportField::Date);
    if (has({u"visceral", u"висц"}))
        return int(ImportField::VisceralFat);
    if (has({u"muscle", u"мышц", u"мышеч", u"smm"}))
        return int(ImportField::MuscleMass);
    if (has({u"water", u"вод", u"tbw"}))
        return int(ImportField::Water);
    if (has({u"fat", u"жир"}))
        return has({u"%", u"percent", u"процент", u"pbf"}) ? int(ImportField::FatPercent) : int(ImportField::FatMass);
    if (has({u"weight", u"вес", u"масса тела"}))
        return int(ImportField::Weight);
    return -1;
}

QString numberText(const QString &cell)
{
    const auto v = readNumber(cell);
    return v ? decimalText(*v) : QString();
}

VisitColumn columnOf(ImportField f)
{
    switch (f) {
    case ImportField::Weight:
        return VisitColumn::Weight;
    case ImportField::FatPercent:
        return VisitColumn::FatPercent;
    case ImportField::FatMass:
        return VisitColumn::FatMass;
    case ImportField::MuscleMass:
        return VisitColumn::MuscleMass;
    case ImportField::Water:
        return VisitColumn::Water;
    case ImportField::VisceralFat:
    case ImportField::Date:
        break;
    }
    return VisitColumn::VisceralFat;
}

} // namespace

QString decodeCsvText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decode1251(bytes);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    return text;
}

CsvTable readCsv(const QString &text)
{
    CsvTable table;
    QChar separator;
    for (const QString &line : splitLines(text)) {
        if (line.trimmed().isEmpty())
            continue;
        if (separator.isNull()) {
            separator = separatorOf(line);
            table.header = splitCsvLine(line, separator);
            continue;
        }
        table.rows << splitCsvLine(line, separator);
    }
    return table;
}

ImportColumns guessColumns(const QStringList &header)
{
    ImportColumns columns;
    columns.fill(-1);
    for (int c = 0; c < header.size(); ++c) {
        const int f = fieldOf(header.at(c));
        if (f >= 0 && columns[static_cast<std::size_t>(f)] < 0)
            columns[static_cast<std::size_t>(f)] = c;
    }
    return columns;
}

QDate readExportDate(const QString &text)
{
    const QString day = text.trimmed().section(QRegularExpression(QStringLiteral("[ T]")), 0, 0);
    for (const char *format : {"d.M.yyyy", "yyyy-M-d", "d/M/yyyy", "yyyy/M/d", "d-M-yyyy", "d.M.yy"}) {
        QDate date = QDate::fromString(day, QLatin1String(format));
        if (date.isValid()) {
            if (date.year() < 1950)
                date = date.addYears(100); // "d.M.yy" reads 24 as 1924
            return date;
        }
    }
    return {};
}

QVector<Measurement> readMeasurements(const CsvTable &table, const ImportColumns &columns, int *skipped)
{
    QVector<Measurement> measurements;
    int bad = 0;
    for (const QStringList &row : table.rows) {
        Measurement m;
        m.date = readExportDate(row.value(columns[0]));
        if (!m.date.isValid()) {
            ++bad;
            continue;
        }
        bool any = false;
        for (int f = 1; f < kImportFields; ++f) {
            const int c = columns[static_cast<std::size_t>(f)];
            m.values[static_cast<std::size_t>(f - 1)] = c >= 0 ? numberText(row.value(c)) : QString();
            any = any || !m.values[static_cast<std::size_t>(f - 1)].isEmpty();
        }
        if (any)
            measurements << m;
        else
            ++bad;
    }
    if (skipped)
        *skipped = bad;
    return measurements;
}

ImportOutcome mergeMeasurements(const QVector<QStringList> &visitRows, const QVector<Measurement> &measurements)
{
    ImportOutcome out;
    out.visitRows = visitRows;
    auto rowDate = [](const QStringList &row) { return readVisitDate(visitCell(row, VisitColumn::Date)); };
    for (const Measurement &m : measurements) {
        int r = 0;
        while (r < out.visitRows.size() && rowDate(out.visitRows.at(r)) != m.date)
            ++r;
        if (r < out.visitRows.size()) {
            ++out.matched;
        } else {
            // After the last visit on or before that day.
            r = int(out.visitRows.size());
            while (r > 0) {
                const auto d = rowDate(out.visitRows.at(r - 1));
                if (d && *d <= m.date)
                    break;
                --r;
            }
            QStringList fresh(kVisitColumns);
            fresh[int(VisitColumn::Date)] = m.date.toString(QStringLiteral("dd.MM.yyyy"));
            out.visitRows.insert(r, fresh);
            ++out.added;
        }
        QStringList &row = out.visitRows[r];
        if (row.size() < kVisitRowCells)
            row.resize(kVisitRowCells);
        for (int f = 1; f < kImportFields; ++f) {
            const QString &value = m.values[static_cast<std::size_t>(f - 1)];
            const int column = int(columnOf(ImportField(f)));
            if (value.isEmpty() || (ImportField(f) == ImportField::Weight && !row.at(column).trimmed().isEmpty()))
                continue;
            row[column] = value;
        }
    }
    return out;
}

} // namespace vel
