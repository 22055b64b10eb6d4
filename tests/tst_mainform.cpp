#include "card/cardfiles.h"
#include "chart/weightchart.h"
#include "support/formfixture.h"
#include "widgets/numberlabel.h"
#include "window/aboutbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

using testsupport::cp1251;
using testsupport::readAll;
using testsupport::writeFile;

// keyClicks cannot send Cyrillic in this Qt; one key event per character can.
// The tables are views: their cells are read and typed through the model.
QString cellText(const QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

void setCell(QTableView *grid, int row, int column, const QString &text)
{
    grid->model()->setData(grid->model()->index(row, column), text);
}

const QString kTitle = QStringLiteral("VEL-NO-KASI - электронная картотека");
const QStringList &kSuffixes = testsupport::kCardSuffixes;

} // namespace

class TestMainForm final : public QObject, private FormFixture {
    Q_OBJECT

private:

    void makeForm(bool withTemplates = true)
    {
        makeFolder(QStringLiteral("Диета\r\nРазгрузка\r\n"));
        if (!withTemplates) {
            QFile::remove(path("shablon.kmt"));
        } else {
            writeFile(path("shablon1.txt"), cp1251("Первый"));
            writeFile(path("shablon2.txt"), cp1251("Пить воду\nГулять"));
        }
        openForm(QDate(2024, 3, 5));
    }
    void newCardNamed(const QString &name)
    {
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), name);
    }
    QStringList visibleViews() const
    {
        QStringList views;
        for (const char *v : {"PageControl1", "PageControl2", "PageControl3"})
            if (find<QTabWidget>(QLatin1String(v))->isVisible())
                views << QLatin1String(v);
        return views;
    }

