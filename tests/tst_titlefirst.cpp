// The program shows its title before it builds the pages that are not on it;
// they exist before any key or click is handled.
#include "support/formfixture.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

class TestTitleFirst final : public QObject, private FormFixture {
    Q_OBJECT

private slots:
    void pagesFollowTheTitle_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("after the first paint") << false;
        QTest::newRow("at a key before it") << true;
    }
    void pagesFollowTheTitle()
    {
        QFETCH(bool, byKey);
        makeFolder();
        openForm(QDate(2024, 3, 5), TMainForm::Pages::Later);
        TMainForm &form = *m_form;
        QVERIFY(!form.findChild<QTabWidget *>("PageControl1"));
        if (byKey) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            QApplication::sendEvent(&form, &key);
        } else {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTRY_VERIFY(form.findChild<QTabWidget *>("PageControl1"));
        }
        auto *pages = form.findChild<QTabWidget *>("PageControl1");
        QVERIFY(pages && pages->isHidden());
        QCOMPARE(form.findChild<QTableView *>("Grid2")->model()->index(0, 0).data().toString(), QStringLiteral("Дата"));
        QCOMPARE(form.findChild<QComboBox *>("ShabloBox")->itemText(0), QStringLiteral("Диета"));
        trigger("NewAct");
        QVERIFY(pages->isVisible() || !form.isVisible());
        QCOMPARE(m_platform->boxes, QStringList());
    }
};

QTEST_MAIN(TestTitleFirst)
#include "tst_titlefirst.moc"
