#include "pages/templateeditor.h"

#include "pages/memopages.h"
#include "visits/templatestore.h"
#include "widgets/dropdown.h"
#include "widgets/memoedit.h"
#include "widgets/picturebutton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vel {

namespace {
const QString kPrompt = QStringLiteral("Выбрать шаблон");
}

TemplateEditor::TemplateEditor(const QString &dataDir, QWidget *parent) : QWidget(parent), m_dataDir(dataDir)
{
    setObjectName(QStringLiteral("TabSheet28"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    SblMemo = makeMemo(QStringLiteral("SblMemo"), this);
    SblMemo->setToolTip(QStringLiteral("Можно разбивать на абзацы, пункты и пр."));
    SblMemo->setEnabled(false);
    connect(SblMemo, &QPlainTextEdit::textChanged, this, &TemplateEditor::SblMemoChange);
    layout->addWidget(SblMemo, 1);
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    layout->addLayout(row);
    ShabloBox = makeDropDown(QStringLiteral("ShabloBox"), this);
    ShabloBox->setToolTip(QStringLiteral("Список готовых шаблонов для редактирования"));
    ShabloBox->setMinimumWidth(300);
    connect(ShabloBox, qOverload<int>(&QComboBox::activated), this, &TemplateEditor::ShabloBoxSelect);
    row->addWidget(ShabloBox);
    row->addStretch(1);
    AddShButton = new QPushButton(velIcon(13), QStringLiteral("Создать шаблон"), this);
    AddShButton->setObjectName(QStringLiteral("AddShButton"));
    connect(AddShButton, &QPushButton::clicked, this, &TemplateEditor::AddShButtonClick);
    row->addWidget(AddShButton);
    SavShButton = new QPushButton(velIcon(20), QStringLiteral("Сохранить шаблон"), this);
    SavShButton->setObjectName(QStringLiteral("SavShButton"));
    SavShButton->setEnabled(false);
    connect(SavShButton, &QPushButton::clicked, this, &TemplateEditor::SavShButtonClick);
    row->addWidget(SavShButton);
}

void TemplateEditor::setTitles(const QStringList &titles)
{
    ShabloBox->addItems(titles);
    showChoicePrompt(ShabloBox, kPrompt);
}

void TemplateEditor::setMemoQuietly(const QString &text)
{
    m_quiet = true;
    SblMemo->setMemoText(text);
    m_quiet = false;
}

void TemplateEditor::start()
{
    setMemoQuietly(QString());
    showChoicePrompt(ShabloBox, kPrompt);
    SavShButton->setEnabled(false);
    AddShButton->setEnabled(true);
    SblMemo->setEnabled(false);
    ShabloBox->setEnabled(true);
}

void TemplateEditor::ShabloBoxSelect(int index)
{
    auto text = readTemplateText(m_dataDir, index + 1);
    if (auto *e = std::get_if<ReadError>(&text)) {
        emit failed(e->message);
        return;
    }
    const QString loaded = std::get<QString>(text);
    if (loaded != SblMemo->memoText())
        SblMemo->setMemoText(loaded);
    SblMemo->setEnabled(true);
}

void TemplateEditor::SblMemoChange()
{
    if (!m_quiet)
        SavShButton->setEnabled(true);
}

void TemplateEditor::AddShButtonClick()
{
    const int number = ShabloBox->count() + 1;
    ShabloBox->addItem(newTemplateTitle(number));
    {
        QSignalBlocker block(ShabloBox);
        ShabloBox->setCurrentIndex(ShabloBox->count() - 1);
    }
    ShabloBox->setEnabled(false);
    setMemoQuietly(QString());
    AddShButton->setEnabled(false);
    SblMemo->setEnabled(true);
}

void TemplateEditor::SavShButtonClick()
{
    const int index = ShabloBox->currentIndex();
    // Typed text is no template: there is nothing to save it under.
    if (index < 0)
        return;
    QStringList titles;
    for (int i = 0; i < ShabloBox->count(); ++i)
        titles << ShabloBox->itemText(i);
    if (auto error = saveTemplate(m_dataDir, index + 1, SblMemo->memoText(), titles)) {
        emit failed(error->message);
        return;
    }
    emit saved();
    ShabloBox->setEnabled(true);
    AddShButton->setEnabled(true);
    SavShButton->setEnabled(false);
}

} // namespace vel
