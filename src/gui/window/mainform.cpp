#include "window/mainform.h"

#include "find/cardlistmodel.h"
#include "find/finddialog.h"
#include "numbers/progress.h"
#include "numbers/progressreport.h"
#include "pages/anamnesispages.h"
#include "pages/memopages.h"
#include "pages/passportpage.h"
#include "pages/tablepages.h"
#include "pages/templateeditor.h"
#include "platform/platform.h"
#include "platform/printing.h"
#include "grids/visitmodel.h"
#include "report/progresssheet.h"
#include "summary/summary.h"
#include "text/linefile.h"
#include "visits/age.h"
#include "visits/prescription.h"
#include "visits/templatestore.h"
#include "window/aboutbox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPrinter>
#include <QTabWidget>

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
    setWindowTitle(kAppTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    m_cardList = new CardListModel(m_dataDir, today, this);
    m_cards = new CardController(this, m_platform, this, m_dataDir, m_cardList, this);
    connect(m_cards, &CardController::stateChanged, this, &TMainForm::updateActions);
    connect(m_cards, &CardController::recentChanged, this, &TMainForm::fillRecentMenu);
    buildWindow();
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
    m_about = new TAboutBox(m_platform, this);
    PageControl1->setVisible(false);
    PageControl2->setVisible(false);
    PageControl3->setVisible(false);
    if (m_startTemplates) {
        m_editor->setTitles(*m_startTemplates);
        m_startTemplates.reset();
    }
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
    return m_panels[panel]->text();
}

void TMainForm::showStatus(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
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
    return true;
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
    BirEditChange();
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
    auto *dialog = new FindDialog(m_cardList, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FindDialog::cardChosen, this, &TMainForm::openCard);
    dialog->open();
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
    // No question on the way out: unsaved work goes to a recovery copy.
    m_cards->closing();
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
