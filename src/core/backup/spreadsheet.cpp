#include "backup/spreadsheet.h"

#include "card/cardfiles.h"
#include "card/cardstore.h"
#include "numbers/progress.h"
#include "visits/bodycomposition.h"
#include "visits/bodyindex.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <climits>

namespace vel {

namespace {

// The card's values the export reads, in one place.
struct CardValues {
    QString name, birth, height, weight, visitDate, goal, nextVisit;
    int sex = -1;
    explicit CardValues(const CardState &card)
        : name(card.text(Field::Name)), birth(card.text(Field::BirthDate)), height(card.text(Field::Height)),
          weight(card.text(Field::Weight)), visitDate(card.text(Field::VisitDate)), goal(card.goal),
          nextVisit(card.nextVisit), sex(card.index(Field::Sex))
    {
    }
};

class Sheet final {
public:
    explicit Sheet(SheetStyle style) : m_style(style) { m_out = QByteArrayLiteral("\xEF\xBB\xBF"); }

    void text(const QString &value)
    {
        QString v = value;
        // A spreadsheet takes these for the start of a formula.
        if (!v.isEmpty() && QStringLiteral("=+-@\t\r").contains(v.front()))
            v.prepend(u'\'');
        cell(v);
    }
    void date(const QString &typed)
    {
        const auto d = readVisitDate(typed);
        if (!d) {
            text(typed.trimmed() == QStringLiteral(".  .") ? QString() : typed.trimmed());
            return;
        }
        date(*d);
    }
    void date(const QDate &d)
    {
        if (!d.isValid())
            return cell(QString());
        cell(d.toString(m_style == SheetStyle::Russian ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("yyyy-MM-dd")));
    }
    // A number as typed ("80,5", "80.5", "-2") keeps its digits; anything
    // else ("80 кг", "около 80") stays text as it was typed.
    void number(const QString &typed)
    {
        static const QRegularExpression plain(QStringLiteral("^-?\\d+([.,]\\d+)?$"));
        const QString t = typed.trimmed();
        if (!plain.match(t).hasMatch())
            return text(typed);
        cell(withSeparator(t));
    }
    void number(std::optional<double> value)
    {
        if (!value)
            return cell(QString());
        cell(withSeparator(QString::number(*value, 'f', 1).remove(QRegularExpression(QStringLiteral("\\.0$")))));
    }
    void endRow()
    {
        m_out += "\r\n";
        m_first = true;
    }
    QByteArray bytes() const { return m_out; }

private:
    QString withSeparator(QString t) const
    {
        return t.replace(m_style == SheetStyle::Russian ? u'.' : u',', m_style == SheetStyle::Russian ? u',' : u'.');
    }
    void cell(const QString &value)
    {
        const QChar separator = m_style == SheetStyle::Russian ? u';' : u',';
        if (!m_first)
            m_out += char(separator.unicode());
        m_first = false;
        if (value.contains(separator) || value.contains(u'"') || value.contains(u'\n') || value.contains(u'\r')) {
            QString quoted = value;
            quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            m_out += '"' + quoted.toUtf8() + '"';
        } else {
            m_out += value.toUtf8();
        }
    }

