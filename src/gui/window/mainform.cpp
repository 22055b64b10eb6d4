#include "window/mainform.h"

#include "card/cardfiles.h"
#include "card/deletion.h"
#include "cardlist/recentcards.h"
#include "chart/weightchart.h"
#include "find/cardlistmodel.h"
#include "find/finddialog.h"
#include "grids/chartfeed.h"
#include "grids/diagnosticmodel.h"
#include "grids/gridview.h"
#include "grids/visitmodel.h"
#include "platform/platform.h"
#include "summary/summary.h"
#include "tables/catalogue.h"
#include "tables/fields.h"
#include "tables/questions.h"
#include "text/linefile.h"
#include "visits/age.h"
#include "visits/bodyindex.h"
#include "visits/prescription.h"
#include "visits/templatestore.h"
#include "widgets/datefield.h"
#include "widgets/memoedit.h"
#include "widgets/numberlabel.h"
#include "widgets/radiogroup.h"
#include "widgets/sectionbutton.h"
#include "window/aboutbox.h"
#include "window/cardbinding.h"
#include "window/unsavedwork.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include <limits>

using namespace vel;

namespace {

const QString kAppTitle = QStringLiteral("VEL-NO-KASI - электронная картотека");

const QStringList kVisitTitles = {QStringLiteral("Дата"),           QStringLiteral("Вес"),
                                  QStringLiteral("Объем талии"),    QStringLiteral("Объем бедер"),
                                  QStringLiteral("Объем жир.скл."), QStringLiteral("Здоровье"),
                                  QStringLiteral("Голод"),          QStringLiteral("Объем пищи"),
                                  QStringLiteral("Стул"),           QStringLiteral("Моча")};

// Runs its work when the scope ends, however it ends.
template <typename F> struct Finally {
    F work;
    ~Finally() { work(); }
};
template <typename F> Finally(F) -> Finally<F>;

const QString kRecentKey = QStringLiteral("recentCards");
// The recent cards are all the program remembers between runs.
const QString kSettingsName = QStringLiteral("velnokasi");

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
    buildWindow();
    m_cardList = new CardListModel(m_dataDir, today, this);
    m_unsaved = new UnsavedWork(
        m_dataDir, [this] { return cardState(); }, this);
    connect(m_unsaved, &UnsavedWork::keptByTimer, this, [this](const QString &status) { setStatus(1, status); });
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
    registerControls();
    watchSectionTicks();
    m_about = new TAboutBox(m_platform, this);
    PageControl1->setVisible(false);
    PageControl2->setVisible(false);
    PageControl3->setVisible(false);
    m_visits->setTitles(kVisitTitles);
    if (m_startTemplates) {
        ShabloBox->addItems(*m_startTemplates);
        clearTemplateChoice(ShabloBox, QStringLiteral("Выбрать шаблон"));
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
        defaultErrorBox(e->message);
        return;
    }
    m_startTemplates = std::get<QStringList>(titles);
}

// ---------------------------------------------------------------- helpers

QString TMainForm::statusText(int panel) const
{
    return m_panels[panel]->text();
}

void TMainForm::setStatus(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
}

void TMainForm::errorBox(const QString &text)
{
    m_platform->errorBox(this, QStringLiteral("Error"), text);
}

void TMainForm::defaultErrorBox(const QString &text)
{
    m_platform->errorBox(this, kAppTitle, withFullStop(text));
}

void TMainForm::setMemoQuietly(MemoEdit *memo, const QString &text)
{
    m_quietMemo = true;
    memo->setMemoText(text);
    m_quietMemo = false;
}

void TMainForm::showView(QTabWidget *view)
{
    // Once a view has been shown the title screen does not come back.
    for (const char *title : {"Image1", "Label1", "Label35"})
        if (QWidget *w = m_controls.value(QLatin1String(title)))
            w->setVisible(false);
    for (QTabWidget *v : {PageControl1, PageControl2, PageControl3})
        if (v != view)
            v->setVisible(false);
    view->setVisible(true);
}

void TMainForm::setTablesVisible(bool visible)
{
    Grid1->setVisible(visible);
    Grid2->setVisible(visible);
    Chart->setVisible(visible);
}

