#include "card/cardfiles.h"

#include "tables/catalogue.h"
#include "tables/fields.h"
#include "tables/questions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace vel {

namespace {

QString flagLine(bool ticked)
{
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

// Catalogue rows by storage line; index 0 stays empty.
const std::array<const CatalogueControl *, kVitaeLines + 1> &vitaeOrder()
{
    static const auto order = [] {
        std::array<const CatalogueControl *, kVitaeLines + 1> rows{};
        for (const CatalogueControl &c : kCatalogue)
            if (c.storageLine > 0 && c.storageLine <= kVitaeLines)
                rows[static_cast<std::size_t>(c.storageLine)] = &c;
        return rows;
    }();
    return order;
}

// The box without a line of its own in older files; newer files keep it as
// an extra last line, which older readers ignore.
const char *const kExtraVitaeBox = "KonBox";
// After it, newer files keep the activity level (a drop-down's index) and the
// goal weight as typed; older files open with neither.
const char *const kActivityBox = "AktivBox";
const char *const kGoalEdit = "CelEdit";
constexpr int kActivityLevels = 5; // sedentary to very active

int roundHalfEven(int numerator, int denominator)
{
    int q = numerator / denominator;
    const int twiceRem = 2 * (numerator % denominator);
    if (twiceRem > denominator || (twiceRem == denominator && q % 2 != 0))
        ++q;
    return q;
}

// Cuts a table file into rows; a file too short for its own row count stops
// at the first missing entry.
Result<QVector<QStringList>> tableRows(const QStringList &lines, int rows, int columns)
{
    QVector<QStringList> table;
    for (int r = 0; r < rows; ++r) {
        const int first = columns * r;
        if (first + columns > lines.size())
            return ReadError{indexOutOfBoundsMessage(std::max(first, int(lines.size())))};
        table << lines.mid(first, columns);
    }
    return table;
}

int fieldItemCount(const char *control, int templateCount)
{
    if (std::strcmp(control, "TypeBox") == 0)
        return int(kBodyBuilds.size());
    if (std::strcmp(control, "ShabBox") == 0)
        return templateCount;
    const QuestionGroup *g = findQuestionGroup(control);
    return g ? g->itemCount() : 0;
}

bool isDropDown(const char *control)
{
    return std::strcmp(control, "TypeBox") == 0 || std::strcmp(control, "ShabBox") == 0;
}

SaveError unstorable(const QString &label)
{
    return {QStringLiteral("Поле \"%1\" содержит символы, которые нельзя сохранить в кодировке Windows-1251. "
                           "Замените их и сохраните карточку снова!")
                .arg(label),
            true};
}

SaveFault &saveFault()
{
    static SaveFault fault;
    return fault;
}

bool injected(const QString &path, SavePhase phase)
{
    return saveFault() && saveFault()(path, phase);
}

// The card name becomes a file name in the card's folder.
bool isUsableCardName(const QString &name)
{
    const bool control = std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
    return !name.isEmpty() && !control && !name.contains(u'/') && !name.contains(u'\\') && name != u"." &&
           name != u"..";
}

SaveError brokenLine(const QString &label)
{
    return {QStringLiteral("Поле \"%1\" содержит перевод строки, а оно хранится одной строкой. "
                           "Уберите перевод строки и сохраните карточку снова!")
                .arg(label),
            true};
}

} // namespace

QStringList encodeMainFile(const CardState &card)
{
    QStringList lines;
    lines.reserve(kCardFieldCount);
    for (const FieldDef &f : kCardFields) {
        const QString name = QLatin1String(f.control);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::Notes:
            lines << card.text(name);
            break;
        case FieldKind::DateText: {
            const QString t = card.text(name);
            lines << (t.isEmpty() ? QString::fromLatin1(kBlankDate) : t);
            break;
        }
        case FieldKind::Index:
            lines << QString::number(card.index(name));
            break;
        case FieldKind::Flag:
            lines << flagLine(card.flag(name));
            break;
        }
    }
    return lines;
}

