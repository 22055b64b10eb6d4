#include "backup/backupcommands.h"
#include "backup/backupdialog.h"
#include "backup/restoredialog.h"
#include "card/deletion.h"
#include "makecards.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vel;
using testsupport::readAll;
using testsupport::writeFile;

class TestBackupCommands final : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void restoreAsksBeforeReplacing_data();
    void restoreAsksBeforeReplacing();
    void restoreListTicksShownCards_data();
    void restoreListTicksShownCards();
    void damagedArchiveNamesTheFile();
    void automaticCopyOncePerDay();
    void startupWarnings_data();
    void startupWarnings();
    void exportWritesBothFiles();

private:
    QString zipCount() const { return QString::number(QDir(m_copies.path()).entryList({"*.zip"}).size()); }
    QTemporaryDir m_data, m_copies, m_other;
    QStringList m_names;
    QStringList m_trashed;
    ScriptedPlatform m_platform;
    std::unique_ptr<BackupCommands> m_commands;
    QStringList m_status;
    QDateTime m_now{QDate(2026, 12, 8), QTime(18, 0)};
};

void TestBackupCommands::init()
{
    m_now = QDateTime(QDate(2026, 12, 8), QTime(18, 0));
    m_names = makeEdgeCards(m_data.path());
    QCOMPARE(m_names.size(), 5);
    BackupSettings settings;
    settings.folder = m_copies.path();
    settings.save();
    m_platform = ScriptedPlatform();
    m_commands = std::make_unique<BackupCommands>(nullptr, &m_platform, m_data.path(), QStringLiteral("test"));
    m_commands->setStatusSink([this](const QString &text) { m_status << text; });
    m_commands->setClock([this] { return m_now; });
    setTrashForTesting([this](const QString &path, QString *inTrash) {
        if (inTrash)
            *inTrash = path + QStringLiteral(".trashed");
        m_trashed << QFileInfo(path).fileName();
        return QFile::remove(path);
    });
}