void TMainForm::refreshBodyIndices()
{
    if (m_settingCard)
        return;
    BmiLabel->setFullText(
        bmiText(bodyMassIndex(RostEdit->text(), control<QLineEdit>(QStringLiteral("VesEdit"))->text())));
    WhrLabel->setFullText(
        whrText(waistToHip(control<QLineEdit>(QStringLiteral("TalEdit"))->text(),
                           control<QLineEdit>(QStringLiteral("BedrEdit"))->text(), SexGroup->itemIndex())));
}

void TMainForm::refreshChart()
{
    Chart->setSeries(m_chartFeed->series());
    refreshNumbers();
}

void TMainForm::clearTemplateChoice(QComboBox *box, const QString &prompt)
{
    QSignalBlocker block(box);
    box->setCurrentIndex(-1);
    box->setEditText(prompt);
}

void TMainForm::fillTemplateChoice(QComboBox *box, const QStringList &titles, const QString &prompt)
{
    QSignalBlocker block(box);
    box->clear();
    box->addItems(titles);
    clearTemplateChoice(box, prompt);
}

CardState TMainForm::cardState() const
{
    CardState card;
    m_binding->read(card);
    card.diagnosticRows = m_diagnostic->storedRows();
    card.visitRows = m_visits->visits();
    card.preparations = PrepMemo->memoText();
    card.recommendations = RecMemo->memoText();
    card.indices.insert(AktivBox->objectName(), AktivBox->currentIndex());
    card.texts.insert(CelEdit->objectName(), CelEdit->text());
    return card;
}

void TMainForm::applyCard(const CardState &card, const QStringList &templateTitles)
{
    // The body indices are worked out once, from the whole card.
    m_settingCard = true;
    Finally settled{[this] {
        m_settingCard = false;
        refreshBodyIndices();
        refreshNumbers();
    }};
    fillTemplateChoice(ShabBox, templateTitles, QStringLiteral("Выбрать"));
    SaveAct->setEnabled(true);
    ReportAct->setEnabled(true);
    setStatus(1, QString());
    setTablesVisible(true);
    showView(PageControl1);
    BrkButton->setText(brocaRestingCaption());

    m_binding->apply(card);
    setStatus(0, QStringLiteral(" Карточка пациента: ") + FioEdit->text());
    if (ShabBox->currentIndex() < 0)
        clearTemplateChoice(ShabBox, QStringLiteral("Выбрать"));
    ShabBox->setEnabled(ShabBox->currentIndex() < 0);

    PrepMemo->setMemoText(card.preparations);
    RecMemo->setMemoText(card.recommendations);
    // Each table is set once; the chart follows from the one reset.
    m_diagnostic->setStoredRows(card.diagnosticRows);
    m_visits->setVisits(card.visitRows);
    AktivBox->setCurrentIndex(card.index(AktivBox->objectName()));
    CelEdit->setText(card.text(CelEdit->objectName()));
}

// ---------------------------------------------------------------- commands

void TMainForm::NewActExecute()
{
    const QString kept = m_unsaved->keepIfUnsaved();
    // A new card replaces no set this window knows, even under a known name.
    m_unsaved->setKnownSet(QString(), QByteArray());
    if (resetCard())
        m_unsaved->markSaved(cardState());
    if (!kept.isEmpty())
        setStatus(1, kept);
}

bool TMainForm::resetCard()
{
    m_settingCard = true;
    Finally settled{[this] {
        m_settingCard = false;
        refreshBodyIndices();
        refreshNumbers();
    }};
    SaveAct->setEnabled(true);
    ReportAct->setEnabled(true);
    PrnButton->setEnabled(false);
    PrnAct->setEnabled(false);
    setStatus(0, QString());
    setStatus(1, QString());
    setTablesVisible(false);
    showView(PageControl1);
    BrkButton->setText(brocaRestingCaption());
    RecMemo->clear();
    PrepMemo->clear();
    m_binding->reset(CardBinding::Stage::BeforeTemplates, m_today);
    AgeEdit->clear();
    auto titles = readTemplateList(m_dataDir);
    if (auto *e = std::get_if<ReadError>(&titles)) {
        defaultErrorBox(e->message);
        return false;
    }
    fillTemplateChoice(ShabBox, std::get<QStringList>(titles), QStringLiteral("Выбрать"));
    ShabBox->setEnabled(true);
    m_binding->reset(CardBinding::Stage::AfterTemplates, m_today);
    AktivBox->setCurrentIndex(-1);
    CelEdit->clear();

    m_diagnostic->clear();
    m_visits->clear();
    PageControl1->setCurrentIndex(PassportPage);
    TabSheet8Enter();
    return true;
}