QStringList encodeDiagnostic(const CardState &card)
{
    QStringList lines;
    const auto &rows = card.diagnosticRows;
    // The table always has at least one row.
    if (rows.isEmpty())
        return {QString(), QString(), QString()};
    for (const QStringList &row : rows)
        for (int j = 0; j < kDiagnosticColumns; ++j)
            lines << row.value(j);
    return lines;
}

QStringList encodeVisits(const CardState &card)
{
    QStringList lines;
    for (const QStringList &row : card.visitRows)
        for (int j = 0; j < kVisitColumns; ++j)
            lines << row.value(j);
    return lines;
}

QStringList encodeVitae(const CardState &card)
{
    QStringList lines;
    lines.reserve(kVitaeLines + 1);
    for (int line = 1; line <= kVitaeLines; ++line) {
        const CatalogueControl *c = vitaeOrder()[static_cast<std::size_t>(line)];
        const QString name = QLatin1String(c->name);
        lines << (c->kind == CatalogueKind::Check ? flagLine(card.flag(name)) : QString::number(card.index(name)));
    }
    lines << flagLine(card.flag(QLatin1String(kExtraVitaeBox)));
    lines << QString::number(card.index(QLatin1String(kActivityBox)));
    lines << card.text(QLatin1String(kGoalEdit));
    return lines;
}

int radioIndexFromStored(int stored, int itemCount)
{
    if (stored < -1)
        return -1;
    if (stored >= itemCount)
        return itemCount - 1;
    return stored;
}

int listIndexFromStored(int stored, int itemCount)
{
    return stored >= 0 && stored < itemCount ? stored : -1;
}

