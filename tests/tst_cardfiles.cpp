#include "card/cardfiles.h"
#include "support/testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;

namespace {

// Windows-1251 bytes worked out by hand for the characters the samples use.
QByteArray cp1251(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            out += char(u);
        else if (u >= 0x410 && u <= 0x44F)
            out += char(0xC0 + (u - 0x410));
        else if (u == 0x401)
            out += char(0xA8);
        else if (u == 0x451)
            out += char(0xB8);
        else if (u == 0x2116)
            out += char(0xB9);
        else
            qFatal("no byte for U+%04X in the test's table", unsigned(u));
    }
    return out;
}

QByteArray listBytes(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += cp1251(line) + "\r\n";
    return out;
}

const QStringList kTemplates = {"Диета 1", "Диета 2", "Диета №3"};
const QStringList kSuffixes = {"", ".prp", ".rec", ".tb1", ".tb2", ".vit"};
const QString kBlank = "  .  .    ";

// Lines 1 to 87 of the main card file of the filled sample, in file order;
// the notes follow from line 88 on. A run of numbered check boxes has one
// '1' or '0' per box.
struct MainSpec {
    const char *control;
    char kind; // T text, D date, I index, F flag
    const char *value;
    int first = 0;
    int last = 0;
};
const MainSpec kMainSpec[] = {
    {"FioEdit", 'T', ""},
    {"BirEdit", 'D', "12.04.1975"},
    {"TypeBox", 'I', "2"},
    {"AdrEdit", 'T', "ул. Лётчиков, д. 5, кв. №12"},
    {"PhonEdit", 'T', "+7 (495) 123-45-67"},
    {"SexGroup", 'I', "1"},
    {"JobEdit", 'T', ""},
    {"RostEdit", 'T', "168"},
    {"VesEdit", 'T', "  92,5 "},
    {"TalEdit", 'T', "101"},
    {"BedrEdit", 'T', "118"},
    {"DateEdit", 'D', "  .  .    "},
    {"ShabBox", 'I', "1"},
    {"W1Group", 'I', "0"},
    {"W2Group", 'I', "2"},
    {"W3Group", 'I', "-1"},
    {"W4Group", 'I', "4"},
    {"W6Group", 'I', "3"},
    {"W5Box", 'F', "10010110001101", 1, 14},
    {"DietGroup", 'I', "0"},
    {"FizGroup", 'I', "1"},
    {"CodGroup", 'I', "2"},
    {"RefGroup", 'I', "3"},
    {"BadGroup", 'I', "4"},
    {"MedGroup", 'I', "-1"},
    {"GemoGroup", 'I', "0"},
    {"HirGroup", 'I', "1"},
    {"GolodGroup", 'I', "2"},
    {"RazdGroup", 'I', "3"},
    {"CheckBox", 'F', "110000010000001", 1, 15},
    {"ZapEdit", 'T', "ваниль"},
    {"ColEdit", 'T', ""},
    {"TastEdit", 'T', "сладкий & солёный"},
    {"CheckBox", 'F', "101", 16, 18},
    {"AppetGroup", 'I', "4"},
    {"ZavtGroup", 'I', "1"},
    {"ObedGroup", 'I', "0"},
    {"UjinGroup", 'I', "3"},
    {"GolGroup", 'I', "2"},
    {"JirEdit", 'T', "3 см"},
    {"LetEdit", 'T', "10"},
    {"W7Box", 'F', "0110", 1, 4},
    {"GymEdit", 'T', "давно"},
    {"WalkEdit", 'T', "2 км"},
    {"TelEdit", 'T', "3 ч."},
    {"DinEdit", 'T', "обедаю"},
    {"CheckBox", 'F', "1000011", 19, 25},
    {"CheckBox", 'F', "01", 149, 150},
};
const char *const kNotes = "Первая строка\nвторая строка\n\nчетвёртая";

// Lines 124 to 225 of the anamnesis file; lines 1 to 123 are CheckBox26 to CheckBox148.
const char *const kVitaeTail =
    "HeartGroup HyperGroup BronGroup PnevmoGroup AstmaGroup DihGroup PnevmoBox BronhoBox LungBox PlevroBox "
    "EmfiBox NefritGroup PieloGroup BudGroup CistGroup MocheBox KamBox AmiBox LejkoGroup AgroBox GemmoBox "
    "VaskyBox GemoBox DiaGroup DiabBox ZobBox TireoGroup HypoBox HyperBox HypoparaBox HyperparaBox FeoBox "
    "SindBox JirGroup SkleroBox RevmaGroup RevmoBox PodagBox RejterBox SKVBox SysBox DermBox ShegBox NodBox "
    "BehtBox DalnoBox BlizBox AstiBox KeratBox GlaukBox BlidBox OtherBox EggBox DisfBox FibromBox MatkBox "
    "ClimBox MenoBox KistaBox PolyBox ProstaBox ArhBox AdenBox UretBox Other1Box SleepBox MeninBox EnciBox "
    "ArahBox CelebBox EpilBox MirgBox EncefBox VCDBox NevraBox DeprBox MiaBox EkzBox NejroBox PsoriBox UgrBox "
    "NogiBox RukiBox TazBox CherBox CMTBox GrudBox TublBox TubbBox TubboBox TuboBox SifBox GonBox TrihoBox "
    "HlamBox ShizoBox EpiBox PsihoBox NevroBox NevrozBox AlkoBox NarkoBox";
