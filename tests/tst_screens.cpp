// Every caption of every screen is shown whole: no label, button, tab or
// header text is cut or wider than its control. Runs without the system's
// fonts (see CMakeLists.txt), so the fonts that travel with the program must
// be enough.
#include "backup/restoredialog.h"
#include "control/recoverydialog.h"
#include "find/finddialog.h"
#include "platform/platform.h"
#include "support/formfixture.h"
#include "widgets/multirowtabbar.h"
#include "widgets/numberlabel.h"
#include "widgets/sectionbutton.h"
#include "window/aboutbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString describe(const QWidget *w, const QString &text)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(w->objectName().isEmpty() ? QLatin1String(w->metaObject()->className()) : w->objectName(), text);
}

int textWidth(const QWidget *w, const QString &text)
{
    return w->fontMetrics().horizontalAdvance(text);
}

// The captions of one shown window that do not fit their controls.
QStringList cutCaptions(QWidget *window)
{
    QStringList cut;
    const auto widgets = window->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (!w->isVisible() || w->width() <= 0)
            continue;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty() || label->wordWrap())
                continue;
            const QRect room = label->contentsRect();
            // A label with a buddy draws its "&" as the underline of the next letter.
            QString shown = label->text();
            if (label->buddy())
                shown.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
            const QRect needed = label->fontMetrics().boundingRect(room, int(label->alignment()), shown);
            if (needed.width() > room.width() || needed.height() > room.height())
                cut << describe(w, label->text()) + QString(" %1x%2 in %3x%4")
                                                        .arg(needed.width())
                                                        .arg(needed.height())
                                                        .arg(room.width())
                                                        .arg(room.height());
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
            auto *button = static_cast<QAbstractButton *>(w);
            if (button->sizeHint().width() > button->width() || button->fontMetrics().height() > button->height())
                cut << describe(w, button->text());
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            // The style's own measure: caption, icon, margins and bevel.
            if (button->sizeHint().width() > button->width())
                cut << describe(w, button->text());
        } else if (auto *box = qobject_cast<QGroupBox *>(w)) {
            if (textWidth(w, box->title()) + 8 > box->width())
                cut << describe(w, box->title());
        } else if (auto *bar = qobject_cast<QTabBar *>(w)) {
            auto *rows = qobject_cast<vel::MultiRowTabBar *>(bar);
            for (int i = 0; i < bar->count(); ++i) {
                if (!bar->isTabVisible(i))
                    continue;
                const QRect tab = rows ? rows->tabRectAt(i) : bar->tabRect(i);
                const int icon = bar->tabIcon(i).isNull() ? 0 : bar->iconSize().width() + 4;
                if (textWidth(w, bar->tabText(i)) + icon + 8 > tab.width() ||
                    bar->fontMetrics().height() + 4 > tab.height() || !bar->rect().contains(tab))
                    cut << describe(w, bar->tabText(i));
            }
        } else if (auto *header = qobject_cast<QHeaderView *>(w)) {
            const int margin = 2 * w->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, w);
            for (int i = 0; i < header->count(); ++i) {
                if (header->isSectionHidden(i))
                    continue;
                const QString text = header->model()->headerData(i, header->orientation()).toString();
                if (!text.isEmpty() && textWidth(w, text) + margin > header->sectionSize(i))
                    cut << describe(w, text);
            }
        }
    }
    return cut;
}

} // namespace

