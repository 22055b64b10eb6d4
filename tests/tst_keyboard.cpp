// The keyboard paths of the window: Tab through the patient page, the keys
// of an anamnesis section, the command shortcuts and the menus without a mouse.
#include "find/cardlistmodel.h"
#include "support/formfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <memory>

class TestKeyboard final : public QObject, FormFixture {
    Q_OBJECT
    // The named control that holds the focus (a radio button counts as its group).
    QString focusedControl() const
    {
        for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
            const QString name = w->objectName();
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !name.contains(QLatin1Char('_')))
                return name;
        }
        return {};
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    // QTest spells out only Latin keys; a Cyrillic one comes with its text.
    static void altKey(QWidget *target, int key)
    {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), QString(QChar(key).toLower()), Qt::AltModifier);
    }
    void closeMenus()
    {
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    }
    // One key to whatever has the keyboard, as a person presses it.
    void press(QKeyCombination key) const
    {
        QTest::keyClick(focused() ? focused() : m_form.get(), key.key(), key.keyboardModifiers());
    }
    void type(const QString &text) const
    {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    // The table cell that has the keyboard, as "row,column".
    static QString cellAt(const QTableView *grid)
    {
        return QStringLiteral("%1,%2").arg(grid->currentIndex().row()).arg(grid->currentIndex().column());
    }
    static QString cellText(const QTableView *grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }

private slots:
    void init()
    {
        makeForm(QDate(2024, 3, 5));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup()
    {
        closeMenus();
        m_form.reset();
    }

    void tabVisitsEveryControlOfThePatientPage()
    {
        trigger("NewAct");
        find("FioEdit")->setFocus();
        const QStringList expected = {"FioEdit",  "BirEdit",  "AdrEdit",  "PhonEdit",  "SexGroup",
                                      "JobEdit",  "DateEdit", "RostEdit", "VesEdit",   "TalEdit",
                                      "BedrEdit", "JirEdit",  "LetEdit",  "TypeBox",   "BrkButton",
                                      "AktivBox", "CelEdit",  "ShabBox",  "SaveButton"};
        QStringList visited = {focusedControl()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            visited << focusedControl();
        }
        QCOMPARE(visited, expected);
    }

    void sectionKeysReturnToTheIndex_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("section");
        QTest::newRow("Enter, first section") << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter, frames") << int(Qt::Key_Enter) << 4;
        QTest::newRow("Esc, radio groups") << int(Qt::Key_Escape) << 2;
        QTest::newRow("Space on the OK") << int(Qt::Key_Space) << 18;
    }
    void sectionKeysReturnToTheIndex()
    {
        QFETCH(int, key);
        QFETCH(int, section);
        trigger("NewAct");
        find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::AnamnesisPage);
        const QByteArray button = "SpeedButton" + QByteArray::number(section);
        find<QAbstractButton>(button.constData())->click();
        QVERIFY(find("PageControl2")->isVisible());
        QWidget *page = find<QTabWidget>("PageControl2")->currentWidget();
        QVERIFY(page->isAncestorOf(focused()));

        // Tab comes to the OK after the section's items, and never leaves the section.
        QWidget *ok = nullptr;
        for (int i = 0; i < 80 && !ok; ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QVERIFY(page->isAncestorOf(focused()));
            if (focused()->toolTip() == QLatin1String("OK"))
                ok = focused();
        }
        QVERIFY(ok);
        if (key != Qt::Key_Space)
            QTest::keyClick(focused(), Qt::Key_Backtab);
        QTest::keyClick(focused(), Qt::Key(key));
        QVERIFY(find("PageControl1")->isVisible());
        QVERIFY(!find("PageControl2")->isVisible());
        QCOMPARE(find<QTabWidget>("PageControl1")->currentIndex(), int(TMainForm::AnamnesisPage));
        QCOMPARE(focusedControl(), QString::fromLatin1(button));

        // Enter on the section's button opens it again.
        QTest::keyClick(focused(), Qt::Key_Return);
        QVERIFY(find("PageControl2")->isVisible());
        QCOMPARE(find<QTabWidget>("PageControl2")->currentWidget(), page);
    }

    void shortcutsReachTheirCommands_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("command");
        QTest::newRow("new") << QKeySequence(QKeySequence::New) << "NewAct";
        QTest::newRow("open") << QKeySequence(QKeySequence::Open) << "OpenAct";
        QTest::newRow("save") << QKeySequence(QKeySequence::Save) << "SaveAct";
        QTest::newRow("print") << QKeySequence(QKeySequence::Print) << "PrnAct";
        QTest::newRow("help") << QKeySequence(Qt::Key_F1) << "HelpAct";
        QTest::newRow("exit") << QKeySequence(Qt::Key_F10) << "ExitAct";
    }
    void shortcutsReachTheirCommands()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        trigger("NewAct");
        find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::PrescriptionPage);
        find("RecMemo")->setFocus();
        auto *action = m_form->findChild<QAction *>(command);
        QVERIFY(action->isEnabled());
        // The menu shows the keys beside the command.
        QCOMPARE(action->shortcut(), keys);
        QSignalSpy triggered(action, &QAction::triggered);
        QTest::keySequence(focused(), keys);
        QCOMPARE(triggered.count(), 1);
    }

    void altReachesTheMenus_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt alone") << 0 << "CardMenu";
        QTest::newRow("Alt, then П") << 0x41F << "HelpMenu";
        QTest::newRow("Alt+К") << 0x41A << "CardMenu";
        QTest::newRow("Alt+R, the same key in Latin") << int(Qt::Key_R) << "CardMenu";
        QTest::newRow("Alt+G") << int(Qt::Key_G) << "HelpMenu";
    }
    void altReachesTheMenus()
    {
        QFETCH(int, key);
        QFETCH(QString, menu);
        QWidget *target = find("WorkArea");
        target->setFocus();
        if (QString(QTest::currentDataTag()).startsWith(QLatin1String("Alt,")) || key == 0) {
            QTest::keyPress(target, Qt::Key_Alt);
            QTest::keyRelease(target, Qt::Key_Alt);
            // This style marks the first title; Down or a title's letter opens a menu.
            QTRY_VERIFY(m_form->menuBar()->activeAction());
            QTest::sendKeyEvent(QTest::Click, m_form->menuBar(), Qt::Key(key ? key : int(Qt::Key_Down)),
                                key ? QString(QChar(key).toLower()) : QString(), Qt::NoModifier);
        } else {
            altKey(target, key);
        }
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), menu);
    }

    void aLetterChoosesAMenuItem()
    {
        altKey(find("WorkArea"), 0x41A); // Alt+К
        QTRY_VERIFY(QApplication::activePopupWidget());
        // "Резервная копия…" and "Редактор шаблонов" share the letter: twice, then Enter.
        auto *card = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(card);
        for (int i = 0; i < 2; ++i)
            QTest::sendKeyEvent(QTest::Click, card, Qt::Key_unknown, QStringLiteral("р"), Qt::NoModifier);
        QCOMPARE(card->activeAction()->objectName(), QStringLiteral("ShablAct"));
        QTest::keyClick(card, Qt::Key_Return);
        QTRY_VERIFY(find("PageControl3")->isVisible()); // "Редактор шаблонов" opened
        QVERIFY(!QApplication::activePopupWidget());

        // Two items begin with "О" in the help menu: the letter moves between them.
        altKey(find("WorkArea"), 0x41F); // Alt+П
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto *help = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(help);
        QStringList marked;
        for (int i = 0; i < 3; ++i) {
            QTest::sendKeyEvent(QTest::Click, help, Qt::Key_unknown, QStringLiteral("о"), Qt::NoModifier);
            marked << help->activeAction()->objectName();
        }
        QCOMPARE(marked, QStringList({"CardAct", "AboutAct", "CardAct"}));
        QCOMPARE(m_platform->modalShown, 0);
    }

    // Ctrl+Tab and Ctrl+PgDn turn the page from any page, tables included;
    // the reverse keys turn it back.
    void pageKeysFromEveryPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("inside"); // the control the keyboard stands in, "" for the page
        for (int page = 0; page < TMainForm::PageCount; ++page)
            QTest::addRow("page %d", page + 1) << page << QString();
        QTest::newRow("in the diagnostic table") << int(TMainForm::DiagnosticPage) << "Grid1";
        QTest::newRow("in the visit table") << int(TMainForm::DynamicsPage) << "Grid2";
    }
    void pageKeysFromEveryPage()
    {
        QFETCH(int, page);
        QFETCH(QString, inside);
        trigger("NewAct");
        m_form->AddBtnClick();
        m_form->Add2ButtonClick();
        auto *pages = find<QTabWidget>("PageControl1");
        const std::pair<QKeyCombination, int> keys[] = {{Qt::CTRL | Qt::Key_Tab, 1},
                                                        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
                                                        {Qt::CTRL | Qt::Key_PageDown, 1},
                                                        {Qt::CTRL | Qt::Key_PageUp, -1}};
        for (const auto &[key, step] : keys) {
            pages->setCurrentIndex(page);
            QWidget *target = inside.isEmpty() ? pages->currentWidget() : find(inside.toLatin1().constData());
            target->setFocus();
            QApplication::processEvents();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : target, key.key(),
                            key.keyboardModifiers());
            QCOMPARE(pages->currentIndex(), (page + step + TMainForm::PageCount) % TMainForm::PageCount);
        }
    }

    // Tab comes into "Пол" on the card's own choice, or on the first button
    // when there is none: never on the one a previous card left the focus on.
    void tabEntersTheSexOnTheCardsChoice_data()
    {
        QTest::addColumn<int>("stored"); // -1: a new card
        QTest::addColumn<QString>("lands");
        QTest::newRow("new card") << -1 << "SexGroup_0";
        QTest::newRow("a man's card") << 0 << "SexGroup_0";
        QTest::newRow("a woman's card") << 1 << "SexGroup_1";
    }
    void tabEntersTheSexOnTheCardsChoice()
    {
        QFETCH(int, stored);
        QFETCH(QString, lands);
        trigger("NewAct");
        find<QLineEdit>("FioEdit")->setText("Полова");
        if (stored >= 0)
            find<QAbstractButton>(stored == 0 ? "SexGroup_0" : "SexGroup_1")->click();
        trigger("SaveAct");
        find(lands == "SexGroup_0" ? "SexGroup_1" : "SexGroup_0")->setFocus();
        if (stored < 0)
            trigger("NewAct");
        else
            QVERIFY(m_form->openCard(QDir(m_dir->path()).filePath("Полова.dat")));

        find("PhonEdit")->setFocus();
        press(Qt::Key_Tab);
        QCOMPARE(focused()->objectName(), lands);
        press(Qt::Key_Tab);
        QCOMPARE(focusedControl(), QStringLiteral("JobEdit"));
        press(Qt::SHIFT | Qt::Key_Backtab);
        QCOMPARE(focused()->objectName(), lands);
    }

    // A list opened on "не выбрана" or "Выбрать" marks nothing, so one Down
    // marks its first item.
    void listsOpenWithNothingMarked_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("activity") << "AktivBox";
        QTest::newRow("card's template") << "ShabBox";
        QTest::newRow("template editor") << "ShabloBox";
    }
    void listsOpenWithNothingMarked()
    {
        QFETCH(QString, box);
        if (box == "ShabloBox")
            trigger("ShablAct");
        else
            trigger("NewAct");
        auto *combo = find<QComboBox>(box.toLatin1().constData());
        QCOMPARE(combo->currentIndex(), -1);
        combo->setFocus();
        press(Qt::ALT | Qt::Key_Down);
        QTRY_VERIFY(combo->view()->isVisible());
        QVERIFY(!combo->view()->currentIndex().isValid());
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QCOMPARE(combo->view()->currentIndex().row(), 0);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentIndex(), 0);
    }

    // Enter takes the keyboard along a visit row and on to the next row's
    // first cell; the last cell of the last row keeps it.
    void enterMovesAlongTheVisitRows()
    {
        trigger("NewAct");
        find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::DynamicsPage);
        m_form->Add2ButtonClick();
        m_form->Add2ButtonClick();
        auto *grid = find<QTableView>("Grid2");
        QTRY_COMPARE(cellAt(grid), QStringLiteral("2,1"));
        grid->setCurrentIndex(grid->model()->index(1, 1));
        type("82,5");
        press(Qt::Key_Return);
        QTRY_COMPARE(cellAt(grid), QStringLiteral("1,2"));
        QCOMPARE(cellText(grid, 1, 1), QStringLiteral("82,5"));
        grid->setCurrentIndex(grid->model()->index(1, 9));
        type("норма");
        press(Qt::Key_Return);
        QTRY_COMPARE(cellAt(grid), QStringLiteral("2,0"));
        QCOMPARE(cellText(grid, 1, 9), QStringLiteral("норма"));
        QCOMPARE(cellText(grid, 2, 0), QStringLiteral("05.03.2024")); // passed over, not changed
        grid->setCurrentIndex(grid->model()->index(2, 9));
        type("-");
        press(Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(cellAt(grid), QStringLiteral("2,9"));
        QCOMPARE(cellText(grid, 2, 9), QStringLiteral("-"));
        QCOMPARE(grid->model()->rowCount(), 3);
    }

    // A whole day by the keyboard alone: a new card typed in, every page by
    // Ctrl+Tab from every page and from inside both tables, a visit added and
    // typed, the save, then the card found in the other keyboard layout and
    // opened by Enter.
    void wholeDayByKeys()
    {
        press(Qt::CTRL | Qt::Key_N);
        QTRY_COMPARE(focusedControl(), QStringLiteral("FioEdit"));
        type("Петрова Анна");
        press(Qt::Key_Tab);
        type("14031978");
        press(Qt::Key_Tab);
        QCOMPARE(focusedControl(), QStringLiteral("AdrEdit"));
        QCOMPARE(find<QLineEdit>("AgeEdit")->text(), QStringLiteral("45"));
        type("Тверь");
        press(Qt::Key_Tab);
        type("555-12-34");
        press(Qt::Key_Tab);
        QCOMPARE(focused()->objectName(), QStringLiteral("SexGroup_0"));
        press(Qt::Key_Right); // to "Женский", then ticked
        press(Qt::Key_Space);
        QVERIFY(find<QAbstractButton>("SexGroup_1")->isChecked());
        for (const char *next : {"JobEdit", "DateEdit", "RostEdit"}) {
            press(Qt::Key_Tab);
            QCOMPARE(focusedControl(), QString::fromLatin1(next));
        }
        type("165");
        press(Qt::Key_Tab);
        type("84");

        // Every page, and round to the first again.
        auto *pages = find<QTabWidget>("PageControl1");
        for (int i = 1; i <= TMainForm::PageCount; ++i) {
            press(Qt::CTRL | Qt::Key_Tab);
            QCOMPARE(pages->currentIndex(), i % TMainForm::PageCount);
            QVERIFY2(pages->currentWidget()->isAncestorOf(focused()), qPrintable(focusedControl()));
        }
        for (int i = TMainForm::PageCount - 1; i >= 0; --i) {
            press(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab);
            QCOMPARE(pages->currentIndex(), i);
        }

        // A diagnostic block by its "+", and out of its table by Ctrl+Tab.
        for (int i = 0; i < TMainForm::DiagnosticPage; ++i)
            press(Qt::CTRL | Qt::Key_PageDown);
        QCOMPARE(focusedControl(), QStringLiteral("AddButton"));
        press(Qt::Key_Space);
        auto *grid1 = find<QTableView>("Grid1");
        QCOMPARE(grid1->model()->rowCount(), 14);
        press(Qt::SHIFT | Qt::Key_Backtab);
        QCOMPARE(focusedControl(), QStringLiteral("Grid1"));
        press(Qt::CTRL | Qt::Key_Tab);
        QCOMPARE(pages->currentIndex(), int(TMainForm::AnamnesisPage));

        // Today's visit: "+", then the weight and girths typed along the row.
        press(Qt::CTRL | Qt::Key_Tab);
        press(Qt::CTRL | Qt::Key_Tab);
        QCOMPARE(pages->currentIndex(), int(TMainForm::DynamicsPage));
        QCOMPARE(focusedControl(), QStringLiteral("Add2Button"));
        press(Qt::Key_Space);
        auto *grid2 = find<QTableView>("Grid2");
        QTRY_COMPARE(cellAt(grid2), QStringLiteral("1,1"));
        for (const char *cell : {"84", "92", "108"}) {
            type(QString::fromLatin1(cell));
            press(Qt::Key_Return);
            QTest::qWait(0);
        }
        QTRY_COMPARE(cellAt(grid2), QStringLiteral("1,4"));
        press(Qt::CTRL | Qt::Key_Tab); // from inside the table
        QCOMPARE(pages->currentIndex(), int(TMainForm::PrescriptionPage));
        press(Qt::CTRL | Qt::Key_PageUp);
        QCOMPARE(pages->currentIndex(), int(TMainForm::DynamicsPage));
        QTRY_COMPARE(focusedControl(), QStringLiteral("Grid2"));
        press(Qt::Key_Insert); // the same "+" from inside the table, told as a second visit today
        QCOMPARE(grid2->model()->rowCount(), 3);
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Второй прием за 05.03.2024: эта дата уже есть в строке 1"));

        press(Qt::CTRL | Qt::Key_S);
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Карточка сохранена"));
        const QString card = QDir(m_dir->path()).filePath("Петрова Анна.dat");
        QVERIFY(
            testsupport::readAll(card + ".tb2").startsWith(testsupport::cp1251("05.03.2024\r\n84\r\n92\r\n108\r\n")));

        // The next patient, then this one again from the card list, typed in the Latin layout.
        press(Qt::CTRL | Qt::Key_N);
        QTRY_COMPARE(focusedControl(), QStringLiteral("FioEdit"));
        QCOMPARE(find<QLineEdit>("FioEdit")->text(), QString());
        press(Qt::CTRL | Qt::Key_F);
        QTRY_COMPARE(focusedControl(), QStringLiteral("FindEdit"));
        QVERIFY(QTest::qWaitFor([this] { return !m_form->cardList()->isReading(); }, 20000));
        type("gtnhjdf"); // "петрова" with the keyboard left in English
        press(Qt::Key_Return);
        QTRY_VERIFY(!m_form->findChild<QWidget *>("FindDialog"));
        QCOMPARE(find<QLineEdit>("FioEdit")->text(), QStringLiteral("Петрова Анна"));
        QCOMPARE(find<QLineEdit>("AgeEdit")->text(), QStringLiteral("45"));
        QVERIFY(find<QAbstractButton>("SexGroup_1")->isChecked());
        QCOMPARE(cellText(grid2, 1, 3), QStringLiteral("108"));
        QCOMPARE(grid1->model()->rowCount(), 14);
        QCOMPARE(m_platform->boxes, QStringList());
    }

    // The keyboard is where the doctor types next.
    void focusFollowsTheWork()
    {
        trigger("NewAct");
        QTRY_COMPARE(QApplication::focusWidget(), find("FioEdit"));
        trigger("SaveAct"); // no name: refused, the keyboard back in Ф.И.О.
        QCOMPARE(m_platform->boxes.size(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), find("FioEdit"));

        auto *birth = find<QLineEdit>("BirEdit");
        for (const char *bad : {"31.02.1980", "01.01.2030"}) {
            birth->setText(QString::fromLatin1(bad));
            find("AdrEdit")->setFocus();
            m_form->BirEditChange();
            QVERIFY2(m_platform->boxes.last().endsWith("Введите корректную дату рождения пациента!"),
                     qPrintable(m_platform->boxes.join(" / ") + " | " + birth->displayText()));
            QTRY_COMPARE(QApplication::focusWidget(), birth);
            QCOMPARE(find<QLineEdit>("AgeEdit")->text(), QString());
        }
        birth->setText("14.03.1978");
        m_form->BirEditChange();

        find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::DynamicsPage);
        m_form->Add2ButtonClick();
        auto *grid = find<QTableView>("Grid2");
        QTRY_COMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentIndex().row(), grid->model()->rowCount() - 1);
        QCOMPARE(grid->currentIndex().column(), 1);

        // A card saved before the birth date was known opens without a word.
        find<QLineEdit>("FioEdit")->setText("Безданная");
        birth->clear();
        trigger("SaveAct");
        const int boxes = m_platform->boxes.size();
        m_platform->nextFiles << QDir(m_dir->path()).filePath("Безданная.dat");
        trigger("OpenAct");
        QVERIFY2(m_platform->boxes.size() == boxes, qPrintable(m_platform->boxes.join(" / ")));
        QCOMPARE(find<QLineEdit>("AgeEdit")->text(), QString());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