const QHash<QString, int> kRadioItems = {
    {"HeartGroup", 3}, {"HyperGroup", 3},  {"BronGroup", 3},  {"PnevmoGroup", 2}, {"AstmaGroup", 3},
    {"DihGroup", 3},   {"NefritGroup", 2}, {"PieloGroup", 2}, {"BudGroup", 4},    {"CistGroup", 2},
    {"LejkoGroup", 2}, {"DiaGroup", 2},    {"TireoGroup", 3}, {"JirGroup", 4},    {"RevmaGroup", 2},
};

struct Line {
    QString control;
    char kind;
    QString text;
};

QVector<Line> mainLines(bool filled, const QString &name)
{
    QVector<Line> out;
    for (const MainSpec &s : kMainSpec) {
        const QString control = QString::fromUtf8(s.control);
        if (s.first) {
            for (int n = s.first; n <= s.last; ++n)
                out.append({control + QString::number(n), 'F', filled && s.value[n - s.first] == '1' ? "1" : "0"});
            continue;
        }
        QString text = QString::fromUtf8(s.value);
        if (!filled && s.kind == 'T')
            text.clear();
        else if (!filled)
            text = s.kind == 'D' ? kBlank : QString("-1");
        out.append({control, s.kind, control == "FioEdit" ? name : text});
    }
    return out;
}

QVector<Line> vitaeLines(bool filled)
{
    QStringList names;
    for (int n = 26; n <= 148; ++n)
        names << QString("CheckBox%1").arg(n);
    names += QString(kVitaeTail).split(' ');
    QVector<Line> out;
    for (int i = 0; i < names.size(); ++i) {
        const int line = i + 1, items = kRadioItems.value(names[i]);
        if (items)
            out.append({names[i], 'I', QString::number(filled ? line % (items + 1) - 1 : -1)});
        else
            out.append({names[i], 'F', filled && (line <= 123 ? line % 5 == 1 : line % 3 == 0) ? "1" : "0"});
    }
    out.append({"KonBox", 'F', filled ? "1" : "0"}); // the extra lines
    out.append({"AktivBox", 'I', filled ? "2" : "-1"});
    out.append({"CelEdit", 'T', filled ? "82,5" : ""});
    return out;
}

QStringList texts(const QVector<Line> &lines)
{
    QStringList out;
    for (const Line &l : lines)
        out << l.text;
    return out;
}

int lineNumber(const QVector<Line> &lines, const QString &control)
{
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].control == control)
            return i + 1;
    qFatal("no line for %s", qPrintable(control));
}

// A card and the six files it must be saved as, built from the table above.
struct Sample {
    CardState card;
    QHash<QString, QByteArray> files; // by suffix after "<name>.dat"
};

Sample sample(bool filled, const QString &name)
{
    Sample s;
    CardState &c = s.card;
    const QVector<Line> main = mainLines(filled, name);
    const QVector<Line> vitae = vitaeLines(filled);
    for (const QVector<Line> *lines : {&main, &vitae}) {
        for (const Line &l : *lines) {
            if (l.kind == 'F')
                testsupport::setFlag(c, l.control, l.text == "1");
            else if (l.kind == 'I')
                testsupport::setIndex(c, l.control, l.text.toInt());
            else
                testsupport::setText(c, l.control, l.text);
        }
    }
    const QString notes = filled ? QString::fromUtf8(kNotes) : QString();
    testsupport::setText(c, "PrimMemo", notes);
    if (filled) {
        for (int r = 0; r < 28; ++r)
            c.diagnosticRows << (r % 14 == 0 ? QStringList{"Дата", "Правая рука", "Левая рука"}
                                             : QStringList{QString::number(r), "п" + QString::number(r),
                                                           r % 3 ? "№" + QString::number(r) : ""});
        for (int v = 1; v <= 3; ++v)
            c.visitRows << QStringList{QString("0%1.03.2024").arg(v),
                                       QString::number(95 - v),
                                       "101",
                                       "118",
                                       "3",
                                       "хорошее",
                                       "нет",
                                       "мало",
                                       "норма",
                                       v == 2 ? "" : "норма"};
        c.preparations = "Аскорбиновая кислота\nВитамин Е\n";
        c.recommendations = "Пить воду\nБольше ходить";
    } else {
        c.diagnosticRows << QStringList{"", "", ""};
    }
    QStringList tb1, tb2;
    for (const QStringList &row : c.diagnosticRows)
        tb1 += row;
    for (const QStringList &row : c.visitRows)
        tb2 += row;
    s.files[""] = listBytes(texts(main) + notes.split('\n'));
    s.files[".prp"] = cp1251(QString(c.preparations).replace("\n", "\r\n"));
    s.files[".rec"] = cp1251(QString(c.recommendations).replace("\n", "\r\n"));
    s.files[".tb1"] = listBytes(tb1);
    s.files[".tb2"] = listBytes(tb2);
    s.files[".vit"] = listBytes(texts(vitae));
    return s;
}