void TMainForm::OpenActExecute()
{
    const QString path =
        m_platform->chooseCardFile(this, QStringLiteral("Открыть карточку пациента"), m_dataDir, m_lastChosen);
    if (!path.isEmpty())
        openCard(path);
}

bool TMainForm::openCard(const QString &path)
{
    m_lastChosen = path;
    auto loaded = loadCard(path, m_dataDir);
    if (auto *e = std::get_if<ReadError>(&loaded)) {
        m_cardList->updateCard(path); // the list shows it greyed, or no more
        defaultErrorBox(e->message);
        return false;
    }
    const LoadedCard &card = std::get<LoadedCard>(loaded);
    const QString kept = m_unsaved->keepIfUnsaved();
    applyCard(card.card, card.templateTitles);
    BirEditChange();
    PageControl1->setCurrentIndex(PassportPage);
    TabSheet8Enter();
    TabSheet10Enter();
    m_unsaved->markSaved(cardState());
    // Only a set in the data folder is the one a save replaces.
    const bool inDataFolder = QFileInfo(card.folder).canonicalFilePath() == QFileInfo(m_dataDir).canonicalFilePath();
    m_unsaved->setKnownSet(inDataFolder ? card.card.text(QStringLiteral("FioEdit")) : QString(), card.digest);
    if (!kept.isEmpty())
        setStatus(1, kept);
    rememberCard(path);
    m_cardList->updateCard(path);
    return true;
}

void TMainForm::FindActExecute()
{
    auto *dialog = new FindDialog(m_cardList, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FindDialog::cardChosen, this, &TMainForm::openCard);
    dialog->open();
}

void TMainForm::RecentCardClick(const QString &path)
{
    // A card that is gone leaves the list once its open has said so.
    if (!openCard(path) && !QFileInfo::exists(path))
        forgetCard(path);
}

void TMainForm::rememberCard(const QString &path)
{
    QSettings settings(kSettingsName, kSettingsName);
    settings.setValue(kRecentKey, withRecentCard(settings.value(kRecentKey).toStringList(), path));
    fillRecentMenu();
}

void TMainForm::forgetCard(const QString &path)
{
    QSettings settings(kSettingsName, kSettingsName);
    settings.setValue(kRecentKey, withoutRecentCard(settings.value(kRecentKey).toStringList(), path));
    fillRecentMenu();
}

