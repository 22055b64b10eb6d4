#include "pages/passportpage.h"

#include "cardlist/cardsummary.h"
#include "cardlist/recall.h"
#include "numbers/bodynumbers.h"
#include "numbers/energy.h"
#include "numbers/progress.h"
#include "tables/questions.h"
#include "visits/age.h"
#include "widgets/datefield.h"
#include "widgets/dropdown.h"
#include "widgets/numberlabel.h"
#include "widgets/radiogroup.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace vel {

namespace {

const QString kTemplatePrompt = QStringLiteral("Выбрать");
const QString kSettingsName = QStringLiteral("velnokasi");
const QString kRecallKey = QStringLiteral("nextVisitDays");

QLineEdit *makeEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

// Runs its work when the scope ends, however it ends.
template <typename F> struct Finally {
    F work;
    ~Finally() { work(); }
};
template <typename F> Finally(F) -> Finally<F>;

} // namespace

PassportPage::PassportPage(const QDate &today, QWidget *parent) : CardPage(parent), m_today(today)
{
    setObjectName(QStringLiteral("TabSheet2"));
    build();
    m_fields = std::make_unique<PageFields>(this);
}

PassportPage::~PassportPage() = default;

void PassportPage::build()
{
    auto *outer = new QVBoxLayout(this);
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
        left->addWidget(new QLabel(label, this), row, 0);
        left->addWidget(field, row, 1);
        ++row;
    };
    FioEdit = makeEdit(QStringLiteral("FioEdit"), this);
    FioEdit->setToolTip(
        QStringLiteral("Введите Ф.И.О. (обязательное поле - будет служить для идентификации файлов-карточек)"));
    addRow(QStringLiteral("Ф.И.О.:"), FioEdit);
    BirEdit = new DateField(QStringLiteral("BirEdit"), this);
    BirEdit->setFixedWidth(110);
    connect(BirEdit, &DateField::left, this, &PassportPage::BirEditChange);
    addRow(QStringLiteral("Дата рождения:"), BirEdit);
    AgeEdit = makeEdit(QStringLiteral("AgeEdit"), this);
    AgeEdit->setEnabled(false);
    AgeEdit->setFixedWidth(60);
    addRow(QStringLiteral("Возраст:"), AgeEdit);
    QLineEdit *address = makeEdit(QStringLiteral("AdrEdit"), this);
    addRow(QStringLiteral("Адрес:"), address);
    QLineEdit *phone = makeEdit(QStringLiteral("PhonEdit"), this);
    addRow(QStringLiteral("Телефон:"), phone);
    const QuestionGroup *sex = findQuestionGroup(controlName(Field::Sex));
    QStringList sexItems;
    for (int i = 0; i < sex->itemCount(); ++i)
        sexItems << QString::fromUtf8(sex->items[static_cast<std::size_t>(i)]);
    SexGroup = new RadioGroup(QStringLiteral("SexGroup"), QString::fromUtf8(sex->caption), sexItems, 2, this);
    left->addWidget(SexGroup, row++, 0, 1, 2);
    QLineEdit *job = makeEdit(QStringLiteral("JobEdit"), this);
    addRow(QStringLiteral("Место работы:"), job);
    left->setColumnStretch(1, 1);
    left->setRowStretch(row, 1); // the column keeps its height when the panel beside it grows

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Panel1"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    top->addWidget(frame, 4);
    auto *right = new QGridLayout(frame);
    right->setContentsMargins(8, 8, 8, 8);
    right->setHorizontalSpacing(6);
    right->setVerticalSpacing(6);
    auto pair = [&](int r, const QString &l1, const QString &n1, const QString &l2, const QString &n2) {
        right->addWidget(new QLabel(l1, frame), r, 0);
        QLineEdit *e1 = makeEdit(n1, frame);
        right->addWidget(e1, r, 1);
        right->addWidget(new QLabel(l2, frame), r, 2);
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
    right->addWidget(new QLabel(QStringLiteral("Толщина жировой складки:"), frame), 2, 0, 1, 3);
    QLineEdit *jir = makeEdit(QStringLiteral("JirEdit"), frame);
    right->addWidget(jir, 2, 3);
    right->addWidget(new QLabel(QStringLiteral("Сколько лет имеете избыточный вес:"), frame), 3, 0, 1, 3);
    QLineEdit *years = makeEdit(QStringLiteral("LetEdit"), frame);
    right->addWidget(years, 3, 3);
    right->addWidget(new QLabel(QStringLiteral("Тип телосложения:"), frame), 4, 0, 1, 2);
    TypeBox = makeDropDown(QStringLiteral("TypeBox"), frame);
    for (const char *build : kBodyBuilds)
        TypeBox->addItem(QString::fromUtf8(build));
    right->addWidget(TypeBox, 4, 2, 1, 2);
    BrkButton = new QPushButton(brocaRestingCaption(), frame);
    BrkButton->setObjectName(QStringLiteral("BrkButton"));
    BrkButton->setAutoDefault(false);
    connect(BrkButton, &QPushButton::clicked, this, &PassportPage::BrkButtonClick);
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

    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    auto *bottom = new QGridLayout;
    bottom->setHorizontalSpacing(6);
    bottom->setVerticalSpacing(6);
    outer->addLayout(bottom);
    bottom->addWidget(new QLabel(QStringLiteral("Дата приема:"), this), 0, 0);
    DateEdit = new DateField(QStringLiteral("DateEdit"), this);
    DateEdit->setFixedWidth(110);
    bottom->addWidget(DateEdit, 0, 1, Qt::AlignLeft);
    bottom->addWidget(new QLabel(QStringLiteral("Шаблоны:"), this), 1, 0);
    ShabBox = makeDropDown(QStringLiteral("ShabBox"), this);
    ShabBox->setToolTip(QStringLiteral("Здесь можно выбрать из шаблонных вариантов рецептов лечения"));
    ShabBox->setFixedWidth(300);
    showChoicePrompt(ShabBox, kTemplatePrompt);
    bottom->addWidget(ShabBox, 1, 1, Qt::AlignLeft);
    bottom->setColumnStretch(2, 1);
    outer->addStretch(1);

    // Tab goes down the left column, to the visit date, through the measurements, to the template.
    QWidget *order[] = {FioEdit, BirEdit, address, phone, SexGroup, job,     DateEdit,  RostEdit,
                        weight,  tal,     bedr,    jir,   years,    TypeBox, BrkButton, ShabBox};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    buildNumbers(frame, right, bottom);
    buildNextVisit(bottom);
}