// Every value of a card as sorted text, so that a difference names the field.
QStringList dump(const CardState &c)
{
    QStringList out;
    for (const FieldDef &f : kCardFields)
        out << QString("field %1=%2|%3").arg(f.control, c.text(f.field)).arg(c.index(f.field));
    for (std::size_t row = 0; row < kCatalogue.size(); ++row)
        out << QString("item %1=%2").arg(kCatalogue[row].name).arg(c.anamnesisIndex(row));
    out << QString("activity=%1").arg(c.activity) << "goal=" + c.goal << "next=" + c.nextVisit;
    out.sort();
    for (const QStringList &row : c.diagnosticRows)
        out << "diagnostic " + row.join('|');
    for (const QStringList &row : c.visitRows)
        out << "visit " + row.join('|');
    return out << "preparations " + c.preparations << "recommendations " + c.recommendations;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Names and contents of everything in a folder.
QStringList snapshot(const QString &dir)
{
    QStringList out;
    for (const QFileInfo &fi :
         QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        out << fi.fileName() +
                   (fi.isDir()
                        ? QString("/")
                        : " " +
                              QString::fromLatin1(
                                  QCryptographicHash::hash(readFile(fi.filePath()), QCryptographicHash::Md5).toHex()));
    return out;
}

void compareFiles(const QString &base, const Sample &s)
{
    for (const QString &suffix : kSuffixes) {
        const QByteArray actual = readFile(base + suffix);
        QCOMPARE(actual.split('\n'), s.files[suffix].split('\n'));
        QCOMPARE(actual, s.files[suffix]);
    }
}

// Test data for the loading tables: edits of the empty sample saved as "Иванов".
// "~" stands for "Иванов.dat"; "file" alone deletes it, "file=text" replaces it.
const QString kName = "Иванов";

QString fileEdit(const QString &file, const QStringList &lines)
{
    return file + "=" + (lines.isEmpty() ? QString() : lines.join("\r\n") + "\r\n");
}
QStringList baseMain()
{
    return texts(mainLines(false, kName)) << "";
}
QStringList baseVitae()
{
    return texts(vitaeLines(false));
}
QString mainEdit(const QString &control, const QString &value)
{
    QStringList m = baseMain();
    m[lineNumber(mainLines(false, kName), control) - 1] = value;
    return fileEdit("~", m);
}
QString vitaeEdit(const QString &control, const QString &value)
{
    QStringList v = baseVitae();
    v[lineNumber(vitaeLines(false), control) - 1] = value;
    return fileEdit("~.vit", v);
}
QString sized(const QString &file, int lines)
{
    return fileEdit(file, QStringList(lines, "0"));
}

bool writeBase(const QString &dir, const QStringList &edits)
{
    const Sample s = sample(false, kName);
    bool ok = writeFile(dir + "/shablon.kmt", listBytes(kTemplates));
    for (const QString &suffix : kSuffixes)
        ok = ok && writeFile(dir + "/" + kName + ".dat" + suffix, s.files[suffix]);
    for (const QString &edit : edits) {
        const int eq = edit.indexOf('=');
        QString file = eq < 0 ? edit : edit.left(eq);
        if (file.startsWith('~'))
            file = kName + ".dat" + file.mid(1);
        ok = ok && (eq < 0 ? QFile::remove(dir + "/" + file) : writeFile(dir + "/" + file, cp1251(edit.mid(eq + 1))));
    }
    return ok;
}

} // namespace

class TestCardFiles : public QObject {
    Q_OBJECT

private slots:
    void saveAndOpenFullCard();
    void emptyCard();
    void loadFaults_data();
    void loadFaults();
    void loadValues_data();
    void loadValues();
    void sideFilesBesideMainFile();
    void roundTripKeepsBytes_data();
    void roundTripKeepsBytes();
    void bodyFile_data();
    void bodyFile();
    void saveRefused_data();
    void saveRefused();
    void saveBlockedTarget_data();
    void saveBlockedTarget();
    void saveIntoMissingFolder();
};

void TestCardFiles::saveAndOpenFullCard()
{
    QCOMPARE(mainLines(true, kName).size(), 87);
    QCOMPARE(vitaeLines(true).size(), 228);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("shablon.kmt"), listBytes(kTemplates)));
    const QString name = "Петрова Анна Сергеевна";
    const Sample s = sample(true, name);
    const auto error = saveCard(s.card, dir.path());
    QVERIFY2(!error, error ? qPrintable(error->message) : "");
    const QString base = dir.filePath(name + ".dat");
    compareFiles(base, s);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(snapshot(dir.path()).size(), 7); // the six files and the template list, nothing left over

    const Result<LoadedCard> loaded = loadCard(base, dir.path());
    QVERIFY2(!failed(loaded), failed(loaded) ? qPrintable(std::get<ReadError>(loaded).message) : "");
    const LoadedCard &card = std::get<LoadedCard>(loaded);
    QCOMPARE(dump(card.card), dump(s.card));
    QCOMPARE(card.templateTitles, kTemplates);

    QTemporaryDir again;
    QVERIFY(!saveCard(card.card, again.path()));
    compareFiles(again.filePath(name + ".dat"), s);
}