void TMainForm::fillRecentMenu()
{
    // The items are made once and relabelled: one of them may be the action being handled.
    if (RecentMenu->isEmpty()) {
        for (int i = 0; i < kRecentCardCount; ++i) {
            QAction *action = RecentMenu->addAction(QString());
            connect(action, &QAction::triggered, this, [this, action] { RecentCardClick(action->data().toString()); });
        }
    }
    const QStringList recent = QSettings(kSettingsName, kSettingsName).value(kRecentKey).toStringList();
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

void TMainForm::SaveActExecute()
{
    const CardState card = cardState();
    const QString name = card.text(QStringLiteral("FioEdit"));
    SaveGuard guard;
    guard.knownDigest = m_unsaved->knownDigest(name);
    guard.recoveryDataDir = m_dataDir;
    if (auto error = saveCard(card, m_dataDir, &guard)) {
        // A failure never leaves an earlier "saved" on screen.
        setStatus(1, QString());
        // Refused for a newer save on disk: this window's version is kept too.
        const QString kept = error->newerOnDisk ? m_unsaved->keepIfUnsaved() : QString();
        if (!kept.isEmpty()) {
            setStatus(1, kept);
            error->message += QStringLiteral(" Ваша версия — в папке .recovery: откройте карточку снова и "
                                             "перенесите в неё свои изменения.");
        }
        if (error->refusedInput)
            errorBox(error->message);
        else
            defaultErrorBox(error->message);
        return;
    }
    m_unsaved->markSaved(card);
    m_unsaved->setKnownSet(name, guard.writtenDigest);
    setStatus(1, QStringLiteral(" Карточка сохранена"));
    setStatus(0, QStringLiteral(" Карточка пациента: ") + card.text(QStringLiteral("FioEdit")));
    const QString saved =
        QDir(m_dataDir).absoluteFilePath(card.text(QStringLiteral("FioEdit")) + QStringLiteral(".dat"));
    rememberCard(saved);
    m_cardList->updateCard(saved);
}

void TMainForm::DelActExecute()
{
    // Nothing is preselected: Enter alone must not delete the card shown.
    const QString path = m_platform->chooseCardFile(this, QStringLiteral("Удалить карточку пациента"), m_dataDir, {});
    if (path.isEmpty())
        return;
    m_lastChosen = path;
    const QString kept = m_unsaved->keepIfUnsaved();
    const auto error = deleteCard(path, m_dataDir);
    m_unsaved->setKnownSet(QString(), QByteArray());
    m_cardList->updateCard(path);
    if (!QFileInfo::exists(path))
        forgetCard(path);
    // A reset stopped by a missing template list does not report the deletion.
    const bool reset = resetCard();
    if (reset)
        m_unsaved->markSaved(cardState());
    if (error) {
        setStatus(1, kept);
        defaultErrorBox(*error);
    } else if (reset) {
        setStatus(1, QStringLiteral(" Карточка удалена"));
    }
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
    const QString kept = m_unsaved->keepIfUnsaved();
    if (!kept.isEmpty())
        setStatus(1, kept);
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
    const auto age = ageFromBirthText(BirEdit->shownText(), m_startDate);
    if (!age) {
        errorBox(birthDateMessage());
        return;
    }
    AgeEdit->setText(QString::number(*age));
}

void TMainForm::BrkButtonClick()
{
    if (BirEdit->hasFocus()) {
        // Leaving the birth date updates the age before it is used.
        QSignalBlocker block(BirEdit);
        SexGroup->setFocus(Qt::OtherFocusReason);
        BirEditChange();
    }
    const BrocaResult result = brocaCaption(TypeBox->currentIndex(), AgeEdit->text(), RostEdit->text());
    switch (result.outcome) {
    case BrocaResult::Shown:
        BrkButton->setText(result.caption);
        break;
    case BrocaResult::NoBodyBuild:
        break;
    case BrocaResult::BirthDateMessage:
        errorBox(birthDateMessage());
        break;
    case BrocaResult::HeightMessage:
        errorBox(heightMessage());
        break;
    }
}

void TMainForm::AddBtnClick()
{
    Grid1->setVisible(true);
    m_diagnostic->appendBlock(m_today);
}

void TMainForm::Add2ButtonClick()
{
    Grid2->setVisible(true);
    Chart->setVisible(true);
    m_visits->appendVisit(m_today);
}

void TMainForm::TabSheet8Enter()
{
    const HealthSummary summary = compileSummary(cardState());
    GoalMemo->setPlainText(summary.goals.join(u'\n'));
    AnamMemo->setPlainText(summary.anamnesis.join(u'\n'));
}

void TMainForm::TabSheet10Enter()
{
    PrnButton->setEnabled(true);
    PrnAct->setEnabled(true);
    const int chosen = ShabBox->currentIndex();
    if (!RecMemo->toPlainText().isEmpty() || chosen < 0)
        return;
    auto text = readTemplateText(m_dataDir, chosen + 1);
    if (auto *e = std::get_if<ReadError>(&text)) {
        defaultErrorBox(e->message);
        return;
    }
    RecMemo->setMemoText(std::get<QString>(text));
}

void TMainForm::PrnButtonClick()
{
    QPrinter printer;
    if (!m_platform->setUpPrinter(this, printer))
        return;
    const QString text =
        prescriptionText(m_today, FioEdit->text(), DateEdit->shownText(), PrepMemo->memoText(), RecMemo->memoText());
    RichEd->setPlainText(text);
    if (m_platform->print(printer, QStringLiteral("Рецепт"), text))
        setStatus(1, QStringLiteral(" Печать рецепта"));
    else
        errorBox(QStringLiteral("Ошибка печати документа! Проверьте принтер."));
}

void TMainForm::ShablActExecute()
{
    showView(PageControl3);
    PrnAct->setEnabled(false);
    SaveAct->setEnabled(false);
    ReportAct->setEnabled(false);
    setMemoQuietly(SblMemo, QString());
    clearTemplateChoice(ShabloBox, QStringLiteral("Выбрать шаблон"));
    SavShButton->setEnabled(false);
    AddShButton->setEnabled(true);
    SblMemo->setEnabled(false);
    ShabloBox->setEnabled(true);
    setStatus(0, QString());
    setStatus(1, QString());
}

void TMainForm::ShabloBoxSelect(int index)
{
    auto text = readTemplateText(m_dataDir, index + 1);
    if (auto *e = std::get_if<ReadError>(&text)) {
        defaultErrorBox(e->message);
        return;
    }
    const QString loaded = std::get<QString>(text);
    if (loaded != SblMemo->memoText())
        SblMemo->setMemoText(loaded);
    SblMemo->setEnabled(true);
}

void TMainForm::SblMemoChange()
{
    if (!m_quietMemo)
        SavShButton->setEnabled(true);
}

void TMainForm::AddShButtonClick()
{
    const int number = ShabloBox->count() + 1;
    ShabloBox->addItem(newTemplateTitle(number));
    {
        QSignalBlocker block(ShabloBox);
        ShabloBox->setCurrentIndex(ShabloBox->count() - 1);
    }
    ShabloBox->setEnabled(false);
    setMemoQuietly(SblMemo, QString());
    AddShButton->setEnabled(false);
    SblMemo->setEnabled(true);
}

void TMainForm::SavShButtonClick()
{
    const int index = ShabloBox->currentIndex();
    // Typed text is no template: there is nothing to save it under.
    if (index < 0)
        return;
    QStringList titles;
    for (int i = 0; i < ShabloBox->count(); ++i)
        titles << ShabloBox->itemText(i);
    if (auto error = saveTemplate(m_dataDir, index + 1, SblMemo->memoText(), titles)) {
        defaultErrorBox(error->message);
        return;
    }
    setStatus(1, QStringLiteral(" Шаблон сохранен"));
    ShabloBox->setEnabled(true);
    AddShButton->setEnabled(true);
    SavShButton->setEnabled(false);
}

void TMainForm::SectionButtonClick(int section)
{
    showView(PageControl2);
    for (int i = 0; i < PageControl2->count(); ++i)
        PageControl2->setTabVisible(i, false);
    PageControl2->setTabVisible(section - 1, true);
    PageControl2->setCurrentIndex(section - 1);
    m_openSection = section;
    // The keyboard starts at the section's first item.
    if (QWidget *page = PageControl2->widget(section - 1)) {
        const auto items = page->findChildren<QAbstractButton *>();
        for (QAbstractButton *item : items)
            if (item->focusPolicy() & Qt::TabFocus) {
                item->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
}

void TMainForm::OkButtonClick()
{
    showView(PageControl1);
    TabSheet8Enter();
    // Back on the index, the keyboard stands on the section just left.
    if (m_openSection > 0)
        if (QWidget *button = m_controls.value(QLatin1String(kCatalogueSections[m_openSection - 1].button)))
            button->setFocus(Qt::OtherFocusReason);
}

void TMainForm::watchSectionTicks()
{
    for (const CatalogueControl &c : kCatalogue) {
        const int section = c.section;
        auto refresh = [this, section] { refreshSectionMark(section); };
        if (c.kind == CatalogueKind::Check) {
            connect(control<QCheckBox>(QLatin1String(c.name)), &QCheckBox::toggled, this, refresh);
        } else {
            const auto items = control<RadioGroup>(QLatin1String(c.name))->findChildren<QRadioButton *>();
            for (QRadioButton *item : items)
                connect(item, &QRadioButton::toggled, this, refresh);
        }
    }
}

void TMainForm::refreshSectionMark(int section)
{
    int ticked = 0;
    for (const CatalogueControl &c : kCatalogue) {
        if (c.section != section)
            continue;
        const QString name = QLatin1String(c.name);
        if (c.kind == CatalogueKind::Check ? control<QCheckBox>(name)->isChecked()
                                           : control<RadioGroup>(name)->itemIndex() >= 0)
            ++ticked;
    }
    if (auto *button = control<SectionButton>(QLatin1String(kCatalogueSections[section - 1].button)))
        button->setTickCount(ticked);
}