void PassportPage::buildNextVisit(QGridLayout *bottomGrid)
{
    // Under the template: when the patient is to come back, proposed after
    // each new visit at the doctor's usual interval, which is kept for good.
    bottomGrid->addWidget(new QLabel(QStringLiteral("Следующий приём:"), this), 2, 0);
    auto *line = new QHBoxLayout;
    line->setSpacing(6);
    NextEdit = new DateField(QStringLiteral("NextEdit"), this);
    NextEdit->setFixedWidth(110);
    NextEdit->setToolTip(QStringLiteral("Дата контрольного приёма: после неё пациент попадает в список просроченных"));
    line->addWidget(NextEdit);
    line->addWidget(new QLabel(QStringLiteral("через"), this));
    NextSpin = new QSpinBox(this);
    NextSpin->setObjectName(QStringLiteral("NextSpin"));
    NextSpin->setRange(1, 365);
    NextSpin->setSuffix(QStringLiteral(" дн."));
    NextSpin->setValue(QSettings(kSettingsName, kSettingsName).value(kRecallKey, kDefaultRecallDays).toInt());
    NextSpin->setToolTip(QStringLiteral("Обычный интервал между приёмами: следующий приём назначается через "
                                        "столько дней после последнего"));
    line->addWidget(NextSpin);
    line->addStretch(1);
    bottomGrid->addLayout(line, 2, 1);
    connect(NextSpin, &QSpinBox::valueChanged, this, &PassportPage::NextSpinChange);
    QWidget::setTabOrder(ShabBox, NextEdit);
    QWidget::setTabOrder(NextEdit, NextSpin);
}

