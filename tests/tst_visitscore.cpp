#include "text/linefile.h"
#include "visits/age.h"
#include "visits/prescription.h"
#include "visits/templatestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class VisitsCoreTest : public QObject {
    Q_OBJECT

private slots:
    void age_data();
    void age();
    void broca_data();
    void broca();
    void todayText_data();
    void todayText();
    void templateRoundTrip_data();
    void templateRoundTrip();
    void templateRead_data();
    void templateRead();
    void templateTitle_data();
    void templateTitle();
    void missingTemplateText();
    void saveFailure_data();
    void saveFailure();
    void prescription_data();
    void prescription();
    void firstVisit_data();
    void firstVisit();
};

void VisitsCoreTest::age_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("age"); // -999: no age

    const QDate mid(2024, 3, 15);
    QTest::newRow("on birthday") << "15.03.1980" << mid << 44;
    QTest::newRow("day before birthday") << "16.03.1980" << mid << 43;
    QTest::newRow("day after birthday") << "14.03.1980" << mid << 44;
    QTest::newRow("month after") << "15.04.1980" << mid << 43;
    QTest::newRow("month before") << "15.02.1980" << mid << 44;
    QTest::newRow("late in month, early today") << "31.03.1980" << QDate(2024, 3, 1) << 43;
    QTest::newRow("leap day, 28 Feb") << "29.02.2000" << QDate(2023, 2, 28) << 22;
    QTest::newRow("leap day, 1 Mar") << "29.02.2000" << QDate(2023, 3, 1) << 23;
    QTest::newRow("new year's eve") << "31.12.1990" << QDate(2024, 12, 30) << 33;
    QTest::newRow("born today") << "01.03.2024" << QDate(2024, 3, 1) << 0;
    QTest::newRow("future year") << "01.01.2030" << mid << -999;
    QTest::newRow("tomorrow") << "16.03.2024" << mid << -999;
    QTest::newRow("no such day") << "31.02.1980" << mid << -999;
    QTest::newRow("no such month") << "15.13.1980" << mid << -999;
    QTest::newRow("29 Feb of a common year") << "29.02.1981" << mid << -999;
    QTest::newRow("two-digit year") << "15.03.80  " << mid << -999;
    QTest::newRow("blank mask") << "  .  .    " << mid << -999;
    QTest::newRow("blank day") << "  .03.1980" << mid << -999;
    QTest::newRow("empty") << "" << mid << -999;
}

void VisitsCoreTest::age()
{
    QFETCH(QString, birth);
    QFETCH(QDate, today);
    QFETCH(int, age);
    QCOMPARE(ageFromBirthText(birth, today).value_or(-999), age);
}

void VisitsCoreTest::broca_data()
{
    QTest::addColumn<int>("build");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("value");

    const int shown = BrocaResult::Shown;
    QTest::newRow("normo 45") << 0 << "45"
                              << "170" << shown << "70";
    QTest::newRow("normo 30") << 0 << "30"
                              << "170" << shown << "60";
    QTest::newRow("asthenic") << 1 << "30"
                              << "165" << shown << "49,5";
    QTest::newRow("hyper 39") << 2 << "39"
                              << "163" << shown << "58,3";
    QTest::newRow("hyper 40") << 2 << "40"
                              << "170" << shown << "77";
    QTest::newRow("zero") << 0 << "30"
                          << "110" << shown << "0";
    QTest::newRow("negative whole") << 1 << "30"
                                    << "100" << shown << "-9";
    QTest::newRow("negative tenths") << 1 << "30"
                                     << "107" << shown << "-2,7";
    QTest::newRow("tenths below one") << 1 << "30"
                                      << "109" << shown << "-0,9";
    QTest::newRow("no overflow") << 2 << "50"
                                 << "2147483647" << shown << "2362231901,7";
    QTest::newRow("empty age") << 0 << ""
                               << "170" << int(BrocaResult::BirthDateMessage) << "";
    QTest::newRow("age letters") << 0 << "abc"
                                 << "170" << int(BrocaResult::HeightMessage) << "";
    QTest::newRow("height letters") << 0 << "30"
                                    << "abc" << int(BrocaResult::HeightMessage) << "";
    QTest::newRow("height empty") << 1 << "30"
                                  << "" << int(BrocaResult::HeightMessage) << "";
    QTest::newRow("height split") << 2 << "30"
                                  << "1 70" << int(BrocaResult::HeightMessage) << "";
    QTest::newRow("no body build") << -1 << "30"
                                   << "170" << int(BrocaResult::NoBodyBuild) << "";
    QTest::newRow("build out of range") << 3 << ""
                                        << "" << int(BrocaResult::NoBodyBuild) << "";
}

