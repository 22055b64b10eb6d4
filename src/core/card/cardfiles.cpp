#include "card/cardfiles.h"


#include "tables/catalogue.h"
#include "tables/fields.h"
#include "tables/questions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace vel {

namespace {

QString flagLine(bool ticked)
{
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

// Catalogue rows by storage line; index 0 stays empty.
const std::array<std::size_t, kVitaeLines + 1> &vitaeOrder()
{
    static const auto order = [] {
        std::array<std::size_t, kVitaeLines + 1> rows{};
        for (std::size_t i = 0; i < kCatalogue.size(); ++i)
            if (kCatalogue[i].storageLine > 0 && kCatalogue[i].storageLine <= kVitaeLines)
                rows[static_cast<std::size_t>(kCatalogue[i].storageLine)] = i;
        return rows;
    }();
    return order;
}

// The box without a line of its own in older files; newer files keep it as
// an extra last line, which older readers ignore. After it, newer files keep
// the activity level (a drop-down's index) and the goal weight as typed,
// and, only when one is set, the next visit's date; older files open with none.
std::size_t extraVitaeRow()
{
    static const std::size_t row = [] {
        std::size_t i = 0;
        while (i < kCatalogue.size() && kCatalogue[i].storageLine != 0)
            ++i;
        return i;
    }();
    return row;
}
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

int fieldItemCount(Field f, int templateCount)
{
    if (f == Field::BodyType)
        return int(kBodyBuilds.size());
    if (f == Field::Template)
        return templateCount;
    const QuestionGroup *g = findQuestionGroup(controlName(f));
    return g ? g->itemCount() : 0;
}

bool isDropDown(Field f)
{
    return f == Field::BodyType || f == Field::Template;
}

SaveError unstorable(const QString &label)
{
    return {QStringLiteral("Поле \"%1\" содержит символы, которые нельзя сохранить в кодировке Windows-1251. "
                           "Замените их и сохраните карточку снова!")
                .arg(label),
            true};
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
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::Notes:
            lines << card.text(f.field);
            break;
        case FieldKind::DateText: {
            const QString t = card.text(f.field);
            lines << (t.isEmpty() ? QString::fromLatin1(kBlankDate) : t);
            break;
        }
        case FieldKind::Index:
            lines << QString::number(card.index(f.field));
            break;
        case FieldKind::Flag:
            lines << flagLine(card.flag(f.field));
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
        const std::size_t row = vitaeOrder()[static_cast<std::size_t>(line)];
        lines << (kCatalogue[row].kind == CatalogueKind::Check ? flagLine(card.anamnesisTicked(row))
                                                               : QString::number(card.anamnesisIndex(row)));
    }
    lines << flagLine(card.anamnesisTicked(extraVitaeRow()));
    lines << QString::number(card.activity);
    lines << card.goal;
    if (!card.nextVisit.isEmpty())
        lines << card.nextVisit;
    return lines;
}

QStringList encodeBody(const CardState &card)
{
    auto hasBody = [](const QStringList &row) {
        for (int j = kVisitColumns; j < row.size(); ++j)
            if (!row.at(j).isEmpty())
                return true;
        return false;
    };
    if (std::none_of(card.visitRows.begin(), card.visitRows.end(), hasBody))
        return {};
    QStringList lines;
    lines.reserve(card.visitRows.size());
    for (const QStringList &row : card.visitRows) {
        QStringList cells;
        for (int j = kVisitColumns; j < kVisitRowCells; ++j)
            cells << row.value(j);
        lines << cells.join(kBodySeparator);
    }
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

namespace {

QString mainFileText(const CardState &card)
{
    return listFileText(encodeMainFile(card));
}
QString preparationsText(const CardState &card)
{
    return toCrLf(card.preparations);
}
QString recommendationsText(const CardState &card)
{
    return toCrLf(card.recommendations);
}
QString diagnosticText(const CardState &card)
{
    return listFileText(encodeDiagnostic(card));
}
QString visitsText(const CardState &card)
{
    return listFileText(encodeVisits(card));
}
QString vitaeText(const CardState &card)
{
    return listFileText(encodeVitae(card));
}
QString bodyText(const CardState &card)
{
    return listFileText(encodeBody(card));
}

std::optional<ReadError> decodeMain(const QString &text, CardState &card, int templateCount)
{
    const QStringList main = splitLines(text);
    for (int i = 0; i < kCardFieldCount; ++i) {
        const FieldDef &f = kCardFields[static_cast<std::size_t>(i)];
        if (i >= main.size())
            return ReadError{indexOutOfBoundsMessage(i)};
        const QString &line = main.at(i);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::DateText:
            card.setText(f.field, line);
            break;
        case FieldKind::Notes:
            // Notes of several lines continue to the end of the file.
            card.setText(f.field, main.mid(i).join(u'\n'));
            break;
        case FieldKind::Index: {
            const auto v = toInt(line);
            if (!v)
                return ReadError{notAnIntegerMessage(line)};
            const int n = fieldItemCount(f.field, templateCount);
            card.setIndex(f.field, isDropDown(f.field) ? listIndexFromStored(*v, n) : radioIndexFromStored(*v, n));
            break;
        }
        case FieldKind::Flag: {
            const auto v = toInt(line);
            if (!v)
                return ReadError{notAnIntegerMessage(line)};
            card.setFlag(f.field, *v == 1);
            break;
        }
        }
    }
    return std::nullopt;
}

std::optional<ReadError> decodePreparations(const QString &text, CardState &card, int)
{
    card.preparations = memoFromFileText(text);
    return std::nullopt;
}

std::optional<ReadError> decodeRecommendations(const QString &text, CardState &card, int)
{
    card.recommendations = memoFromFileText(text);
    return std::nullopt;
}

std::optional<ReadError> decodeDiagnostic(const QString &text, CardState &card, int)
{
    const QStringList lines = splitLines(text);
    auto rows = tableRows(lines, std::max(1, roundHalfEven(int(lines.size()), kDiagnosticColumns)), kDiagnosticColumns);
    if (auto *e = std::get_if<ReadError>(&rows))
        return *e;
    card.diagnosticRows = std::get<QVector<QStringList>>(rows);
    return std::nullopt;
}

std::optional<ReadError> decodeVisits(const QString &text, CardState &card, int)
{
    const QStringList lines = splitLines(text);
    auto rows = tableRows(lines, roundHalfEven(int(lines.size()), kVisitColumns), kVisitColumns);
    if (auto *e = std::get_if<ReadError>(&rows))
        return *e;
    card.visitRows = std::get<QVector<QStringList>>(rows);
    return std::nullopt;
}

std::optional<ReadError> decodeVitae(const QString &text, CardState &card, int)
{
    const QStringList vit = splitLines(text);
    for (int line = 1; line <= kVitaeLines; ++line) {
        if (line > vit.size())
            return ReadError{indexOutOfBoundsMessage(line - 1)};
        const QString &value = vit.at(line - 1);
        const auto v = toInt(value);
        if (!v)
            return ReadError{notAnIntegerMessage(value)};
        const std::size_t row = vitaeOrder()[static_cast<std::size_t>(line)];
        const CatalogueControl &c = kCatalogue[row];
        card.anamnesis[row] =
            c.kind == CatalogueKind::Check ? (*v == 1 ? 1 : 0) : radioIndexFromStored(*v, c.itemCount());
    }
    // Files of older copies have no line for this box: it opens cleared.
    card.anamnesis[extraVitaeRow()] = vit.size() > kVitaeLines && toInt(vit.at(kVitaeLines)) == 1 ? 1 : 0;
    const auto activity = vit.size() > kVitaeLines + 1 ? toInt(vit.at(kVitaeLines + 1)) : std::nullopt;
    card.activity = listIndexFromStored(activity.value_or(-1), kActivityLevels);
    card.goal = vit.value(kVitaeLines + 2);
    card.nextVisit = vit.value(kVitaeLines + 3);
    return std::nullopt;
}

// A line a visit, its values in column order; a missing file, a short line
// or a missing line leaves the values empty, and lines beyond the visits are
// ignored. A visit row takes the body columns only when it has some.
std::optional<ReadError> decodeBody(const QString &text, CardState &card, int)
{
    const QStringList lines = splitLines(text);
    for (int r = 0; r < card.visitRows.size() && r < lines.size(); ++r) {
        const QStringList cells = lines.at(r).split(kBodySeparator);
        if (std::all_of(cells.begin(), cells.end(), [](const QString &c) { return c.isEmpty(); }))
            continue;
        QStringList &row = card.visitRows[r];
        row.resize(kVisitRowCells);
        for (int j = 0; j < kBodyColumns; ++j)
            row[kVisitColumns + j] = cells.value(j);
    }
    return std::nullopt;
}

// Finds the value that has no Windows-1251 byte, to name it.
SaveError unstorableIn(int part, const CardState &card)
{
    switch (part) {
    case 0:
        for (const FieldDef &f : kCardFields) {
            if (f.kind == FieldKind::Text || f.kind == FieldKind::DateText || f.kind == FieldKind::Notes)
                if (!encode1251(card.text(f.field)))
                    return unstorable(QString::fromUtf8(fieldLabel(f.field)));
        }
        break;
    case 1:
        return unstorable(QStringLiteral("Назначаемые препараты"));
    case 2:
        return unstorable(QStringLiteral("Рекомендации"));
    case 3:
        return unstorable(QStringLiteral("Данные диагностики"));
    case 4:
        return unstorable(QStringLiteral("Динамика потери веса"));
    case 5:
        return unstorable(encode1251(card.goal) ? QStringLiteral("Следующий приём") : QStringLiteral("Целевой вес"));
    case kBodyPart:
        return unstorable(QStringLiteral("Состав тела"));
    }
    return unstorable(QStringLiteral("Ф.И.О."));
}

// Only the notes may span lines: a line break elsewhere would shift every line after it.
std::optional<SaveError> misplacedBreak(const CardState &card)
{
    auto hasBreak = [](const QString &text) { return text.contains(u'\n') || text.contains(u'\r'); };
    for (const FieldDef &f : kCardFields)
        if ((f.kind == FieldKind::Text || f.kind == FieldKind::DateText) && hasBreak(card.text(f.field)))
            return brokenLine(QString::fromUtf8(fieldLabel(f.field)));
    if (hasBreak(card.goal))
        return brokenLine(QStringLiteral("Целевой вес"));
    if (hasBreak(card.nextVisit))
        return brokenLine(QStringLiteral("Следующий приём"));
    for (const QStringList &row : card.diagnosticRows)
        if (hasBreak(row.join(QString())))
            return brokenLine(QStringLiteral("Данные диагностики"));
    for (const QStringList &row : card.visitRows) {
        if (hasBreak(row.join(QString())))
            return brokenLine(QStringLiteral("Динамика потери веса"));
        for (int j = kVisitColumns; j < row.size(); ++j)
            if (row.at(j).contains(kBodySeparator))
                return SaveError{QStringLiteral("Значение состава тела \"%1\" содержит знак \"%2\", а он разделяет "
                                                "значения в файле. Уберите его и сохраните карточку снова!")
                                     .arg(row.at(j), QString(kBodySeparator)),
                                 true};
    }
    return std::nullopt;
}

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

const std::array<CardPart, kCardPartCount> &cardParts()
{
    static const std::array<CardPart, kCardPartCount> parts = {{
        {cardSuffixes()[0], mainFileText, decodeMain},
        {cardSuffixes()[1], preparationsText, decodePreparations},
        {cardSuffixes()[2], recommendationsText, decodeRecommendations},
        {cardSuffixes()[3], diagnosticText, decodeDiagnostic},
        {cardSuffixes()[4], visitsText, decodeVisits},
        {cardSuffixes()[5], vitaeText, decodeVitae},
        {cardSuffixes()[6], bodyText, decodeBody},
    }};
    return parts;
}

bool isUsableCardName(const QString &name)
{
    const bool control = std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
    return !name.isEmpty() && !control && !name.contains(u'/') && !name.contains(u'\\') && name != u"." &&
           name != u"..";
}

bool isCardMainFile(const QString &path)
{
    const QFileInfo info(path);
    return info.fileName().endsWith(cardSuffixes()[0]) && !info.fileName().startsWith(u'.') && info.isFile() &&
           isUsableCardName(cardNameOfFile(path));
}

QString cardNameOfFile(const QString &mainPath)
{
    QString file = QFileInfo(mainPath).fileName();
    if (file.endsWith(cardSuffixes()[0]))
        file.chop(cardSuffixes()[0].size());
    return file;
}

QStringList cardSetPaths(const QString &mainPath)
{
    const QString base = QFileInfo(mainPath).absoluteDir().filePath(cardNameOfFile(mainPath));
    QStringList paths;
    for (const CardPart &part : cardParts())
        paths << base + part.suffix;
    return paths;
}

SetBytes encodeCardLossy(const CardState &card)
{
    SetBytes files;
    for (int i = 0; i < kCardPartCount; ++i) {
        QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
        files[static_cast<std::size_t>(i)] = encoder.encode(cardParts()[static_cast<std::size_t>(i)].fileText(card));
    }
    return files;
}

namespace {

// Reads the set, under the card's lock (finishing a save stopped half-way
// first) or without it; nameRead gets the name from the main file's first line.
Result<LoadedCard> readCardSet(const QString &mainPath, const QString &dataDir, bool locked, QString &nameRead)
{
    LoadedCard loaded;
    CardState &card = loaded.card;

    auto titles = readListFile(QDir(dataDir).filePath(QStringLiteral("shablon.kmt")));
    if (auto *e = std::get_if<ReadError>(&titles))
        return *e;
    loaded.templateTitles = std::get<QStringList>(titles);

    // The card is read under its lock, after finishing a save that was
    // stopped half-way. Where no lock can be made (a read-only folder, a full
    // disk, a dead copy's lock that cannot be removed) such a save cannot be
    // finished: the version it leads to is read instead, and nothing is changed.
    const QString folder = QFileInfo(mainPath).absolutePath();
    QString unlockedWhy; // why the folder could not be locked, when it matters
    auto lockAndRecover = [&](const QString &name, std::unique_ptr<CardLock> &lock,
                              std::optional<PendingSave> &pending) -> std::optional<ReadError> {
        if (!locked)
            return std::nullopt;
        lock = std::make_unique<CardLock>(folder, name);
        switch (lock->acquire(5000)) {
        case CardLock::State::Held:
            recoverCard(folder, name);
            break;
        case CardLock::State::Busy:
            return ReadError{lockProblem(*lock, folder, name, CardAction::Open)};
        case CardLock::State::Unavailable:
        case CardLock::State::Stuck:
            break;
        }
        pending = pendingSave(folder, name);
        if (pending && unlockedWhy.isEmpty())
            unlockedWhy = lock->state() == CardLock::State::Held ? folderProblem(folder, EIO)
                                                                 : lockProblem(*lock, folder, name, CardAction::Open);
        return std::nullopt;
    };
    std::unique_ptr<CardLock> fileLock, cardLock;
    std::optional<PendingSave> filePending, cardPending;
    const QString fileName = cardNameOfFile(mainPath);
    if (auto e = lockAndRecover(fileName, fileLock, filePending))
        return *e;
    // A version that lacks a file: only a new card's first save was stopped.
    auto unfinishedNew = [&](const QString &name) {
        return ReadError{QStringLiteral("Первое сохранение карточки \"%1\" было прервано, и завершить его сейчас "
                                        "нельзя; прежней версии у карточки нет. %2")
                             .arg(name, unlockedWhy)};
    };
    const QString mainFrom = filePending ? filePending->paths[0] : mainPath;
    if (mainFrom.isEmpty())
        return unfinishedNew(fileName);

    FileRead mainRead = readCardFile(mainFrom);
    if (!mainRead.error.isEmpty())
        return ReadError{mainRead.error};
    QString mainText = decode1251(mainRead.bytes);
    const QStringList firstLines = splitLines(mainText.left(4096));
    if (firstLines.isEmpty())
        return ReadError{indexOutOfBoundsMessage(0)};
    const QString name = firstLines.first();
    nameRead = name;
    if (!isUsableCardName(name))
        return ReadError{cannotOpenMessage(absolute(mainPath), QStringLiteral("В первой строке нет имени карточки: "
                                                                              "это не файл карточки или он повреждён. "
                                                                              "Выберите другой файл"))};
    if (name != fileName) {
        if (auto e = lockAndRecover(name, cardLock, cardPending))
            return *e;
    } else {
        cardPending = filePending;
    }

    const QString base = QDir(folder).filePath(name);
    SetBytes bytes;
    bytes[0] = mainRead.bytes;
    QString texts[kCardPartCount];
    texts[0] = mainText;
    const int templateCount = int(loaded.templateTitles.size());
    auto read = [&](int i) -> std::optional<ReadError> {
        const QString from = cardPending ? cardPending->paths[static_cast<std::size_t>(i)]
                                         : base + cardParts()[static_cast<std::size_t>(i)].suffix;
        // An optional file the set does not have reads as empty.
        if (isOptionalPart(i) && (from.isEmpty() || !QFileInfo(from).isFile()))
            return std::nullopt;
        if (from.isEmpty())
            return unfinishedNew(name);
        FileRead r = readCardFile(from);
        if (!r.error.isEmpty())
            return ReadError{r.error};
        texts[i] = decode1251(r.bytes);
        bytes[static_cast<std::size_t>(i)] = std::move(r.bytes);
        return std::nullopt;
    };
    // The order in which problems are reported: the list files, the main
    // file's values, the memos, then the values of the list files.
    for (int i : {3, 4, 5, kBodyPart})
        if (auto e = read(i))
            return *e;
    if (auto e = cardParts()[0].decode(texts[0], card, templateCount))
        return *e;
    for (int i : {1, 2})
        if (auto e = read(i))
            return *e;
    for (int i = 1; i < kCardPartCount; ++i)
        if (auto e = cardParts()[static_cast<std::size_t>(i)].decode(texts[i], card, templateCount))
            return *e;
    loaded.folder = folder;
    // The digest covers the set of the card's own name, as a save sees it,
    // once a stopped save is finished.
    loaded.digest = absolute(mainPath) == absolute(base + cardSuffixes()[0]) || cardPending ? setDigest(bytes)
                                                                                            : setDigest(folder, name);
    if (filePending || cardPending) {
        const bool newVersion = (filePending ? filePending : cardPending)->newVersion;
        loaded.notice = QStringLiteral("Сохранение карточки \"%1\" было прервано, и завершить его сейчас нельзя. "
                                       "Показана %2 версия карточки целиком; файлы в папке не изменены. %3")
                            .arg(name,
                                 newVersion ? QStringLiteral("новая, полностью записанная")
                                            : QStringLiteral("прежняя, до прерванного сохранения"),
                                 unlockedWhy);
    }
    return loaded;
}

} // namespace

Result<LoadedCard> loadCard(const QString &mainPath, const QString &dataDir)
{
    // A card at rest is read without taking its lock, which costs more than
    // the reading: the read counts if no save was under way before it or
    // after it and no file of the set was replaced meanwhile. Otherwise, or
    // when the first line names another card, it is read again under the lock.
    const QString folder = QFileInfo(mainPath).absolutePath();
    const QString fileName = cardNameOfFile(mainPath);
    QString nameRead;
    if (const auto before = quietSetIdentity(folder, fileName)) {
        auto quick = readCardSet(mainPath, dataDir, false, nameRead);
        if (nameRead.isNull() || nameRead == fileName) {
            const auto after = quietSetIdentity(folder, fileName);
            if (after && *after == *before)
                return quick;
        }
    }
    return readCardSet(mainPath, dataDir, true, nameRead);
}

std::optional<SaveError> saveCard(const CardState &card, const QString &dataDir, SaveGuard *guard)
{
    const QString name = card.text(Field::Name);
    if (name.isEmpty())
        return SaveError{QStringLiteral("Введите Ф.И.О. пациента!"), true};
    if (!isUsableCardName(name))
        return SaveError{QStringLiteral("Ф.И.О. пациента служит именем файлов карточки и не может содержать "
                                        "знаки / и \\, а также состоять только из точек \".\" или \"..\"!"),
                         true};
    if (auto e = misplacedBreak(card))
        return e;

    // Every value must survive the round trip through Windows-1251, so that
    // nothing is ever silently stored as "?". Each text is encoded once.
    SetBytes files;
    for (int i = 0; i < kCardPartCount; ++i) {
        auto bytes = encode1251(cardParts()[static_cast<std::size_t>(i)].fileText(card));
        if (!bytes)
            return unstorableIn(i, card);
        files[static_cast<std::size_t>(i)] = std::move(*bytes);
    }

    const QString mainTarget = absolute(QDir(dataDir).filePath(name + cardSuffixes()[0]));
    if (!QFileInfo(dataDir).isDir())
        return SaveError{cannotCreateMessage(mainTarget, systemErrorText(ENOENT)), false};
    if (!nameFitsFileSystem(dataDir, name))
        return SaveError{QStringLiteral("Ф.И.О. пациента слишком длинное для имени файла карточки. "
                                        "Сократите его и сохраните карточку снова!"),
                         true};

    CardLock lock(dataDir, name);
    switch (lock.acquire(5000)) {
    case CardLock::State::Held:
        break;
    case CardLock::State::Busy:
    case CardLock::State::Stuck:
        return SaveError{lockProblem(lock, dataDir, name, CardAction::Save), false};
    case CardLock::State::Unavailable:
        return SaveError{cannotCreateMessage(mainTarget, systemErrorText(lock.error())) + QStringLiteral(". ") +
                             lockProblem(lock, dataDir, name, CardAction::Save),
                         false};
    }
    recoverCard(dataDir, name);
    removeEarlierTemporaries(dataDir, name);

    if (guard) {
        const QByteArray onDisk = setDigest(dataDir, name);
        const bool unknown = !onDisk.isEmpty() && onDisk != guard->knownDigest;
        if (unknown && !guard->knownDigest.isEmpty())
            return SaveError{QStringLiteral("Карточку \"%1\" после открытия в этом окне сохранила другая копия "
                                            "программы. Чтобы не затереть те изменения, карточка не сохранена!")
                                 .arg(name),
                             false, true};
        // A namesake typed as a new card: the set it replaces is kept.
        if (unknown || (!onDisk.isEmpty() && guard->keepReplaced)) {
            if (guard->keepSet) {
                auto kept = guard->keepSet(dataDir, name);
                if (auto *e = std::get_if<ReadError>(&kept))
                    return SaveError{e->message, false};
                guard->keptCopy = std::get<QString>(kept);
            }
        }
    }

    if (auto error = replaceSet(dataDir, name, files))
        return SaveError{*error, false};
    if (guard)
        guard->writtenDigest = setDigest(files);
    return std::nullopt;
}

QStringList deletionNames(const QString &chosen)
{
    QStringList names{chosen};
    for (int i = 1; i < kCardPartCount; ++i)
        names << chosen + cardParts()[static_cast<std::size_t>(i)].suffix.mid(cardSuffixes()[0].size());
    return names;
}

} // namespace vel
