// The doctor's work is never dropped without a question: the title shows
// unsaved changes, every command that would let them go asks first, a
// namesake is never replaced silently, radio answers can be taken back, and
// the copies of unsaved work are offered at the next start.
#include "card/cardfiles.h"
#include "card/deletion.h"
#include "card/recovery.h"
#include "support/formfixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

using testsupport::readAll;

namespace {

const QString kTitle = QStringLiteral("VEL-NO-KASI - электронная картотека");

} // namespace

class TestKeepWork final : public QObject, private FormFixture {
    Q_OBJECT

    QString notesOnDisk(const QString &name) const
    {
        const auto card = vel::loadCard(path(name + ".dat"), m_dir->path());
        return vel::failed(card) ? QString() : std::get<vel::LoadedCard>(card).card.text(vel::Field::Notes);
    }
    // The card set on disk is byte for byte what a plain save of the card writes.
    static bool savedAsIs(const vel::CardState &card, const QString &dataDir)
    {
        QTemporaryDir plain;
        if (vel::saveCard(card, plain.path()))
            return false;
        const QString name = card.text(vel::Field::Name);
        for (const QString &s : testsupport::kCardSuffixes)
            if (readAll(QDir(dataDir).filePath(name + s)) != readAll(QDir(plain.path()).filePath(name + s))) {
                qWarning("%s differs", qPrintable(name + s));
                return false;
            }
        return true;
    }
    // Both panels of the status bar show their texts whole.
    static bool statusFits(TMainForm *form)
    {
        QTest::qWait(1); // the bar is laid out again for the new texts
        for (const char *name : {"StatusPanel0", "StatusPanel1"}) {
            auto *panel = form->findChild<QLabel *>(name);
            if (panel->fontMetrics().horizontalAdvance(panel->text()) > panel->contentsRect().width()) {
                qWarning("%s: \"%s\" is cut", name, qPrintable(panel->text()));
                return false;
            }
        }
        return true;
    }
    bool modified()
    {
        QCoreApplication::processEvents(); // the comparison runs once the burst of changes is over
        return m_form->isWindowModified();
    }
    QStringList copyFolders() const
    {
        return QDir(vel::recoveryFolder(m_dir->path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    // "Другая" saved elsewhere, then "Иванова" saved in the window and changed.
    void changedCard()
    {
        makeForm(QDate(2024, 3, 5));
        vel::CardState other;
        other.setText(vel::Field::Name, "Другая");
        QVERIFY(!vel::saveCard(other, m_dir->path()));
        QVERIFY(m_form->openCard(path("Другая.dat")));
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Иванова");
        trigger("SaveAct");
        typeText(find<QPlainTextEdit>("PrimMemo"), " и ещё");
        QVERIFY(modified());
        QVERIFY(m_platform->questions.isEmpty());
    }
    // Runs a command that lets the card shown go; "Другая" is the one it opens or deletes.
    void run(const QString &command)
    {
        if (command == "new") {
            trigger("NewAct");
        } else if (command == "open") {
            m_platform->nextFiles << path("Другая.dat");
            trigger("OpenAct");
        } else if (command == "card list") {
            m_form->openCard(path("Другая.dat"));
        } else if (command == "recent") {
            const auto items = find<QMenu>("RecentMenu")->actions();
            QCOMPARE(items.at(1)->data().toString(), path("Другая.dat"));
            items.at(1)->trigger();
        } else if (command == "delete") {
            m_platform->nextFiles << path("Другая.dat");
            m_platform->nextButtons.prepend("Удалить");
            trigger("DelAct");
        } else if (command == "F10") {
            m_form->findChild<QAction *>("ExitAct")->trigger();
        } else {
            m_form->close();
        }
    }

private slots:
    void initTestCase()
    {
        vel::setTrashForTesting([](const QString &, QString *) { return false; });
    }
    void cleanup()
    {
        m_form.reset();
        m_dir.reset();
        QSettings("velnokasi", "velnokasi").clear();
    }

    void titleMarksUnsavedChanges()
    {
        makeForm(QDate(2024, 3, 5));
        QCOMPARE(m_form->windowTitle(), kTitle + "[*]");
        trigger("NewAct");
        QVERIFY(!modified());
        typeText(find<QLineEdit>("FioEdit"), "Орлова");
        QVERIFY(modified());
        trigger("SaveAct");
        QVERIFY(!modified());
        find<QRadioButton>("SexGroup_1")->click();
        QVERIFY(modified());
        find<QRadioButton>("SexGroup_1")->click(); // taken back: as saved again
        QVERIFY(!modified());
        m_form->Add2ButtonClick(); // a visit row
        QVERIFY(modified());
        m_platform->nextButtons << "Нет";
        trigger("NewAct");
        QVERIFY(!modified());
    }

    void questionBeforeDiscarding_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("answer");
        for (const char *command : {"new", "open", "card list", "recent", "delete", "F10", "close"})
            QTest::addRow("%s, cancelled", command) << command << "Отмена";
        QTest::newRow("new, box closed") << "new"
                                         << "";
        for (const char *command : {"new", "recent", "close"}) {
            QTest::addRow("%s, saved", command) << command << "Да";
            QTest::addRow("%s, dropped", command) << command << "Нет";
        }
    }
    void questionBeforeDiscarding()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        changedCard();
        const vel::CardState shown = m_form->cardState();
        if (!answer.isEmpty())
            m_platform->nextButtons << answer;
        run(command);
        if (answer == "Да")
            QVERIFY(savedAsIs(shown, m_dir->path()));

        QCOMPARE(m_platform->questions.last(), kTitle + "|Сохранить изменения в карточке «Иванова»?");
        QCOMPARE(m_platform->questionButtons.last(), "Да,Нет,Отмена|0");
        const bool stays = answer != "Да" && answer != "Нет";
        QCOMPARE(notesOnDisk("Иванова").contains(" и ещё"), answer == "Да");
        QCOMPARE(QFile::exists(path("Другая.dat")), stays || command != "delete");
        if (stays) {
            QVERIFY(m_form->isVisible());
            QCOMPARE(find<QLineEdit>("FioEdit")->text(), "Иванова");
            QVERIFY(find<QPlainTextEdit>("PrimMemo")->toPlainText().contains(" и ещё"));
            QVERIFY(modified());
            return;
        }
        QCOMPARE(m_form->isVisible(), command != "close");
        // Dropped on purpose: the copy is kept, and not offered at the next start.
        QCOMPARE(copyFolders().size(), answer == "Нет" ? 1 : 0);
        QVERIFY(vel::pendingCopies(m_dir->path()).isEmpty());
    }

    void noQuestionWithoutChanges_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("typedBack"); // typed, then erased again
        for (const char *command : {"new", "open", "card list", "recent", "delete", "close"}) {
            QTest::addRow("%s", command) << command << false;
            QTest::addRow("%s, typed back", command) << command << true;
        }
    }
    void noQuestionWithoutChanges()
    {
        QFETCH(QString, command);
        QFETCH(bool, typedBack);
        changedCard();
        trigger("SaveAct");
        if (typedBack) {
            auto *memo = find<QPlainTextEdit>("PrimMemo");
            typeText(memo, "x");
            QTest::keyClick(memo, Qt::Key_Backspace);
        }
        QVERIFY(!modified());
        run(command);
        QCOMPARE(m_platform->questions.size(), command == "delete" ? 1 : 0);
        QVERIFY(copyFolders().isEmpty());
    }