void VisitsCoreTest::broca()
{
    QFETCH(int, build);
    QFETCH(QString, age);
    QFETCH(QString, height);
    QFETCH(int, outcome);
    QFETCH(QString, value);

    const BrocaResult r = brocaCaption(build, age, height);
    QCOMPARE(int(r.outcome), outcome);
    const QString expected = outcome == BrocaResult::Shown ? "Идеальный вес по Броку: " + value + " кг." : QString();
    QCOMPARE(r.caption, expected);
}

void VisitsCoreTest::todayText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("visitRow"); // a new visit row's date, the day in two digits
    QTest::newRow("single digits") << QDate(2024, 3, 5) << "5.03.2024"
                                   << "05.03.2024";
    QTest::newRow("double digits") << QDate(2024, 12, 25) << "25.12.2024"
                                   << "25.12.2024";
    QTest::newRow("first of January") << QDate(2000, 1, 1) << "1.01.2000"
                                      << "01.01.2000";
}

void VisitsCoreTest::todayText()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QFETCH(QString, visitRow);
    QCOMPARE(vel::todayText(date), text);
    QCOMPARE(vel::visitDateText(date), visitRow);
}

void VisitsCoreTest::templateRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QByteArray>("textBytes");
    QTest::addColumn<QByteArray>("listBytes");

    QTest::newRow("empty text, empty list") << "" << QStringList() << QByteArray() << QByteArray();
    QTest::newRow("no final line end") << "a\nb" << QStringList{"x"} << QByteArray("a\r\nb") << QByteArray("x\r\n");
    QTest::newRow("final line end kept") << "a\n\n"
                                         << QStringList{"x", "", "y"} << QByteArray("a\r\n\r\n")
                                         << QByteArray("x\r\n\r\ny\r\n");
    QTest::newRow("cyrillic") << "Диета" << QStringList{"Шаблон 1", "Шаблон 2"} << QByteArray("\xC4\xE8\xE5\xF2\xE0")
                              << QByteArray("\xD8\xE0\xE1\xEB\xEE\xED 1\r\n"
                                            "\xD8\xE0\xE1\xEB\xEE\xED 2\r\n");
}

void VisitsCoreTest::templateRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QStringList, titles);
    QFETCH(QByteArray, textBytes);
    QFETCH(QByteArray, listBytes);

    QTemporaryDir dir;
    QVERIFY(!saveTemplate(dir.path(), 2, text, titles));
    QCOMPARE(fileBytes(dir.path() + "/shablon2.txt"), textBytes);
    QCOMPARE(fileBytes(dir.path() + "/shablon.kmt"), listBytes);

    const auto readText = readTemplateText(dir.path(), 2);
    QVERIFY(!failed(readText));
    QCOMPARE(std::get<QString>(readText), text);
    const auto readTitles = readTemplateList(dir.path());
    QVERIFY(!failed(readTitles));
    QCOMPARE(std::get<QStringList>(readTitles), titles);
}

void VisitsCoreTest::templateRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("savedAgain");

    QTest::newRow("LF only") << QByteArray("a\nb\n") << "a\nb\n" << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR only") << QByteArray("a\rb") << "a\nb" << QByteArray("a\r\nb");
    QTest::newRow("mixed") << QByteArray("a\r\n\rb\n") << "a\n\nb\n" << QByteArray("a\r\n\r\nb\r\n");
}

