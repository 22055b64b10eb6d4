#include "startup/commandline.h"
#include "startup/datafolder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;
using Action = StartupRequest::Action;

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void jobs_data();
    void jobs();
    void dataFolder_data();
    void dataFolder();
    void dataFolderInAFile();
};

void TestStartup::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("velnokasi"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.31"));
}

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("screenshot");
    const int run = int(Action::Run), fail = int(Action::Fail);
    QTest::newRow("nothing: the start folder") << QStringList{} << run << "/start/here" << false << "";
    QTest::newRow("relative folder from the start folder")
        << QStringList{"--data-dir", "../cards"} << run << "/start/cards" << true << "";
    QTest::newRow("absolute folder") << QStringList{"-d", "/srv/cards/"} << run << "/srv/cards" << true << "";
    QTest::newRow("documents") << QStringList{"--documents"} << run << "/home/u/Документы/Картотека" << true << "";
    QTest::newRow("screenshot from the start folder")
        << QStringList{"--screenshot", "shot.png"} << run << "/start/here" << false << "/start/here/shot.png";
    QTest::newRow("help wins over a bad option")
        << QStringList{"--bogus", "-h"} << int(Action::Help) << "" << false << "";
    QTest::newRow("version") << QStringList{"--version"} << int(Action::Version) << "" << false << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << fail << "" << false << "";
    QTest::newRow("stray argument") << QStringList{"cards"} << fail << "" << false << "";
    QTest::newRow("two data folders") << QStringList{"-d", "x", "--documents"} << fail << "" << false << "";
    QTest::newRow("empty folder name") << QStringList{"--data-dir="} << fail << "" << false << "";
    QTest::newRow("window system options are left to the toolkit")
        << QStringList{"-platform", "offscreen", "-style=fusion", "--reverse", "-d", "x"} << run << "/start/here/x"
        << true << "";
    QTest::newRow("a toolkit option hides no bad one")
        << QStringList{"-platform", "xcb", "--bogus"} << fail << "" << false << "";
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, action);
    args.prepend(QStringLiteral("velnokasi"));
    const StartupRequest r = parseCommandLine(withoutToolkitOptions(args), QStringLiteral("/start/here"),
                                              QStringLiteral("/home/u/Документы"));
    QCOMPARE(int(r.action), action);
    if (r.action == Action::Run) {
        QTEST(r.dataDir, "dataDir");
        QTEST(r.namedDataDir, "named");
        QTEST(r.screenshot, "screenshot");
    } else {
        QVERIFY(!r.text.isEmpty());
    }
    if (r.action == Action::Version)
        QCOMPARE(r.text, QStringLiteral("velnokasi 1.31\n"));
}

void TestStartup::jobs_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("iso");
    const int fail = int(Action::Fail);
    QTest::newRow("backup, folder from the start folder")
        << QStringList{"--backup", "../copies"} << int(Action::Backup) << "/start/copies" << false;
    QTest::newRow("export with ISO dates")
        << QStringList{"-d", "/srv/cards", "--export", "/mnt/x", "--iso"} << int(Action::Export) << "/mnt/x" << true;
    QTest::newRow("both jobs") << QStringList{"--backup", "a", "--export", "b"} << fail << "" << false;
    QTest::newRow("ISO without export") << QStringList{"--backup", "a", "--iso"} << fail << "" << false;
    QTest::newRow("empty backup folder") << QStringList{"--backup="} << fail << "" << false;
}

void TestStartup::jobs()
{
    QFETCH(QStringList, args);
    args.prepend(QStringLiteral("velnokasi"));
    const StartupRequest r = parseCommandLine(args, QStringLiteral("/start/here"), QStringLiteral("/home/u"));
    QTEST(int(r.action), "action");
    if (r.action == Action::Fail) {
        QVERIFY(!r.text.isEmpty());
        return;
    }
    QTEST(r.jobFolder, "folder");
    QTEST(r.isoSheet, "iso");
}

// Files already in the data folder before it is prepared; "-" is a file the
// user made, which must survive.
void TestStartup::dataFolder_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("examplesAdded");
    const QStringList all{"shablon.kmt", "shablon1.txt", "shablon2.txt", "shablon3.txt", "shablon4.txt"};
    QTest::newRow("missing folder") << QStringList{"<missing>"} << all;
    QTest::newRow("empty folder") << QStringList{} << all;
    QTest::newRow("has a template list: left alone") << QStringList{"shablon.kmt"} << QStringList{};
    QTest::newRow("own template text kept")
        << QStringList{"shablon2.txt"} << QStringList{"shablon.kmt", "shablon1.txt", "shablon3.txt", "shablon4.txt"};
}

void TestStartup::dataFolder()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, examplesAdded);
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("Документы/Картотека"));
    const QByteArray own("user's own text");
    if (!before.contains(QStringLiteral("<missing>"))) {
        QVERIFY(QDir().mkpath(dir));
        for (const QString &name : before)
            QVERIFY(testsupport::writeFile(dir + QLatin1Char('/') + name, own));
    }
    QCOMPARE(prepareDataFolder(dir), QString());
    for (const QString &name : QDir(kBuiltInExamples).entryList(QDir::Files)) {
        const QString path = dir + QLatin1Char('/') + name;
        if (examplesAdded.contains(name)) {
            QCOMPARE(testsupport::readAll(path), testsupport::readAll(kBuiltInExamples + QLatin1Char('/') + name));
            // Copied from read-only resources, yet the template editor must be able to save it.
            QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
        } else {
            QCOMPARE(testsupport::readAll(path), before.contains(name) ? own : QByteArray("<missing>"));
        }
    }
}

void TestStartup::dataFolderInAFile()
{
    QTemporaryDir tmp;
    const QString file = tmp.filePath(QStringLiteral("cards"));
    QVERIFY(testsupport::writeFile(file, "x"));
    QVERIFY(!prepareDataFolder(file).isEmpty());
    QVERIFY(!prepareDataFolder(file + QStringLiteral("/inner")).isEmpty());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