    SheetStyle m_style;
    QByteArray m_out;
    bool m_first = true;
};

const QString kSexes[] = {QStringLiteral("Мужской"), QStringLiteral("Женский")};

// The export needs only the main file, the visits with their body
// composition and the catalogue file (which keeps the goal weight and the
// next visit): those are read while no save is under way, and the card is
// read whole the window's way when a save came between or the quick reading
// fails.
Result<CardState> readForExport(const QString &mainPath, const QString &dataDir)
{
    const QString folder = QFileInfo(mainPath).absolutePath();
    const QString name = cardNameOfFile(mainPath);
    if (const auto before = quietSetIdentity(folder, name)) {
        CardState card;
        bool read = true;
        // The visits come before their body composition, which fills their rows.
        for (int part : {0, 4, 5, kBodyPart}) {
            const QString path = part == 0 ? mainPath : QDir(folder).filePath(name + cardSuffixes()[std::size_t(part)]);
            if (isOptionalPart(part) && !QFileInfo(path).isFile())
                continue;
            const FileRead file = readCardFile(path);
            read =
                file.error.isEmpty() && !cardParts()[std::size_t(part)].decode(decode1251(file.bytes), card, INT_MAX);
            if (!read)
                break;
        }
        read = read && card.text(Field::Name) == name;
        const auto after = quietSetIdentity(folder, name);
        if (read && after && *after == *before)
            return card;
    }
    auto loaded = loadCard(mainPath, dataDir);
    if (auto *e = std::get_if<ReadError>(&loaded))
        return *e;
    return std::move(std::get<LoadedCard>(loaded).card);
}

} // namespace

QString patientsFileName(SheetStyle style)
{
    return style == SheetStyle::Russian ? QStringLiteral("Пациенты.csv") : QStringLiteral("Пациенты-iso.csv");
}

QString visitsFileName(SheetStyle style)
{
    return style == SheetStyle::Russian ? QStringLiteral("Визиты.csv") : QStringLiteral("Визиты-iso.csv");
}

SpreadsheetFiles spreadsheetFiles(const QVector<CardState> &cards, SheetStyle style)
{
    Sheet patients(style), visits(style);
    for (const char *title : {"Ф.И.О.", "Дата рождения", "Пол", "Рост, см", "Первый визит", "Последний визит",
                              "Вес в начале, кг", "Вес сейчас, кг", "Целевой вес, кг", "ИМТ сейчас", "Следующий приём"})
        patients.text(QString::fromUtf8(title));
    patients.endRow();
    for (const char *title : {"Ф.И.О.", "Дата рождения", "Дата", "Вес, кг", "Объем талии, см", "Объем бедер, см",
                              "Объем жир. складки", "Здоровье", "Голод", "Объем пищи", "Стул", "Моча"})
        visits.text(QString::fromUtf8(title));
    for (const BodyMeasure &measure : kBodyMeasures)
        visits.text(QString::fromUtf8(measure.title));
    visits.endRow();

    for (const CardState &card : cards) {
        const CardValues v(card);
        QDate firstVisit, lastVisit;
        for (const QStringList &row : card.visitRows) {
            if (const auto d = readVisitDate(visitCell(row, VisitColumn::Date))) {
                firstVisit = firstVisit.isValid() ? std::min(firstVisit, *d) : *d;
                lastVisit = lastVisit.isValid() ? std::max(lastVisit, *d) : *d;
            }
        }
        if (!firstVisit.isValid()) {
            if (const auto d = readVisitDate(v.visitDate))
                firstVisit = lastVisit = *d;
        }
        const QVector<ChartPoint> weighed = weighedVisits(card.visitRows);
        const std::optional<double> typedWeight = readNumber(v.weight);
        const std::optional<double> firstWeight = weighed.isEmpty() ? typedWeight : weighed.constFirst().value;
        const std::optional<double> lastWeight = weighed.isEmpty() ? typedWeight : weighed.constLast().value;
        const auto bmi = lastWeight ? bodyMassIndex(v.height, QString::number(*lastWeight)) : std::nullopt;

        patients.text(v.name);
        patients.date(v.birth);
        patients.text(v.sex >= 0 && v.sex < 2 ? kSexes[v.sex] : QString());
        patients.number(v.height);
        patients.date(firstVisit);
        patients.date(lastVisit);
        patients.number(firstWeight);
        patients.number(lastWeight);
        patients.number(v.goal);
        patients.number(bmi ? bmi->shown : QString());
        // Columns added later go last, so that formulas over the earlier ones keep working.
        patients.date(v.nextVisit);
        patients.endRow();

        for (const QStringList &row : card.visitRows) {
            visits.text(v.name);
            visits.date(v.birth);
            // The measurements are numbers; how the patient felt, ate and so on is text.
            visits.date(visitCell(row, VisitColumn::Date));
            for (VisitColumn c : {VisitColumn::Weight, VisitColumn::Waist, VisitColumn::Hips, VisitColumn::FatFold})
                visits.number(visitCell(row, c));
            for (VisitColumn c : {VisitColumn::Health, VisitColumn::Hunger, VisitColumn::FoodVolume, VisitColumn::Stool,
                                  VisitColumn::Urine})
                visits.text(visitCell(row, c));
            // The fat mass the window works out from the weight and the percentage is written as it shows.
            for (const BodyMeasure &measure : kBodyMeasures) {
                if (measure.column == VisitColumn::FatMass && fatMassWorkedOut(row))
                    visits.number(bodyValue(row, VisitColumn::FatMass));
                else
                    visits.number(visitCell(row, measure.column));
            }
            visits.endRow();
        }
    }
    return {patients.bytes(), visits.bytes()};
}

Result<ExportResult> exportCards(const QString &dataDir, const QString &targetDir, SheetStyle style,
                                 const StepReport &report)
{
    if (targetDir.isEmpty() || !QFileInfo(targetDir).isDir())
        return ReadError{QStringLiteral("Папка \"%1\" для таблиц недоступна. Выберите другую папку.")
                             .arg(QDir::toNativeSeparators(targetDir))};
    const QDir data(dataDir);
    QStringList mains;
    for (const QString &file : data.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name))
        if (isCardMainFile(data.filePath(file)))
            mains << data.filePath(file);
    ExportResult result;
    QVector<CardState> cards;
    cards.reserve(mains.size());
    for (qsizetype i = 0; i < mains.size(); ++i) {
        if (report && !report(i, mains.size()))
            return ReadError{kExportCancelled};
        auto read = readForExport(mains.at(i), dataDir);
        if (auto *e = std::get_if<ReadError>(&read)) {
            result.unreadable << cardNameOfFile(mains.at(i)) + QStringLiteral(": ") + withFullStop(e->message);
            continue;
        }
        cards.append(std::move(std::get<CardState>(read)));
    }
    std::stable_sort(cards.begin(), cards.end(), [](const CardState &a, const CardState &b) {
        return QString::localeAwareCompare(a.text(Field::Name), b.text(Field::Name)) < 0;
    });
    const SpreadsheetFiles files = spreadsheetFiles(cards, style);
    result.cards = int(cards.size());
    result.patientsPath = QDir(targetDir).filePath(patientsFileName(style));
    result.visitsPath = QDir(targetDir).filePath(visitsFileName(style));
    for (const auto &[path, bytes] :
         {std::pair{result.patientsPath, files.patients}, {result.visitsPath, files.visits}}) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return ReadError{QStringLiteral("Не удалось записать таблицу \"%1\": %2. Закройте её в программе таблиц "
                                            "или выберите другую папку.")
                                 .arg(QDir::toNativeSeparators(path), file.errorString())};
    }
    if (report)
        report(mains.size(), mains.size());
    return result;
}

} // namespace vel
