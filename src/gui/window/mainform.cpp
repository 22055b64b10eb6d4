#include "window/mainform.h"

#include "backup/backupcommands.h"
#include "bodyimport/bodyimport.h"
#include "card/recovery.h"
#include "cardlist/recentcards.h"
#include "find/cardlistmodel.h"
#include "find/finddialog.h"
#include "find/recallnotice.h"
#include "fonts/fonts.h"
#include "grids/visitmodel.h"
#include "numbers/progress.h"
#include "numbers/progressreport.h"
#include "pages/anamnesispages.h"
#include "pages/memopages.h"
#include "pages/pages.h"
#include "pages/passportpage.h"
#include "pages/questionpage.h"
#include "pages/tablepages.h"
#include "pages/templateeditor.h"
#include "platform/platform.h"
#include "platform/printing.h"
#include "report/progresssheet.h"
#include "summary/summary.h"
#include "text/linefile.h"
#include "visits/age.h"
#include "visits/prescription.h"
#include "visits/templatestore.h"
#include "widgets/memoedit.h"
#include "widgets/multirowtabbar.h"
#include "widgets/picturebutton.h"
#include "window/aboutbox.h"
#include "window/menukeys.h"
#include "window/statuspanels.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
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
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace vel;

namespace {
const QString kAppTitle = QStringLiteral("VEL-NO-KASI - электронная картотека");
} // namespace

// The pictures and the help live in the GUI library, which is static.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

TMainForm::TMainForm(Platform *platform, const QDate &today, const QString &dataDir, QWidget *parent, Pages pages)
    : QMainWindow(parent), m_dataDir(dataDir)
{
    initResources();
    setObjectName(QStringLiteral("MainForm"));
    if (platform) {
        m_platform = platform;
    } else {
        m_ownPlatform = std::make_unique<QtPlatform>();
        m_platform = m_ownPlatform.get();
    }
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    m_cardList = new CardListModel(m_dataDir, today, this);
    m_cards = new CardController(this, m_platform, this, m_dataDir, m_cardList, this);
    m_cards->setProgramTitle(kAppTitle);
    m_backup = new BackupCommands(this, m_platform, m_dataDir, QCoreApplication::applicationVersion(), this);
    m_backup->setStatusSink([this](const QString &text) { showStatus(1, text); });
    connect(m_backup, &BackupCommands::cardsRestored, m_cardList, &CardListModel::refresh);
    // A failed or missing copy is told after the title shows.
    QTimer::singleShot(0, m_backup, &BackupCommands::checkAtStartup);
    connect(m_cards, &CardController::stateChanged, this, &TMainForm::updateActions);
    connect(m_cards, &CardController::recentChanged, this, &TMainForm::fillRecentMenu);
    buildWindow();
    new RecallNotice(statusBar(), m_cardList, [this](const QString &path) { openCard(path); });
    FormCreate(today);
    if (pages == Pages::Now)
        buildPages();
    else
        qApp->installEventFilter(this); // see eventFilter
}

