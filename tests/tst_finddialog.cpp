#include "card/cardfiles.h"
#include "find/cardlistmodel.h"
#include "find/finddialog.h"
#include "find/recallnotice.h"
#include "pages/passportpage.h"
#include "support/formfixture.h"
#include "widgets/datefield.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace vel;

class TestFindDialog final : public QObject, private FormFixture {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_settingsDir;

    QString cardPath(const QString &name) const { return path(name + ".dat"); }
    void saveCardFiles(const QString &name, const QString &birth, const QString &next = {})
    {
        CardState card;
        card.setText(Field::Name, name);
        card.setText(Field::BirthDate, birth);
        card.nextVisit = next;
        card.setText(Field::Weight, "80");
        QVERIFY(!saveCard(card, m_dir->path()));
    }
    QLineEdit *fioEdit() const { return m_form->findChild<QLineEdit *>("FioEdit"); }
    QMenu *recentMenu() const { return m_form->findChild<QMenu *>("RecentMenu"); }
    QStringList recentTexts() const
    {
        QStringList texts;
        for (QAction *a : recentMenu()->actions())
            if (a->isVisible())
                texts << a->text();
        return texts;
    }
    // Opens the card list and waits until it has read the folder.
    FindDialog *openList()
    {
        trigger("FindAct");
        FindDialog *dialog = nullptr;
        for (FindDialog *d : m_form->findChildren<FindDialog *>("FindDialog"))
            if (d->isVisible())
                dialog = d;
        if (dialog && !QTest::qWaitFor([this] { return !m_form->cardList()->isReading(); }, 20000))
            return nullptr;
        return dialog;
    }
    QStringList shownNames(FindDialog *dialog) const
    {
        auto *list = dialog->findChild<QTableView *>("FindList");
        QStringList names;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            names << list->model()->index(r, 0).data().toString();
        return names;
    }
    QString chosenName(FindDialog *dialog) const
    {
        return dialog->findChild<QTableView *>("FindList")->currentIndex().siblingAtColumn(0).data().toString();
    }

private slots:
    void initTestCase()
    {
        // Recent cards go to a settings file of this test run only.
        QStandardPaths::setTestModeEnabled(true);
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir->path());
    }
    void init()
    {
        QSettings("velnokasi", "velnokasi").clear();
        makeFolder();
        saveCardFiles("Иванова Мария Петровна", "12.05.1975");
        saveCardFiles("Иванов Пётр Сергеевич", "03.11.1968");
        saveCardFiles("Ёлкина Анна Ивановна", "01.02.1990");
        saveCardFiles("Абрамова Нина Олеговна", "  .  .    ");
        saveCardFiles("Жукова Вера Павловна", "20.07.1975");
        openForm(QDate(2024, 3, 5));
    }
    void cleanup()
    {
        m_form.reset();
        m_dir.reset();
    }

    void menuPlacesFindAndRecentAfterOpen()
    {
        auto *menu = m_form->findChild<QMenu *>("CardMenu");
        const QList<QAction *> items = menu->actions();
        const int open = int(items.indexOf(action("OpenAct")));
        QCOMPARE(items.value(open + 1), action("FindAct"));
        QCOMPARE(action("FindAct")->text(), "Найти карточку...");
        QCOMPARE(action("FindAct")->shortcut(), QKeySequence("Ctrl+F"));
        QCOMPARE(items.value(open + 2), recentMenu()->menuAction());
        QCOMPARE(recentMenu()->title(), "Последние карточки");
        QVERIFY(!recentMenu()->menuAction()->isEnabled()); // nothing opened yet
    }

    void listInRussianOrderFiltersAsTyped()
    {
        FindDialog *dialog = openList();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(QApplication::focusWidget(), dialog->findChild<QLineEdit *>("FindEdit"));
        QCOMPARE(shownNames(dialog),
                 QStringList({"Абрамова Нина Олеговна", "Ёлкина Анна Ивановна", "Жукова Вера Павловна",
                              "Иванов Пётр Сергеевич", "Иванова Мария Петровна"}));
        QCOMPARE(chosenName(dialog), "Абрамова Нина Олеговна");
        auto *edit = dialog->findChild<QLineEdit *>("FindEdit");
        typeText(edit, "1975");
        QCOMPARE(shownNames(dialog), QStringList({"Жукова Вера Павловна", "Иванова Мария Петровна"}));
        QCOMPARE(chosenName(dialog), "Жукова Вера Павловна"); // the first match is chosen
        edit->clear();
        typeText(edit, "ива");
        QCOMPARE(shownNames(dialog),
                 QStringList({"Ёлкина Анна Ивановна", "Иванов Пётр Сергеевич", "Иванова Мария Петровна"}));
    }

    void enterOpensExactlyTheChosenCard()
    {
        FindDialog *dialog = openList();
        auto *edit = dialog->findChild<QLineEdit *>("FindEdit");
        typeText(edit, "иванов");
        QCOMPARE(chosenName(dialog), "Ёлкина Анна Ивановна"); // her father's name starts so too
        QTest::keyClick(edit, Qt::Key_Down);                  // the choice moves, the typing stays in the field
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(chosenName(dialog), "Иванова Мария Петровна");
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!m_form->findChild<FindDialog *>("FindDialog"));
        QCOMPARE(fioEdit()->text(), "Иванова Мария Петровна");
        QCOMPARE(m_form->statusText(0), " Карточка пациента: Иванова Мария Петровна");
        QCOMPARE(m_platform->boxes, QStringList());
        QCOMPARE(recentTexts(), QStringList({"&1 Иванова Мария Петровна"}));
    }

    void doubleClickOpensTheRowClicked()
    {
        FindDialog *dialog = openList();
        auto *list = dialog->findChild<QTableView *>("FindList");
        const QModelIndex third = list->model()->index(2, 0); // sorted: Абрамова, Ёлкина, Жукова, ...
        const QPoint at = list->visualRect(third).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at); // a double click starts as a press
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY(!m_form->findChild<FindDialog *>("FindDialog"));
        QCOMPARE(fioEdit()->text(), "Жукова Вера Павловна");
    }

    void escapeChangesNothing()
    {
        QVERIFY(m_form->openCard(cardPath("Жукова Вера Павловна")));
        FindDialog *dialog = openList();
        auto *edit = dialog->findChild<QLineEdit *>("FindEdit");
        typeText(edit, "иван");
        QTest::keyClick(edit, Qt::Key_Escape);
        QTRY_VERIFY(!m_form->findChild<FindDialog *>("FindDialog"));
        QCOMPARE(fioEdit()->text(), "Жукова Вера Павловна");
        QCOMPARE(recentTexts(), QStringList({"&1 Жукова Вера Павловна"}));
        QCOMPARE(m_platform->boxes, QStringList());
    }

    void unreadableCardIsGreyedWithItsReason()
    {
        QFile::remove(cardPath("Абрамова Нина Олеговна") + ".vit");
        FindDialog *dialog = openList();
        auto *list = dialog->findChild<QTableView *>("FindList");
        const QModelIndex row = list->model()->index(0, 0);
        QCOMPARE(row.data().toString(), "Абрамова Нина Олеговна"); // listed, never hidden
        QVERIFY(!(row.flags() & Qt::ItemIsEnabled));
        QVERIFY2(row.data(Qt::ToolTipRole).toString().contains("Cannot open file"),
                 qPrintable(row.data(Qt::ToolTipRole).toString()));
        QCOMPARE(chosenName(dialog), "Ёлкина Анна Ивановна"); // the first card that opens
    }

    void listFollowsSaveDeleteAndOutsideChanges()
    {
        // The window's own saves and deletes count even while the folder is still being read.
        trigger("FindAct");
        QTest::keyClick(m_form->findChild<FindDialog *>("FindDialog")->findChild<QLineEdit *>("FindEdit"),
                        Qt::Key_Escape);
        CardListModel *cards = m_form->cardList();

        // Saved in this window: listed at once, without another look at the folder.
        trigger("NewAct");
        fioEdit()->setText("Новикова Анна Юрьевна");
        trigger("SaveAct");
        QVERIFY(cards->rowOf(cardPath("Новикова Анна Юрьевна")) >= 0);
        QCOMPARE(recentTexts(), QStringList({"&1 Новикова Анна Юрьевна"}));

        // Deleted in this window: gone from the list and from the recent cards.
        m_platform->nextFiles << cardPath("Новикова Анна Юрьевна") << cardPath("Абрамова Нина Олеговна");
        m_platform->nextButtons << "Удалить"
                                << "Удалить";
        trigger("DelAct");
        trigger("DelAct");
        QCOMPARE(cards->rowOf(cardPath("Новикова Анна Юрьевна")), -1);
        QCOMPARE(recentTexts(), QStringList());
        QTRY_VERIFY(!cards->isReading());
        QCOMPARE(cards->rowOf(cardPath("Абрамова Нина Олеговна")), -1);
        trigger("NewAct");
        fioEdit()->setText("Новикова Анна Юрьевна");
        trigger("SaveAct");
        QVERIFY(cards->rowOf(cardPath("Новикова Анна Юрьевна")) >= 0);

        // Changed by someone else: read again the next time the list opens.
        saveCardFiles("Жукова Вера Павловна", "21.07.1976");
        QFile::remove(cardPath("Иванов Пётр Сергеевич"));
        QVERIFY(openList());
        const int row = cards->rowOf(cardPath("Жукова Вера Павловна"));
        QCOMPARE(cards->index(row, CardListModel::BirthColumn).data().toString(), "21.07.1976");
        QCOMPARE(cards->rowOf(cardPath("Иванов Пётр Сергеевич")), -1);
        QCOMPARE(cards->rowCount(), 4);
    }

    void statusBarCountsOverdueAndListsThemFirst()
    {
        // Today is 5.03.2024: two patients are overdue, one is due later, one today.
        saveCardFiles("Белова Ирина Юрьевна", "", "01.03.2024");
        saveCardFiles("Яковлева Ольга Ильинична", "", "10.02.2024");
        saveCardFiles("Орлова Дарья Павловна", "", "20.03.2024");
        saveCardFiles("Титова Зоя Петровна", "", "05.03.2024");
        openForm(QDate(2024, 3, 5));
        auto *notice = m_form->findChild<RecallNotice *>("RecallNotice");
        QVERIFY(notice);
        QVERIFY(QTest::qWaitFor([notice] { return notice->isVisible(); }, 20000));
        QVERIFY2(notice->text().contains(">Просрочен контроль: 2 пациента<"), qPrintable(notice->text()));

        emit notice->linkActivated("overdue");
        FindDialog *dialog = m_form->findChild<FindDialog *>("FindDialog");
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(QTest::qWaitFor([this] { return !m_form->cardList()->isReading(); }, 20000));
        QVERIFY(dialog->findChild<QCheckBox *>("OverdueBox")->isChecked());
        QCOMPARE(shownNames(dialog), QStringList({"Яковлева Ольга Ильинична", "Белова Ирина Юрьевна"}));
        auto *list = dialog->findChild<QTableView *>("FindList");
        QCOMPARE(list->model()->index(0, CardListModel::NextColumn).data().toString(), "10.02.2024");
        QCOMPARE(list->model()->index(0, CardListModel::OverdueColumn).data().toString(), "24");
        QCOMPARE(list->model()->index(1, CardListModel::OverdueColumn).data().toString(), "4");
        dialog->findChild<QCheckBox *>("OverdueBox")->setChecked(false);
        QCOMPARE(shownNames(dialog).size(), 9);
        QCOMPARE(shownNames(dialog).first(), "Абрамова Нина Олеговна");

        // A visit today clears one: the saved card leaves the count.
        dialog->reject();
        QVERIFY(m_form->openCard(cardPath("Белова Ирина Юрьевна")));
        m_form->Add2ButtonClick();
        trigger("SaveAct");
        QVERIFY2(notice->text().contains(">Просрочен контроль: 1 пациент<"), qPrintable(notice->text()));
    }

    void nextVisitProposedAfterEachVisit()
    {
        QVERIFY(m_form->openCard(cardPath("Жукова Вера Павловна")));
        auto *next = m_form->findChild<DateField *>("NextEdit");
        auto *days = m_form->findChild<QSpinBox *>("NextSpin");
        QCOMPARE(next->shownText(), "  .  .    "); // none stored, none made up on opening
        QCOMPARE(days->value(), 14);
        m_form->Add2ButtonClick();
        QCOMPARE(next->shownText(), "19.03.2024");
        QCOMPARE(m_form->cardState().nextVisit, "19.03.2024");
        // The interval counts from the last visit and is kept for the next start.
        days->setValue(28);
        QCOMPARE(next->shownText(), "02.04.2024");
        openForm(QDate(2024, 3, 5));
        QCOMPARE(m_form->findChild<QSpinBox *>("NextSpin")->value(), 28);
    }

    void recentCardsKeepTheFiveLast()
    {
        for (const char *name : {"Иванова Мария Петровна", "Иванов Пётр Сергеевич", "Ёлкина Анна Ивановна",
                                 "Абрамова Нина Олеговна", "Жукова Вера Павловна", "Иванова Мария Петровна"})
            QVERIFY(m_form->openCard(cardPath(QString::fromUtf8(name))));
        QCOMPARE(recentTexts(),
                 QStringList({"&1 Иванова Мария Петровна", "&2 Жукова Вера Павловна", "&3 Абрамова Нина Олеговна",
                              "&4 Ёлкина Анна Ивановна", "&5 Иванов Пётр Сергеевич"}));

        // Choosing one opens it; a card that has gone says so and leaves the list.
        recentMenu()->actions().at(3)->trigger();
        QCOMPARE(fioEdit()->text(), "Ёлкина Анна Ивановна");
        m_platform->boxes.clear();
        for (const QString &suffix : testsupport::kCardSuffixes)
            QFile::remove(m_dir->filePath("Иванов Пётр Сергеевич" + suffix));
        recentMenu()->actions().at(4)->trigger();
        QCOMPARE(fioEdit()->text(), "Ёлкина Анна Ивановна");
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY2(m_platform->boxes.first().contains("Cannot open file"), qPrintable(m_platform->boxes.first()));
        QCOMPARE(recentTexts().size(), 4);

        // The list outlives the window.
        openForm(QDate(2024, 3, 5));
        QCOMPARE(recentTexts(), QStringList({"&1 Ёлкина Анна Ивановна", "&2 Иванова Мария Петровна",
                                             "&3 Жукова Вера Павловна", "&4 Абрамова Нина Олеговна"}));
    }
};

QTEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
