// The window never lets typed work vanish, never shows a failure as
// success, and saves an opened card back byte for byte.
#include "card/cardfiles.h"
#include "card/deletion.h"
#include "card/recovery.h"
#include "support/formfixture.h"
#include "widgets/datefield.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

using testsupport::cp1251;
using testsupport::readAll;
using testsupport::writeFile;

class TestUnsaved final : public QObject, private FormFixture {
    Q_OBJECT

    // The main files of the recovery copies, oldest first.
    QStringList copies() const
    {
        QStringList mains;
        const QDir root(vel::recoveryFolder(m_dir->path()));
        for (const QString &sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            for (const QString &f : QDir(root.filePath(sub)).entryList({"*.dat"}, QDir::Files))
                mains << root.filePath(sub + "/" + f);
        return mains;
    }

private slots:
    void initTestCase()
    {
        // Deleted cards go to the folder inside the data folder, never to this machine's trash.
        vel::setTrashForTesting([](const QString &, QString *) { return false; });
    }
    void cleanup()
    {
        m_form.reset();
        m_dir.reset();
    }

    void discardingKeepsACopy_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("typed");
        for (const char *how : {"new", "open", "delete", "close"}) {
            QTest::addRow("%s after typing", how) << how << true;
            QTest::addRow("%s with nothing typed", how) << how << false;
        }
    }
    void discardingKeepsACopy()
    {
        QFETCH(QString, how);
        QFETCH(bool, typed);
        makeForm();
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Иванова");
        trigger("SaveAct");
        QCOMPARE(m_form->statusText(1), " Карточка сохранена");
        const QByteArray saved = readAll(path("Иванова.dat"));
        if (typed)
            typeText(find<QPlainTextEdit>("PrimMemo"), " и ещё");
        m_platform->nextFiles << path("Иванова.dat");
        m_platform->nextButtons << "Удалить" // the delete's own question
                                << "Нет";
        if (how != "delete")
            m_platform->nextButtons.removeFirst();
        if (how == "new")
            trigger("NewAct");
        else if (how == "open")
            trigger("OpenAct");
        else if (how == "delete")
            trigger("DelAct");
        else
            m_form->close();

        if (!typed) {
            QVERIFY(copies().isEmpty());
            return;
        }
        QCOMPARE(copies().size(), 1);
        const auto copy = vel::loadCard(copies().first(), m_dir->path());
        QVERIFY(!vel::failed(copy));
        QVERIFY(std::get<vel::LoadedCard>(copy).card.text(vel::Field::Notes).contains(" и ещё"));
        if (how == "new" || how == "open") {
            auto *panel = find<QLabel>("StatusPanel1");
            QCOMPARE(panel->text(), " Копия в папке .recovery");
            QVERIFY(panel->fontMetrics().horizontalAdvance(panel->text()) < panel->contentsRect().width());
        }
        if (how != "delete")
            QCOMPARE(readAll(path("Иванова.dat")), saved);
        // The same unsaved state is not copied twice.
        m_form->close();
        QCOMPARE(copies().size(), 1);
    }