void TestCardFiles::emptyCard()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("shablon.kmt"), listBytes(kTemplates)));
    QVERIFY(!saveCard(sample(true, kName).card, dir.path())); // replaced whole below

    const Sample s = sample(false, kName);
    CardState card = s.card;
    card.diagnosticRows.clear();                      // still stored as one empty row
    testsupport::setText(card, "BirEdit", QString()); // an empty date is stored as the blank mask
    QVERIFY(!saveCard(card, dir.path()));
    const QString base = dir.filePath(kName + ".dat");
    compareFiles(base, s);
    QVERIFY(readFile(base).endsWith("0\r\n\r\n"));
    QCOMPARE(readFile(base + ".tb1"), QByteArray("\r\n\r\n\r\n"));
    QCOMPARE(readFile(base + ".tb2"), QByteArray());
    QCOMPARE(readFile(base + ".prp"), QByteArray());

    const Result<LoadedCard> loaded = loadCard(base, dir.path());
    QVERIFY(!failed(loaded));
    QCOMPARE(dump(std::get<LoadedCard>(loaded).card), dump(s.card));
}

void TestCardFiles::loadFaults_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message"); // %1 is the folder

    const QString missing = "Cannot open file \"%1/%2\". No such file or directory";
    QStringList shortMain = baseMain();
    shortMain.removeLast();
    QTest::newRow("no template list") << QStringList{"shablon.kmt"} << missing.arg("%1", "shablon.kmt");
    QTest::newRow("no main file") << QStringList{"~"} << missing.arg("%1", "Иванов.dat");
    QTest::newRow("empty main file") << QStringList{"~="} << "List index out of bounds (0)";
    for (const QString &suffix : kSuffixes.mid(1))
        QTest::addRow("no %s", qPrintable(suffix))
            << QStringList{"~" + suffix} << missing.arg("%1", "Иванов.dat" + suffix);
    QTest::newRow("main of 87 lines") << QStringList{fileEdit("~", shortMain)} << "List index out of bounds (87)";
    QTest::newRow("flag x") << QStringList{mainEdit("W5Box1", "x")} << "'x' is not a valid integer value";
    QTest::newRow("index 1.0") << QStringList{mainEdit("TypeBox", "1.0")} << "'1.0' is not a valid integer value";
    QTest::newRow("index empty") << QStringList{mainEdit("SexGroup", "")} << "'' is not a valid integer value";
    QTest::newRow("name with folder") << QStringList{mainEdit("FioEdit", "../x")}
                                      << "Cannot open file \"%1/Иванов.dat\". В первой строке нет имени карточки: это "
                                         "не файл карточки или он повреждён. Выберите другой файл";
    QTest::newRow(".tb1 empty") << QStringList{"~.tb1="} << "List index out of bounds (0)";
    QTest::newRow(".tb1 of 2") << QStringList{sized("~.tb1", 2)} << "List index out of bounds (2)";
    QTest::newRow(".tb1 of 5") << QStringList{sized("~.tb1", 5)} << "List index out of bounds (5)";
    QTest::newRow(".tb2 of 9") << QStringList{sized("~.tb2", 9)} << "List index out of bounds (9)";
    QTest::newRow(".tb2 of 15") << QStringList{sized("~.tb2", 15)} << "List index out of bounds (15)";
    QTest::newRow(".tb2 of 35") << QStringList{sized("~.tb2", 35)} << "List index out of bounds (35)";
    QTest::newRow(".vit of 224") << QStringList{sized("~.vit", 224)} << "List index out of bounds (224)";
    QTest::newRow(".vit empty") << QStringList{"~.vit="} << "List index out of bounds (0)";
    QTest::newRow(".vit x") << QStringList{vitaeEdit("CheckBox100", "x")} << "'x' is not a valid integer value";
    // The first fault in reading order is the one reported.
    QTest::newRow("template list before main") << QStringList{"shablon.kmt", "~"} << missing.arg("%1", "shablon.kmt");
    QTest::newRow("side file before short main")
        << QStringList{"~.vit", fileEdit("~", shortMain)} << missing.arg("%1", "Иванов.dat.vit");
    QTest::newRow(".tb1 before .tb2") << QStringList{"~.tb2", "~.tb1"} << missing.arg("%1", "Иванов.dat.tb1");
    QTest::newRow(".tb2 before .vit") << QStringList{"~.vit", "~.tb2"} << missing.arg("%1", "Иванов.dat.tb2");
    QTest::newRow("short main before memos")
        << QStringList{"~.prp", fileEdit("~", shortMain)} << "List index out of bounds (87)";
    QTest::newRow("bad main before bad .vit")
        << QStringList{mainEdit("W5Box1", "x"), vitaeEdit("KamBox", "y")} << "'x' is not a valid integer value";
    QTest::newRow(".prp before .rec") << QStringList{"~.rec", "~.prp"} << missing.arg("%1", "Иванов.dat.prp");
    QTest::newRow(".rec before short .tb1") << QStringList{"~.rec", "~.tb1="} << missing.arg("%1", "Иванов.dat.rec");
    QTest::newRow(".tb1 before .tb2, .vit")
        << QStringList{sized("~.tb1", 2), sized("~.tb2", 15), sized("~.vit", 224)} << "List index out of bounds (2)";
    QTest::newRow(".tb2 before .vit") << QStringList{sized("~.tb2", 15), sized("~.vit", 224)}
                                      << "List index out of bounds (15)";
}

