// A card is never lost: a save that fails at any file leaves the previous set
// as it was, and a damaged set never opens half-way.
#include "card/cardfiles.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace vel;

namespace {

const QStringList &kSuffixes = testsupport::kCardSuffixes;

CardState card(const QString &name, const QString &variant)
{
    CardState c;
    testsupport::setText(c, "FioEdit", name);
    testsupport::setText(c, "BirEdit", "15.04.1980");
    testsupport::setText(c, "AdrEdit", "Адрес " + variant);
    testsupport::setText(c, "PrimMemo", "Примечания " + variant);
    testsupport::setIndex(c, "SexGroup", 1);
    testsupport::setFlag(c, "CheckBox26", true);
    testsupport::setIndex(c, "JirGroup", 2);
    for (int r = 0; r < 14; ++r)
        c.diagnosticRows << QStringList{variant, "1", "2"};
    c.visitRows << QStringList{"5.03.2024", "82,5", variant, "", "", "", "", "", "", ""};
    c.preparations = "Препарат " + variant;
    c.recommendations = "Рекомендация " + variant + "\n";
    return c;
}

QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile f(info.filePath());
        f.open(QIODevice::ReadOnly);
        files.insert(info.fileName(), f.readAll());
    }
    return files;
}

} // namespace

class TestFaults final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setSaveFaultForTesting({}); }

    void failedSaveKeepsPreviousSet_data()
    {
        QTest::addColumn<int>("file");
        QTest::addColumn<int>("phase");
        for (int i = 0; i < kSuffixes.size(); ++i) {
            QTest::newRow(qPrintable("write " + kSuffixes.at(i))) << i << int(SavePhase::Write);
            QTest::newRow(qPrintable("replace " + kSuffixes.at(i))) << i << int(SavePhase::Replace);
        }
    }
    void failedSaveKeepsPreviousSet()
    {
        QFETCH(int, file);
        QFETCH(int, phase);
        QTemporaryDir dir;
        const QString name = "Иванова";
        QVERIFY(!saveCard(card(name, "старая"), dir.path()));
        const auto before = snapshot(dir.path());
        QCOMPARE(before.size(), 6);

        const QString failing = dir.filePath(name + kSuffixes.at(file));
        setSaveFaultForTesting([&](const QString &path, SavePhase p) { return path == failing && int(p) == phase; });
        const auto error = saveCard(card(name, "новая"), dir.path());
        QVERIFY(error);
        QVERIFY(!error->refusedInput);
        QVERIFY2(error->message.startsWith("Cannot create file \"" + failing + "\". "), qPrintable(error->message));
        QCOMPARE(snapshot(dir.path()), before); // no file changed, no temporary file left

        setSaveFaultForTesting({});
        QVERIFY(!saveCard(card(name, "новая"), dir.path()));
        QVERIFY(snapshot(dir.path()) != before);
    }

    void failedSaveOfNewCardLeavesNothing_data() { failedSaveKeepsPreviousSet_data(); }
    void failedSaveOfNewCardLeavesNothing()
    {
        QFETCH(int, file);
        QFETCH(int, phase);
        QTemporaryDir dir;
        setSaveFaultForTesting(
            [&](const QString &path, SavePhase p) { return path.endsWith(kSuffixes.at(file)) && int(p) == phase; });
        QVERIFY(saveCard(card("Петров", "x"), dir.path()));
        QVERIFY(snapshot(dir.path()).isEmpty());
    }

    // Cutting any file of a good set at any byte either still opens or gives
    // one of the program's messages.
    void everyTruncationOpensOrSaysWhy()
    {
        QTemporaryDir dir;
        QFile list(dir.filePath("shablon.kmt"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("\xc4\xe8\xe5\xf2\xe0\r\n");
        list.close();
        const QString name = "Сидоров";
        QVERIFY(!saveCard(card(name, "полная"), dir.path()));
        const QRegularExpression known("^(Cannot open file \".*\"\\. .+|List index out of bounds \\(\\d+\\)|"
                                       "'.*' is not a valid integer value)$",
                                       QRegularExpression::DotMatchesEverythingOption);
        int opened = 0, refused = 0;
        for (const QString &suffix : kSuffixes) {
            const QString path = dir.filePath(name + suffix);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray whole = f.readAll();
            f.close();
            for (qsizetype cut = 0; cut < whole.size(); ++cut) {
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(whole.left(cut));
                f.close();
                const auto result = loadCard(dir.filePath(name + ".dat"), dir.path());
                if (const auto *e = std::get_if<ReadError>(&result)) {
                    QVERIFY2(known.match(e->message).hasMatch(), qPrintable(suffix + ": " + e->message));
                    ++refused;
                } else {
                    ++opened;
                }
            }
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(whole);
            f.close();
        }
        // Most cuts break the set; cuts inside the notes and the memos do not.
        QVERIFY(refused > 500);
        QVERIFY(opened > 0);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
