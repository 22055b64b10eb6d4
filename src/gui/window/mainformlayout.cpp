// How the main window is laid out: the menus, the status bar, the title
// screen, the three views and the pages that are not built from tables.
#include "window/mainform.h"

#include "window/cardbinding.h"

#include "chart/weightchart.h"
#include "fonts/fonts.h"
#include "pages/pages.h"
#include "tables/catalogue.h"
#include "tables/questions.h"
#include "visits/age.h"
#include "widgets/datefield.h"
#include "widgets/multirowtabbar.h"
#include "widgets/numberlabel.h"
#include "widgets/picturebutton.h"
#include "widgets/radiogroup.h"
#include "grids/chartfeed.h"
#include "grids/diagnosticmodel.h"
#include "grids/emptygridhint.h"
#include "grids/gridview.h"
#include "grids/visitmodel.h"
#include "widgets/memoedit.h"
#include "widgets/sectionbutton.h"
#include "window/menukeys.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace vel;

namespace {

constexpr int kWidth = 780;
constexpr int kHeight = 565;
constexpr int kMenuHeight = 24;
constexpr int kStatusHeight = 19;
constexpr int kWorkHeight = kHeight - kMenuHeight - kStatusHeight;

const QString kSaveHint = QStringLiteral("Сохранить");
const QString kMemoHint = QStringLiteral("Можно разбивать на абзацы, пункты и пр.");

QLineEdit *makeEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

MemoEdit *makeMemo(const QString &name, QWidget *parent)
{
    auto *memo = new MemoEdit(name, parent);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

QComboBox *makeDropDown(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    // Typing text that is no item leaves nothing selected, as the stored index expects.
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [box](const QString &text) {
        const int match = box->findText(text, Qt::MatchExactly);
        if (match != box->currentIndex()) {
            const int cursor = box->lineEdit()->cursorPosition();
            QSignalBlocker block(box);
            box->setCurrentIndex(match);
            box->lineEdit()->setText(text);
            box->lineEdit()->setCursorPosition(cursor);
        }
    });
    return box;
}

QLabel *makeLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    return label;
}

} // namespace