void TestCardFiles::loadFaults()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path(), edits));
    const Result<LoadedCard> loaded = loadCard(dir.filePath(kName + ".dat"), dir.path());
    QVERIFY(failed(loaded));
    QCOMPARE(std::get<ReadError>(loaded).message, message.replace("%1", dir.path()));
}

void TestCardFiles::loadValues_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("key"); // i: index, f: flag, t: text, or a count
    QTest::addColumn<QString>("value");

    const auto row = [](const char *name, const QStringList &edits, const QString &key, const QString &value) {
        QTest::newRow(name) << edits << key << value;
    };
    row("SexGroup 7 clamps", {mainEdit("SexGroup", "7")}, "i:SexGroup", "1");
    row("SexGroup 2 clamps", {mainEdit("SexGroup", "2")}, "i:SexGroup", "1");
    row("SexGroup -5", {mainEdit("SexGroup", "-5")}, "i:SexGroup", "-1");
    row("SexGroup +1", {mainEdit("SexGroup", "+1")}, "i:SexGroup", "1");
    row("W4Group 99", {mainEdit("W4Group", "99")}, "i:W4Group", "4");
    row("TypeBox 2", {mainEdit("TypeBox", "2")}, "i:TypeBox", "2");
    row("TypeBox 5", {mainEdit("TypeBox", "5")}, "i:TypeBox", "-1");
    row("TypeBox -2", {mainEdit("TypeBox", "-2")}, "i:TypeBox", "-1");
    row("ShabBox 2", {mainEdit("ShabBox", "2")}, "i:ShabBox", "2");
    row("ShabBox beyond list", {mainEdit("ShabBox", "3")}, "i:ShabBox", "-1");
    row("ShabBox, empty list", {mainEdit("ShabBox", "0"), "shablon.kmt="}, "i:ShabBox", "-1");
    row("flag 2", {mainEdit("W5Box1", "2")}, "f:W5Box1", "0");
    row("flag -1", {mainEdit("W5Box1", "-1")}, "f:W5Box1", "0");
    row("flag with blanks", {mainEdit("W5Box1", "  1")}, "f:W5Box1", "1");
    row("text kept", {mainEdit("VesEdit", " 92 ")}, "t:VesEdit", " 92 ");
    row("date kept", {mainEdit("BirEdit", "1.1.2000")}, "t:BirEdit", "1.1.2000");
    row("notes continue",
        {fileEdit("~", baseMain().mid(0, 87) << "n"
                                             << ""
                                             << "b")},
        "t:PrimMemo", "n\n\nb");
    row("LF line ends",
        {"~=" + (baseMain().mid(0, 87) << "n"
                                       << "m")
                    .join('\n')},
        "t:PrimMemo", "n\nm");
    row("memo line ends", {"~.prp=a\rb\nc\r\n"}, "prep", "a\nb\nc\n");
    row("vit radio 9", {vitaeEdit("BudGroup", "9")}, "i:BudGroup", "3");
    row("vit radio -2", {vitaeEdit("JirGroup", "-2")}, "i:JirGroup", "-1");
    row("vit check 2", {vitaeEdit("NarkoBox", "2")}, "f:NarkoBox", "0");
    row("KonBox line 1", {vitaeEdit("KonBox", "1")}, "f:KonBox", "1");
    row("KonBox line x", {vitaeEdit("KonBox", "x")}, "f:KonBox", "0");
    row("KonBox, 225 lines", {fileEdit("~.vit", baseVitae().mid(0, 225))}, "f:KonBox", "0");
    row("KonBox, extra lines",
        {fileEdit("~.vit", baseVitae() << "1"
                                       << "x")},
        "f:KonBox", "0");
    row("next visit after the goal", {fileEdit("~.vit", baseVitae() << "22.12.2026")}, "t:NextEdit", "22.12.2026");
    row("no next visit line", {}, "t:NextEdit", "");
    row("next visit, 225 lines", {fileEdit("~.vit", baseVitae().mid(0, 225))}, "t:NextEdit", "");
    row(".tb1 of 4", {sized("~.tb1", 4)}, "rows", "1");
    row(".tb1 of 7", {sized("~.tb1", 7)}, "rows", "2");
    row(".tb1 of 84", {sized("~.tb1", 84)}, "rows", "28");
    row(".tb2 empty", {}, "visits", "0");
    row(".tb2 of 5", {sized("~.tb2", 5)}, "visits", "0");
    row(".tb2 of 25", {sized("~.tb2", 25)}, "visits", "2");
}