void VisitsCoreTest::templateRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, savedAgain);

    QTemporaryDir dir;
    putFile(dir.path() + "/shablon1.txt", bytes);
    const auto r = readTemplateText(dir.path(), 1);
    QVERIFY(!failed(r));
    QCOMPARE(std::get<QString>(r), text);
    QVERIFY(!saveTemplate(dir.path(), 1, text, {newTemplateTitle(1)}));
    QCOMPARE(fileBytes(dir.path() + "/shablon1.txt"), savedAgain);
}

void VisitsCoreTest::templateTitle_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::newRow("as typed") << "Диета 1500 ккал"
                              << "Диета 1500 ккал";
    QTest::newRow("blanks around") << "  Разгрузка "
                                   << "Разгрузка";
    QTest::newRow("nothing") << ""
                             << "Шаблон 4";
    QTest::newRow("blanks only") << "   "
                                 << "Шаблон 4";
    QTest::newRow("pasted CR LF") << "Диета\r\nлето"
                                  << "Диета лето";
    QTest::newRow("lone LF and CR") << "а\nб\rв"
                                    << "а б в";
    QTest::newRow("paragraph mark") << QString("а") + QChar(QChar::ParagraphSeparator) + "б"
                                    << "а б";
    QTest::newRow("only a line break") << "\r\n"
                                       << "Шаблон 4";
}

void VisitsCoreTest::templateTitle()
{
    QFETCH(QString, typed);
    QFETCH(QString, title);
    QCOMPARE(vel::templateTitle(typed, 4), title);
    // One title is one line of the list file.
    QTemporaryDir dir;
    QVERIFY(!saveTemplate(dir.path(), 1, "", {vel::templateTitle(typed, 4), "Другой"}));
    const auto titles = readTemplateList(dir.path());
    QVERIFY(!failed(titles));
    QCOMPARE(std::get<QStringList>(titles), QStringList({title, "Другой"}));
}

void VisitsCoreTest::missingTemplateText()
{
    // A created but never saved template has a title and no text file.
    QTemporaryDir dir;
    const auto r = readTemplateText(dir.path(), 3);
    QVERIFY(failed(r));
    const QString path = QDir(dir.path()).absoluteFilePath("shablon3.txt");
    QVERIFY(std::get<ReadError>(r).message.startsWith("Cannot open file \"" + path + "\". "));
}

void VisitsCoreTest::saveFailure_data()
{
    QTest::addColumn<QString>("obstacle"); // what stands in the way, relative to the folder
    QTest::addColumn<bool>("isDir");
    QTest::addColumn<QString>("dataDir"); // relative to the folder
    QTest::addColumn<QString>("failedFile");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message"); // empty: a "Cannot create file" message

    const QString title = "Шаблон 1";
    QTest::newRow("parent is a file") << "plain" << false << "plain"
                                      << "shablon1.txt"
                                      << "t" << title << "";
    QTest::newRow("missing folder") << "" << false << "nowhere"
                                    << "shablon1.txt"
                                    << "t" << title << "";
    QTest::newRow("text file is a folder") << "shablon1.txt" << true << "."
                                           << "shablon1.txt"
                                           << "t" << title << "";
    QTest::newRow("text not Windows-1251")
        << "" << false << "."
        << ""
        << "✓ пункт" << title << "Текст шаблона содержит символы, которые нельзя сохранить в кодировке Windows-1251.";
    QTest::newRow("title not Windows-1251")
        << "" << false << "."
        << ""
        << "t"
        << "Шаблон ✓"
        << "Название шаблона содержит символы, которые нельзя сохранить в кодировке "
           "Windows-1251.";
}