void TMainForm::buildWindow()
{
    registerEmbeddedFonts();
    QFont font(sansFamily());
    font.setPixelSize(12);
    // Menus, message boxes and dialogs of the window use its font too.
    setAttribute(Qt::WA_WindowPropagation);
    setFont(font);
    setFixedSize(kWidth, kHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    buildMenu();
    buildStatusBar();
    buildWorkArea();
}

void TMainForm::buildMenu()
{
    auto makeAction = [this](const QString &name, const QString &caption, int icon, const QString &hint = {}) {
        auto *action = new QAction(velIcon(icon), caption, this);
        action->setObjectName(name);
        if (!hint.isEmpty())
            action->setToolTip(hint);
        return action;
    };
    NewAct =
        makeAction(QStringLiteral("NewAct"), QStringLiteral("Новая"), 0, QStringLiteral("Завести новую карточку..."));
    OpenAct = makeAction(QStringLiteral("OpenAct"), QStringLiteral("Открыть"), 15);
    FindAct = makeAction(QStringLiteral("FindAct"), QStringLiteral("Найти карточку..."), 15,
                         QStringLiteral("Список карточек с поиском по Ф.И.О. и дате рождения"));
    FindAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    SaveAct = makeAction(QStringLiteral("SaveAct"), QStringLiteral("Сохранить"), 20);
    DelAct = makeAction(QStringLiteral("DelAct"), QStringLiteral("Удалить"), 2);
    PrnAct = makeAction(QStringLiteral("PrnAct"), QStringLiteral("Печать"), 18);
    ReportAct = makeAction(QStringLiteral("ReportAct"), QStringLiteral("Отчёт о динамике"), 18,
                           QStringLiteral("Отчёт о динамике веса для пациента: просмотр, печать, PDF"));
    ShablAct = makeAction(QStringLiteral("ShablAct"), QStringLiteral("Редактор шаблонов"), 11);
    ExitAct = makeAction(QStringLiteral("ExitAct"), QStringLiteral("Выход          "), 1);
    HelpAct = makeAction(QStringLiteral("HelpAct"), QStringLiteral("Справка      "), 4);
    PartAct = makeAction(QStringLiteral("PartAct"), QStringLiteral("Наша партнерка"), 16,
                         QStringLiteral("Подключайтесь к нашей партнерской программе..."));
    CardAct = makeAction(QStringLiteral("CardAct"), QStringLiteral("Оставить отзыв"), 17);
    AboutAct = makeAction(QStringLiteral("AboutAct"), QStringLiteral("О программе..."), 3,
                          QStringLiteral("Информация о версии..."));
    NewAct->setShortcut(QKeySequence::New);
    OpenAct->setShortcut(QKeySequence::Open);
    SaveAct->setShortcut(QKeySequence::Save);
    PrnAct->setShortcut(QKeySequence::Print);
    ExitAct->setShortcut(QKeySequence(Qt::Key_F10));
    HelpAct->setShortcut(QKeySequence(Qt::Key_F1));
    SaveAct->setEnabled(false);
    PrnAct->setEnabled(false);
    ReportAct->setEnabled(false);

    connect(NewAct, &QAction::triggered, this, &TMainForm::NewActExecute);
    connect(OpenAct, &QAction::triggered, this, &TMainForm::OpenActExecute);
    connect(FindAct, &QAction::triggered, this, &TMainForm::FindActExecute);
    connect(SaveAct, &QAction::triggered, this, &TMainForm::SaveActExecute);
    connect(DelAct, &QAction::triggered, this, &TMainForm::DelActExecute);
    connect(PrnAct, &QAction::triggered, this, &TMainForm::PrnActExecute);
    connect(ReportAct, &QAction::triggered, this, &TMainForm::ReportActExecute);
    connect(ShablAct, &QAction::triggered, this, &TMainForm::ShablActExecute);
    connect(ExitAct, &QAction::triggered, this, &TMainForm::ExitActExecute);
    connect(HelpAct, &QAction::triggered, this, &TMainForm::HelpActExecute);
    connect(PartAct, &QAction::triggered, this, &TMainForm::PartActExecute);
    connect(CardAct, &QAction::triggered, this, &TMainForm::CardActExecute);
    connect(AboutAct, &QAction::triggered, this, &TMainForm::AboutActExecute);

    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    bar->setFixedHeight(kMenuHeight);
    bar->setNativeMenuBar(false);
    QMenu *card = bar->addMenu(QStringLiteral("Карточка"));
    card->setObjectName(QStringLiteral("CardMenu"));
    card->addActions({NewAct, OpenAct, FindAct});
    RecentMenu = card->addMenu(QStringLiteral("Последние карточки"));
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    RecentMenu->setToolTipsVisible(true);
    fillRecentMenu();
    card->addActions({SaveAct, DelAct, PrnAct, ReportAct});
    card->addSeparator();
    card->addAction(ShablAct);
    card->addSeparator();
    card->addAction(ExitAct);
    QMenu *help = bar->addMenu(QStringLiteral("Помощь"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    help->addAction(HelpAct);
    help->addSeparator();
    help->addActions({PartAct, CardAct});
    help->addSeparator();
    help->addAction(AboutAct);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(HelpAct);

    // The menus' light grey highlight, with black text on it.
    for (QWidget *menu : {static_cast<QWidget *>(bar), static_cast<QWidget *>(card), static_cast<QWidget *>(help),
                          static_cast<QWidget *>(PopupMenu1)}) {
        QPalette pal = menu->palette();
        pal.setColor(QPalette::Highlight, QColor(226, 225, 219));
        pal.setColor(QPalette::HighlightedText, Qt::black);
        menu->setPalette(pal);
    }
    new MenuKeys(this, bar);
}

void TMainForm::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusHeight);
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
    }
    m_panels[0]->setFixedWidth(600);
    bar->addPermanentWidget(m_panels[0]);
    bar->addPermanentWidget(m_panels[1], 1);
}