    void questionSaysWhenNoCopyCanBeKept_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("dropped") << "Нет";
        QTest::newRow("cancelled") << "Отмена";
    }
    void questionSaysWhenNoCopyCanBeKept()
    {
        QFETCH(QString, answer);
        makeForm(QDate(2024, 3, 5));
        trigger("NewAct");
        typeText(find<QPlainTextEdit>("PrimMemo"), " важное");
        // No folder for copies can be made.
        testsupport::writeFile(vel::recoveryFolder(m_dir->path()), "");
        m_platform->nextButtons << answer;
        m_form->close();
        QVERIFY2(m_platform->questions.last().startsWith(kTitle + "|Сохранить новую карточку?\n\nКопию изменений "
                                                                  "сохранить не удалось: "),
                 qPrintable(m_platform->questions.last()));
        QVERIFY(m_platform->questions.last().endsWith("Ответ «Нет» удалит их безвозвратно."));
        QCOMPARE(m_form->isVisible(), answer != "Нет");
    }

    void radioAnswerCanBeTakenBack_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("second click") << "click";
        QTest::newRow("Delete") << "Delete";
        QTest::newRow("Backspace") << "Backspace";
    }
    void radioAnswerCanBeTakenBack()
    {
        QFETCH(QString, how);
        makeForm(QDate(2024, 3, 5));
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), "Никто");
        trigger("SaveAct");
        const QByteArray untouched = readAll(path("Никто.dat"));
        // On the questionnaire and in the anamnesis alike.
        for (const char *name : {"SexGroup_1", "HeartGroup_0"}) {
            auto *button = find<QRadioButton>(name);
            const QPoint onCircle(6, button->height() / 2);
            QTest::mouseClick(button, Qt::LeftButton, {}, onCircle);
            QVERIFY2(button->isChecked(), name);
            if (how == "click")
                QTest::mouseClick(button, Qt::LeftButton, {}, onCircle);
            else
                QTest::keyClick(button, how == "Delete" ? Qt::Key_Delete : Qt::Key_Backspace);
            QVERIFY2(!button->isChecked(), name);
        }
        QCOMPARE(m_form->cardState().index(vel::Field::Sex), -1);
        // Stored as never chosen: the file is as before.
        trigger("SaveAct");
        QCOMPARE(readAll(path("Никто.dat")), untouched);
    }

    void recentCardsListNoCopyAndNoDeletedCard()
    {
        changedCard();
        m_platform->nextButtons << "Нет";
        trigger("NewAct");
        const QString copy = QDir(vel::recoveryFolder(m_dir->path())).filePath(copyFolders().first() + "/Иванова.dat");
        QVERIFY(m_form->openCard(copy));
        // An older version listed copies; they are not shown either.
        QSettings("velnokasi", "velnokasi").setValue("recentCards", QStringList{copy, path("Другая.dat")});
        m_platform->nextFiles << path("Другая.dat");
        m_platform->nextButtons << "Удалить"
                                << "Нет"; // the copy shown is not saved
        trigger("DelAct");
        QVERIFY(!QFile::exists(path("Другая.dat")));
        const auto items = find<QMenu>("RecentMenu")->actions();
        QVERIFY(std::none_of(items.begin(), items.end(), [](QAction *a) { return a->isVisible(); }));
    }

    void unsavedWorkIsOfferedAtStart_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("open") << "OpenCopyButton";
        QTest::newRow("drop") << "DropCopyButton";
        QTest::newRow("later") << "LaterButton";
    }
    void unsavedWorkIsOfferedAtStart()
    {
        QFETCH(QString, button);
        const QString name = "Константинопольская Антонина Владимировна"; // the longest the status bar shows
        // A card saved, then changed in a window that never closed.
        QTemporaryDir dir;
        vel::CardState card;
        card.setText(vel::Field::Name, name);
        card.setText(vel::Field::Notes, "первое");
        QVERIFY(!vel::saveCard(card, dir.path()));
        QMap<QString, QByteArray> saved;
        for (const QString &s : testsupport::kCardSuffixes)
            saved[s] = readAll(dir.filePath(name + s));
        QTest::qWait(20);
        card.setText(vel::Field::Notes, "второе");
        card.visitRows << QStringList(vel::kVisitColumns);
        QVERIFY(!vel::failed(vel::keepRecoveryCopy(dir.path(), card)));
        testsupport::writeFile(dir.filePath("shablon.kmt"), "");

        ScriptedPlatform platform;
        QStringList rows;
        QString title;
        platform.onModal = [&](QWidget *dialog) {
            title = dialog->windowTitle();
            const QAbstractItemModel *list = dialog->findChild<QAbstractItemView *>("RecoveryList")->model();
            for (int i = 0; i < list->rowCount(); ++i)
                rows << list->index(i, 0).data().toString() + "|" + list->index(i, 2).data().toString();
            dialog->findChild<QPushButton *>(button)->click();
        };
        TMainForm form(&platform, QDate(2024, 3, 5), dir.path());
        form.show();
        QTRY_COMPARE(platform.modalShown, 1);
        QCOMPARE(title, "Найдены несохранённые изменения");
        QCOMPARE(rows, QStringList{name + "|визиты (+1), примечания"});
        const QDir copies(vel::recoveryFolder(dir.path()));
        QCOMPARE(copies.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), button == "DropCopyButton" ? 0 : 1);
        if (button != "DropCopyButton") // the copy's folder is named after the patient too
            QVERIFY(copies.entryList(QDir::Dirs | QDir::NoDotAndDotDot).first().endsWith(" " + name));
        if (button != "OpenCopyButton") {
            QVERIFY(form.cardState().text(vel::Field::Name).isEmpty());
            return;
        }
        QCOMPARE(form.cardState().text(vel::Field::Notes), "второе");
        QVERIFY(form.windowTitle().contains("копия"));
        QVERIFY(form.statusText(1).contains("копия"));
        QVERIFY(statusFits(&form));
        // A copy is work not yet saved in the card.
        QVERIFY(form.isWindowModified());
        platform.nextButtons << "Отмена";
        form.NewActExecute();
        QCOMPARE(platform.questions, QStringList{kTitle + "|Сохранить изменения в карточке «" + name + "»?"});
        QCOMPARE(form.cardState().text(vel::Field::Notes), "второе");
        platform.questions.clear();
        // Saving the copy replaces the card only when asked, and keeps the old one aside.
        platform.nextButtons << "Отмена"
                             << "Заменить";
        form.SaveActExecute();
        QCOMPARE(readAll(dir.filePath(name + ".dat")), saved[".dat"]);
        const vel::CardState fromCopy = form.cardState();
        form.SaveActExecute();
        QVERIFY(savedAsIs(fromCopy, dir.path()));
        QCOMPARE(platform.questions.size(), 2);
        QVERIFY(platform.questions.first().contains("Карточка «" + name + "» уже есть"));
        QVERIFY(readAll(dir.filePath(name + ".dat")) != saved[".dat"]);
        QVERIFY(!form.windowTitle().contains("копия"));
        QVERIFY(statusFits(&form));
        const QDir deleted(vel::deletedCardsFolder(dir.path()));
        const QString aside = deleted.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
        for (const QString &s : testsupport::kCardSuffixes)
            QCOMPARE(readAll(deleted.filePath(aside + "/" + name + s)), saved[s]);
        QVERIFY(vel::pendingCopies(dir.path()).isEmpty());
    }

    void copiesAreKeptByAge()
    {
        // Copies named after their moment: old ones go, unless one holds the
        // only copy of a card's work never saved.
        QTemporaryDir dir;
        const QDateTime now = QDateTime::currentDateTime();
        auto copyOf = [&dir](const QString &name, const QDateTime &when, bool dismissed = false) {
            vel::CardState card;
            card.setText(vel::Field::Name, name);
            const QString made = std::get<QString>(vel::keepRecoveryCopy(dir.path(), card));
            const QString folder = QFileInfo(made).absolutePath();
            const QString renamed =
                QFileInfo(folder).dir().filePath(when.toString("yyyy-MM-dd HH-mm-ss-zzz") + " " + name);
            QVERIFY(QDir().rename(folder, renamed));
            if (dismissed)
                vel::dismissCopy(QDir(renamed).filePath(name + ".dat"));
        };
        vel::CardState saved;
        saved.setText(vel::Field::Name, "Сохранённая");
        QVERIFY(!vel::saveCard(saved, dir.path()));
        copyOf("Сохранённая", now.addDays(-40)); // older than its card's save
        copyOf("Несохранённая", now.addDays(-50));
        copyOf("Несохранённая", now.addDays(-40)); // the newest of a card never saved
        copyOf("Свежая", now.addDays(-29));
        copyOf("Отброшенная", now.addDays(-31), true); // its work dropped on purpose
        vel::pruneRecoveryCopies(dir.path(), now);
        QStringList left = QDir(vel::recoveryFolder(dir.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (QString &folder : left)
            folder = folder.mid(24);
        QCOMPARE(left, (QStringList{"Несохранённая", "Свежая"}));
    }
};

QTEST_MAIN(TestKeepWork)
#include "tst_keepwork.moc"