Result<LoadedCard> loadCard(const QString &mainPath, const QString &dataDir)
{
    LoadedCard loaded;
    CardState &card = loaded.card;

    auto titles = readListFile(QDir(dataDir).filePath(QStringLiteral("shablon.kmt")));
    if (auto *e = std::get_if<ReadError>(&titles))
        return *e;
    loaded.templateTitles = std::get<QStringList>(titles);

    auto mainRead = readListFile(mainPath);
    if (auto *e = std::get_if<ReadError>(&mainRead))
        return *e;
    const QStringList main = std::get<QStringList>(mainRead);
    if (main.isEmpty())
        return ReadError{indexOutOfBoundsMessage(0)};
    const QString name = main.first();
    if (!isUsableCardName(name))
        return ReadError{
            cannotOpenMessage(QFileInfo(mainPath).absoluteFilePath(), QStringLiteral("Invalid card name in line 1"))};

    const QString base = QFileInfo(mainPath).absoluteDir().filePath(name + QStringLiteral(".dat"));
    QStringList side[3];
    const char *const listSuffixes[3] = {".tb1", ".tb2", ".vit"};
    for (int i = 0; i < 3; ++i) {
        auto r = readListFile(base + QLatin1String(listSuffixes[i]));
        if (auto *e = std::get_if<ReadError>(&r))
            return *e;
        side[i] = std::get<QStringList>(r);
    }

    const int templateCount = int(loaded.templateTitles.size());
    for (int i = 0; i < kCardFieldCount; ++i) {
        const FieldDef &f = kCardFields[static_cast<std::size_t>(i)];
        if (i >= main.size())
            return ReadError{indexOutOfBoundsMessage(i)};
        const QString &line = main.at(i);
        const QString control = QLatin1String(f.control);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::DateText:
            card.texts.insert(control, line);
            break;
        case FieldKind::Notes:
            // Notes of several lines continue to the end of the file.
            card.texts.insert(control, main.mid(i).join(u'\n'));
            break;
        case FieldKind::Index: {
            const auto v = toInt(line);
            if (!v)
                return ReadError{notAnIntegerMessage(line)};
            const int n = fieldItemCount(f.control, templateCount);
            card.indices.insert(control,
                                isDropDown(f.control) ? listIndexFromStored(*v, n) : radioIndexFromStored(*v, n));
            break;
        }
        case FieldKind::Flag: {
            const auto v = toInt(line);
            if (!v)
                return ReadError{notAnIntegerMessage(line)};
            card.flags.insert(control, *v == 1);
            break;
        }
        }
    }

    for (const char *suffix : {".prp", ".rec"}) {
        auto r = readTextFile(base + QLatin1String(suffix));
        if (auto *e = std::get_if<ReadError>(&r))
            return *e;
        const QString text = memoFromFileText(std::get<QString>(r));
        (std::strcmp(suffix, ".prp") == 0 ? card.preparations : card.recommendations) = text;
    }

    auto diagnostic = tableRows(side[0], std::max(1, roundHalfEven(int(side[0].size()), kDiagnosticColumns)),
                                kDiagnosticColumns);
    if (auto *e = std::get_if<ReadError>(&diagnostic))
        return *e;
    card.diagnosticRows = std::get<QVector<QStringList>>(diagnostic);
    auto visits = tableRows(side[1], roundHalfEven(int(side[1].size()), kVisitColumns), kVisitColumns);
    if (auto *e = std::get_if<ReadError>(&visits))
        return *e;
    card.visitRows = std::get<QVector<QStringList>>(visits);

    const QStringList &vit = side[2];
    for (int line = 1; line <= kVitaeLines; ++line) {
        if (line > vit.size())
            return ReadError{indexOutOfBoundsMessage(line - 1)};
        const QString &text = vit.at(line - 1);
        const auto v = toInt(text);
        if (!v)
            return ReadError{notAnIntegerMessage(text)};
        const CatalogueControl *c = vitaeOrder()[static_cast<std::size_t>(line)];
        const QString control = QLatin1String(c->name);
        if (c->kind == CatalogueKind::Check)
            card.flags.insert(control, *v == 1);
        else
            card.indices.insert(control, radioIndexFromStored(*v, c->itemCount()));
    }
    // Files of older copies have no line for this box: it opens cleared.
    card.flags.insert(QLatin1String(kExtraVitaeBox), vit.size() > kVitaeLines && toInt(vit.at(kVitaeLines)) == 1);
    const auto activity = vit.size() > kVitaeLines + 1 ? toInt(vit.at(kVitaeLines + 1)) : std::nullopt;
    card.indices.insert(QLatin1String(kActivityBox), listIndexFromStored(activity.value_or(-1), kActivityLevels));
    card.texts.insert(QLatin1String(kGoalEdit), vit.value(kVitaeLines + 2));
    return loaded;
}

