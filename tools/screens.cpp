// Takes a screenshot of every screen of the program, for looking at them all
// at once: velscreens <data folder> <output folder>
#include "card/cardfiles.h"
#include "find/cardlistmodel.h"
#include "find/finddialog.h"
#include "fonts/fonts.h"
#include "window/aboutbox.h"
#include "window/mainform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vel::useEmbeddedFonts();
    if (argc < 3) {
        qWarning("usage: velscreens <data folder> <output folder>");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);
    TMainForm form(nullptr, QDate::currentDate(), QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    form.show();
    auto shot = [&](const QString &name) {
        QApplication::processEvents();
        form.grab().save(out + QLatin1Char('/') + name + QStringLiteral(".png"));
    };
    shot(QStringLiteral("00-title"));
    form.NewActExecute();
    // A real-looking card, so the pages show what a doctor sees.
    auto set = [&form](const char *name, const QString &text) {
        if (auto *edit = form.findChild<QLineEdit *>(QLatin1String(name)))
            edit->setText(text);
    };
    set("FioEdit", QStringLiteral("Смирнова Ольга Петровна"));
    set("BirEdit", QStringLiteral("12.05.1975"));
    form.BirEditChange();
    set("AdrEdit", QStringLiteral("г. Самара, ул. Садовая, д. 12, кв. 5"));
    set("PhonEdit", QStringLiteral("8 (846) 123-45-67"));
    set("JobEdit", QStringLiteral("школа № 3, учитель"));
    set("RostEdit", QStringLiteral("165"));
    set("VesEdit", QStringLiteral("92"));
    set("TalEdit", QStringLiteral("98"));
    set("BedrEdit", QStringLiteral("118"));
    set("JirEdit", QStringLiteral("4 см"));
    set("LetEdit", QStringLiteral("10"));
    if (auto *female = form.findChild<QRadioButton *>(QStringLiteral("SexGroup_1")))
        female->setChecked(true);
    form.BrkButtonClick();
    set("CelEdit", QStringLiteral("80"));
    if (auto *activity = form.findChild<QComboBox *>(QStringLiteral("AktivBox")))
        activity->setCurrentIndex(1);
    auto *visits = form.findChild<QTableView *>(QStringLiteral("Grid2"))->model();
    const char *const rows[][4] = {{"10.01.2024", "96", "103", "121"},
                                   {"24.01.2024", "94,5", "101", "120"},
                                   {"7.02.2024", "93", "100", "119"},
                                   {"21.02.2024", "92,5", "99", "119"},
                                   {"5.03.2024", "92", "98", "118"}};
    for (const auto &row : rows) {
        form.Add2ButtonClick();
        const int r = visits->rowCount() - 1;
        for (int c = 0; c < 4; ++c)
            visits->setData(visits->index(r, c), QString::fromUtf8(row[c]));
    }
    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    for (int i = 0; i < pages->count(); ++i) {
        if (i == 4)
            form.AddBtnClick();
        pages->setCurrentIndex(i);
        shot(QStringLiteral("1%1-page").arg(i));
    }
    // The analyser's readings at the visits: the table's body columns turned
    // on and scrolled to, the fat and water percentages on the chart.
    const char *const body[][5] = {{"41,2", "", "27,9", "43,1", "12"},
                                   {"40,5", "", "28,1", "43,6", "12"},
                                   {"39,8", "37,0", "28,0", "44,0", "11"},
                                   {"39,5", "", "28,2", "44,2", "11"},
                                   {"39,1", "", "28,3", "44,4", "11"}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            visits->setData(visits->index(r + 1, 10 + c), QString::fromUtf8(body[r][c]));
    if (auto *button = form.findChild<QAbstractButton *>(QStringLiteral("BodyButton")))
        button->setChecked(true);
    const std::pair<const char *, bool> series[] = {
        {"FatBox", true}, {"WaterBox", true}, {"FatMassBox", false}, {"MuscleBox", false}};
    for (const auto &[name, on] : series)
        if (auto *box = form.findChild<QCheckBox *>(QLatin1String(name)))
            box->setChecked(on);
    pages->setCurrentIndex(7);
    if (auto *grid = form.findChild<QTableView *>(QStringLiteral("Grid2")))
        grid->scrollTo(visits->index(1, 14));
    shot(QStringLiteral("17-page-body"));
    // A few ticks, so the index shows its marks.
    for (const char *name : {"CheckBox26", "CheckBox28", "CheckBox33", "CheckBox34", "HeartGroup_1"})
        if (auto *box = form.findChild<QAbstractButton *>(QLatin1String(name)))
            box->setChecked(true);
    pages->setCurrentIndex(5);
    shot(QStringLiteral("15-page-marks"));
    for (int s = 1; s <= 18; ++s) {
        form.SectionButtonClick(s);
        shot(QStringLiteral("2%1-section").arg(s, 2, 10, QLatin1Char('0')));
    }
    // Where the keyboard stands once Tab has reached a section's OK.
    if (QWidget *ok = form.findChild<QWidget *>(QStringLiteral("SpeedButton36"))) {
        ok->setFocus(Qt::TabFocusReason);
        shot(QStringLiteral("28-section-ok-focused"));
    }
    // The card list over the data folder, drawn where it opens over the window.
    form.SaveActExecute();
    form.FindActExecute();
    if (auto *list = form.findChild<QDialog *>(QStringLiteral("FindDialog"))) {
        QElapsedTimer reading;
        reading.start();
        while (form.cardList()->isReading() && reading.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        if (auto *search = list->findChild<QLineEdit *>(QStringLiteral("FindEdit")))
            search->setText(QStringLiteral("иван 19"));
        QApplication::processEvents();
        // Wider than the window, for whole names beside the seven columns: taken alone.
        list->grab().save(out + QStringLiteral("/29-find.png"));
        list->close();
    }
    // Patients whose check-up has passed: the status bar counts them, and the
    // list it opens shows them, the longest waiting first.
    const QString dataDir = form.dataDirectory();
    const std::pair<const char *, int> due[] = {{"Кузнецова Мария Ивановна", -41},
                                                {"Павлов Игорь Семёнович", -16},
                                                {"Белова Ирина Юрьевна", -3},
                                                {"Орлова Дарья Павловна", 12}};
    for (const auto &[name, days] : due) {
        vel::CardState card;
        card.setText(vel::Field::Name, QString::fromUtf8(name));
        card.setText(vel::Field::BirthDate, QStringLiteral("03.11.1968"));
        card.setText(vel::Field::Weight, QStringLiteral("88"));
        const QDate next = QDate::currentDate().addDays(days);
        card.nextVisit = next.toString(QStringLiteral("dd.MM.yyyy"));
        card.visitRows << QStringList{next.addDays(-14).toString(QStringLiteral("dd.MM.yyyy")), QStringLiteral("86,5")};
        vel::saveCard(card, dataDir);
    }
    form.cardList()->refresh();
    {
        QElapsedTimer reading;
        reading.start();
        while (form.cardList()->isReading() && reading.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        QApplication::processEvents();
        auto *overdue = vel::FindDialog::showList(
            form.cardList(), &form, [](const QString &) {}, true);
        QApplication::processEvents();
        overdue->grab().save(out + QStringLiteral("/29-find-overdue.png"));
        overdue->close();
        shot(QStringLiteral("29-overdue-status"));
    }
    form.ShablActExecute();
    shot(QStringLiteral("30-templates"));
    TAboutBox *about = form.aboutBox();
    about->show();
    QApplication::processEvents();
    about->grab().save(out + QStringLiteral("/31-about.png"));
    about->hide();
    // The card menu as it opens, with its highlight and shortcuts.
    if (auto *menu = form.findChild<QMenu *>(QStringLiteral("CardMenu"))) {
        form.menuBar()->setActiveAction(menu->menuAction());
        QApplication::processEvents();
        menu->setActiveAction(menu->actions().value(1));
        QApplication::processEvents();
        menu->grab().save(out + QStringLiteral("/33-card-menu.png"));
        menu->close();
    }
    form.HelpActExecute();
    QApplication::processEvents();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("HelpWindow"))
            w->grab().save(out + QStringLiteral("/32-help.png"));
    return 0;
}
