// Texts far larger than a doctor types: what is shown may be cut, what is
// stored never is, and a message quotes only the start of a bad line.
#include "card/cardfiles.h"
#include "support/formfixture.h"
#include "text/linefile.h"
#include "widgets/memoedit.h"

#include <QLineEdit>
#include <QTest>

using namespace vel;
using testsupport::readAll;
using testsupport::writeFile;

class TestLargeText final : public QObject, FormFixture {
    Q_OBJECT

    // A new card in a data folder with an empty template list.
    void newCard()
    {
        makeForm(QDate(2024, 3, 5), QString());
        trigger("NewAct");
    }

private slots:
    void memoShowsAPartOfWhatItKeeps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cut");
        const QString longLine(MemoEdit::kShownLineLength + 1, QChar(u'ж'));
        QTest::newRow("short") << QStringLiteral("Пить воду\nГулять") << false;
        QTest::newRow("line at the limit") << QString(MemoEdit::kShownLineLength, QChar(u'ж')) << false;
        QTest::newRow("one long line") << longLine << true;
        QTest::newRow("long line among short ones") << "до\n" + longLine + "\nпосле\n" << true;
        QTest::newRow("long text") << QStringLiteral("строка\n").repeated(MemoEdit::kShownLength / 7 + 1) << true;
    }
    void memoShowsAPartOfWhatItKeeps()
    {
        QFETCH(QString, text);
        QFETCH(bool, cut);
        MemoEdit memo(QStringLiteral("PrepMemo"));
        memo.setMemoText(text);
        QCOMPARE(memo.memoText(), text);
        QCOMPARE(memo.isCut(), cut);
        QCOMPARE(memo.isReadOnly(), cut);
        if (cut) {
            QVERIFY(memo.toPlainText().size() < text.size() + 200);
            QVERIFY(memo.toPlainText().contains(QStringLiteral("показан")));
        }
        // Anything set from outside ends the kept text, and the memo is editable again.
        memo.clear();
        QCOMPARE(memo.memoText(), QString());
        QVERIFY(!memo.isReadOnly());
    }

    void memoWithAHugeLineSavesUnchanged()
    {
        newCard();
        m_form->findChild<QLineEdit *>("FioEdit")->setText("Ivanova");
        m_form->findChild<QLineEdit *>("BirEdit")->setText("01.01.1980");
        trigger("SaveAct");
        const QString main = m_dir->filePath("Ivanova.dat");
        const QByteArray prp = "a\r\n" + QByteArray(300000, 'b') + "\rc\nd";
        writeFile(main + ".prp", prp);
        m_platform->nextFiles << main;
        trigger("OpenAct");
        auto *memo = m_form->findChild<MemoEdit *>("PrepMemo");
        QVERIFY(memo->isCut());
        trigger("SaveAct");
        QCOMPARE(m_platform->boxes, QStringList());
        // The lone CR and LF were CR LF already on reading; nothing else changed.
        QCOMPARE(readAll(main + ".prp"), "a\r\n" + QByteArray(300000, 'b') + "\r\nc\r\nd");
        trigger("NewAct");
        QVERIFY(!memo->isCut());
        QVERIFY(!memo->isReadOnly());
    }

    void textLongerThanTypingLimitSavesWhole()
    {
        newCard();
        auto *height = m_form->findChild<QLineEdit *>("RostEdit");
        m_form->findChild<QLineEdit *>("FioEdit")->setText("Ivanova");
        m_form->findChild<QLineEdit *>("BirEdit")->setText("01.01.1980");
        height->setText("170,5"); // the field lets only three characters be typed
        QCOMPARE(height->text(), QStringLiteral("170"));
        CardState card = m_form->cardState();
        testsupport::setText(card, "RostEdit", "170,5");
        QVERIFY(!saveCard(card, m_dir->path()));
        m_platform->nextFiles << m_dir->filePath("Ivanova.dat");
        m_platform->nextButtons << "Нет"; // the card typed is not saved
        trigger("OpenAct");
        QCOMPARE(height->text(), QStringLiteral("170,5"));
        QCOMPARE(m_form->cardState().text(vel::Field::Height), QStringLiteral("170,5"));
        trigger("NewAct");
        QCOMPARE(height->maxLength(), 3);
    }

    void badNumberLineIsQuotedByItsStart()
    {
        QCOMPARE(notAnIntegerMessage("12a"), QStringLiteral("'12a' is not a valid integer value"));
        const QString message = notAnIntegerMessage(QString(10 * 1024 * 1024, u'x'));
        QVERIFY(message.size() < 300);
        QVERIFY(message.startsWith("'xxx"));
        QVERIFY(message.endsWith("…' is not a valid integer value"));
    }
};

QTEST_MAIN(TestLargeText)
#include "tst_largetext.moc"