void VisitsCoreTest::saveFailure()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, isDir);
    QFETCH(QString, dataDir);
    QFETCH(QString, failedFile);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, message);

    QTemporaryDir tmp;
    const QDir root(tmp.path());
    putFile(root.filePath("shablon.kmt"), "old\r\n");
    putFile(root.filePath("shablon2.txt"), "old text");
    if (isDir)
        QVERIFY(root.mkdir(obstacle));
    else if (!obstacle.isEmpty())
        putFile(root.filePath(obstacle), "");

    const QString dataPath = root.filePath(dataDir);
    const auto error = saveTemplate(dataPath, 1, text, {title});
    QVERIFY(error);
    if (message.isEmpty()) {
        const QString path = QFileInfo(QDir(dataPath).filePath(failedFile)).absoluteFilePath();
        QVERIFY2(error->message.startsWith("Cannot create file \"" + path + "\". "), qPrintable(error->message));
        QVERIFY(error->message.size() > path.size() + 22); // a reason follows
    } else {
        QCOMPARE(error->message, message);
    }
    QCOMPARE(fileBytes(root.filePath("shablon.kmt")), QByteArray("old\r\n"));
    QCOMPARE(fileBytes(root.filePath("shablon2.txt")), QByteArray("old text"));
    if (!isDir)
        QVERIFY(!QFileInfo::exists(root.filePath("shablon1.txt")));
}

void VisitsCoreTest::prescription_data()
{
    QTest::addColumn<QString>("fio");
    QTest::addColumn<QString>("prep");
    QTest::addColumn<QString>("rec");
    QTest::addColumn<QString>("middle"); // what stands between the headings

    QTest::newRow("plain") << "Иванова А.А."
                           << "Фитин"
                           << "Пить воду\nГулять"
                           << "Фитин\n \nРекомендации:\nПить воду\nГулять\n";
    QTest::newRow("prep ends with break") << "Иванова А.А."
                                          << "Фитин\n"
                                          << ""
                                          << "Фитин\n\n \nРекомендации:\n\n";
    QTest::newRow("empty prep") << "Иванова А.А."
                                << ""
                                << "Гулять"
                                << "\n \nРекомендации:\nГулять\n";
}

void VisitsCoreTest::prescription()
{
    QFETCH(QString, fio);
    QFETCH(QString, prep);
    QFETCH(QString, rec);
    QFETCH(QString, middle);

    const QString expected = "5.03.2024\nРецепт лечения\n \nПациент: " + fio +
                             "\nПервое обращение: 1.02.2024\n \nНазначаемые препараты:\n" + middle +
                             " \n \nВрач: ______________________ (подпись)\n";
    QCOMPARE(prescriptionText("5.03.2024", fio, "1.02.2024", prep, rec), expected);
}

void VisitsCoreTest::firstVisit_data()
{
    QTest::addColumn<QString>("visitDate");
    QTest::addColumn<QStringList>("rowDates");
    QTest::addColumn<QString>("first");
    QTest::newRow("no visits") << "1.02.2024" << QStringList{} << "1.02.2024";
    QTest::newRow("visits after it") << "1.02.2024" << QStringList{"8.02.2024", "15.02.2024"} << "1.02.2024";
    QTest::newRow("an earlier visit, not the first row")
        << "1.02.2024" << QStringList{"8.02.2024", "20.01.2024", "25.01.2024"} << "20.01.2024";
    QTest::newRow("earlier by year, as written") << "01.02.2024" << QStringList{"03.10.2023"} << "03.10.2023";
    QTest::newRow("blank visit date") << "  .  .    " << QStringList{"8.02.2024"} << "8.02.2024";
    QTest::newRow("unreadable rows ignored") << "1.02.2024" << QStringList{"", "31.01.24", "32.01.2024"} << "1.02.2024";
}

void VisitsCoreTest::firstVisit()
{
    QFETCH(QString, visitDate);
    QFETCH(QStringList, rowDates);
    QFETCH(QString, first);
    QVector<QStringList> rows;
    for (const QString &date : rowDates)
        rows << QStringList{date, "90", "", "", "", "", "", "", "", ""};
    const QString text = prescriptionText("5.03.2024", "Иванова А.А.", visitDate, "", "", rows);
    QVERIFY2(text.contains("\nПервое обращение: " + first + "\n"), qPrintable(text));
}

QTEST_GUILESS_MAIN(VisitsCoreTest)
#include "tst_visitscore.moc"