void TestBackupCommands::cleanup()
{
    m_commands.reset();
    m_trashed.clear();
    m_status.clear();
    for (QTemporaryDir *dir : {&m_copies, &m_other})
        for (const QString &f : QDir(dir->path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(QDir(dir->path()).filePath(f));
}

void TestBackupCommands::restoreAsksBeforeReplacing_data()
{
    QTest::addColumn<int>("answer"); // 0 restores, 1 cancels
    QTest::newRow("the doctor agrees") << 0;
    QTest::newRow("the doctor cancels") << 1;
}

void TestBackupCommands::restoreAsksBeforeReplacing()
{
    QFETCH(int, answer);
    QVERIFY(m_commands->backupNow());
    const QString archive = QDir(m_copies.path()).filePath(QDir(m_copies.path()).entryList({"*.zip"}).value(0));
    // The other folder holds an older version of one of the two cards chosen.
    const QString name = m_names.at(2);
    const QString rec = name + QStringLiteral(".dat.rec");
    for (const QString &suffix : testsupport::kCardSuffixes)
        QVERIFY(QFile::copy(QDir(m_data.path()).filePath(name + suffix), QDir(m_other.path()).filePath(name + suffix)));
    QVERIFY(writeFile(QDir(m_other.path()).filePath(rec), "older"));

    BackupCommands commands(nullptr, &m_platform, m_other.path(), QStringLiteral("test"));
    QSignalSpy restored(&commands, &BackupCommands::cardsRestored);
    m_platform.nextOpenFiles << archive;
    m_platform.nextAnswers << answer;
    m_platform.onModal = [&](QWidget *w) {
        auto *dialog = qobject_cast<RestoreDialog *>(w);
        QVERIFY(dialog);
        dialog->checkCards(QStringLiteral("Зоя"));
        dialog->checkCards(QStringLiteral("Пустая"));
        QCOMPARE(dialog->checkedCards().size(), 2);
        dialog->accept();
    };
    commands.restoreFromBackup();
    QCOMPARE(m_platform.questions.size(), 1);
    QVERIFY(m_platform.questions.first().contains(name));
    QCOMPARE(m_platform.boxes, QStringList{});
    if (answer == 1) {
        QCOMPARE(readAll(QDir(m_other.path()).filePath(rec)), QByteArray("older"));
        QVERIFY(!QFile::exists(QDir(m_other.path()).filePath(m_names.at(0) + QStringLiteral(".dat"))));
        QCOMPARE(restored.size(), 0);
        return;
    }
    QCOMPARE(m_trashed.size(), 6);
    QCOMPARE(readAll(QDir(m_other.path()).filePath(rec)), readAll(QDir(m_data.path()).filePath(rec)));
    QVERIFY(QFile::exists(QDir(m_other.path()).filePath(m_names.at(0) + QStringLiteral(".dat"))));
    QCOMPARE(restored.size(), 1);
}

void TestBackupCommands::restoreListTicksShownCards_data()
{
    // Steps: "filter <text>", "all" (the button), "space <row>" (the key on a
    // row of the list as shown), "untick <row>" (through the list's model).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("nothing ticked") << QStringList{} << 3 << QStringList{};
    QTest::newRow("all") << QStringList{"all"} << 3 << QStringList{"a", "b", "c"};
    QTest::newRow("all of the shown, in any case") << QStringList{"filter ПЕТРОВ", "all"} << 2 << QStringList{"a", "b"};
    QTest::newRow("space on a filtered row") << QStringList{"filter анна", "space 1"} << 2 << QStringList{"c"};
    QTest::newRow("space twice unticks") << QStringList{"space 0", "space 0"} << 3 << QStringList{};
    QTest::newRow("untick one of all") << QStringList{"all", "untick 0"} << 3 << QStringList{"b", "c"};
    QTest::newRow("ticks outlive the filter") << QStringList{"filter Сид", "all", "filter "} << 3 << QStringList{"c"};
}

void TestBackupCommands::restoreListTicksShownCards()
{
    QFETCH(QStringList, steps);
    QFETCH(int, shown);
    QFETCH(QStringList, checked);
    BackupListing listing;
    listing.cards = {{"a", "Петров Сергей", "03.07.1965", "15.11.2026", ArchivedCard::InFolder::Same},
                     {"b", "петрова Анна", "", "01.12.2026", ArchivedCard::InFolder::Absent},
                     {"c", "Сидорова Анна", "", "", ArchivedCard::InFolder::Different}};
    RestoreDialog dialog(listing, QStringLiteral("copy.zip"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *view = dialog.findChild<QAbstractItemView *>("RestoreList");
    auto *restore = dialog.findChild<QPushButton *>("RestoreButton");
    QVERIFY(!restore->isEnabled());
    for (const QString &step : steps) {
        const QString what = step.section(u' ', 0, 0);
        const QString arg = step.section(u' ', 1);
        if (what == "filter") {
            dialog.findChild<QLineEdit *>("RestoreFilterEdit")->setText(arg);
        } else if (what == "all") {
            dialog.findChild<QPushButton *>("RestoreCheckAllButton")->click();
        } else if (what == "space") {
            view->setFocus();
            view->setCurrentIndex(view->model()->index(arg.toInt(), 0));
            QTest::keyClick(view, Qt::Key_Space);
        } else {
            QVERIFY(view->model()->setData(view->model()->index(arg.toInt(), 0), Qt::Unchecked, Qt::CheckStateRole));
        }
    }
    QCOMPARE(view->model()->rowCount(), shown);
    QCOMPARE(dialog.checkedCards(), checked);
    QCOMPARE(dialog.allChecked(), checked.size() == listing.cards.size());
    QCOMPARE(restore->isEnabled(), !checked.isEmpty());
    QStringList ticksShown; // the marks the list shows agree with the cards chosen
    for (int row = 0; row < view->model()->rowCount(); ++row)
        if (view->model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked)
            ticksShown << view->model()->index(row, 0).data(Qt::UserRole).toString();
    QCOMPARE(ticksShown, checked);
}

void TestBackupCommands::damagedArchiveNamesTheFile()
{
    QVERIFY(m_commands->backupNow());
    const QString archive = QDir(m_copies.path()).filePath(QDir(m_copies.path()).entryList({"*.zip"}).value(0));
    QByteArray bytes = readAll(archive);
    // Past the file's name and the header's time and owner fields, in its data.
    const qsizetype at = bytes.indexOf(QByteArray("Пустая Карточка.dat.vit")) + 80;
    bytes[at] = char(bytes.at(at) ^ 0x21);
    QVERIFY(writeFile(archive, bytes));
    m_platform.nextOpenFiles << archive;
    BackupCommands commands(nullptr, &m_platform, m_other.path(), QStringLiteral("test"));
    commands.restoreFromBackup();
    QCOMPARE(m_platform.boxes.size(), 1);
    QVERIFY2(m_platform.boxes.first().contains(QStringLiteral("Пустая Карточка.dat.vit")),
             qPrintable(m_platform.boxes.first()));
    QCOMPARE(m_platform.modalShown, 0);
    QCOMPARE(QDir(m_other.path()).entryList(QDir::Files), QStringList{});
}

void TestBackupCommands::automaticCopyOncePerDay()
{
    m_commands->backupOnExit();
    QCOMPARE(zipCount(), QStringLiteral("1"));
    m_now = m_now.addSecs(3600);
    m_commands->backupOnExit();
    QCOMPARE(zipCount(), QStringLiteral("1"));
    m_now = m_now.addDays(1);
    m_commands->backupOnExit();
    QCOMPARE(zipCount(), QStringLiteral("2"));
    // Switched off in the dialog: no copy on exit.
    m_platform.onModal = [](QWidget *w) {
        w->findChild<QCheckBox *>(QStringLiteral("BackupAutoBox"))->setChecked(false);
    };
    m_commands->showBackupDialog();
    m_now = m_now.addDays(1);
    m_commands->backupOnExit();
    QCOMPARE(zipCount(), QStringLiteral("2"));
    QVERIFY(m_status.last().contains(QStringLiteral("Резервная копия создана")));
}

void TestBackupCommands::startupWarnings_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("daysSinceGood"); // -1: never, -2: the last one failed
    QTest::addColumn<QString>("warning");
    QTest::newRow("no folder") << "" << 0 << "Нет папки для резервных копий";
    QTest::newRow("never made") << "x" << -1 << "ещё нет";
    QTest::newRow("failed") << "x" << -2 << "не удалась: диск полон";
    QTest::newRow("eight days old") << "x" << 8 << "больше 7 дней (30.11.2026)";
    QTest::newRow("recent: nothing") << "x" << 7 << "";
}

void TestBackupCommands::startupWarnings()
{
    QFETCH(QString, folder);
    QFETCH(int, daysSinceGood);
    BackupSettings settings;
    settings.folder = folder;
    if (daysSinceGood >= 0)
        settings.lastGood = m_now.addDays(-daysSinceGood);
    if (daysSinceGood == -2)
        settings.lastFailure = QStringLiteral("диск полон");
    settings.save();
    m_commands->checkAtStartup();
    QFETCH(QString, warning);
    if (warning.isEmpty())
        QCOMPARE(m_status, QStringList{});
    else
        QVERIFY2(m_status.value(0).contains(warning), qPrintable(m_status.value(0)));
}

void TestBackupCommands::exportWritesBothFiles()
{
    QVERIFY(
        writeFile(QDir(m_data.path()).filePath(QStringLiteral("Сломанная.dat")), testsupport::cp1251("Сломанная\r\n")));
    m_platform.nextAnswers << 0;
    m_platform.nextFolders << m_other.path();
    m_commands->exportToSpreadsheet();
    QVERIFY(QFile::exists(QDir(m_other.path()).filePath(QStringLiteral("Пациенты.csv"))));
    QVERIFY(QFile::exists(QDir(m_other.path()).filePath(QStringLiteral("Визиты.csv"))));
    // The goal weight lives in the catalogue file, not the main one.
    QVERIFY(readAll(QDir(m_other.path()).filePath(QStringLiteral("Пациенты.csv")))
                .contains(QByteArray(";164;05.01.1998;07.01.1998;100,5;98,5;75;36,6;\r\n")));
    QCOMPARE(m_platform.boxes.size(), 1);
    QVERIFY(m_platform.boxes.first().contains(QStringLiteral("Сломанная")));
    QFile::remove(QDir(m_data.path()).filePath(QStringLiteral("Сломанная.dat")));
}

QTEST_MAIN(TestBackupCommands)
#include "tst_backupcommands.moc"