void TMainForm::buildPages()
{
    if (m_pagesBuilt)
        return;
    m_pagesBuilt = true;
    qApp->removeEventFilter(this);
    buildViews();
    wirePages();
    m_cards->pagesReady(centralWidget());
    m_about = new TAboutBox(m_platform, this);
    PageControl1->setVisible(false);
    PageControl2->setVisible(false);
    PageControl3->setVisible(false);
    if (m_startTemplates) {
        m_editor->setTitles(*m_startTemplates);
        m_startTemplates.reset();
    }
    m_status->watchCommandsOf(this);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // Watching only while the pages wait: the title's first paint queues
    // their building, and any key or click builds them at once, so that
    // every control exists before a command runs.
    switch (event->type()) {
    case QEvent::Paint:
        if (auto *w = qobject_cast<QWidget *>(watched);
            w && w->window() == this && w->objectName() == QLatin1String("Image1"))
            QMetaObject::invokeMethod(this, &TMainForm::buildPages, Qt::QueuedConnection);
        break;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
        buildPages();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate(const QDate &today)
{
    // The views are hidden and the visit titles written as the pages are built.
    m_startDate = today;
    m_today = todayText(m_startDate);

    // Saves stopped half-way by a crash are finished before anything is read.
    recoverFolder(m_dataDir);
    removeUnfinishedCopies(m_dataDir);
    auto titles = readTemplateList(m_dataDir);
    if (auto *e = std::get_if<ReadError>(&titles)) {
        showFailure(e->message);
        return;
    }
    m_startTemplates = std::get<QStringList>(titles);
}

// ---------------------------------------------------------------- the card on the pages

QString TMainForm::statusText(int panel) const
{
    return m_status->text(panel);
}

void TMainForm::showStatus(int panel, const QString &text)
{
    m_status->show(panel, text);
}

void TMainForm::showRefusal(const QString &text)
{
    m_platform->errorBox(this, QStringLiteral("Error"), text);
}

void TMainForm::showFailure(const QString &text)
{
    m_platform->errorBox(this, kAppTitle, withFullStop(text));
}

CardState TMainForm::shownCard() const
{
    CardState card;
    for (CardPage *page : m_pages)
        page->store(card);
    PageControl2->store(card);
    return card;
}

bool TMainForm::showNewCard()
{
    m_prescriptionEntered = false;
    updateActions();
    showStatus(0, QString());
    showStatus(1, QString());
    showView(PageControl1);
    for (CardPage *page : m_pages)
        page->reset(PageFields::Stage::BeforeTemplates, m_today);
    auto titles = readTemplateList(m_dataDir);
    if (auto *e = std::get_if<ReadError>(&titles)) {
        showFailure(e->message);
        return false;
    }
    m_passport->setTemplateTitles(std::get<QStringList>(titles));
    for (CardPage *page : m_pages)
        page->reset(PageFields::Stage::AfterTemplates, m_today);
    PageControl2->reset(PageFields::Stage::AfterTemplates, m_today);
    PageControl1->setCurrentIndex(PassportPage);
    TabSheet8Enter();
    // The doctor starts a card by typing the name.
    focusField(Field::Name);
    return true;
}

void TMainForm::focusField(Field f)
{
    PageControl1->setCurrentIndex(PassportPage);
    m_passport->focusField(f);
}

void TMainForm::turnPage(int step)
{
    if (m_view != PageControl1)
        return;
    PageControl1->setCurrentIndex((PageControl1->currentIndex() + step + PageCount) % PageCount);
    // The keyboard goes with the page, out of the table it may have been in.
    if (QWidget *page = PageControl1->currentWidget())
        page->nextInFocusChain()->setFocus(Qt::TabFocusReason);
}

void TMainForm::showCard(const LoadedCard &card)
{
    m_passport->setTemplateTitles(card.templateTitles);
    showStatus(1, QString());
    showView(PageControl1);
    for (CardPage *page : m_pages)
        page->load(card.card);
    PageControl2->load(card.card);
    showStatus(0, QStringLiteral(" Карточка пациента: ") + m_passport->patientName());
    m_passport->BirEditChange();
    PageControl1->setCurrentIndex(PassportPage);
    TabSheet8Enter();
    TabSheet10Enter();
}

void TMainForm::showView(QTabWidget *view)
{
    // Once a view has been shown the title screen does not come back.
    for (const char *title : {"Image1", "Label1", "Label35"})
        if (auto *w = findChild<QWidget *>(QLatin1String(title)))
            w->setVisible(false);
    for (QTabWidget *v : {PageControl1, static_cast<QTabWidget *>(PageControl2), PageControl3})
        if (v != view)
            v->setVisible(false);
    view->setVisible(true);
    m_view = view;
    updateActions();
}

void TMainForm::updateActions()
{
    if (!SaveAct)
        return;
    const bool card = m_cards->hasCard() && m_view != PageControl3;
    SaveAct->setEnabled(card);
    ReportAct->setEnabled(card);
    PrnAct->setEnabled(card && m_prescriptionEntered);
}

// ---------------------------------------------------------------- commands

void TMainForm::NewActExecute()
{
    m_cards->newCard();
}

void TMainForm::OpenActExecute()
{
    m_cards->chooseAndOpen();
}

bool TMainForm::openCard(const QString &path)
{
    return m_cards->openCard(path);
}

void TMainForm::FindActExecute()
{
    FindDialog::showList(m_cardList, this, [this](const QString &path) { openCard(path); });
}

void TMainForm::SaveActExecute()
{
    m_cards->save();
}

void TMainForm::DelActExecute()
{
    m_cards->chooseAndDelete();
}

void TMainForm::PrnActExecute()
{
    PrnButtonClick();
}

void TMainForm::ExitActExecute()
{
    close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Unsaved work is asked about; the doctor may stay.
    if (!m_cards->closing())
        return event->ignore();
    // The automatic copy, at most once a day.
    m_backup->backupOnExit();
    QMainWindow::closeEvent(event);
}

void TMainForm::HelpActExecute()
{
    m_platform->showHelp(this, 1);
}

void TMainForm::PartActExecute()
{
    m_platform->openUrl(QUrl(TAboutBox::webSite() + QStringLiteral("distribute.htm")));
}

void TMainForm::CardActExecute()
{
    m_platform->openUrl(QUrl(TAboutBox::webSite() + QStringLiteral("responce.htm")));
}

void TMainForm::AboutActExecute()
{
    m_platform->showModal(m_about);
}

void TMainForm::BirEditChange()
{
    m_passport->BirEditChange();
}

void TMainForm::BrkButtonClick()
{
    m_passport->BrkButtonClick();
}

void TMainForm::AddBtnClick()
{
    static_cast<vel::DiagnosticPage *>(m_pages[DiagnosticPage])->AddBtnClick();
}

void TMainForm::Add2ButtonClick()
{
    m_dynamics->Add2ButtonClick();
}

void TMainForm::TabSheet8Enter()
{
    m_health->showSummary(compileSummary(shownCard()));
}

void TMainForm::TabSheet10Enter()
{
    m_prescriptionEntered = true;
    updateActions();
    m_prescription->TabSheet10Enter(m_passport->chosenTemplate());
}

void TMainForm::PrnButtonClick()
{
    QPrinter printer;
    const QString fio = m_passport->patientName();
    if (!m_platform->setUpPrinter(this, printer, pdfFileName(fio, QStringLiteral("рецепт"), m_today)))
        return;
    const QString text = prescriptionText(m_today, fio, m_passport->visitDate(), m_prescription->preparations(),
                                          m_prescription->recommendations(), m_dynamics->model()->visits());
    m_prescription->keepPrintedText(text);
    if (m_platform->print(printer, QStringLiteral("Рецепт"), text, prescriptionHeader(m_today, fio)))
        showStatus(1, QStringLiteral(" Печать рецепта"));
    else
        showRefusal(QStringLiteral("Ошибка печати документа! Проверьте принтер."));
}

void TMainForm::ReportActExecute()
{
    const CardState card = shownCard();
    const ProgressSheet sheet(progressReport(card, m_startDate), chartSeries(card.visitRows), goalWeight(card.goal),
                              card.text(Field::Height));
    m_platform->previewDocument(
        this, QStringLiteral("Отчёт о динамике"), [&sheet](QPrinter &p) { sheet.print(p); },
        pdfFileName(card.text(Field::Name), QStringLiteral("отчёт о динамике"), m_today));
}

void TMainForm::ShablActExecute()
{
    showView(PageControl3);
    m_editor->start();
    showStatus(0, QString());
    showStatus(1, QString());
}

void TMainForm::ShabloBoxSelect(int index)
{
    m_editor->ShabloBoxSelect(index);
}

void TMainForm::SectionButtonClick(int section)
{
    showView(PageControl2);
    PageControl2->showSection(section);
}

void TMainForm::OkButtonClick()
{
    showView(PageControl1);
    TabSheet8Enter();
    // Back on the index, the keyboard stands on the section just left.
    if (PageControl2->shownSection() > 0)
        m_anamnesisIndex->focusSection(PageControl2->shownSection());
}

// ---------------------------------------------------------------- layout

namespace {

constexpr int kWidth = 780;
constexpr int kHeight = 565;
constexpr int kMenuHeight = 24;
constexpr int kStatusHeight = 19;
constexpr int kWorkHeight = kHeight - kMenuHeight - kStatusHeight;

const QString kSaveHint = QStringLiteral("Сохранить");

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
    BackupAct = makeAction(QStringLiteral("BackupAct"), QStringLiteral("Резервная копия…"), 20,
                           QStringLiteral("Копия всей картотеки в архив zip с проверкой; копия при выходе"));
    RestoreAct = makeAction(QStringLiteral("RestoreAct"), QStringLiteral("Восстановить из копии…"), 15);
    ExportAct = makeAction(QStringLiteral("ExportAct"), QStringLiteral("Экспорт в таблицу…"), 18,
                           QStringLiteral("Пациенты и визиты в файлы CSV для программы таблиц"));
    connect(BackupAct, &QAction::triggered, m_backup, &BackupCommands::showBackupDialog);
    connect(RestoreAct, &QAction::triggered, m_backup, &BackupCommands::restoreFromBackup);
    connect(ExportAct, &QAction::triggered, m_backup, &BackupCommands::exportToSpreadsheet);
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
    updateActions();

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
    card->addActions({BackupAct, RestoreAct, ExportAct});
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
    statusBar()->setFixedHeight(kStatusHeight);
    m_status = new StatusPanels(statusBar());
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
    auto place = [](QTabWidget *view, const QString &name, int helpContext) {
        view->setObjectName(name);
        view->setGeometry(0, 0, kWidth, kWorkHeight);
        view->setUsesScrollButtons(false);
        view->setProperty("helpContext", helpContext);
    };
    PageControl1 = new PageControl(work, true);
    place(PageControl1, QStringLiteral("PageControl1"), 3);

    m_passport = new vel::PassportPage(m_startDate, PageControl1);
    m_pages[PassportPage] = m_passport;
    m_pages[WeightHistoryPage] = new QuestionPage(QStringLiteral("TabSheet3"), buildWeightHistoryPage, PageControl1);
    m_pages[CorrectionsPage] = new QuestionPage(QStringLiteral("TabSheet4"), buildCorrectionsPage, PageControl1);
    m_pages[FoodsPage] = new QuestionPage(QStringLiteral("TabSheet5"), buildFoodsPage, PageControl1);
    m_pages[DiagnosticPage] = new vel::DiagnosticPage(m_today, PageControl1);
    m_pages[AnamnesisPage] = m_anamnesisIndex = new AnamnesisIndexPage(PageControl1);
    m_pages[HealthPage] = m_health = new vel::HealthPage(PageControl1);
    m_pages[DynamicsPage] = m_dynamics = new vel::DynamicsPage(m_startDate, PageControl1);
    m_pages[PrescriptionPage] = m_prescription = new vel::PrescriptionPage(m_dataDir, PageControl1);
    const std::pair<const char *, int> tabs[] = {
        {"Паспортная часть", 5},    {"Особенности набора веса", 6}, {"Предыдущие коррекции веса", 8},
        {"Продукты и цели", 7},     {"Данные диагностики", 10},     {"Анамнез жизни", 9},
        {"Состояние здоровья", 14}, {"Динамика потери веса", 6},    {"Рецепт лечения", 18},
    };
    const char *saveButtons[] = {"SaveButton",    "SpeedButton19", "SpeedButton37", "SpeedButton38", "SpeedButton39",
                                 "SpeedButton40", "SpeedButton41", "SpeedButton42", "SpeedButton43"};
    for (int i = 0; i < PageCount; ++i) {
        PageControl1->addTab(m_pages[i], QString::fromUtf8(tabs[i].first));
        QToolButton *save = makePictureButton(QLatin1String(saveButtons[i]), 20, kSaveHint, m_pages[i]);
        save->setFocusPolicy(Qt::TabFocus);
        if (i == PassportPage)
            QWidget::setTabOrder(m_pages[i]->findChild<QWidget *>(QStringLiteral("ShabBox")), save);
        connect(save, &QToolButton::clicked, this, &TMainForm::SaveActExecute);
        keepInCorner(m_pages[i], save);
    }

    // A section page takes the window's font before it is built, so that it
    // can be measured against the room the view gives it.
    auto *probe = new QTabWidget(work);
    const int frame = probe->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, probe);
    const int tabHeight = probe->tabBar()->sizeHint().height();
    delete probe;
    // The OK button's corner stays free.
    const QSize sectionRoom(kWidth - 2 * frame, kWorkHeight - tabHeight - 2 * frame - 32);
    PageControl2 = new AnamnesisSections(work, sectionRoom);
    place(PageControl2, QStringLiteral("PageControl2"), 3);

    PageControl3 = new QTabWidget(work);
    place(PageControl3, QStringLiteral("PageControl3"), 5);
    m_editor = new TemplateEditor(m_dataDir, PageControl3);
    PageControl3->addTab(m_editor, velIcon(11), QStringLiteral("Редактор шаблонов"));
}

void TMainForm::wirePages()
{
    // Window-wide, so that a table's own use of these keys never keeps the page.
    const std::pair<QKeySequence, int> pageKeys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                                     {QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1},
                                                     {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                     {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto &[key, step] : pageKeys) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { turnPage(step); });
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!PageControl1->isVisible())
            return;
        if (index == HealthPage)
            TabSheet8Enter();
        else if (index == PrescriptionPage)
            TabSheet10Enter();
    });
    connect(m_passport, &vel::PassportPage::refused, this, &TMainForm::showRefusal);
    connect(m_dynamics, &vel::DynamicsPage::told, this, [this](const QString &text) { showStatus(1, text); });
    // The chart draws the goal and the body-mass bands of the patient's height;
    // the patient page says how far the visits have come.
    connect(m_passport, &vel::PassportPage::chartAidsChanged, m_dynamics, &vel::DynamicsPage::setChartAids);
    connect(m_dynamics, &vel::DynamicsPage::visitAdded, m_passport, &vel::PassportPage::proposeNextVisit);
    new BodyImport(this, m_platform, m_dynamics);
    connect(m_dynamics, &vel::DynamicsPage::seriesChanged, this,
            [this](const ChartSeries &series) { m_passport->setVisits(m_dynamics->model()->visits(), series); });
    connect(m_anamnesisIndex, &AnamnesisIndexPage::sectionChosen, this, &TMainForm::SectionButtonClick);
    connect(PageControl2, &AnamnesisSections::ticksChanged, m_anamnesisIndex, &AnamnesisIndexPage::setTickCount);
    connect(PageControl2, &AnamnesisSections::done, this, &TMainForm::OkButtonClick);
    connect(m_prescription, &vel::PrescriptionPage::printRequested, this, &TMainForm::PrnButtonClick);
    connect(m_prescription, &vel::PrescriptionPage::failed, this, &TMainForm::showFailure);
    connect(m_editor, &TemplateEditor::failed, this, &TMainForm::showFailure);
    connect(m_editor, &TemplateEditor::saved, this, [this] { showStatus(1, QStringLiteral(" Шаблон сохранен")); });
    for (const char *name : {"PrimMemo", "RecMemo", "PrepMemo"}) {
        auto *memo = findChild<MemoEdit *>(QLatin1String(name));
        memo->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(memo, &QWidget::customContextMenuRequested, this,
                [this, memo](const QPoint &pos) { PopupMenu1->popup(memo->mapToGlobal(pos)); });
    }
}

void TMainForm::fillRecentMenu()
{
    // The items are made once and relabelled: one of them may be the action being handled.
    if (RecentMenu->isEmpty()) {
        for (int i = 0; i < kRecentCardCount; ++i) {
            QAction *action = RecentMenu->addAction(QString());
            connect(action, &QAction::triggered, this,
                    [this, action] { m_cards->openRecent(action->data().toString()); });
        }
    }
    const QStringList recent = m_cards->recentCards();
    const QList<QAction *> items = RecentMenu->actions();
    for (int i = 0; i < items.size(); ++i) {
        const QString path = recent.value(i);
        const QString name = QFileInfo(path).completeBaseName().replace(u'&', QStringLiteral("&&"));
        items.at(i)->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        items.at(i)->setToolTip(QDir::toNativeSeparators(path));
        items.at(i)->setData(path);
        items.at(i)->setVisible(!path.isEmpty());
    }
    RecentMenu->menuAction()->setEnabled(!recent.isEmpty());
}