void TMainForm::buildWorkArea()
{
    auto *work = new QWidget(this);
    work->setObjectName(QStringLiteral("WorkArea"));
    work->setFixedSize(kWidth, kWorkHeight);
    setCentralWidget(work);

    auto *image = new QLabel(work);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/title.jpg")));
    image->setScaledContents(true);
    image->setGeometry(0, 0, kWidth, kWorkHeight);
    auto caption = [work](const QString &name, const QString &text, int px, int x, int y) {
        auto *label = new QLabel(text, work);
        label->setObjectName(name);
        QFont f(serifFamily());
        f.setPixelSize(px);
        f.setBold(true);
        label->setFont(f);
        label->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
        label->adjustSize();
        label->move(x, y - kMenuHeight);
    };
    caption(QStringLiteral("Label1"), QStringLiteral("электронная картотека"), 48, 144, 320);
    caption(QStringLiteral("Label35"), QStringLiteral("помощник врача-диетолога"), 30, 205, 408);
}

void TMainForm::buildViews()
{
    QWidget *work = centralWidget();

    // Nine page captions do not fit one row of the fixed window.
    class PageControl final : public QTabWidget {
    public:
        PageControl(QWidget *parent, bool twoRows) : QTabWidget(parent)
        {
            if (twoRows)
                setTabBar(new MultiRowTabBar(2, this));
        }
    };
    auto makeView = [work](const QString &name) {
        auto *view = new PageControl(work, name == QLatin1String("PageControl1"));
        view->setObjectName(name);
        view->setGeometry(0, 0, kWidth, kWorkHeight);
        view->setUsesScrollButtons(false);
        return view;
    };
    PageControl1 = makeView(QStringLiteral("PageControl1"));
    PageControl2 = makeView(QStringLiteral("PageControl2"));
    PageControl3 = makeView(QStringLiteral("PageControl3"));
    PageControl1->setProperty("helpContext", 3);
    PageControl2->setProperty("helpContext", 3);
    PageControl3->setProperty("helpContext", 5);

    struct PageDef {
        const char *name;
        const char *caption;
        int icon;
    };
    const PageDef pages[] = {
        {"TabSheet2", "Паспортная часть", 5},          {"TabSheet3", "Особенности набора веса", 6},
        {"TabSheet4", "Предыдущие коррекции веса", 8}, {"TabSheet5", "Продукты и цели", 7},
        {"TabSheet6", "Данные диагностики", 10},       {"TabSheet7", "Анамнез жизни", 9},
        {"TabSheet8", "Состояние здоровья", 14},       {"TabSheet9", "Динамика потери веса", 6},
        {"TabSheet10", "Рецепт лечения", 18},
    };
    const char *saveButtons[] = {"SaveButton",    "SpeedButton19", "SpeedButton37", "SpeedButton38", "SpeedButton39",
                                 "SpeedButton40", "SpeedButton41", "SpeedButton42", "SpeedButton43"};
    QWidget *built[PageCount];
    for (int i = 0; i < PageCount; ++i) {
        auto *page = new QWidget;
        page->setObjectName(QLatin1String(pages[i].name));
        PageControl1->addTab(page, QString::fromUtf8(pages[i].caption));
        built[i] = page;
    }
    // Nine tabs need a narrower tab caption than the window's font to fit in one row.

    buildPassportPage(built[PassportPage]);
    buildWeightHistoryPage(built[WeightHistoryPage]);
    buildCorrectionsPage(built[CorrectionsPage]);
    buildFoodsPage(built[FoodsPage]);
    buildDiagnosticPage(built[DiagnosticPage]);
    buildAnamnesisIndexPage(built[AnamnesisPage]);
    buildHealthPage(built[HealthPage]);
    buildDynamicsPage(built[DynamicsPage]);
    buildPrescriptionPage(built[PrescriptionPage]);
    for (int i = 0; i < PageCount; ++i) {
        QToolButton *save = makePictureButton(QLatin1String(saveButtons[i]), 20, kSaveHint, built[i]);
        save->setFocusPolicy(Qt::TabFocus);
        if (i == PassportPage)
            QWidget::setTabOrder(ShabBox, save);
        connect(save, &QToolButton::clicked, this, &TMainForm::SaveActExecute);
        placeCornerButton(built[i], save);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!PageControl1->isVisible())
            return;
        if (index == HealthPage)
            TabSheet8Enter();
        else if (index == PrescriptionPage)
            TabSheet10Enter();
    });

    // A section page takes the window's font before it is built, so that it
    // can be measured against the room the view gives it.
    const int frame = PageControl2->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, PageControl2);
    // The OK button's corner stays free.
    const QSize sectionRoom(kWidth - 2 * frame,
                            kWorkHeight - PageControl2->tabBar()->sizeHint().height() - 2 * frame - 32);
    for (const CatalogueSection &s : kCatalogueSections) {
        auto *page = new QWidget;
        page->setObjectName(QLatin1String(s.page));
        PageControl2->addTab(page, QString::fromUtf8(s.caption));
        buildAnamnesisSection(page, s.number);
        spreadSectionRows(page, sectionRoom);
        QToolButton *ok = makePictureButton(QLatin1String(s.okButton), 12, QStringLiteral("OK"), page);
        // The OK is the last stop of Tab; Enter and Esc anywhere in the section act as it does.
        ok->setFocusPolicy(Qt::StrongFocus);
        connect(ok, &QToolButton::clicked, this, &TMainForm::OkButtonClick);
        placeCornerButton(page, ok);
        for (const QKeySequence &key :
             {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Escape)})
            new QShortcut(key, page, this, &TMainForm::OkButtonClick, Qt::WidgetWithChildrenShortcut);
    }

    auto *editor = new QWidget;
    editor->setObjectName(QStringLiteral("TabSheet28"));
    buildTemplateEditor(editor);
    PageControl3->addTab(editor, velIcon(11), QStringLiteral("Редактор шаблонов"));
}