void PassportPage::NextSpinChange(int days)
{
    QSettings(kSettingsName, kSettingsName).setValue(kRecallKey, days);
    // The new interval counts from the last visit there is.
    const QString last =
        m_visits.isEmpty() ? DateEdit->shownText() : visitCell(m_visits.constLast(), VisitColumn::Date);
    const QString next = proposedNextVisit(last, days);
    if (!next.isEmpty())
        NextEdit->setShownText(next);
}

void PassportPage::proposeNextVisit(const QString &visitDay)
{
    const QString next = proposedNextVisit(visitDay, NextSpin->value());
    if (!next.isEmpty())
        NextEdit->setShownText(next);
}

void PassportPage::buildNumbers(QFrame *panel, QGridLayout *panelGrid, QGridLayout *bottomGrid)
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
    panelGrid->addWidget(new QLabel(QStringLiteral("Активность:"), panel), 8, 0);
    AktivBox = new QComboBox(panel);
    AktivBox->setObjectName(QStringLiteral("AktivBox"));
    AktivBox->addItems(activityItems());
    AktivBox->setPlaceholderText(QStringLiteral("не выбрана"));
    AktivBox->setCurrentIndex(-1);
    keepNoChoiceInList(AktivBox);
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
    bottomGrid->addLayout(lines(this, {&DinamLabel, &ImtLabel}, {"DinamLabel", "ImtLabel"}), 0, 2, 2, 1);
    bottomGrid->setColumnMinimumWidth(2, 0);
    DinamLabel->setContentsMargins(16, 0, 0, 0);
    ImtLabel->setContentsMargins(16, 0, 0, 0);

    QWidget::setTabOrder(BrkButton, AktivBox);
    QWidget::setTabOrder(AktivBox, CelEdit);
    QWidget::setTabOrder(CelEdit, ShabBox);

    for (const char *edit : {"RostEdit", "VesEdit", "TalEdit", "BedrEdit"})
        connect(panel->findChild<QLineEdit *>(QLatin1String(edit)), &QLineEdit::textChanged, this,
                &PassportPage::refreshNumbers);
    // A child is judged by the age on the day: the birth date counts as typed.
    connect(BirEdit, &DateField::textChanged, this, &PassportPage::refreshNumbers);
    connect(AgeEdit, &QLineEdit::textChanged, this, &PassportPage::refreshNumbers);
    connect(CelEdit, &QLineEdit::textChanged, this, &PassportPage::refreshNumbers);
    connect(AktivBox, &QComboBox::currentIndexChanged, this, &PassportPage::refreshNumbers);
    connect(TypeBox, &QComboBox::currentIndexChanged, this, &PassportPage::refreshNumbers);
    // Toggles also come from opening and resetting a card, not only from clicks.
    for (QRadioButton *button : SexGroup->findChildren<QRadioButton *>())
        connect(button, &QAbstractButton::toggled, this, &PassportPage::refreshNumbers);
}

QString PassportPage::fieldText(Field f) const
{
    return findChild<QLineEdit *>(QLatin1String(controlName(f)))->text();
}

void PassportPage::setTemplateTitles(const QStringList &titles)
{
    fillChoice(ShabBox, titles, kTemplatePrompt);
    ShabBox->setEnabled(true);
}

int PassportPage::chosenTemplate() const
{
    return ShabBox->currentIndex();
}

QString PassportPage::patientName() const
{
    return FioEdit->text();
}

QString PassportPage::visitDate() const
{
    return DateEdit->shownText();
}

void PassportPage::load(const CardState &card)
{
    // The body indices are worked out once, from the whole card.
    m_settling = true;
    Finally settled{[this] {
        m_settling = false;
        refreshNumbers();
    }};
    BrkButton->setText(brocaRestingCaption());
    m_fields->load(card);
    // A card keeps the template it was given; one without may still choose.
    if (ShabBox->currentIndex() < 0)
        showChoicePrompt(ShabBox, kTemplatePrompt);
    ShabBox->setEnabled(ShabBox->currentIndex() < 0);
    AktivBox->setCurrentIndex(card.activity);
    CelEdit->setText(card.goal);
    NextEdit->setShownText(card.nextVisit);
}

void PassportPage::store(CardState &card) const
{
    m_fields->store(card);
    card.activity = AktivBox->currentIndex();
    card.goal = CelEdit->text();
    card.nextVisit = dateShown(NextEdit->shownText());
}