void TestCardFiles::loadValues()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path(), edits));
    const Result<LoadedCard> loaded = loadCard(dir.filePath(kName + ".dat"), dir.path());
    QVERIFY2(!failed(loaded), failed(loaded) ? qPrintable(std::get<ReadError>(loaded).message) : "");
    const LoadedCard &l = std::get<LoadedCard>(loaded);
    const QString name = key.mid(2);
    QString actual = "unknown key";
    if (key.startsWith("i:"))
        actual = QString::number(testsupport::indexOf(l.card, name));
    else if (key.startsWith("f:"))
        actual = QString::number(testsupport::flagOf(l.card, name));
    else if (key.startsWith("t:"))
        actual = testsupport::textOf(l.card, name);
    else if (key == "rows")
        actual = QString::number(l.card.diagnosticRows.size());
    else if (key == "visits")
        actual = QString::number(l.card.visitRows.size());
    else if (key == "prep")
        actual = l.card.preparations;
    QCOMPARE(actual, value);
}

void TestCardFiles::sideFilesBesideMainFile()
{
    // The data folder holds the template list and a broken set of the same name;
    // the chosen copy lives elsewhere under another file name.
    QTemporaryDir data, other;
    QVERIFY(writeBase(data.path(), {"~.vit=x\r\n", "~.tb1"}));
    QVERIFY(writeBase(other.path(), {"shablon.kmt=Один\r\n"}));
    QVERIFY(QFile::rename(other.filePath(kName + ".dat"), other.filePath("копия.dat")));

    const Result<LoadedCard> loaded = loadCard(other.filePath("копия.dat"), data.path());
    QVERIFY2(!failed(loaded), failed(loaded) ? qPrintable(std::get<ReadError>(loaded).message) : "");
    QCOMPARE(std::get<LoadedCard>(loaded).card.text(Field::Name), kName);
    QCOMPARE(std::get<LoadedCard>(loaded).templateTitles, kTemplates);

    QVERIFY(QFile::remove(other.filePath(kName + ".dat.rec")));
    const Result<LoadedCard> broken = loadCard(other.filePath("копия.dat"), data.path());
    QVERIFY(failed(broken));
    QCOMPARE(std::get<ReadError>(broken).message,
             "Cannot open file \"" + other.filePath(kName + ".dat.rec") + "\". No such file or directory");
}

void TestCardFiles::roundTripKeepsBytes_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("vitTail"); // what the saved .dat.vit ends with
    QTest::newRow("card without a next visit") << QStringList{} << "\r\n0\r\n-1\r\n\r\n";
    QTest::newRow("card with one") << QStringList{fileEdit("~.vit", baseVitae() << "22.12.2026")}
                                   << "\r\n-1\r\n\r\n22.12.2026\r\n";
}

