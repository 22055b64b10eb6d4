// The dietitian's numbers on the patient page and the progress report: the
// values come from the core, the window only shows and prints them.
#include "window/mainform.h"

#include "card/cardfiles.h"
#include "chart/weightchart.h"
#include "numbers/energy.h"
#include "numbers/progress.h"
#include "numbers/progressreport.h"
#include "numbers/waistheight.h"
#include "platform/platform.h"
#include "report/progresssheet.h"
#include "widgets/numberlabel.h"
#include "widgets/radiogroup.h"
#include "grids/chartfeed.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace vel;

void TMainForm::buildNumbers(QFrame *panel, QGridLayout *panelGrid, QGridLayout *bottomGrid)
{
    auto lines = [](QWidget *parent, std::initializer_list<NumberLabel **> labels,
                    std::initializer_list<const char *> names) {
        auto *box = new QVBoxLayout;
        box->setSpacing(2);
        auto name = names.begin();
        for (NumberLabel **label : labels) {
            *label = new NumberLabel(QLatin1String(*name++), parent);
            box->addWidget(*label);
        }
        return box;
    };
    // Under the body indices: the waist-to-height ratio, the activity level
    // and goal, and the energy they lead to.
    panelGrid->setRowStretch(7, 0);
    OtRostLabel = new NumberLabel(QStringLiteral("OtRostLabel"), panel);
    QLayoutItem *indices = panelGrid->itemAtPosition(6, 0);
    if (auto *box = indices ? qobject_cast<QBoxLayout *>(indices->layout()) : nullptr)
        box->addWidget(OtRostLabel); // one block with the other body indices
    else
        panelGrid->addWidget(OtRostLabel, 7, 0, 1, 4);
    auto *activityLabel = new QLabel(QStringLiteral("Активность:"), panel);
    panelGrid->addWidget(activityLabel, 8, 0);
    AktivBox = new QComboBox(panel);
    AktivBox->setObjectName(QStringLiteral("AktivBox"));
    AktivBox->addItems(activityItems());
    AktivBox->setPlaceholderText(QStringLiteral("не выбрана"));
    AktivBox->setCurrentIndex(-1);
    AktivBox->setToolTip(QStringLiteral("Уровень физической активности: множитель к обмену покоя"));
    panelGrid->addWidget(AktivBox, 8, 1, 1, 3);
    panelGrid->addWidget(new QLabel(QStringLiteral("Целевой вес:"), panel), 9, 0);
    CelEdit = new QLineEdit(panel);
    CelEdit->setObjectName(QStringLiteral("CelEdit"));
    CelEdit->setMaxLength(6);
    // Kilograms with at most one decimal, so the goal always reads as a number.
    CelEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}([,.]\\d?)?")), CelEdit));
    CelEdit->setToolTip(QStringLiteral("Целевой вес пациента, кг: линия цели и прогноз на графике"));
    panelGrid->addWidget(CelEdit, 9, 1, 1, 2);
    panelGrid->addWidget(new QLabel(QStringLiteral("кг"), panel), 9, 3);
    panelGrid->addLayout(lines(panel, {&EnergLabel, &KalorLabel}, {"EnergLabel", "KalorLabel"}), 10, 0, 1, 4);
    panelGrid->setRowStretch(11, 1);

    // Beside the visit date: how far the patient has come since the first visit.
    bottomGrid->addLayout(lines(bottomGrid->parentWidget(), {&DinamLabel, &ImtLabel}, {"DinamLabel", "ImtLabel"}), 0, 2,
                          2, 1);
    bottomGrid->setColumnMinimumWidth(2, 0);
    DinamLabel->setContentsMargins(16, 0, 0, 0);
    ImtLabel->setContentsMargins(16, 0, 0, 0);

    QWidget::setTabOrder(BrkButton, AktivBox);
    QWidget::setTabOrder(AktivBox, CelEdit);
    QWidget::setTabOrder(CelEdit, ShabBox);

    for (const char *edit : {"RostEdit", "VesEdit", "TalEdit"})
        connect(panel->findChild<QLineEdit *>(QLatin1String(edit)), &QLineEdit::textChanged, this,
                &TMainForm::refreshNumbers);
    connect(AgeEdit, &QLineEdit::textChanged, this, &TMainForm::refreshNumbers);
    connect(CelEdit, &QLineEdit::textChanged, this, &TMainForm::refreshNumbers);
    connect(AktivBox, &QComboBox::currentIndexChanged, this, &TMainForm::refreshNumbers);
    connect(TypeBox, &QComboBox::currentIndexChanged, this, &TMainForm::refreshNumbers);
    for (QRadioButton *button : SexGroup->findChildren<QRadioButton *>())
        connect(button, &QAbstractButton::toggled, this, &TMainForm::refreshNumbers);
}

void TMainForm::refreshNumbers()
{
    if (!Grid2 || !Chart || !m_chartFeed || m_settingCard)
        return; // still being built, or a whole card is being set: once at its end
    const QString height = RostEdit->text();
    const QString weight = findChild<QLineEdit *>(QStringLiteral("VesEdit"))->text();
    const QString waist = findChild<QLineEdit *>(QStringLiteral("TalEdit"))->text();
    OtRostLabel->setFullText(waistHeightText(waistToHeight(waist, height, bmiTenths(height, weight))));
    const auto energy = energyNeed(SexGroup->itemIndex(), AgeEdit->text(), height, weight, AktivBox->currentIndex());
    EnergLabel->setFullText(restingText(energy));
    KalorLabel->setFullText(intakeText(energy));
    CelEdit->setPlaceholderText(brocaHint(TypeBox->currentIndex(), AgeEdit->text(), height));

    // The chart's kept points, not a new reading of every visit row.
    const auto progress = progressSince(weighedVisits(m_chartFeed->series().weight), height);
    DinamLabel->setFullText(progressText(progress));
    ImtLabel->setFullText(bmiChangeText(progress));
    Chart->setGoal(goalWeight(CelEdit->text()));
    Chart->setHeight(height);
}

void TMainForm::ReportActExecute()
{
    const CardState card = cardState();
    const ProgressSheet sheet(progressReport(card, m_startDate), chartSeries(card.visitRows),
                              goalWeight(card.text(CelEdit->objectName())), card.text(RostEdit->objectName()));
    m_platform->previewDocument(this, QStringLiteral("Отчёт о динамике"), [&sheet](QPrinter &p) { sheet.print(p); });
}