void PassportPage::reset(PageFields::Stage stage, const QString &today)
{
    m_settling = true;
    Finally settled{[this] {
        m_settling = false;
        refreshNumbers();
    }};
    if (stage == PageFields::Stage::BeforeTemplates) {
        BrkButton->setText(brocaRestingCaption());
        m_fields->reset(stage, today);
        AgeEdit->clear();
        return;
    }
    m_fields->reset(stage, today);
    AktivBox->setCurrentIndex(-1);
    CelEdit->clear();
    NextEdit->setShownText(QString());
}

void PassportPage::focusField(Field f)
{
    if (auto *w = findChild<QWidget *>(QLatin1String(controlName(f))))
        w->setFocus(Qt::OtherFocusReason);
}

void PassportPage::setVisits(const QVector<QStringList> &rows, const ChartSeries &series)
{
    m_visits = rows;
    m_series = series;
    refreshNumbers();
}

void PassportPage::BirEditChange()
{
    const QString birth = BirEdit->shownText();
    const auto age = ageFromBirthText(birth, m_today);
    if (!age) {
        AgeEdit->clear();
        const bool noDigits = std::none_of(birth.begin(), birth.end(), [](QChar c) { return c.isDigit(); });
        // An unknown birth date is left blank without a word; a wrong one is refused.
        if (noDigits)
            return;
        emit refused(birthDateMessage());
        BirEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    AgeEdit->setText(QString::number(*age));
}

void PassportPage::BrkButtonClick()
{
    if (BirEdit->hasFocus()) {
        // Leaving the birth date updates the age before it is used.
        QSignalBlocker block(BirEdit);
        SexGroup->setFocus(Qt::OtherFocusReason);
        BirEditChange();
    }
    // Broca's rule is for adults: a child's page says why it gives no weight.
    if (const BodyNumbers n = bodyNumbers(numbersInput()); n.underAdult && !n.brocaLine.isEmpty()) {
        BrkButton->setText(n.brocaLine);
        return;
    }
    const BrocaResult result = brocaCaption(TypeBox->currentIndex(), AgeEdit->text(), RostEdit->text());
    switch (result.outcome) {
    case BrocaResult::Shown:
        BrkButton->setText(result.caption);
        break;
    case BrocaResult::NoBodyBuild:
        break;
    case BrocaResult::BirthDateMessage:
        emit refused(birthDateMessage());
        BirEdit->setFocus(Qt::OtherFocusReason);
        break;
    case BrocaResult::HeightMessage:
        emit refused(heightMessage());
        RostEdit->setFocus(Qt::OtherFocusReason);
        break;
    }
}

NumbersInput PassportPage::numbersInput() const
{
    NumbersInput in;
    in.birth = BirEdit->shownText();
    in.height = RostEdit->text();
    in.weight = fieldText(Field::Weight);
    in.waist = fieldText(Field::Waist);
    in.hips = fieldText(Field::Hips);
    in.sex = SexGroup->itemIndex();
    in.activity = AktivBox->currentIndex();
    in.visitRows = m_visits;
    in.today = m_today;
    return in;
}

void PassportPage::refreshNumbers()
{
    if (m_settling || !ImtLabel)
        return; // still being built, or a whole card is being set: once at its end
    // Today's numbers: the latest visit's weight and girths, a child's SDS.
    const NumbersInput in = numbersInput();
    const BodyNumbers n = bodyNumbers(in);
    BmiLabel->setFullText(n.bmiLine);
    WhrLabel->setFullText(n.whrLine);
    OtRostLabel->setFullText(n.whtLine);
    EnergLabel->setFullText(n.restingLine);
    KalorLabel->setFullText(n.intakeLine);
    CelEdit->setPlaceholderText(n.underAdult ? QString()
                                             : brocaHint(TypeBox->currentIndex(), AgeEdit->text(), in.height));

    const auto progress = progressSince(weighedVisits(m_series.weight), in.height);
    DinamLabel->setFullText(progressText(progress));
    ImtLabel->setFullText(bmiChangeLine(progress, in));
    emit chartAidsChanged(goalWeight(CelEdit->text()), in.height, n.adultBmiBands());
}

} // namespace vel