void TestCardFiles::roundTripKeepsBytes()
{
    // A card opened and saved again is the same bytes, whatever newer
    // values it does not have.
    QFETCH(QStringList, edits);
    QFETCH(QString, vitTail);
    QTemporaryDir dir, again;
    QVERIFY(writeBase(dir.path(), edits));
    const Result<LoadedCard> loaded = loadCard(dir.filePath(kName + ".dat"), dir.path());
    QVERIFY(!failed(loaded));
    QVERIFY(!saveCard(std::get<LoadedCard>(loaded).card, again.path()));
    for (const QString &suffix : kSuffixes)
        QCOMPARE(readFile(again.filePath(kName + ".dat" + suffix)), readFile(dir.filePath(kName + ".dat" + suffix)));
    QVERIFY(readFile(again.filePath(kName + ".dat.vit")).endsWith(vitTail.toLatin1()));
    QCOMPARE(QDir(again.path()).entryList(QDir::Files | QDir::Hidden).size(), kSuffixes.size());
}

void TestCardFiles::bodyFile_data()
{
    QTest::addColumn<QVector<QStringList>>("visits");
    QTest::addColumn<QString>("bio"); // the .dat.bio file's text, "-" for no file
    const QStringList plain = {"10.01.2024", "96", "", "", "", "", "", "", "", ""};
    const QStringList measured = plain + QStringList{"41,2", "", "27,9", "43,1", "12"};
    const QStringList massOnly = plain + QStringList{"", "39,6", "", "", ""};
    QTest::newRow("no body composition") << QVector<QStringList>{plain, plain} << "-";
    QTest::newRow("one visit of two measured")
        << QVector<QStringList>{measured, plain} << "41,2;;27,9;43,1;12\r\n;;;;\r\n";
    QTest::newRow("the last visit only, one value")
        << QVector<QStringList>{plain, plain, massOnly} << ";;;;\r\n;;;;\r\n;39,6;;;\r\n";
    QTest::newRow("emptied body columns write no file") << QVector<QStringList>{plain + QStringList(5)} << "-";
}

void TestCardFiles::bodyFile()
{
    // One line a visit, in Windows-1251 with CR LF, only for a card that has
    // some; it opens into the same rows and saves into the same bytes.
    QFETCH(QVector<QStringList>, visits);
    QFETCH(QString, bio);
    QTemporaryDir dir, again;
    QVERIFY(writeFile(dir.filePath("shablon.kmt"), listBytes(kTemplates)));
    CardState card = sample(false, kName).card;
    QVERIFY(!saveCard(card, dir.path())); // an earlier version without body composition
    card.visitRows = visits;
    card.visitRows.first() += QStringList{"30", "", "", "", ""}; // ... then one with it
    QVERIFY(!saveCard(card, dir.path()));
    QVERIFY(QFile::exists(dir.filePath(kName + ".dat.bio")));
    card.visitRows = visits;
    QVERIFY(!saveCard(card, dir.path()));
    const QString path = dir.filePath(kName + ".dat.bio");
    QCOMPARE(QFile::exists(path), bio != "-");
    if (bio != "-")
        QCOMPARE(readFile(path), cp1251(bio));

    const Result<LoadedCard> loaded = loadCard(dir.filePath(kName + ".dat"), dir.path());
    QVERIFY(!failed(loaded));
    const QVector<QStringList> rows = std::get<LoadedCard>(loaded).card.visitRows;
    QCOMPARE(rows.size(), visits.size());
    auto body = [](const QStringList &row) { // "" for a row without body composition
        const QString cells = row.mid(kVisitColumns).join('|');
        return cells.count('|') == cells.size() ? QString() : cells;
    };
    for (int r = 0; r < rows.size(); ++r) {
        QCOMPARE(rows.at(r).mid(0, kVisitColumns), visits.at(r).mid(0, kVisitColumns));
        QCOMPARE(body(rows.at(r)), body(visits.at(r)));
    }
    QVERIFY(!saveCard(std::get<LoadedCard>(loaded).card, again.path()));
    for (const QString &suffix : kSuffixes + QStringList{".bio"})
        QCOMPARE(readFile(again.filePath(kName + ".dat" + suffix)), readFile(dir.filePath(kName + ".dat" + suffix)));
}