namespace {
// Keeps a button in the lower right corner of its page whatever size the
// page is given by its view.
class CornerKeeper final : public QObject {
public:
    CornerKeeper(QWidget *page, QToolButton *button) : QObject(page), m_button(button)
    {
        page->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            auto *page = static_cast<QWidget *>(watched);
            m_button->move(page->width() - m_button->width() - 3, page->height() - m_button->height() - 3);
            m_button->raise();
        }
        return false;
    }

private:
    QToolButton *m_button;
};
} // namespace

void TMainForm::placeCornerButton(QWidget *page, QToolButton *button)
{
    new CornerKeeper(page, button);
}

void TMainForm::registerControls()
{
    const auto widgets = findChildren<QWidget *>();
    for (QWidget *w : widgets)
        if (!w->objectName().isEmpty())
            m_controls.insert(w->objectName(), w);
    m_binding = std::make_unique<CardBinding>(m_controls);
    for (QPlainTextEdit *memo : {PrimMemo, RecMemo, PrepMemo}) {
        memo->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(memo, &QWidget::customContextMenuRequested, this,
                [this, memo](const QPoint &pos) { PopupMenu1->popup(memo->mapToGlobal(pos)); });
    }
}

// ---------------------------------------------------------------- pages

void TMainForm::buildPassportPage(QWidget *page)
{
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);
    auto *top = new QHBoxLayout;
    top->setSpacing(12);
    outer->addLayout(top);

    auto *left = new QGridLayout;
    left->setHorizontalSpacing(6);
    left->setVerticalSpacing(5);
    top->addLayout(left, 5);
    int row = 0;
    auto addRow = [&](const QString &label, QWidget *field) {
        left->addWidget(makeLabel(label, page), row, 0);
        left->addWidget(field, row, 1);
        ++row;
    };
    FioEdit = makeEdit(QStringLiteral("FioEdit"), page);
    FioEdit->setToolTip(
        QStringLiteral("Введите Ф.И.О. (обязательное поле - будет служить для идентификации файлов-карточек)"));
    addRow(QStringLiteral("Ф.И.О.:"), FioEdit);
    BirEdit = new DateField(QStringLiteral("BirEdit"), page);
    BirEdit->setFixedWidth(110);
    connect(BirEdit, &DateField::left, this, &TMainForm::BirEditChange);
    addRow(QStringLiteral("Дата рождения:"), BirEdit);
    AgeEdit = makeEdit(QStringLiteral("AgeEdit"), page);
    AgeEdit->setEnabled(false);
    AgeEdit->setFixedWidth(60);
    addRow(QStringLiteral("Возраст:"), AgeEdit);
    QLineEdit *address = makeEdit(QStringLiteral("AdrEdit"), page);
    addRow(QStringLiteral("Адрес:"), address);
    QLineEdit *phone = makeEdit(QStringLiteral("PhonEdit"), page);
    addRow(QStringLiteral("Телефон:"), phone);
    const QuestionGroup *sex = findQuestionGroup("SexGroup");
    QStringList sexItems;
    for (int i = 0; i < sex->itemCount(); ++i)
        sexItems << QString::fromUtf8(sex->items[static_cast<std::size_t>(i)]);
    SexGroup = new RadioGroup(QStringLiteral("SexGroup"), QString::fromUtf8(sex->caption), sexItems, 2, page);
    left->addWidget(SexGroup, row++, 0, 1, 2);
    QLineEdit *job = makeEdit(QStringLiteral("JobEdit"), page);
    addRow(QStringLiteral("Место работы:"), job);
    left->setColumnStretch(1, 1);
    left->setRowStretch(row, 1); // the column keeps its height when the panel beside it grows

    auto *frame = new QFrame(page);
    frame->setObjectName(QStringLiteral("Panel1"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    top->addWidget(frame, 4);
    auto *right = new QGridLayout(frame);
    right->setContentsMargins(8, 8, 8, 8);
    right->setHorizontalSpacing(6);
    right->setVerticalSpacing(6);
    auto pair = [&](int r, const QString &l1, const QString &n1, const QString &l2, const QString &n2) {
        right->addWidget(makeLabel(l1, frame), r, 0);
        QLineEdit *e1 = makeEdit(n1, frame);
        right->addWidget(e1, r, 1);
        right->addWidget(makeLabel(l2, frame), r, 2);
        QLineEdit *e2 = makeEdit(n2, frame);
        right->addWidget(e2, r, 3);
        return std::pair{e1, e2};
    };
    auto [rost, weight] =
        pair(0, QStringLiteral("Рост:"), QStringLiteral("RostEdit"), QStringLiteral("Вес:"), QStringLiteral("VesEdit"));
    RostEdit = rost;
    RostEdit->setMaxLength(3);
    RostEdit->setToolTip(QStringLiteral("Рост пациента  - целое число в сантиметрах"));
    auto [tal, bedr] = pair(1, QStringLiteral("Объем талии:"), QStringLiteral("TalEdit"),
                            QStringLiteral("Объем бедер:"), QStringLiteral("BedrEdit"));
    right->addWidget(makeLabel(QStringLiteral("Толщина жировой складки:"), frame), 2, 0, 1, 3);
    QLineEdit *jir = makeEdit(QStringLiteral("JirEdit"), frame);
    right->addWidget(jir, 2, 3);
    right->addWidget(makeLabel(QStringLiteral("Сколько лет имеете избыточный вес:"), frame), 3, 0, 1, 3);
    QLineEdit *years = makeEdit(QStringLiteral("LetEdit"), frame);
    right->addWidget(years, 3, 3);
    right->addWidget(makeLabel(QStringLiteral("Тип телосложения:"), frame), 4, 0, 1, 2);
    TypeBox = makeDropDown(QStringLiteral("TypeBox"), frame);
    for (const char *build : kBodyBuilds)
        TypeBox->addItem(QString::fromUtf8(build));
    right->addWidget(TypeBox, 4, 2, 1, 2);
    BrkButton = new QPushButton(brocaRestingCaption(), frame);
    BrkButton->setObjectName(QStringLiteral("BrkButton"));
    BrkButton->setAutoDefault(false);
    connect(BrkButton, &QPushButton::clicked, this, &TMainForm::BrkButtonClick);
    right->addWidget(BrkButton, 5, 0, 1, 4);
    // The body indices keep their place while the doctor types: a longer
    // class never widens the frame.
    BmiLabel = new NumberLabel(QStringLiteral("BmiLabel"), frame);
    WhrLabel = new NumberLabel(QStringLiteral("WhrLabel"), frame);
    auto *indexBox = new QVBoxLayout;
    indexBox->setSpacing(2);
    indexBox->addWidget(BmiLabel);
    indexBox->addWidget(WhrLabel);
    right->addLayout(indexBox, 6, 0, 1, 4);
    right->setRowStretch(7, 1);
    for (const char *edit : {"RostEdit", "VesEdit", "TalEdit", "BedrEdit"})
        connect(frame->findChild<QLineEdit *>(QLatin1String(edit)), &QLineEdit::textChanged, this,
                &TMainForm::refreshBodyIndices);
    // Toggles also come from opening and resetting a card, not only from clicks.
    for (QRadioButton *button : SexGroup->findChildren<QRadioButton *>())
        connect(button, &QAbstractButton::toggled, this, &TMainForm::refreshBodyIndices);

    auto *rule = new QFrame(page);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    auto *bottom = new QGridLayout;
    bottom->setHorizontalSpacing(6);
    bottom->setVerticalSpacing(6);
    outer->addLayout(bottom);
    bottom->addWidget(makeLabel(QStringLiteral("Дата приема:"), page), 0, 0);
    DateEdit = new DateField(QStringLiteral("DateEdit"), page);
    DateEdit->setFixedWidth(110);
    bottom->addWidget(DateEdit, 0, 1, Qt::AlignLeft);
    bottom->addWidget(makeLabel(QStringLiteral("Шаблоны:"), page), 1, 0);
    ShabBox = makeDropDown(QStringLiteral("ShabBox"), page);
    ShabBox->setToolTip(QStringLiteral("Здесь можно выбрать из шаблонных вариантов рецептов лечения"));
    ShabBox->setFixedWidth(300);
    clearTemplateChoice(ShabBox, QStringLiteral("Выбрать"));
    bottom->addWidget(ShabBox, 1, 1, Qt::AlignLeft);
    bottom->setColumnStretch(2, 1);
    outer->addStretch(1);

    // Tab goes down the left column, to the visit date, through the measurements, to the template.
    QWidget *order[] = {FioEdit, BirEdit, address, phone, SexGroup, job,     DateEdit,  RostEdit,
                        weight,  tal,     bedr,    jir,   years,    TypeBox, BrkButton, ShabBox};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    buildNumbers(frame, right, bottom);
}

void TMainForm::buildDiagnosticPage(QWidget *page)
{
    Grid1 = new GridView(QStringLiteral("Grid1"), {15, 77, 106, 114}, true, page);
    m_diagnostic = new DiagnosticModel(this);
    Grid1->setModel(m_diagnostic);
    Grid1->setGeometry(8, 8, 15 + 77 + 106 + 114 + 22, 440);
    // A full date and the arm and leg titles in bold fit their columns.
    Grid1->fitColumns({{QStringLiteral("6")},
                       {QStringLiteral("15.12.2024"), QStringLiteral("Дата")},
                       {QStringLiteral("Правая рука"), QStringLiteral("Правая нога")},
                       {QStringLiteral("Левая рука"), QStringLiteral("Левая нога")}},
                      15 + 77 + 106 + 114);
    Grid1->setVisible(false);
    QToolButton *add = makePictureButton(QStringLiteral("AddButton"), 13, QStringLiteral("Добавить данные"), page);
    add->move(Grid1->geometry().right() + 4, Grid1->geometry().bottom() - add->height() + 1);
    new EmptyGridHint(Grid1, {QString(), QStringLiteral("Дата"), QStringLiteral("Правая рука"), QStringLiteral("Левая рука")},
                      QStringLiteral("Кнопка «+» справа добавляет обследование: блок точек рук и ног с сегодняшней датой."),
                      page);
    connect(add, &QToolButton::clicked, this, &TMainForm::AddBtnClick);
}

void TMainForm::buildAnamnesisIndexPage(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 14, 24, 40);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(6);
    QFont big = font();
    big.setPixelSize(14);
    for (const CatalogueSection &s : kCatalogueSections) {
        auto *button = new SectionButton(QLatin1String(s.button), QString::fromUtf8(s.buttonCaption), page);
        button->setFont(big);
        const int n = s.number;
        connect(button, &QPushButton::clicked, this, [this, n] { SectionButtonClick(n); });
        grid->addWidget(button, (n - 1) % 9, (n - 1) / 9);
    }
}

