#include "pages/bodycontrols.h"

#include "chart/weightchart.h"
#include "grids/gridview.h"
#include "grids/visitmodel.h"
#include "visits/bodycomposition.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QToolButton>

namespace vel {

namespace {

const QString kSettingsName = QStringLiteral("velnokasi");
const QString kColumnsKey = QStringLiteral("bodyColumnsShown");
const QString kChartKey = QStringLiteral("chartBodySeries");

QSettings settings()
{
    return QSettings(kSettingsName, kSettingsName);
}

} // namespace

BodyControls::BodyControls(GridView *grid, VisitModel *model, WeightChart *chart, QWidget *parent)
    : QWidget(parent), m_grid(grid), m_chart(chart)
{
    setObjectName(QStringLiteral("BodyControls"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    BodyButton = new QToolButton(this);
    BodyButton->setObjectName(QStringLiteral("BodyButton"));
    BodyButton->setText(QStringLiteral("Состав тела"));
    BodyButton->setCheckable(true);
    BodyButton->setToolTip(QStringLiteral("Столбцы состава тела в таблице: % жира, масса жира, скелетно-мышечная "
                                          "масса, вода и висцеральный жир"));
    row->addWidget(BodyButton);
    auto *import = new QToolButton(this);
    import->setObjectName(QStringLiteral("ImportButton"));
    import->setText(QStringLiteral("Импорт..."));
    import->setToolTip(QStringLiteral("Взять вес и состав тела из файла CSV, выгруженного анализатором"));
    row->addWidget(import);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("На графике:"), this));
    const char *const names[] = {"FatBox", "WaterBox", "FatMassBox", "MuscleBox"};
    const VisitColumn columns[] = {VisitColumn::FatPercent, VisitColumn::Water, VisitColumn::FatMass,
                                   VisitColumn::MuscleMass};
    for (int i = 0; i < WeightChart::BodySeriesCount; ++i) {
        m_series[i] = new QCheckBox(QString::fromUtf8(bodyMeasure(columns[i]).title), this);
        m_series[i]->setObjectName(QLatin1String(names[i]));
        row->addWidget(m_series[i]);
    }
    m_series[WeightChart::FatPercentSeries]->setToolTip(QStringLiteral("Процент жира: шкала справа"));
    m_series[WeightChart::WaterSeries]->setToolTip(QStringLiteral("Процент воды: шкала справа"));
    row->addStretch(1);

    // The titles of the body columns, and room for each.
    QFont bold = grid->font();
    bold.setBold(true);
    const QFontMetrics strong(bold);
    for (const BodyMeasure &m : kBodyMeasures) {
        const int c = int(m.column);
        const QString title = QString::fromUtf8(m.title);
        model->setData(model->index(0, c), title);
        grid->horizontalHeader()->resizeSection(c, std::max(strong.horizontalAdvance(title) + 14, 54));
    }

    const QStringList chosen = settings().value(kChartKey, QStringList{QString::fromLatin1(names[0])}).toStringList();
    for (QCheckBox *box : m_series) {
        box->setChecked(chosen.contains(box->objectName()));
        connect(box, &QCheckBox::toggled, this, &BodyControls::chartChoiceChanged);
    }
    for (int i = 0; i < WeightChart::BodySeriesCount; ++i)
        m_chart->setBodySeriesShown(WeightChart::BodySeries(i), m_series[i]->isChecked());
    showColumns(settings().value(kColumnsKey, false).toBool());
    connect(BodyButton, &QToolButton::toggled, this, [this](bool shown) {
        showColumns(shown);
        settings().setValue(kColumnsKey, shown);
    });
    connect(import, &QToolButton::clicked, this, &BodyControls::importRequested);
}

void BodyControls::showColumns(bool shown)
{
    BodyButton->setChecked(shown);
    for (int c = kVisitColumns; c < kVisitRowCells; ++c)
        m_grid->setColumnHidden(c, !shown);
    // Fifteen columns do not fit the page: the table scrolls sideways then.
    m_grid->setHorizontalScrollBarPolicy(shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

bool BodyControls::columnsShown() const
{
    return BodyButton->isChecked();
}

void BodyControls::chartChoiceChanged()
{
    QStringList chosen;
    for (int i = 0; i < WeightChart::BodySeriesCount; ++i) {
        m_chart->setBodySeriesShown(WeightChart::BodySeries(i), m_series[i]->isChecked());
        if (m_series[i]->isChecked())
            chosen << m_series[i]->objectName();
    }
    settings().setValue(kChartKey, chosen);
}

} // namespace vel