void TestCardFiles::saveRefused_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message"); // a part of the message; empty: the save succeeds

    const QString rule = "не может содержать";
    QTest::newRow("empty name") << "FioEdit"
                                << ""
                                << "Введите Ф.И.О. пациента!";
    QTest::newRow("slash") << "FioEdit"
                           << "a/b" << rule;
    QTest::newRow("backslash") << "FioEdit"
                               << "a\\b" << rule;
    QTest::newRow("dot") << "FioEdit"
                         << "." << rule;
    QTest::newRow("two dots") << "FioEdit"
                              << ".." << rule;
    QTest::newRow("tab") << "FioEdit"
                         << "a\tb" << rule;
    QTest::newRow("line feed") << "FioEdit"
                               << "a\nb" << rule;
    QTest::newRow("漢 in name") << "FioEdit"
                                << "Иванов 漢"
                                << "\"Ф.И.О.\"";
    QTest::newRow("漢 in JobEdit") << "JobEdit"
                                   << "漢"
                                   << "\"Место работы\"";
    QTest::newRow("é in TastEdit") << "TastEdit"
                                   << "é"
                                   << "\"Какой вкус продуктов больше нравится\"";
    QTest::newRow("漢 in BirEdit") << "BirEdit"
                                   << "漢"
                                   << "\"Дата рождения\"";
    QTest::newRow("漢 in notes") << "PrimMemo"
                                 << "строка\n漢"
                                 << "\"Примечания врача\"";
    QTest::newRow("漢 in PrepMemo") << "prep"
                                    << "漢"
                                    << "\"Назначаемые препараты\"";
    QTest::newRow("漢 in RecMemo") << "rec"
                                   << "漢"
                                   << "\"Рекомендации\"";
    QTest::newRow("漢 in Grid1") << "diag"
                                 << "漢"
                                 << "\"Данные диагностики\"";
    QTest::newRow("漢 in Grid2") << "visit"
                                 << "漢"
                                 << "\"Динамика потери веса\"";
    QTest::newRow("line break in JobEdit") << "JobEdit"
                                           << "a\nb"
                                           << "\"Место работы\" содержит перевод строки";
    QTest::newRow("line break in Grid2") << "visit"
                                         << "82\n5"
                                         << "\"Динамика потери веса\" содержит перевод";
    QTest::newRow("separator in a body value") << "body"
                                               << "41;2"
                                               << "содержит знак \";\"";
    QTest::newRow("漢 in a body value") << "body"
                                        << "漢"
                                        << "\"Состав тела\"";
    QTest::newRow("name ending with a point") << "FioEdit"
                                              << "Иванов."
                                              << "";
    QTest::newRow("name of blanks") << "FioEdit"
                                    << "   "
                                    << "";
    QTest::newRow("three dots") << "FioEdit"
                                << "..."
                                << "";
    QTest::newRow("€ in notes") << "PrimMemo"
                                << "€ 5"
                                << "";
}

void TestCardFiles::saveRefused()
{
    QFETCH(QString, where);
    QFETCH(QString, value);
    QFETCH(QString, message);

    CardState card = sample(true, kName).card;
    if (where == "prep")
        card.preparations = value;
    else if (where == "rec")
        card.recommendations = value;
    else if (where == "diag")
        card.diagnosticRows.last()[2] = value;
    else if (where == "visit")
        card.visitRows.first()[9] = value;
    else if (where == "body")
        card.visitRows.first() << value;
    else
        testsupport::setText(card, where, value);

    QTemporaryDir dir;
    const auto error = saveCard(card, dir.path());
    if (message.isEmpty()) {
        QVERIFY2(!error, error ? qPrintable(error->message) : "");
        QVERIFY(QFileInfo::exists(dir.filePath(testsupport::textOf(card, "FioEdit") + ".dat.vit")));
        QCOMPARE(snapshot(dir.path()).size(), 6);
        return;
    }
    QVERIFY(error);
    QVERIFY(error->refusedInput);
    QVERIFY2(error->message.contains(message), qPrintable(error->message));
    QCOMPARE(snapshot(dir.path()), QStringList());
}

void TestCardFiles::saveBlockedTarget_data()
{
    QTest::addColumn<QString>("suffix");
    for (const QString &suffix : kSuffixes)
        QTest::addRow("Иванов.dat%s", qPrintable(suffix)) << suffix;
}

void TestCardFiles::saveBlockedTarget()
{
    QFETCH(QString, suffix);

    QTemporaryDir dir;
    QVERIFY(!saveCard(sample(true, kName).card, dir.path()));
    const QString blocked = dir.filePath(kName + ".dat" + suffix);
    QVERIFY(QFile::remove(blocked));
    QVERIFY(QDir(dir.path()).mkdir(kName + ".dat" + suffix));
    const QStringList before = snapshot(dir.path());

    const auto error = saveCard(sample(false, kName).card, dir.path());
    QVERIFY(error);
    QVERIFY(!error->refusedInput);
    QVERIFY2(error->message.startsWith("Cannot create file \"" + blocked + "\". "), qPrintable(error->message));
    QCOMPARE(snapshot(dir.path()), before);
}

void TestCardFiles::saveIntoMissingFolder()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("нет");
    const auto error = saveCard(sample(true, kName).card, missing);
    QVERIFY(error);
    QVERIFY(!error->refusedInput);
    QVERIFY2(error->message.startsWith("Cannot create file \"" + missing + "/" + kName + ".dat\". "),
             qPrintable(error->message));
    QCOMPARE(snapshot(dir.path()), QStringList());
}

QTEST_GUILESS_MAIN(TestCardFiles)
#include "tst_cardfiles.moc"