    void namesakeIsReplacedOnlyWhenConfirmed_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("replace") << "Заменить";
        QTest::newRow("cancel") << "Отмена";
        QTest::newRow("box closed") << "";
    }
    void namesakeIsReplacedOnlyWhenConfirmed()
    {
        QFETCH(QString, answer);
        makeForm();
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Петров");
        typeText(find<QLineEdit>("BirEdit"), "03071965");
        trigger("SaveAct");
        QMap<QString, QByteArray> first;
        for (const QString &s : testsupport::kCardSuffixes)
            first[s] = readAll(path("Петров" + s));
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Петров");
        typeText(find<QPlainTextEdit>("PrimMemo"), " другой");
        find<QPlainTextEdit>("PrimMemo")->setFocus();
        if (!answer.isEmpty())
            m_platform->nextButtons << answer;
        trigger("SaveAct");
        QCOMPARE(m_platform->questions,
                 QStringList{"VEL-NO-KASI - электронная картотека|Карточка «Петров» уже есть (дата рождения "
                             "03.07.1965). Заменить её?"});
        QCOMPARE(m_platform->questionButtons, QStringList{"Заменить,Отмена|1"});
        if (answer != "Заменить") {
            for (const QString &s : testsupport::kCardSuffixes)
                QCOMPARE(readAll(path("Петров" + s)), first[s]);
            QCOMPARE(m_form->focusWidget(), find<QLineEdit>("FioEdit"));
            QCOMPARE(m_form->statusText(1), QString());
            return;
        }
        QCOMPARE(m_form->statusText(1), " Карточка сохранена, прежняя — в папке «Удалённые карточки»");
        QVERIFY(readAll(path("Петров.dat")) != first[".dat"]);
        // The replaced set is where a deleted card goes, whole, and not among the recovery copies.
        QVERIFY(copies().isEmpty());
        const QDir deleted(vel::deletedCardsFolder(m_dir->path()));
        const QStringList stamps = deleted.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(stamps.size(), 1);
        for (const QString &s : testsupport::kCardSuffixes)
            QCOMPARE(readAll(deleted.filePath(stamps.first() + "/Петров" + s)), first[s]);
        // Now the window's own card: saved again without a question.
        typeText(find<QPlainTextEdit>("PrimMemo"), "!");
        trigger("SaveAct");
        QCOMPARE(m_platform->questions.size(), 1);
        QCOMPARE(m_form->statusText(1), " Карточка сохранена");
    }

    void saveRefusedWhenAnotherCopySavedMeanwhile()
    {
        makeForm();
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Орлова");
        trigger("SaveAct");
        vel::CardState theirs = m_form->cardState();
        testsupport::setText(theirs, "PrimMemo", "их примечания");
        QVERIFY(!vel::saveCard(theirs, m_dir->path()));
        const QByteArray onDisk = readAll(path("Орлова.dat"));
        typeText(find<QPlainTextEdit>("PrimMemo"), " мои");
        trigger("SaveAct");
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY2(m_platform->boxes.first().contains("другая копия программы"), qPrintable(m_platform->boxes.first()));
        QCOMPARE(readAll(path("Орлова.dat")), onDisk);
        // This window's version is not lost either.
        QCOMPARE(m_form->statusText(1), " Копия в папке .recovery");
        QCOMPARE(copies().size(), 1);
        QVERIFY(std::get<vel::LoadedCard>(vel::loadCard(copies().first(), m_dir->path()))
                    .card.text(vel::Field::Notes)
                    .contains(" мои"));
    }

    void failedSaveAfterGoodOneIsNotShownAsSaved()
    {
        makeForm();
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Белов");
        trigger("SaveAct");
        QCOMPARE(m_form->statusText(1), " Карточка сохранена");
        vel::setSaveFaultForTesting([](const QString &p, vel::SavePhase) { return p.endsWith(".tb2"); });
        trigger("SaveAct");
        vel::setSaveFaultForTesting({});
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(m_form->statusText(1), QString());
    }

    void deleteAsksWithoutPreselectionAndNamesWhatFailed()
    {
        makeForm();
        for (const QString &s : testsupport::kCardSuffixes)
            writeFile(path("Карта" + s), "x");
        // No trash and no room for deleted cards.
        writeFile(vel::deletedCardsFolder(m_dir->path()), "");
        m_platform->nextFiles << path("Карта.dat");
        m_platform->nextButtons << "Удалить";
        trigger("DelAct");
        QCOMPARE(m_platform->fileDialogInitial.last(), QString());
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY2(m_platform->boxes.first().contains(path("Карта.dat")), qPrintable(m_platform->boxes.first()));
        QVERIFY(m_form->statusText(1) != " Карточка удалена");
        QVERIFY(QFile::exists(path("Карта.dat")));
    }

    void openThenSaveIsByteIdentical()
    {
        makeForm();
        vel::CardState card;
        testsupport::setText(card, "FioEdit", "Длинная");
        testsupport::setText(card, "BirEdit", "15.04.1980");
        testsupport::setText(card, "AdrEdit", QString(40000, u'ж'));
        testsupport::setText(card, "RostEdit", "1654");
        testsupport::setText(card, "PrimMemo", QString("строка\u00a0один\nдва"));
        card.preparations = QString("пить\u00a0воду\n\nгулять");
        card.recommendations = QString("\u00a0");
        card.diagnosticRows << QStringList{"a", "b", "c"};
        QVERIFY(!vel::saveCard(card, m_dir->path()));
        QMap<QString, QByteArray> before;
        for (const QString &s : testsupport::kCardSuffixes)
            before[s] = readAll(path("Длинная" + s));
        m_platform->nextFiles << path("Длинная.dat");
        trigger("OpenAct");
        QVERIFY2(m_platform->boxes.isEmpty(), qPrintable(m_platform->boxes.join("\n")));
        trigger("SaveAct");
        QVERIFY2(m_platform->boxes.isEmpty(), qPrintable(m_platform->boxes.join("\n")));
        QCOMPARE(m_form->statusText(1), " Карточка сохранена");
        for (const QString &s : testsupport::kCardSuffixes)
            QCOMPARE(readAll(path("Длинная" + s)), before[s]);
    }

    void visitDateFollowsItsMaskOnceEdited_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "01122026"
                                << "01.12.2026";
        QTest::newRow("letters") << "abc"
                                 << "  .  .    ";
        QTest::newRow("letters then digits") << "x0512"
                                             << "05.12.    ";
    }
    void visitDateFollowsItsMaskOnceEdited()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        makeForm(QDate(2026, 12, 8));
        trigger("NewAct");
        auto *date = find<vel::DateField>("DateEdit");
        const QString today = date->shownText();
        QVERIFY2(today.startsWith("8.12.2026"), qPrintable(today));
        QCOMPARE(m_form->cardState().text(vel::Field::VisitDate), today);
        date->setFocus();
        date->selectAll();
        QTest::keyClicks(date, typed);
        QCOMPARE(date->shownText(), shown);
    }
};

QTEST_MAIN(TestUnsaved)
#include "tst_unsaved.moc"