class TestScreens final : public QObject, FormFixture {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        makeForm(QDate(2024, 12, 25), QStringLiteral("Диета при гипертонии\r\nРазгрузочные дни\r\n"));
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QCOMPARE(QFontInfo(find("Label1")->font()).family(), QStringLiteral("Liberation Serif"));
    }

    // The questions that keep the doctor's work and the dialog that offers
    // copies of it, as the real platform shows them; VEL_SHOTS names a folder
    // that receives a picture of each.
    void questionsAreWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("defaultAnswer");
        QTest::newRow("save question") << "Сохранить изменения в карточке «Константинопольская Антонина "
                                          "Владимировна»?"
                                       << QStringList{"Да", "Нет", "Отмена"} << 0;
        QTest::newRow("new card question") << "Сохранить новую карточку?" << QStringList{"Да", "Нет", "Отмена"} << 0;
        QTest::newRow("delete confirmation")
            << "Удалить карточку «Петров Сергей Иванович»? Её можно будет восстановить из корзины."
            << QStringList{"Удалить", "Отмена"} << 1;
        QTest::newRow("namesake") << "Карточка «Петров Сергей Иванович» уже есть (дата рождения 03.07.1965). "
                                     "Заменить её?"
                                  << QStringList{"Заменить", "Отмена"} << 1;
        QTest::newRow("recovery dialog") << QString() << QStringList() << -1;
        QTest::newRow("restore dialog") << "restore" << QStringList() << -1;
    }
    void questionsAreWhole()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, answers);
        QFETCH(int, defaultAnswer);
        const QString shots = qEnvironmentVariable("VEL_SHOTS");
        const QString picture = QString(QTest::currentDataTag()).replace(u' ', u'-') + ".png";
        QStringList cut;
        if (answers.isEmpty()) {
            const QDateTime when(QDate(2026, 12, 8), QTime(11, 42));
            std::unique_ptr<QDialog> dialog;
            if (text.isEmpty()) {
                dialog = std::make_unique<vel::RecoveryDialog>(
                    QList<vel::PendingCopy>{
                        {"a", "Константинопольская Антонина Владимировна", when, "визиты (+1), примечания, рецепт"},
                        {"b", "Петров Сергей Иванович", when.addSecs(-3600), "новая карточка"}},
                    m_form.get());
            } else {
                using State = vel::ArchivedCard::InFolder;
                vel::BackupListing listing;
                listing.manifest.created = when;
                listing.cards = {
                    {"a", "Константинопольская Антонина Владимировна", "12.04.1958", "01.12.2026", State::Same},
                    {"b", "Петров Сергей Иванович", "03.07.1965", "15.11.2026", State::Different},
                    {"c", "Сидорова Анна", "", "20.10.2026", State::Absent}};
                listing.otherFiles = 2;
                auto restore = std::make_unique<vel::RestoreDialog>(listing, "velnokasi-2026-12-08.zip", m_form.get());
                restore->checkCards("Петров");
                dialog = std::move(restore);
            }
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            cut = cutCaptions(dialog.get());
            if (!shots.isEmpty())
                dialog->grab().save(shots + "/" + picture);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
            return;
        }
        QString shownDefault;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QVERIFY(QTest::qWaitForWindowExposed(box));
            cut = cutCaptions(box);
            shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            if (!shots.isEmpty())
                box->grab().save(shots + "/" + picture);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        vel::QtPlatform platform;
        const int answer =
            platform.ask(m_form.get(), "VEL-NO-KASI - электронная картотека", text, answers, defaultAnswer);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
        QCOMPARE(shownDefault, answers.at(defaultAnswer));
        QCOMPARE(answer, answers.size() - 1); // Esc: the last answer, "Отмена"
    }

    void captionsAreWhole_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::newRow("title") << "title";
        for (int page = 0; page < TMainForm::PageCount; ++page)
            QTest::newRow(qPrintable(QStringLiteral("page %1").arg(page + 1))) << QStringLiteral("page %1").arg(page);
        for (int section = 1; section <= 18; ++section)
            QTest::newRow(qPrintable(QStringLiteral("section %1").arg(section)))
                << QStringLiteral("section %1").arg(section);
        QTest::newRow("template editor") << "templates";
        QTest::newRow("about box") << "about";
        QTest::newRow("card list of the overdue") << "overdue";
        QTest::newRow("visits with body composition") << "body";
    }
    void captionsAreWhole()
    {
        QFETCH(QString, screen);
        const QString kind = screen.section(QLatin1Char(' '), 0, 0);
        const int number = screen.section(QLatin1Char(' '), 1, 1).toInt();
        QWidget *window = m_form.get();
        if (kind == QLatin1String("page")) {
            trigger("NewAct");
            find<QTabWidget>("PageControl1")->setCurrentIndex(number);
        } else if (kind == QLatin1String("section")) {
            trigger("NewAct");
            m_form->SectionButtonClick(number);
        } else if (kind == QLatin1String("templates")) {
            trigger("ShablAct");
        } else if (kind == QLatin1String("about")) {
            window = m_form->aboutBox();
            window->show();
        } else if (kind == QLatin1String("body")) {
            trigger("NewAct");
            m_form->Add2ButtonClick();
            find<QAbstractButton>("BodyButton")->setChecked(true);
            find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::DynamicsPage);
        } else if (kind == QLatin1String("overdue")) {
            window = vel::FindDialog::showList(
                m_form->cardList(), m_form.get(), [](const QString &) {}, true);
        }
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // The backup reminder comes to the status bar after the title shows:
        // its panel is laid out again on a later turn of the event loop.
        QStringList cut = cutCaptions(window);
        for (int wait = 0; !cut.isEmpty() && wait < 50; ++wait) {
            QTest::qWait(20);
            cut = cutCaptions(window);
        }
        if (window != m_form.get())
            window->hide();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String(", "))));
        QCOMPARE(m_form->size(), QSize(780, 565));
    }

    void typingMovesNothingOnThePatientPage_data()
    {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("longerText"); // a class longer than any there is today
        QTest::newRow("the longest class") << QString("75") << QString();
        QTest::newRow("a text longer than the frame") << QString("75") << QString(30, QChar(0x416));
    }
    void typingMovesNothingOnThePatientPage()
    {
        QFETCH(QString, weight);
        QFETCH(QString, longerText);
        trigger("NewAct");
        find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::PassportPage);
        QApplication::processEvents();
        auto geometries = [this] {
            QStringList all;
            for (QWidget *w : find("TabSheet2")->findChildren<QWidget *>())
                if (w->isVisible())
                    all << w->objectName() + QLatin1Char(' ') +
                               QStringLiteral("%1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
            return all;
        };
        const QStringList before = geometries();
        for (const char *name : {"RostEdit", "TalEdit", "BedrEdit"})
            find<QLineEdit>(name)->setText(QStringLiteral("165"));
        find<QLineEdit>("VesEdit")->setText(weight);
        if (!longerText.isEmpty())
            find<vel::NumberLabel>("BmiLabel")->setFullText(longerText);
        QApplication::processEvents();
        QCOMPARE(geometries(), before);
    }

    void theSelectedTabsRowTouchesThePage_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("upper row") << 0;
        QTest::newRow("lower row") << 8;
    }
    void theSelectedTabsRowTouchesThePage()
    {
        QFETCH(int, page);
        trigger("NewAct");
        auto *view = find<QTabWidget>("PageControl1");
        view->setCurrentIndex(page);
        auto *bar = qobject_cast<vel::MultiRowTabBar *>(view->tabBar());
        QVERIFY(bar);
        const int lowest = bar->tabRectAt(page).bottom();
        for (int i = 0; i < bar->count(); ++i) {
            QVERIFY(bar->tabRectAt(i).bottom() <= lowest);
            // A tab is found where it is drawn.
            QCOMPARE(bar->tabAtPoint(bar->tabRectAt(i).center()), i);
        }
        QCOMPARE(lowest, bar->height() - 1);
    }

    void sectionButtonsCountTheirTicks()
    {
        trigger("NewAct");
        for (const char *name : {"CheckBox34", "CheckBox58", "HeartGroup_1", "HyperGroup_0", "CheckBox26"})
            find<QAbstractButton>(name)->setChecked(true);
        find<QAbstractButton>("HeartGroup_2")->setChecked(true); // one group counts once
        find<QAbstractButton>("CheckBox58")->setChecked(false);
        QCOMPARE(find<vel::SectionButton>("SpeedButton1")->tickCount(), 1);
        QCOMPARE(find<vel::SectionButton>("SpeedButton2")->tickCount(), 3);
        QCOMPARE(find<vel::SectionButton>("SpeedButton3")->tickCount(), 0);
        QCOMPARE(find<QAbstractButton>("SpeedButton2")->text(),
                 QStringLiteral("Заболевания сердечно-сосудистой системы"));
        find<QLineEdit>("FioEdit")->setText(QStringLiteral("Отметки"));
        find<QLineEdit>("BirEdit")->setText(QStringLiteral("12.05.1975"));
        trigger("SaveAct");
        trigger("NewAct");
        QCOMPARE(find<vel::SectionButton>("SpeedButton2")->tickCount(), 0);
        // Opening a card shows its marks again.
        m_platform->nextFiles << m_dir->filePath(QStringLiteral("Отметки.dat"));
        trigger("OpenAct");
        QCOMPARE(find<vel::SectionButton>("SpeedButton2")->tickCount(), 3);
        QVERIFY2(m_platform->boxes.isEmpty(), qPrintable(m_platform->boxes.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
