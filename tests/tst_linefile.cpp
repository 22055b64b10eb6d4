#include "text/linefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;

class TestLineFile : public QObject {
    Q_OBJECT

private slots:
    void splitLines_data();
    void splitLines();
    void listFileText_data();
    void listFileText();
    void memoText_data();
    void memoText();
    void encoding_data();
    void encoding();
    void toInt_data();
    void toInt();
    void withFullStop_data();
    void withFullStop();
    void readFiles();
};

void TestLineFile::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lone CR") << "a\rb\r" << QStringList{"a", "b"};
    QTest::newRow("lone LF") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("last line without end") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("empty text") << "" << QStringList{};
    QTest::newRow("one line end") << "\r\n" << QStringList{""};
    QTest::newRow("empty lines kept") << "\r\n\r\nx\r\n\r\n" << QStringList{"", "", "x", ""};
    QTest::newRow("LF CR is two ends") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("CR CR LF") << "a\r\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("mixed") << "a\r\n\rb\n\r\nc" << QStringList{"a", "", "b", "", "c"};
    QTest::newRow("blanks kept") << "  a \r\n\t" << QStringList{"  a ", "\t"};
}

void TestLineFile::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(vel::splitLines(text), lines);
}

void TestLineFile::listFileText_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty list") << QStringList{} << "";
    QTest::newRow("one empty line") << QStringList{""} << "\r\n";
    QTest::newRow("every line ends") << QStringList{"a", "", "b"} << "a\r\n\r\nb\r\n";
    QTest::newRow("entry with LF") << QStringList{"x\ny", "z"} << "x\r\ny\r\nz\r\n";
    QTest::newRow("entry with CR LF") << QStringList{"x\r\ny"} << "x\r\ny\r\n";
}

void TestLineFile::listFileText()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QCOMPARE(vel::listFileText(lines), text);
}

void TestLineFile::memoText_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("file");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one line, no end added") << "Текст"
                                            << "Текст";
    QTest::newRow("two lines") << "a\nb"
                               << "a\r\nb";
    QTest::newRow("final break kept") << "a\n"
                                      << "a\r\n";
    QTest::newRow("only breaks") << "\n\n"
                                 << "\r\n\r\n";
}

void TestLineFile::memoText()
{
    QFETCH(QString, memo);
    QFETCH(QString, file);
    QCOMPARE(toCrLf(memo), file);
    QCOMPARE(memoFromFileText(file), memo);
    QCOMPARE(toCrLf(file), file); // CR LF is not doubled
    // Lone CR and lone LF in a file are line breaks too.
    QCOMPARE(memoFromFileText("a\rb\nc\r\nd"), QString("a\nb\nc\nd"));
    QCOMPARE(toCrLf("a\rb"), QString("a\r\nb"));
}

void TestLineFile::encoding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << "" << true << QByteArray();
    QTest::newRow("ASCII") << "Az 09 .-!" << true << QByteArray("Az 09 .-!");
    QTest::newRow("А") << "А" << true << QByteArray("\xC0");
    QTest::newRow("Ф") << "Ф" << true << QByteArray("\xD4");
    QTest::newRow("я") << "я" << true << QByteArray("\xFF");
    QTest::newRow("ё") << "ё" << true << QByteArray("\xB8");
    QTest::newRow("Ё") << "Ё" << true << QByteArray("\xA8");
    QTest::newRow("№") << "№" << true << QByteArray("\xB9");
    QTest::newRow("€") << "€" << true << QByteArray("\x88");
    QTest::newRow("line ends") << "a\r\nб" << true << QByteArray("a\r\n\xE1");
    QTest::newRow("漢") << "漢" << false << QByteArray();
    QTest::newRow("漢 inside") << "Иванов 漢" << false << QByteArray();
    QTest::newRow("é") << "é" << false << QByteArray();
    QTest::newRow("emoji") << "😀" << false << QByteArray();
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false << QByteArray();
}

void TestLineFile::encoding()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);
    QFETCH(QByteArray, bytes);

    const std::optional<QByteArray> encoded = encode1251(text);
    QCOMPARE(encoded.has_value(), storable);
    if (storable) {
        QCOMPARE(encoded->toHex(), bytes.toHex());
        QCOMPARE(decode1251(bytes), text);
    }
}

void TestLineFile::toInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("0") << "0" << true << 0;
    QTest::newRow("leading blanks") << "  12" << true << 12;
    QTest::newRow("minus") << "-1" << true << -1;
    QTest::newRow("plus") << "+3" << true << 3;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("too small") << "-2147483649" << false << 0;
    QTest::newRow("far too large") << "99999999999999999999" << false << 0;
    QTest::newRow("trailing blank") << "1 " << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("blank after sign") << "- 1" << false << 0;
    QTest::newRow("two signs") << "--1" << false << 0;
    QTest::newRow("hex") << "0x1" << false << 0;
    QTest::newRow("decimal point") << "1.0" << false << 0;
    QTest::newRow("letter") << "x" << false << 0;
    QTest::newRow("Arabic-Indic digit") << "١" << false << 0;
    QTest::newRow("fullwidth digit") << "１" << false << 0;
}

void TestLineFile::toInt()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const std::optional<int> n = vel::toInt(text);
    QCOMPARE(n.has_value(), valid);
    if (valid)
        QCOMPARE(*n, value);
}

void TestLineFile::withFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("letter") << "Is a directory"
                            << "Is a directory.";
    QTest::newRow("digit") << "List index out of bounds (0"
                           << "List index out of bounds (0.";
    QTest::newRow("Cyrillic") << "Нет файла"
                              << "Нет файла.";
    QTest::newRow("slash sorts after") << "a/"
                                       << "a/.";
    QTest::newRow("full stop") << "Готово."
                               << "Готово.";
    QTest::newRow("exclamation") << "Введите Ф.И.О. пациента!"
                                 << "Введите Ф.И.О. пациента!";
    QTest::newRow("closing bracket") << "List index out of bounds (87)"
                                     << "List index out of bounds (87)";
    QTest::newRow("single quote") << "value 'x'"
                                  << "value 'x'";
    QTest::newRow("double quote") << "file \"a\""
                                  << "file \"a\"";
    QTest::newRow("minus") << "a-"
                           << "a-";
    QTest::newRow("blank") << "a "
                           << "a ";
    QTest::newRow("empty") << ""
                           << "";
}

void TestLineFile::withFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(vel::withFullStop(message), shown);
}

void TestLineFile::readFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("list.txt");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\xD4\xFF\r\n\xB8\xB9\n\r\x88");
    f.close();

    const Result<QString> text = readTextFile(path);
    QVERIFY(!failed(text));
    QCOMPARE(std::get<QString>(text), QString("Фя\r\nё№\n\r€"));
    const Result<QStringList> lines = readListFile(path);
    QVERIFY(!failed(lines));
    QCOMPARE(std::get<QStringList>(lines), (QStringList{"Фя", "ё№", "", "€"}));

    // A missing file and a folder are reported with the absolute path.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const Result<QString> missing = readTextFile("нет.txt");
    QDir::setCurrent(previous);
    QVERIFY(failed(missing));
    QCOMPARE(std::get<ReadError>(missing).message,
             "Cannot open file \"" + dir.filePath("нет.txt") + "\". No such file or directory");
    const Result<QStringList> folder = readListFile(dir.path());
    QVERIFY(failed(folder));
    QVERIFY(std::get<ReadError>(folder).message.startsWith("Cannot open file \"" + dir.path() + "\". "));
}

QTEST_GUILESS_MAIN(TestLineFile)
#include "tst_linefile.moc"