private slots:
    void cleanup()
    {
        m_form.reset();
        m_dir.reset();
    }

    void startUp_data()
    {
        QTest::addColumn<bool>("withTemplates");
        QTest::newRow("with template list") << true;
        QTest::newRow("without template list") << false;
    }
    void startUp()
    {
        QFETCH(bool, withTemplates);
        makeForm(withTemplates);
        QCOMPARE(m_form->windowTitle(), kTitle + "[*]"); // "*" while the card has unsaved changes
        QCOMPARE(m_form->size(), QSize(780, 565));
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint)); // nothing to maximize
        QVERIFY(visibleViews().isEmpty());
        QVERIFY(find<QLabel>("Image1")->isVisible());
        QVERIFY(!action("SaveAct")->isEnabled());
        QVERIFY(!action("PrnAct")->isEnabled());
        QCOMPARE(m_form->statusText(0), QString());
        QCOMPARE(m_form->statusText(1), QString());
        auto *grid2 = find<QTableView>("Grid2");
        QCOMPARE(cellText(grid2, 0, 0), QStringLiteral("Дата"));
        QCOMPARE(cellText(grid2, 0, 9), QStringLiteral("Моча"));
        auto *editorList = find<QComboBox>("ShabloBox");
        if (withTemplates) {
            QVERIFY(m_platform->boxes.isEmpty());
            QCOMPARE(editorList->count(), 2);
            QCOMPARE(editorList->itemText(1), QStringLiteral("Разгрузка"));
        } else {
            QCOMPARE(m_platform->boxes.size(), 1);
            QCOMPARE(m_platform->boxes.first(),
                     kTitle + "|Cannot open file \"" + path("shablon.kmt") + "\". No such file or directory.");
            QCOMPARE(editorList->count(), 0);
        }
    }

    // The real dialogs are modal children of the window, so a test can answer them too.
    void realDialogsCanBeAnswered()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QString caption, text;
        bool critical = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            critical = box->icon() == QMessageBox::Critical;
            box->accept();
        });
        m_form = std::make_unique<TMainForm>(nullptr, QDate(2024, 3, 5), m_dir->path());
        QCOMPARE(caption, kTitle);
        QCOMPARE(text, "Cannot open file \"" + path("shablon.kmt") + "\". No such file or directory.");
        QVERIFY(critical);

        writeFile(path("shablon.kmt"), cp1251("Диета\r\n"));
        trigger("NewAct");
        find<QLineEdit>("FioEdit")->setText(QStringLiteral("Настоящий"));
        find<QLineEdit>("BirEdit")->setText("01.02.1970");
        trigger("SaveAct");
        trigger("NewAct");
        QString title;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            dialog->selectFile(path("Настоящий.dat"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        trigger("OpenAct");
        QCOMPARE(title, QStringLiteral("Открыть карточку пациента"));
        QCOMPARE(find<QLineEdit>("FioEdit")->text(), QStringLiteral("Настоящий"));
    }

    void menusAndShell()
    {
        makeForm();
        const QStringList captions = {"Новая",
                                      "Открыть",
                                      "Найти карточку...",
                                      "Последние карточки",
                                      "Сохранить",
                                      "Удалить",
                                      "Печать",
                                      "Отчёт о динамике",
                                      "",
                                      "Резервная копия…",
                                      "Восстановить из копии…",
                                      "Экспорт в таблицу…",
                                      "",
                                      "Редактор шаблонов",
                                      "",
                                      "Выход          "};
        const auto cardMenu = m_form->findChild<QMenu *>("CardMenu")->actions();
        QCOMPARE(cardMenu.size(), captions.size());
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(cardMenu.at(i)->isSeparator() ? QString() : cardMenu.at(i)->text(), captions.at(i));
        QCOMPARE(action("ExitAct")->shortcut(), QKeySequence(Qt::Key_F10));
        QCOMPARE(action("HelpAct")->text(), QStringLiteral("Справка      "));

        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QTest::keyClick(m_form.get(), Qt::Key_F1);
        trigger("HelpAct");
        QCOMPARE(m_platform->helpContexts, QList<int>({1, 1}));
        trigger("PartAct");
        trigger("CardAct");
        QVERIFY(m_platform->urls.at(0).toString().endsWith("distribute.htm"));
        QVERIFY(m_platform->urls.at(1).toString().endsWith("responce.htm"));
        trigger("AboutAct");
        QCOMPARE(m_platform->modalShown, 1);
        m_form->aboutBox()->Label4Click();
        QCOMPARE(m_platform->urls.at(2).scheme(), QStringLiteral("mailto"));
    }

    void newCardDefaults()
    {
        makeForm();
        find<QLineEdit>("AgeEdit")->setText("44");
        find<QCheckBox>("KonBox")->setChecked(true);
        m_form->Add2ButtonClick();
        trigger("NewAct");
        QCOMPARE(visibleViews(), QStringList{"PageControl1"});
        QCOMPARE(find<QTabWidget>("PageControl1")->currentIndex(), 0);
        QCOMPARE(find<QTabWidget>("PageControl1")->count(), 9);
        QCOMPARE(find<QLineEdit>("DateEdit")->displayText(), QStringLiteral("5.03.2024"));
        QCOMPARE(find<QLineEdit>("BirEdit")->displayText(), QStringLiteral("  .  .    "));
        QCOMPARE(find<QLineEdit>("AgeEdit")->text(), QString());
        QCOMPARE(find<QLineEdit>("RostEdit")->maxLength(), 3);
        QCOMPARE(find<QComboBox>("TypeBox")->currentText(), QStringLiteral("Нормостеник"));
        auto *shab = find<QComboBox>("ShabBox");
        QCOMPARE(shab->count(), 2);
        QCOMPARE(shab->currentIndex(), -1);
        QCOMPARE(shab->currentText(), QStringLiteral("Выбрать"));
        QVERIFY(shab->isEnabled());
        // The notes' title is a grey hint: typing starts an empty note.
        QCOMPARE(find<QPlainTextEdit>("PrimMemo")->toPlainText(), QString());
        QCOMPARE(find<QPlainTextEdit>("PrimMemo")->placeholderText(), QStringLiteral("Примечания врача"));
        QVERIFY(!find<QCheckBox>("KonBox")->isChecked());
        QCOMPARE(find<QTableView>("Grid2")->model()->rowCount(), 1);
        QVERIFY(action("SaveAct")->isEnabled());
        QVERIFY(!action("PrnAct")->isEnabled());
        find<QTabWidget>("PageControl1")->setCurrentIndex(8);
        QVERIFY(action("PrnAct")->isEnabled());
        trigger("ShablAct");
        QVERIFY(!action("PrnAct")->isEnabled());
        QVERIFY(!action("SaveAct")->isEnabled());
        QCOMPARE(visibleViews(), QStringList{"PageControl3"});
    }

    void newCardWithoutTemplateListStops()
    {
        makeForm();
        QFile::remove(path("shablon.kmt"));
        find<QLineEdit>("JobEdit")->setText("Завод");
        find<QLineEdit>("FioEdit")->setText("Петров");
        trigger("NewAct");
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(find<QLineEdit>("FioEdit")->text(), QString());
        QCOMPARE(find<QLineEdit>("JobEdit")->text(), QStringLiteral("Завод"));
    }

    void saveTypedCardByteForByte()
    {
        makeForm();
        newCardNamed(QStringLiteral("Иванова Анна"));
        find<QLineEdit>("BirEdit")->setFocus();
        QTest::keyClicks(find<QLineEdit>("BirEdit"), "15041980");
        typeText(find<QLineEdit>("RostEdit"), "1654");
        find<QRadioButton>("SexGroup_1")->click();
        find<QCheckBox>("CheckBox8")->click();
        find<QCheckBox>("CheckBox66")->click();
        find<QPlainTextEdit>("PrepMemo")->setPlainText(QStringLiteral("Витамин D\nОмега-3"));
        m_form->AddBtnClick();
        m_form->Add2ButtonClick();
        find<QToolButton>("SpeedButton42")->click();

        QCOMPARE(m_form->statusText(1), QStringLiteral(" Карточка сохранена"));
        QCOMPARE(m_form->statusText(0), QStringLiteral(" Карточка пациента: Иванова Анна"));
        const QString base = path(QStringLiteral("Иванова Анна.dat"));

        QStringList main = {"Иванова Анна", "15.04.1980", "0", "", "", "1", "", "165", "", "", "", "5.03.2024", "-1"};
        main += QStringList(5, "-1");
        main += QStringList(14, "0");
        main += QStringList(10, "-1");
        QStringList foods(15, "0");
        foods[7] = "1";
        main += foods;
        main += QStringList{"", "", "", "0", "0", "0", "-1", "-1", "-1", "-1", "-1", "", ""};
        main += QStringList{"0", "0", "0", "0", "", "", "", ""};
        main += QStringList(9, "0");
        main += ""; // untouched notes
        QCOMPARE(main.size(), 88);
        QCOMPARE(readAll(base), cp1251(main.join("\r\n") + "\r\n"));
        QCOMPARE(readAll(base + ".prp"), cp1251("Витамин D\r\nОмега-3"));
        QCOMPARE(readAll(base + ".rec"), QByteArray());
        QCOMPARE(readAll(base + ".tb2"), cp1251("05.03.2024" + QString("\r\n").repeated(10)));
        const QByteArray tb1 = readAll(base + ".tb1");
        QCOMPARE(tb1.count("\r\n"), 42);
        QVERIFY(tb1.startsWith(cp1251("Дата\r\nПравая рука\r\nЛевая рука\r\n5.03.2024\r\n")));
        QStringList vit(226, "0");
        vit[40] = "1"; // the oesophagus diverticula
        for (int line = 124; line <= 225; ++line)
            if (QList<int>{124, 125, 126, 127, 128, 129, 135, 136, 137, 138, 142, 147, 150, 157, 159}.contains(line))
                vit[line - 1] = "-1";
        vit << "-1"
            << ""            // no activity level, no goal
            << "19.03.2024"; // the next visit, proposed two weeks after the one added
        QCOMPARE(readAll(base + ".vit"), cp1251(vit.join("\r\n") + "\r\n"));
    }

    void failedWriteIsNotReportedAsSaved()
    {
        makeForm();
        newCardNamed(QStringLiteral("Белов"));
        vel::setSaveFaultForTesting([](const QString &path, vel::SavePhase) { return path.endsWith(".tb2"); });
        trigger("SaveAct");
        vel::setSaveFaultForTesting({});
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY(m_platform->boxes.first().startsWith(kTitle + "|Cannot create file \"" + path("Белов.dat.tb2")));
        QCOMPARE(m_form->statusText(1), QString());
        QVERIFY(!QFile::exists(path("Белов.dat")));
    }

    void saveRefusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QString() << QStringLiteral("Введите Ф.И.О. пациента!");
        QTest::newRow("path separator") << QStringLiteral("a/b") << QString();
        QTest::newRow("dots") << QStringLiteral("..") << QString();
        QTest::newRow("not in the code page") << QStringLiteral("Li 李") << QString();
    }
    void saveRefusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        makeForm();
        newCardNamed(name);
        trigger("SaveAct");
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY(m_platform->boxes.first().startsWith("Error|" + message));
        QCOMPARE(m_form->statusText(1), QString());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 3);
    }

    void openRestoresCardAndSavesIdentically()
    {
        makeForm();
        newCardNamed(QStringLiteral("Сидоров"));
        find<QLineEdit>("BirEdit")->setText("31.03.1980");
        find<QComboBox>("ShabBox")->setCurrentIndex(1);
        find<QRadioButton>("JirGroup_3")->click();
        find<QCheckBox>("KonBox")->click();
        find<QPlainTextEdit>("PrimMemo")->setPlainText("первая\nвторая");
        m_form->AddBtnClick();
        m_form->AddBtnClick();
        trigger("SaveAct");
        QMap<QString, QByteArray> before;
        for (const QString &s : kSuffixes)
            before[s] = readAll(path("Сидоров" + s));

        trigger("NewAct");
        m_platform->nextFiles << path("Сидоров.dat");
        trigger("OpenAct");
        QVERIFY2(m_platform->boxes.isEmpty(), qPrintable(m_platform->boxes.join('\n')));
        QCOMPARE(m_platform->fileDialogTitles.last(), QStringLiteral("Открыть карточку пациента"));
        QCOMPARE(m_form->statusText(0), QStringLiteral(" Карточка пациента: Сидоров"));
        QCOMPARE(find<QLineEdit>("AgeEdit")->text(), QStringLiteral("43")); // birthday on the 31st, not yet
        QVERIFY(!find<QComboBox>("ShabBox")->isEnabled());
        QCOMPARE(find<QComboBox>("ShabBox")->currentText(), QStringLiteral("Разгрузка"));
        QCOMPARE(find<QPlainTextEdit>("RecMemo")->toPlainText(), QStringLiteral("Пить воду\nГулять"));
        QVERIFY(find<QCheckBox>("KonBox")->isChecked());
        QCOMPARE(find<QPlainTextEdit>("PrimMemo")->toPlainText(), QStringLiteral("первая\nвторая"));
        QVERIFY(find<QPlainTextEdit>("AnamMemo")->toPlainText().contains(QStringLiteral("Ожирение: 4-я степень")));
        QVERIFY(action("PrnAct")->isEnabled());
        auto *grid1 = find<QTableView>("Grid1");
        QCOMPARE(grid1->model()->rowCount(), 28);
        QCOMPARE(cellText(grid1, 15, 0), QStringLiteral("1"));
        QCOMPARE(cellText(grid1, 27, 0), QStringLiteral("6"));

        trigger("SaveAct");

        // A card with a shorter table shows nothing of the one before.
        newCardNamed(QStringLiteral("Краткий"));
        trigger("SaveAct");
        m_platform->nextFiles << path("Краткий.dat");
        trigger("OpenAct");
        QCOMPARE(grid1->model()->rowCount(), 1);
        QVERIFY(cellText(grid1, 0, 0).isEmpty());
        m_form->AddBtnClick();
        QVERIFY(!grid1->model()->index(14, 1).isValid() && !grid1->model()->index(20, 0).isValid());
        m_platform->nextFiles << path("Сидоров.dat");
        trigger("OpenAct");
        m_platform->boxes.clear();
        before[".dat.rec"] = cp1251("Пить воду\r\nГулять"); // filled from the template on opening
        for (const QString &s : kSuffixes)
            QCOMPARE(readAll(path("Сидоров" + s)), before[s]);
    }

    void failedOpenChangesNothing_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QString>("message");
        QTest::newRow("no anamnesis file") << ".dat.vit"
                                           << "Cannot open file";
        QTest::newRow("short main file") << ".dat"
                                         << "List index out of bounds (87)";
        QTest::newRow("short visits file") << ".dat.tb2"
                                           << "List index out of bounds (15)";
    }
    void failedOpenChangesNothing()
    {
        QFETCH(QString, spoil);
        QFETCH(QString, message);
        makeForm();
        newCardNamed(QStringLiteral("Орлов"));
        m_form->Add2ButtonClick();
        m_form->Add2ButtonClick();
        trigger("SaveAct");
        const QString file = path("Орлов" + spoil);
        if (spoil == ".dat.vit") {
            QFile::remove(file);
        } else {
            QList<QByteArray> lines = readAll(file).split('\n');
            writeFile(file, lines.mid(0, spoil == ".dat" ? 87 : 15).join('\n') + '\n');
        }
        newCardNamed(QStringLiteral("Другой"));
        find<QLineEdit>("AdrEdit")->setText("Москва");
        m_platform->nextFiles << path("Орлов.dat");
        m_platform->nextButtons << "Нет"; // the card shown is not saved
        trigger("OpenAct");
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY2(m_platform->boxes.first().startsWith(kTitle + "|" + message), qPrintable(m_platform->boxes.first()));
        QCOMPARE(find<QLineEdit>("FioEdit")->text(), QStringLiteral("Другой"));
        QCOMPARE(find<QLineEdit>("AdrEdit")->text(), QStringLiteral("Москва"));
        QCOMPARE(find<QTableView>("Grid2")->model()->rowCount(), 1);
        QCOMPARE(m_form->statusText(0), QString());
    }

    void deleteCard_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("answers"); // the delete's question, then the one about the card shown
        QTest::addColumn<bool>("reported");
        const QStringList drop{"Удалить", "Нет"};
        QTest::newRow("complete set") << kSuffixes << "Карта.dat" << drop << true;
        QTest::newRow("partial set") << QStringList{".dat", ".dat.vit"} << "Карта.dat" << drop << true;
        QTest::newRow("typed missing name") << QStringList{".dat"} << "Нет такой.dat" << drop << true;
        QTest::newRow("cancelled") << kSuffixes << QString() << QStringList() << false;
        QTest::newRow("not confirmed") << kSuffixes << "Карта.dat" << QStringList{"Отмена"} << false;
        QTest::newRow("box closed") << kSuffixes << "Карта.dat" << QStringList() << false;
        QTest::newRow("card shown kept") << kSuffixes << "Карта.dat" << QStringList{"Удалить", "Отмена"} << false;
        QTest::newRow("card shown saved") << kSuffixes << "Карта.dat" << QStringList{"Удалить", "Да"} << true;
    }
    void deleteCard()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, chosen);
        QFETCH(QStringList, answers);
        QFETCH(bool, reported);
        makeForm();
        for (const QString &s : present)
            writeFile(path("Карта" + s), "x");
        newCardNamed(QStringLiteral("На экране"));
        m_platform->nextFiles << (chosen.isEmpty() ? QString() : path(chosen));
        m_platform->nextButtons = answers;
        trigger("DelAct");
        QCOMPARE(m_platform->fileDialogTitles.last(), QStringLiteral("Удалить карточку пациента"));
        if (!chosen.isEmpty()) {
            QCOMPARE(m_platform->questions.first(), kTitle + "|Удалить карточку «" +
                                                        QFileInfo(chosen).completeBaseName() +
                                                        "»? Её можно будет восстановить из корзины.");
            QCOMPARE(m_platform->questionButtons.first(), "Удалить,Отмена|1");
        }
        const bool deleted = reported && chosen.startsWith("Карта");
        for (const QString &s : present)
            QCOMPARE(QFile::exists(path("Карта" + s)), !deleted);
        QCOMPARE(m_form->statusText(1).startsWith(" Карточка удалена"), reported);
        QCOMPARE(find<QLineEdit>("FioEdit")->text(), reported ? QString() : QStringLiteral("На экране"));
        QCOMPARE(QFile::exists(path("На экране.dat")), answers.endsWith("Да"));
    }

    void anamnesisNavigation()
    {
        makeForm();
        trigger("NewAct");
        find<QTabWidget>("PageControl1")->setCurrentIndex(5);
        find<QPushButton>("SpeedButton2")->click();
        find<QPushButton>("SpeedButton5")->click();
        auto *view = find<QTabWidget>("PageControl2");
        QCOMPARE(visibleViews(), QStringList{"PageControl2"});
        for (int i = 0; i < view->count(); ++i)
            QCOMPARE(view->isTabVisible(i), i == 4);
        find<QRadioButton>("CistGroup_1")->click();
        find<QToolButton>("SpeedButton23")->click();
        QCOMPARE(visibleViews(), QStringList{"PageControl1"});
        QCOMPARE(find<QTabWidget>("PageControl1")->currentIndex(), 5);
        QCOMPARE(find<QPlainTextEdit>("AnamMemo")->toPlainText(), QStringLiteral("Хронический цистит"));
    }

    void tables()
    {
        makeForm();
        trigger("NewAct");
        auto *grid1 = find<QTableView>("Grid1");
        QVERIFY(grid1->isHidden());
        find<QToolButton>("AddButton")->click();
        QVERIFY(!grid1->isHidden());
        QCOMPARE(grid1->model()->rowCount(), 14);
        QCOMPARE(cellText(grid1, 0, 1), QStringLiteral("Дата"));
        QCOMPARE(cellText(grid1, 1, 1), QStringLiteral("5.03.2024"));
        QCOMPARE(cellText(grid1, 7, 2), QStringLiteral("Правая нога"));
        QCOMPARE(cellText(grid1, 13, 0), QStringLiteral("6"));
        QCOMPARE(cellText(grid1, 0, 0), QString());
        for (int row : {0, 1, 7}) // numbered or not, column 0 is never edited
            QVERIFY(!(grid1->model()->flags(grid1->model()->index(row, 0)) & Qt::ItemIsEditable));
        m_form->AddBtnClick();
        QCOMPARE(grid1->model()->rowCount(), 28);
        QCOMPARE(cellText(grid1, 15, 1), QStringLiteral("5.03.2024"));
        m_platform->nextButtons << "Нет";
        trigger("NewAct");
        m_form->AddBtnClick();
        QCOMPARE(grid1->model()->rowCount(), 14);
        QVERIFY(!grid1->model()->index(14, 1).isValid());

        // A row is dragged to another place by its point number.
        setCell(grid1, 3, 2, "третья");
        auto cellCentre = [grid1](int row, int column) {
            return grid1->visualRect(grid1->model()->index(row, column)).center();
        };
        QTest::mousePress(grid1->viewport(), Qt::LeftButton, {}, cellCentre(3, 0));
        QTest::mouseRelease(grid1->viewport(), Qt::LeftButton, {}, cellCentre(5, 0));
        QCOMPARE(cellText(grid1, 5, 2), QStringLiteral("третья"));
        QCOMPARE(cellText(grid1, 5, 0), QStringLiteral("3"));
        QCOMPARE(grid1->model()->rowCount(), 14);

        auto *grid2 = find<QTableView>("Grid2");
        find<QToolButton>("Add2Button")->click();
        QVERIFY(!m_form->statusText(1).contains(QStringLiteral("Второй")));
        find<QToolButton>("Add2Button")->click();
        QCOMPARE(grid2->model()->rowCount(), 3);
        // A new row's date reads like those typed; a second one for the day is told.
        QCOMPARE(cellText(grid2, 2, 0), QStringLiteral("05.03.2024"));
        QCOMPARE(cellText(grid2, 2, 1), QString());
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Второй прием за 05.03.2024: эта дата уже есть в строке 1"));
        setCell(grid2, 1, 0, QStringLiteral("4.03.2024"));
        setCell(grid2, 2, 0, QStringLiteral("5.3.2024"));
        find<QToolButton>("Add2Button")->click();
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Второй прием за 05.03.2024: эта дата уже есть в строке 2"));
    }

    void indicesAndChart()
    {
        makeForm();
        newCardNamed(QStringLiteral("Графиков"));
        auto *bmi = find<vel::NumberLabel>("BmiLabel");
        auto *whr = find<QLabel>("WhrLabel");
        typeText(find<QLineEdit>("RostEdit"), "170");
        QCOMPARE(bmi->text(), QString()); // no weight yet
        typeText(find<QLineEdit>("VesEdit"), QStringLiteral("86,7 кг"));
        QCOMPARE(bmi->text(), QStringLiteral("ИМТ: 30,0 — ожирение I степени"));
        typeText(find<QLineEdit>("TalEdit"), "88");
        typeText(find<QLineEdit>("BedrEdit"), "100");
        QVERIFY(!whr->text().contains(QStringLiteral("риск")));
        find<QRadioButton>("SexGroup_1")->click();
        QVERIFY(whr->text().contains(QStringLiteral("риск")));

        auto *chart = m_form->findChild<vel::WeightChart *>("WeightChart");
        auto *grid2 = find<QTableView>("Grid2");
        m_form->Add2ButtonClick();
        m_form->Add2ButtonClick();
        setCell(grid2, 1, 1, "82,5");
        setCell(grid2, 2, 1, QStringLiteral("81 кг"));
        setCell(grid2, 2, 2, "—");
        QCOMPARE(chart->series().weight.size(), 2);
        QCOMPARE(chart->series().weight.at(1).value, 81.0);
        QVERIFY(chart->series().waist.isEmpty());
        trigger("SaveAct");

        trigger("NewAct");
        QVERIFY(chart->series().weight.isEmpty());
        QCOMPARE(bmi->text(), QString());
        m_platform->nextFiles << path("Графиков.dat");
        trigger("OpenAct");
        QCOMPARE(chart->series().weight.size(), 2);
        // The body-mass index is today's: the last visit's 81 kg.
        QVERIFY2(bmi->fullText().startsWith(QStringLiteral("ИМТ: 28,0 — избыточная масса тела")),
                 qPrintable(bmi->fullText()));
        QVERIFY(whr->text().contains(QStringLiteral("риск")));
    }

    void idealWeight_data()
    {
        QTest::addColumn<QString>("birth");
        QTest::addColumn<QString>("height");
        QTest::addColumn<int>("build");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("box");
        QTest::newRow("hypersthenic 39") << "01.01.1985"
                                         << "163" << 2 << "Идеальный вес по Броку: 58,3 кг." << QString();
        // 15 March is not reached on 5 March: still 39, so the deduction is 110.
        QTest::newRow("normosthenic 39") << "15.03.1984"
                                         << "170" << 0 << "Идеальный вес по Броку: 60 кг." << QString();
        QTest::newRow("no birth date") << ""
                                       << "170" << 0 << "Идеальный вес по Броку"
                                       << "Error|Введите корректную дату рождения пациента!";
        QTest::newRow("bad height") << "01.01.1980"
                                    << "1a" << 0 << "Идеальный вес по Броку"
                                    << "Error|Введите рост пациента: целое число в сантиметрах!";
    }
    void idealWeight()
    {
        QFETCH(QString, birth);
        QFETCH(QString, height);
        QFETCH(int, build);
        QFETCH(QString, caption);
        QFETCH(QString, box);
        makeForm();
        trigger("NewAct");
        if (!birth.isEmpty()) {
            find<QLineEdit>("BirEdit")->setText(birth);
            m_form->BirEditChange();
        }
        find<QLineEdit>("RostEdit")->setText(height);
        find<QComboBox>("TypeBox")->setCurrentIndex(build);
        find<QPushButton>("BrkButton")->click();
        QCOMPARE(find<QPushButton>("BrkButton")->text(), caption);
        QCOMPARE(m_platform->boxes.join('\n'), box);
    }

    void templateEditor()
    {
        makeForm();
        trigger("ShablAct");
        auto *list = find<QComboBox>("ShabloBox");
        auto *memo = find<QPlainTextEdit>("SblMemo");
        auto *save = find<QPushButton>("SavShButton");
        auto *add = find<QPushButton>("AddShButton");
        QCOMPARE(list->currentText(), QStringLiteral("Выбрать шаблон"));
        QVERIFY(!memo->isEnabled() && !save->isEnabled() && add->isEnabled() && list->isEnabled());

        m_form->ShabloBoxSelect(1);
        QCOMPARE(memo->toPlainText(), QStringLiteral("Пить воду\nГулять"));
        QVERIFY(memo->isEnabled() && save->isEnabled());

        add->click();
        QCOMPARE(list->currentText(), QStringLiteral("Шаблон 3"));
        QVERIFY(!list->isEnabled() && !add->isEnabled() && memo->toPlainText().isEmpty());
        typeText(memo, QStringLiteral("Ходить"));
        QVERIFY(save->isEnabled());
        save->click();
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Шаблон сохранен"));
        QCOMPARE(readAll(path("shablon3.txt")), cp1251("Ходить"));
        QCOMPARE(readAll(path("shablon.kmt")), cp1251("Диета\r\nРазгрузка\r\nШаблон 3\r\n"));
        QVERIFY(list->isEnabled() && add->isEnabled() && !save->isEnabled());

        // An unsaved new title stays in the list for the run, without a text file.
        add->click();
        trigger("NewAct");
        QCOMPARE(find<QComboBox>("ShabBox")->count(), 3); // the saved list, read again
        trigger("ShablAct");
        QCOMPARE(list->count(), 4);
        QVERIFY(!memo->isEnabled() && memo->toPlainText().isEmpty());
        m_form->ShabloBoxSelect(3);
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY(m_platform->boxes.first().contains("shablon4.txt"));
        QVERIFY(!memo->isEnabled());
    }

    // A template is named as it is made, and renamed later; the list file
    // keeps one name a line, and a text file stays with its number.
    void templateNames()
    {
        makeForm();
        trigger("ShablAct");
        auto *list = find<QComboBox>("ShabloBox");
        auto *name = find<QLineEdit>("ShabNameEdit");
        auto *save = find<QPushButton>("SavShButton");
        QVERIFY(!name->isEnabled());

        find<QPushButton>("AddShButton")->click();
        QCOMPARE(m_form->focusWidget(), name); // the doctor names it first
        QCOMPARE(name->selectedText(), QStringLiteral("Шаблон 3"));
        for (QChar ch : QStringLiteral("Осень"))
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QVERIFY(save->isEnabled());
        QTest::keyClick(name, Qt::Key_Return); // on to the text
        QCOMPARE(m_form->focusWidget(), find<QPlainTextEdit>("SblMemo"));
        save->click();
        QCOMPARE(readAll(path("shablon.kmt")), cp1251("Диета\r\nРазгрузка\r\nОсень\r\n"));
        QCOMPARE(readAll(path("shablon3.txt")), QByteArray());
        QCOMPARE(list->itemText(2), QStringLiteral("Осень"));

        // Renaming the first changes its line only; a blank name gives back its number.
        auto choose = [this, list](int index) {
            list->setCurrentIndex(index);
            m_form->ShabloBoxSelect(index);
        };
        choose(0);
        QCOMPARE(name->text(), QStringLiteral("Диета"));
        QVERIFY(name->isEnabled());
        name->selectAll();
        typeText(name, QStringLiteral("Диета 1500"));
        save->click();
        choose(1);
        name->clear();
        QTest::keyClick(name, Qt::Key_Space);
        save->click();
        QCOMPARE(readAll(path("shablon.kmt")), cp1251("Диета 1500\r\nШаблон 2\r\nОсень\r\n"));
        QCOMPARE(readAll(path("shablon1.txt")), cp1251("Первый"));
        QCOMPARE(readAll(path("shablon2.txt")), cp1251("Пить воду\r\nГулять"));
        QCOMPARE(name->text(), QStringLiteral("Шаблон 2"));
        QCOMPARE(list->currentText(), QStringLiteral("Шаблон 2"));

        // A name the file cannot hold is refused, and the list keeps the old one.
        name->selectAll();
        typeText(name, QStringLiteral("Диета 漢"));
        save->click();
        QVERIFY(m_platform->boxes.last().contains("Название шаблона"));
        QCOMPARE(list->itemText(1), QStringLiteral("Шаблон 2"));
        QCOMPARE(readAll(path("shablon.kmt")), cp1251("Диета 1500\r\nШаблон 2\r\nОсень\r\n"));

        // A template whose text is gone shows its own name, never the last one's.
        QFile::remove(path("shablon3.txt"));
        choose(2);
        QVERIFY(m_platform->boxes.last().contains("shablon3.txt"));
        QCOMPARE(name->text(), QStringLiteral("Осень"));

        // The cards' list has the new names from the next card on.
        trigger("NewAct");
        auto *shab = find<QComboBox>("ShabBox");
        QCOMPARE(shab->itemText(0), QStringLiteral("Диета 1500"));
        QCOMPARE(shab->itemText(2), QStringLiteral("Осень"));
    }

    // Notes are read as they were stored, the former new card's words too.
    void storedNotesReadAsTheyAre_data()
    {
        QTest::addColumn<QString>("notes");
        QTest::newRow("the words a new card once had") << "Примечания врача";
        QTest::newRow("none") << "";
        QTest::newRow("the doctor's") << "Аллергия на орехи";
    }
    void storedNotesReadAsTheyAre()
    {
        QFETCH(QString, notes);
        makeForm();
        newCardNamed(QStringLiteral("Заметкина"));
        find<QPlainTextEdit>("PrimMemo")->setPlainText(notes);
        trigger("SaveAct");
        const QByteArray stored = readAll(path("Заметкина.dat"));
        QVERIFY(stored.endsWith(cp1251(notes + "\r\n")));
        trigger("NewAct");
        QVERIFY(m_form->openCard(path("Заметкина.dat")));
        QCOMPARE(find<QPlainTextEdit>("PrimMemo")->toPlainText(), notes);
        trigger("SaveAct");
        QCOMPARE(readAll(path("Заметкина.dat")), stored);
    }

    // The outcome panel has room for its whole line, and it tells of the last
    // command only.
    void statusOutcomeLastsOneCommand()
    {
        makeForm();
        QTest::qWait(1); // the backup's word at start-up comes first
        const QString name = QString(90, QChar(u'Щ'));
        newCardNamed(name);
        trigger("SaveAct");
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Карточка сохранена"));
        auto *namePanel = find<QLabel>("StatusPanel0");
        auto *outcome = find<QLabel>("StatusPanel1");
        QTRY_COMPARE(outcome->text(), QStringLiteral(" Карточка сохранена"));
        QTRY_VERIFY(outcome->fontMetrics().horizontalAdvance(outcome->text()) < outcome->contentsRect().width());
        QVERIFY(namePanel->text().endsWith(QChar(0x2026)));                            // the long name gives way...
        QCOMPARE(namePanel->toolTip(), QStringLiteral(" Карточка пациента: ") + name); // ...and is whole in its tip
        QTRY_VERIFY(namePanel->geometry().right() < outcome->geometry().left());

        // A name with room is shown whole.
        trigger("NewAct");
        typeText(find<QLineEdit>("FioEdit"), QStringLiteral("Иванова Анна"));
        trigger("SaveAct");
        QCOMPARE(namePanel->text(), QStringLiteral(" Карточка пациента: Иванова Анна"));
        QCOMPARE(namePanel->toolTip(), QString());

        // A command with no outcome of its own clears the last one.
        find<QToolButton>("AddButton")->click();
        QCOMPARE(m_form->statusText(1), QString());
        find<QToolButton>("SpeedButton19")->click(); // a page's save button
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Карточка сохранена"));
        trigger("ReportAct");
        QCOMPARE(m_form->statusText(1), QString());
        trigger("ShablAct");
        find<QPushButton>("AddShButton")->click();
        typeText(find<QLineEdit>("ShabNameEdit"), QStringLiteral("Лето"));
        find<QPushButton>("SavShButton")->click();
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Шаблон сохранен"));
        find<QPushButton>("AddShButton")->click();
        QCOMPARE(m_form->statusText(1), QString());
    }

    void prescriptionEntryAndPrint()
    {
        makeForm();
        newCardNamed(QStringLiteral("Козлов"));
        auto *pages = find<QTabWidget>("PageControl1");
        auto *rec = find<QPlainTextEdit>("RecMemo");
        pages->setCurrentIndex(8);
        QCOMPARE(rec->toPlainText(), QString()); // no template chosen
        pages->setCurrentIndex(0);
        find<QComboBox>("ShabBox")->setCurrentIndex(0);
        pages->setCurrentIndex(8);
        QCOMPARE(rec->toPlainText(), QStringLiteral("Первый"));
        rec->setPlainText(" ");
        pages->setCurrentIndex(0);
        pages->setCurrentIndex(8);
        QCOMPARE(rec->toPlainText(), QStringLiteral(" "));

        m_platform->printerAccepted = false;
        trigger("PrnAct");
        QCOMPARE(m_platform->printedTitle, QString());
        m_platform->printerAccepted = true;
        m_platform->printFails = true;
        trigger("PrnAct");
        QCOMPARE(m_platform->boxes.last(), QStringLiteral("Error|Ошибка печати документа! Проверьте принтер."));
        QCOMPARE(m_form->statusText(1), QString());

        m_platform->printFails = false;
        m_platform->pdfPath = path("out.pdf");
        find<QPlainTextEdit>("PrepMemo")->setPlainText(QString("Строка препарата\n").repeated(150));
        find<QToolButton>("PrnButton")->click();
        QCOMPARE(m_form->statusText(1), QStringLiteral(" Печать рецепта"));
        QCOMPARE(m_platform->printedTitle, QStringLiteral("Рецепт"));
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", path("out.pdf"), "-"});
        if (!pdftotext.waitForFinished() || pdftotext.exitCode() != 0)
            QSKIP("pdftotext is not installed");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral("Пациент: Козлов")));
        QVERIFY(text.contains(QStringLiteral("Первое обращение: 5.03.2024")));
        QVERIFY(text.count(QChar(u'\f')) >= 2); // more than one page
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