void TMainForm::buildHealthPage(QWidget *page)
{
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(8, 6, 8, 36);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(3);
    QFont bold = font();
    bold.setBold(true);
    auto *goalLabel = makeLabel(QStringLiteral("Продукты и цели:"), page);
    goalLabel->setFont(bold);
    auto *anamLabel = makeLabel(QStringLiteral("Анамнез жизни:"), page);
    anamLabel->setFont(bold);
    layout->addWidget(goalLabel, 0, 0);
    layout->addWidget(anamLabel, 0, 1);
    auto summaryMemo = [page](const QString &name) {
        QPlainTextEdit *memo = makeMemo(name, page);
        memo->setReadOnly(true);
        memo->setFrameShape(QFrame::NoFrame);
        memo->setBackgroundRole(QPalette::Window);
        memo->viewport()->setBackgroundRole(QPalette::Window);
        return memo;
    };
    GoalMemo = summaryMemo(QStringLiteral("GoalMemo"));
    AnamMemo = summaryMemo(QStringLiteral("AnamMemo"));
    layout->addWidget(GoalMemo, 1, 0);
    layout->addWidget(AnamMemo, 1, 1);
    PrimMemo = makeMemo(QStringLiteral("PrimMemo"), page);
    PrimMemo->setToolTip(QStringLiteral("Примечания врача - одной строкой, без абзацев и разбиения на пункты"));
    PrimMemo->setPlainText(QStringLiteral("Примечания"));
    PrimMemo->setFixedHeight(110);
    layout->addWidget(PrimMemo, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
}

void TMainForm::buildDynamicsPage(QWidget *page)
{
    Grid2 = new GridView(QStringLiteral("Grid2"), {69, 44, 95, 94, 116, 68, 63, 91, 55, 54}, false, page);
    m_visits = new VisitModel(this);
    Grid2->setModel(m_visits);
    // As wide as the chart below, so that the "+" under its right edge stays on the page.
    constexpr int kGrid2Width = 760;
    Grid2->setGeometry(8, 8, kGrid2Width, 220);
    Grid2->fitColumns({{QStringLiteral("15.12.2024")},
                       {QStringLiteral("102,5"), QStringLiteral("Вес")},
                       {QStringLiteral("Объем талии")},
                       {QStringLiteral("Объем бедер")},
                       {QStringLiteral("Объем жир.скл.")},
                       {QStringLiteral("Здоровье"), QStringLiteral("хорошее"), QStringLiteral("слабость")},
                       {QStringLiteral("умеренный"), QStringLiteral("Голод")},
                       {QStringLiteral("Объем пищи"), QStringLiteral("меньше")},
                       {QStringLiteral("норма"), QStringLiteral("Стул")},
                       {QStringLiteral("норма"), QStringLiteral("Моча")}},
                      kGrid2Width - 2 * Grid2->frameWidth() - Grid2->verticalScrollBar()->sizeHint().width());
    Grid2->setVisible(false);
    QToolButton *add = makePictureButton(QStringLiteral("Add2Button"), 13, QStringLiteral("Добавить данные"), page);
    add->move(Grid2->geometry().right() - add->width() + 1, Grid2->geometry().bottom() + 3);
    new EmptyGridHint(Grid2, {},
                      QStringLiteral("Кнопка «+» под таблицей справа добавляет строку приема с сегодняшней датой."),
                      page);
    connect(add, &QToolButton::clicked, this, &TMainForm::Add2ButtonClick);

    Chart = new WeightChart(page);
    const int chartTop = add->geometry().bottom() + 4;
    Chart->setGeometry(8, chartTop, 760, 440 - chartTop);
    Chart->setVisible(false);
    // The chart follows the table once per change: a whole card, a typed cell.
    m_chartFeed = new ChartFeed(m_visits, this);
    connect(m_chartFeed, &ChartFeed::changed, this, &TMainForm::refreshChart);
}

void TMainForm::buildPrescriptionPage(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 6, 40, 36);
    layout->setSpacing(3);
    QFont heading = font();
    heading.setBold(true);
    heading.setUnderline(true);
    auto *label28 = makeLabel(QStringLiteral("Назначаемые препараты:"), page);
    label28->setObjectName(QStringLiteral("Label28"));
    label28->setFont(heading);
    layout->addWidget(label28);
    PrepMemo = makeMemo(QStringLiteral("PrepMemo"), page);
    PrepMemo->setToolTip(kMemoHint);
    layout->addWidget(PrepMemo, 1);
    auto *label36 = makeLabel(QStringLiteral("Рекомендации:"), page);
    label36->setObjectName(QStringLiteral("Label36"));
    label36->setFont(heading);
    layout->addWidget(label36);
    RecMemo = makeMemo(QStringLiteral("RecMemo"), page);
    RecMemo->setToolTip(kMemoHint);
    layout->addWidget(RecMemo, 1);

    PrnButton = makePictureButton(QStringLiteral("PrnButton"), 18, QStringLiteral("Печатать рецепт"), page);
    PrnButton->move(kWidth - 6 - PrnButton->width() - 6, 24);
    PrnButton->setEnabled(false);
    connect(PrnButton, &QToolButton::clicked, this, &TMainForm::PrnButtonClick);

    RichEd = new QTextEdit(page);
    RichEd->setObjectName(QStringLiteral("RichEd"));
    RichEd->setVisible(false);
    RichEd->setEnabled(false);
}

