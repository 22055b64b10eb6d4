#include "pages/tablepages.h"

#include "chart/weightchart.h"
#include "grids/chartfeed.h"
#include "grids/diagnosticmodel.h"
#include "grids/emptygridhint.h"
#include "grids/gridview.h"
#include "grids/visitmodel.h"
#include "pages/bodycontrols.h"
#include "visits/age.h"
#include "widgets/picturebutton.h"

#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>

namespace vel {

namespace {

const QStringList kVisitTitles = {QStringLiteral("Дата"),           QStringLiteral("Вес"),
                                  QStringLiteral("Объем талии"),    QStringLiteral("Объем бедер"),
                                  QStringLiteral("Объем жир.скл."), QStringLiteral("Здоровье"),
                                  QStringLiteral("Голод"),          QStringLiteral("Объем пищи"),
                                  QStringLiteral("Стул"),           QStringLiteral("Моча")};

// The "+" is reached by Tab too, and Insert in its table adds as it does.
template <typename Page> void addByKeys(QToolButton *add, QWidget *grid, Page *page, void (Page::*added)())
{
    add->setFocusPolicy(Qt::TabFocus);
    auto *insert = new QShortcut(QKeySequence(Qt::Key_Insert), grid);
    insert->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(insert, &QShortcut::activated, page, added);
}

} // namespace

DiagnosticPage::DiagnosticPage(const QString &today, QWidget *parent) : CardPage(parent), m_today(today)
{
    setObjectName(QStringLiteral("TabSheet6"));
    Grid1 = new GridView(QStringLiteral("Grid1"), {15, 77, 106, 114}, true, this);
    m_model = new DiagnosticModel(this);
    Grid1->setModel(m_model);
    Grid1->setGeometry(8, 8, 15 + 77 + 106 + 114 + 22, 440);
    // A full date and the arm and leg titles in bold fit their columns.
    Grid1->fitColumns({{QStringLiteral("6")},
                       {QStringLiteral("15.12.2024"), QStringLiteral("Дата")},
                       {QStringLiteral("Правая рука"), QStringLiteral("Правая нога")},
                       {QStringLiteral("Левая рука"), QStringLiteral("Левая нога")}},
                      15 + 77 + 106 + 114);
    Grid1->setVisible(false);
    QToolButton *add = makePictureButton(QStringLiteral("AddButton"), 13, QStringLiteral("Добавить данные"), this);
    add->move(Grid1->geometry().right() + 4, Grid1->geometry().bottom() - add->height() + 1);
    new EmptyGridHint(
        Grid1, {QString(), QStringLiteral("Дата"), QStringLiteral("Правая рука"), QStringLiteral("Левая рука")},
        QStringLiteral("Кнопка «+» справа добавляет обследование: блок точек рук и ног с сегодняшней датой."), this);
    connect(add, &QToolButton::clicked, this, &DiagnosticPage::AddBtnClick);
    addByKeys(add, Grid1, this, &DiagnosticPage::AddBtnClick);
}

void DiagnosticPage::load(const CardState &card)
{
    Grid1->setVisible(true);
    m_model->setStoredRows(card.diagnosticRows);
}

void DiagnosticPage::store(CardState &card) const
{
    card.diagnosticRows = m_model->storedRows();
}

void DiagnosticPage::reset(PageFields::Stage stage, const QString &)
{
    // A new card shows no table until its first block.
    if (stage == PageFields::Stage::BeforeTemplates)
        Grid1->setVisible(false);
    else
        m_model->clear();
}

void DiagnosticPage::AddBtnClick()
{
    Grid1->setVisible(true);
    m_model->appendBlock(m_today);
}

DynamicsPage::DynamicsPage(const QDate &today, QWidget *parent) : CardPage(parent), m_today(today)
{
    setObjectName(QStringLiteral("TabSheet9"));
    Grid2 = new GridView(QStringLiteral("Grid2"), {69, 44, 95, 94, 116, 68, 63, 91, 55, 54}, false, this);
    m_model = new VisitModel(this);
    m_model->setTitles(kVisitTitles);
    Grid2->setModel(m_model);
    // As wide as the chart below, so that the "+" under its right edge stays on the page.
    constexpr int kGrid2Width = 760;
    Grid2->setGeometry(8, 8, kGrid2Width, 220);
    Grid2->setEnterMovesOn(true);
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
    QToolButton *add = makePictureButton(QStringLiteral("Add2Button"), 13, QStringLiteral("Добавить данные"), this);
    add->move(Grid2->geometry().right() - add->width() + 1, Grid2->geometry().bottom() + 3);
    new EmptyGridHint(
        Grid2, {}, QStringLiteral("Кнопка «+» под таблицей справа добавляет строку приема с сегодняшней датой."), this);
    connect(add, &QToolButton::clicked, this, &DynamicsPage::Add2ButtonClick);
    addByKeys(add, Grid2, this, &DynamicsPage::Add2ButtonClick);

    Chart = new WeightChart(this);
    const int chartTop = add->geometry().bottom() + 4;
    Chart->setGeometry(8, chartTop, 760, 440 - chartTop);
    Chart->setVisible(false);
    m_body = new BodyControls(Grid2, m_model, Chart, this);
    m_body->setGeometry(8, Grid2->geometry().bottom() + 2, add->x() - 16, chartTop - Grid2->geometry().bottom() - 3);
    m_body->setVisible(false);
    connect(m_body, &BodyControls::importRequested, this, &DynamicsPage::importRequested);
    // The chart follows the table once per change: a whole card, a typed cell.
    m_feed = new ChartFeed(m_model, this);
    connect(m_feed, &ChartFeed::changed, this, [this] {
        Chart->setSeries(m_feed->series());
        emit seriesChanged(m_feed->series());
    });
}

const ChartSeries &DynamicsPage::series() const
{
    return m_feed->series();
}

void DynamicsPage::setChartAids(std::optional<double> goalKg, const QString &height, bool adultBands)
{
    Chart->setGoal(goalKg);
    Chart->setHeight(height);
    // The body-mass bands are for adults only.
    Chart->setBmiBandsShown(adultBands);
}

void DynamicsPage::load(const CardState &card)
{
    Grid2->setVisible(true);
    Chart->setVisible(true);
    m_body->setVisible(true);
    m_model->setVisits(card.visitRows);
}

void DynamicsPage::store(CardState &card) const
{
    card.visitRows = m_model->visits();
}

void DynamicsPage::reset(PageFields::Stage stage, const QString &)
{
    if (stage == PageFields::Stage::BeforeTemplates) {
        Grid2->setVisible(false);
        Chart->setVisible(false);
        m_body->setVisible(false);
    } else {
        m_model->clear();
    }
}

void DynamicsPage::takeImportedVisits(const QVector<QStringList> &visits)
{
    m_model->setVisits(visits);
    m_body->showColumns(true);
}

void DynamicsPage::Add2ButtonClick()
{
    Grid2->setVisible(true);
    Chart->setVisible(true);
    m_body->setVisible(true);
    // A second row for one day is allowed (two weighings), but never unnoticed.
    const QString date = visitDateText(m_today);
    const int earlier = m_model->rowOfDate(m_today);
    // The day's weight is typed next: the keyboard waits in its cell.
    const int row = m_model->appendVisit(date);
    if (earlier > 0)
        emit told(QStringLiteral(" Второй прием за %1: эта дата уже есть в строке %2").arg(date).arg(earlier));
    const QModelIndex weight = m_model->index(row, int(VisitColumn::Weight));
    Grid2->setCurrentIndex(weight);
    Grid2->scrollTo(weight);
    Grid2->setFocus(Qt::OtherFocusReason);
    emit visitAdded(date);
}

} // namespace vel
