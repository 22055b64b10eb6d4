#include "pages/memopages.h"

#include "summary/summary.h"
#include "tables/fields.h"
#include "visits/templatestore.h"
#include "widgets/memoedit.h"
#include "widgets/picturebutton.h"

#include <QGridLayout>
#include <QLabel>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vel {

namespace {

const QString kMemoHint = QStringLiteral("Можно разбивать на абзацы, пункты и пр.");

} // namespace

MemoEdit *makeMemo(const QString &name, QWidget *parent)
{
    auto *memo = new MemoEdit(name, parent);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

HealthPage::HealthPage(QWidget *parent) : CardPage(parent)
{
    setObjectName(QStringLiteral("TabSheet8"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 8, 36);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(3);
    QFont bold = font();
    bold.setBold(true);
    auto *goalLabel = new QLabel(QStringLiteral("Продукты и цели:"), this);
    goalLabel->setFont(bold);
    auto *anamLabel = new QLabel(QStringLiteral("Анамнез жизни:"), this);
    anamLabel->setFont(bold);
    layout->addWidget(goalLabel, 0, 0);
    layout->addWidget(anamLabel, 0, 1);
    auto summaryMemo = [this](const QString &name) {
        QPlainTextEdit *memo = makeMemo(name, this);
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
    MemoEdit *notes = makeMemo(QStringLiteral("PrimMemo"), this);
    notes->setToolTip(QStringLiteral("Примечания врача - одной строкой, без абзацев и разбиения на пункты"));
    notes->setPlaceholderText(QString::fromUtf8(kNotesPlaceholder));
    notes->setFixedHeight(110);
    layout->addWidget(notes, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    m_fields = std::make_unique<PageFields>(this);
}

void HealthPage::load(const CardState &card)
{
    m_fields->load(card);
}

void HealthPage::store(CardState &card) const
{
    m_fields->store(card);
}

void HealthPage::reset(PageFields::Stage stage, const QString &today)
{
    m_fields->reset(stage, today);
}

void HealthPage::showSummary(const HealthSummary &summary)
{
    GoalMemo->setPlainText(summary.goals.join(u'\n'));
    AnamMemo->setPlainText(summary.anamnesis.join(u'\n'));
}

PrescriptionPage::PrescriptionPage(const QString &dataDir, QWidget *parent) : CardPage(parent), m_dataDir(dataDir)
{
    setObjectName(QStringLiteral("TabSheet10"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 40, 36);
    layout->setSpacing(3);
    QFont heading = font();
    heading.setBold(true);
    heading.setUnderline(true);
    auto *label28 = new QLabel(QStringLiteral("Назначаемые препараты:"), this);
    label28->setObjectName(QStringLiteral("Label28"));
    label28->setFont(heading);
    layout->addWidget(label28);
    PrepMemo = makeMemo(QStringLiteral("PrepMemo"), this);
    PrepMemo->setToolTip(kMemoHint);
    layout->addWidget(PrepMemo, 1);
    auto *label36 = new QLabel(QStringLiteral("Рекомендации:"), this);
    label36->setObjectName(QStringLiteral("Label36"));
    label36->setFont(heading);
    layout->addWidget(label36);
    RecMemo = makeMemo(QStringLiteral("RecMemo"), this);
    RecMemo->setToolTip(kMemoHint);
    layout->addWidget(RecMemo, 1);

    PrnButton = makePictureButton(QStringLiteral("PrnButton"), 18, QStringLiteral("Печатать рецепт"), this);
    PrnButton->move(780 - 6 - PrnButton->width() - 6, 24);
    PrnButton->setEnabled(false);
    connect(PrnButton, &QToolButton::clicked, this, &PrescriptionPage::printRequested);

    RichEd = new QTextEdit(this);
    RichEd->setObjectName(QStringLiteral("RichEd"));
    RichEd->setVisible(false);
    RichEd->setEnabled(false);
}

void PrescriptionPage::load(const CardState &card)
{
    PrepMemo->setMemoText(card.preparations);
    RecMemo->setMemoText(card.recommendations);
}

void PrescriptionPage::store(CardState &card) const
{
    card.preparations = PrepMemo->memoText();
    card.recommendations = RecMemo->memoText();
}

void PrescriptionPage::reset(PageFields::Stage stage, const QString &)
{
    if (stage != PageFields::Stage::BeforeTemplates)
        return;
    PrnButton->setEnabled(false);
    RecMemo->clear();
    PrepMemo->clear();
}

void PrescriptionPage::TabSheet10Enter(int chosenTemplate)
{
    PrnButton->setEnabled(true);
    if (!RecMemo->toPlainText().isEmpty() || chosenTemplate < 0)
        return;
    auto text = readTemplateText(m_dataDir, chosenTemplate + 1);
    if (auto *e = std::get_if<ReadError>(&text)) {
        emit failed(e->message);
        return;
    }
    RecMemo->setMemoText(std::get<QString>(text));
}

QString PrescriptionPage::preparations() const
{
    return PrepMemo->memoText();
}

QString PrescriptionPage::recommendations() const
{
    return RecMemo->memoText();
}

void PrescriptionPage::keepPrintedText(const QString &text)
{
    RichEd->setPlainText(text);
}

} // namespace vel