void TMainForm::buildTemplateEditor(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    SblMemo = makeMemo(QStringLiteral("SblMemo"), page);
    SblMemo->setToolTip(kMemoHint);
    SblMemo->setEnabled(false);
    connect(SblMemo, &QPlainTextEdit::textChanged, this, &TMainForm::SblMemoChange);
    layout->addWidget(SblMemo, 1);
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    layout->addLayout(row);
    ShabloBox = makeDropDown(QStringLiteral("ShabloBox"), page);
    ShabloBox->setToolTip(QStringLiteral("Список готовых шаблонов для редактирования"));
    ShabloBox->setMinimumWidth(300);
    connect(ShabloBox, qOverload<int>(&QComboBox::activated), this, &TMainForm::ShabloBoxSelect);
    row->addWidget(ShabloBox);
    row->addStretch(1);
    AddShButton = new QPushButton(velIcon(13), QStringLiteral("Создать шаблон"), page);
    AddShButton->setObjectName(QStringLiteral("AddShButton"));
    connect(AddShButton, &QPushButton::clicked, this, &TMainForm::AddShButtonClick);
    row->addWidget(AddShButton);
    SavShButton = new QPushButton(velIcon(20), QStringLiteral("Сохранить шаблон"), page);
    SavShButton->setObjectName(QStringLiteral("SavShButton"));
    SavShButton->setEnabled(false);
    connect(SavShButton, &QPushButton::clicked, this, &TMainForm::SavShButtonClick);
    row->addWidget(SavShButton);
}