std::optional<SaveError> saveCard(const CardState &card, const QString &dataDir)
{
    const QString name = card.text(QStringLiteral("FioEdit"));
    if (name.isEmpty())
        return SaveError{QStringLiteral("Введите Ф.И.О. пациента!"), true};
    if (!isUsableCardName(name))
        return SaveError{QStringLiteral("Ф.И.О. пациента служит именем файлов карточки и не может содержать "
                                        "знаки / и \\, а также состоять только из точек \".\" или \"..\"!"),
                         true};

    // Every value must survive the round trip through Windows-1251, and only
    // the notes may span lines: a line break elsewhere would shift every line after it.
    auto hasBreak = [](const QString &text) { return text.contains(u'\n') || text.contains(u'\r'); };
    for (const FieldDef &f : kCardFields) {
        if (f.kind != FieldKind::Text && f.kind != FieldKind::DateText && f.kind != FieldKind::Notes)
            continue;
        const QString text = card.text(QLatin1String(f.control));
        if (!encode1251(text))
            return unstorable(QString::fromUtf8(fieldLabel(f.control)));
        if (f.kind != FieldKind::Notes && hasBreak(text))
            return brokenLine(QString::fromUtf8(fieldLabel(f.control)));
    }
    const QString goal = card.text(QLatin1String(kGoalEdit));
    if (!encode1251(goal))
        return unstorable(QStringLiteral("Целевой вес"));
    if (hasBreak(goal))
        return brokenLine(QStringLiteral("Целевой вес"));
    if (!encode1251(card.preparations))
        return unstorable(QStringLiteral("Назначаемые препараты"));
    if (!encode1251(card.recommendations))
        return unstorable(QStringLiteral("Рекомендации"));
    for (const QStringList &row : card.diagnosticRows) {
        if (!encode1251(row.join(QString())))
            return unstorable(QStringLiteral("Данные диагностики"));
        if (hasBreak(row.join(QString())))
            return brokenLine(QStringLiteral("Данные диагностики"));
    }
    for (const QStringList &row : card.visitRows) {
        if (!encode1251(row.join(QString())))
            return unstorable(QStringLiteral("Динамика потери веса"));
        if (hasBreak(row.join(QString())))
            return brokenLine(QStringLiteral("Динамика потери веса"));
    }

    const QString base = QDir(dataDir).filePath(name + QStringLiteral(".dat"));
    struct Target {
        QString path;
        QByteArray bytes;
    };
    const Target targets[6] = {
        {base, *encode1251(listFileText(encodeMainFile(card)))},
        {base + QStringLiteral(".prp"), *encode1251(toCrLf(card.preparations))},
        {base + QStringLiteral(".rec"), *encode1251(toCrLf(card.recommendations))},
        {base + QStringLiteral(".tb1"), *encode1251(listFileText(encodeDiagnostic(card)))},
        {base + QStringLiteral(".tb2"), *encode1251(listFileText(encodeVisits(card)))},
        {base + QStringLiteral(".vit"), *encode1251(listFileText(encodeVitae(card)))},
    };

    auto failure = [](const QString &path, const QString &reason) {
        return SaveError{cannotCreateMessage(QFileInfo(path).absoluteFilePath(), reason), false};
    };

    std::unique_ptr<QSaveFile> files[6];
    for (int i = 0; i < 6; ++i) {
        files[i] = std::make_unique<QSaveFile>(targets[i].path);
        QSaveFile &f = *files[i];
        if (QFileInfo(targets[i].path).isDir())
            return failure(targets[i].path, QStringLiteral("Is a directory"));
        if (!f.open(QIODevice::WriteOnly) || f.write(targets[i].bytes) != targets[i].bytes.size() || !f.flush() ||
            injected(targets[i].path, SavePhase::Write)) {
            const QString reason = f.errorString();
            for (int k = 0; k <= i; ++k)
                files[k]->cancelWriting();
            return failure(targets[i].path, reason);
        }
    }

    // Keep what the set held before, to put it back if a replacement fails.
    struct Previous {
        bool existed;
        QByteArray bytes;
    };
    Previous previous[6];
    for (int i = 0; i < 6; ++i) {
        QFile old(targets[i].path);
        previous[i].existed = old.exists();
        if (previous[i].existed && old.open(QIODevice::ReadOnly))
            previous[i].bytes = old.readAll();
    }
    for (int i = 0; i < 6; ++i) {
        if (injected(targets[i].path, SavePhase::Replace))
            files[i]->cancelWriting();
        if (files[i]->commit())
            continue;
        const QString reason = files[i]->errorString();
        for (int k = i + 1; k < 6; ++k)
            files[k]->cancelWriting();
        for (int k = 0; k < i; ++k) {
            if (previous[k].existed) {
                QSaveFile restore(targets[k].path);
                if (restore.open(QIODevice::WriteOnly)) {
                    restore.write(previous[k].bytes);
                    restore.commit();
                }
            } else {
                QFile::remove(targets[k].path);
            }
        }
        return failure(targets[i].path, reason);
    }
    return std::nullopt;
}

void setSaveFaultForTesting(SaveFault fault)
{
    saveFault() = std::move(fault);
}

QStringList deletionNames(const QString &chosen)
{
    return {chosen,
            chosen + QStringLiteral(".tb1"),
            chosen + QStringLiteral(".tb2"),
            chosen + QStringLiteral(".vit"),
            chosen + QStringLiteral(".rec"),
            chosen + QStringLiteral(".prp")};
}

} // namespace vel
