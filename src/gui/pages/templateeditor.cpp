#include "pages/templateeditor.h"

#include "pages/memopages.h"
#include "visits/templatestore.h"
#include "widgets/dropdown.h"
#include "widgets/memoedit.h"
#include "widgets/picturebutton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    ShabloBox->setMinimumWidth(240);
    connect(ShabloBox, qOverload<int>(&QComboBox::activated), this, &TemplateEditor::ShabloBoxSelect);
    row->addWidget(ShabloBox);
    auto *nameLabel = new QLabel(QStringLiteral("Название:"), this);
    row->addWidget(nameLabel);
    ShabNameEdit = new QLineEdit(this);
    ShabNameEdit->setObjectName(QStringLiteral("ShabNameEdit"));
    ShabNameEdit->setToolTip(QStringLiteral("Название шаблона в списке: сохраняется вместе с текстом"));
    ShabNameEdit->setEnabled(false);
    nameLabel->setBuddy(ShabNameEdit);
    connect(ShabNameEdit, &QLineEdit::textEdited, this, [this] { SavShButton->setEnabled(true); });
    // After the name the doctor writes the text.
    connect(ShabNameEdit, &QLineEdit::returnPressed, SblMemo, qOverload<>(&QWidget::setFocus));
    row->addWidget(ShabNameEdit, 1);
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

void TemplateEditor::showName(const QString &title, bool editable)
{
    ShabNameEdit->setText(title);
    ShabNameEdit->setEnabled(editable);
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
    showName(QString(), false);
    SavShButton->setEnabled(false);
    AddShButton->setEnabled(true);
    SblMemo->setEnabled(false);
    ShabloBox->setEnabled(true);
}

void TemplateEditor::ShabloBoxSelect(int index)
{
    auto text = readTemplateText(m_dataDir, index + 1);
    if (auto *e = std::get_if<ReadError>(&text)) {
        // The name follows the choice even so: a save now goes under the chosen number.
        showName(ShabloBox->itemText(index), SblMemo->isEnabled());
        emit failed(e->message);
        return;
    }
    const QString loaded = std::get<QString>(text);
    if (loaded != SblMemo->memoText())
        SblMemo->setMemoText(loaded);
    SblMemo->setEnabled(true);
    showName(ShabloBox->itemText(index), true);
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
    // The doctor names the new template first: typing replaces the number.
    showName(ShabloBox->itemText(ShabloBox->currentIndex()), true);
    ShabNameEdit->setFocus(Qt::OtherFocusReason);
    ShabNameEdit->selectAll();
}

void TemplateEditor::SavShButtonClick()
{
    const int index = ShabloBox->currentIndex();
    // Typed text is no template: there is nothing to save it under.
    if (index < 0)
        return;
    // The name is the one typed; the list changes only once the files have.
    const QString title =
        ShabNameEdit->isEnabled() ? templateTitle(ShabNameEdit->text(), index + 1) : ShabloBox->itemText(index);
    QStringList titles;
    for (int i = 0; i < ShabloBox->count(); ++i)
        titles << (i == index ? title : ShabloBox->itemText(i));
    if (auto error = saveTemplate(m_dataDir, index + 1, SblMemo->memoText(), titles)) {
        emit failed(error->message);
        return;
    }
    ShabloBox->setItemText(index, title);
    showName(title, true);
    emit saved();
    ShabloBox->setEnabled(true);
    AddShButton->setEnabled(true);
    SavShButton->setEnabled(false);
}

} // namespace vel
