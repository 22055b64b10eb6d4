#include "pages/pagefields.h"

#include "tables/catalogue.h"
#include "tables/fields.h"
#include "widgets/datefield.h"
#include "widgets/memoedit.h"
#include "widgets/radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace vel {

namespace {

// A stored text longer than may be typed into its field (the height's three
// digits, or Qt's default of 32,767 characters) is shown whole, or the save
// would store it cut. The typing limit comes back with the next shorter text.
const char *const kTypingLimit = "typingLimit";

void setWholeText(QLineEdit *edit, const QString &text)
{
    if (!edit->property(kTypingLimit).isValid())
        edit->setProperty(kTypingLimit, edit->maxLength());
    const int limit = edit->property(kTypingLimit).toInt();
    edit->setMaxLength(int(std::clamp<qsizetype>(text.size(), limit, std::numeric_limits<int>::max())));
    edit->setText(text);
}

// A radio group or a drop-down list, both stored as an index.
int itemIndexOf(QWidget *w)
{
    if (auto *group = qobject_cast<RadioGroup *>(w))
        return group->itemIndex();
    return qobject_cast<QComboBox *>(w)->currentIndex();
}

void setItemIndexOf(QWidget *w, int index)
{
    if (auto *group = qobject_cast<RadioGroup *>(w)) {
        group->setItemIndex(index);
    } else {
        auto *box = qobject_cast<QComboBox *>(w);
        QSignalBlocker block(box);
        box->setCurrentIndex(index);
    }
}

} // namespace

PageFields::PageFields(QWidget *page)
{
    for (const FieldDef &f : kCardFields)
        if (auto *w = page->findChild<QWidget *>(QLatin1String(f.control)))
            m_fields.push_back({&f, w});
    for (std::size_t row = 0; row < kCatalogue.size(); ++row)
        if (auto *w = page->findChild<QWidget *>(QLatin1String(kCatalogue[row].name)))
            m_items.push_back({row, w});
}

void PageFields::store(CardState &card) const
{
    for (const auto &[f, w] : m_fields) {
        switch (f->kind) {
        case FieldKind::Text:
            card.setText(f->field, qobject_cast<QLineEdit *>(w)->text());
            break;
        case FieldKind::DateText:
            card.setText(f->field, qobject_cast<DateField *>(w)->shownText());
            break;
        case FieldKind::Notes:
            card.setText(f->field, qobject_cast<MemoEdit *>(w)->memoText());
            break;
        case FieldKind::Index:
            card.setIndex(f->field, itemIndexOf(w));
            break;
        case FieldKind::Flag:
            card.setFlag(f->field, qobject_cast<QCheckBox *>(w)->isChecked());
            break;
        }
    }
    for (const auto &[row, w] : m_items) {
        if (kCatalogue[row].kind == CatalogueKind::Check)
            card.anamnesis[row] = qobject_cast<QCheckBox *>(w)->isChecked() ? 1 : 0;
        else
            card.anamnesis[row] = qobject_cast<RadioGroup *>(w)->itemIndex();
    }
}

void PageFields::load(const CardState &card) const
{
    for (const auto &[f, w] : m_fields) {
        switch (f->kind) {
        case FieldKind::Text:
            setWholeText(qobject_cast<QLineEdit *>(w), card.text(f->field));
            break;
        case FieldKind::DateText:
            qobject_cast<DateField *>(w)->setShownText(card.text(f->field));
            break;
        case FieldKind::Notes:
            qobject_cast<MemoEdit *>(w)->setMemoText(card.text(f->field));
            break;
        case FieldKind::Index:
            setItemIndexOf(w, card.index(f->field));
            break;
        case FieldKind::Flag:
            qobject_cast<QCheckBox *>(w)->setChecked(card.flag(f->field));
            break;
        }
    }
    for (const auto &[row, w] : m_items) {
        if (kCatalogue[row].kind == CatalogueKind::Check)
            qobject_cast<QCheckBox *>(w)->setChecked(card.anamnesisTicked(row));
        else
            qobject_cast<RadioGroup *>(w)->setItemIndex(card.anamnesisIndex(row));
    }
}

void PageFields::reset(Stage stage, const QString &today) const
{
    const bool before = stage == Stage::BeforeTemplates;
    for (const auto &[f, w] : m_fields) {
        if (f->resetBeforeTemplates != before || f->reset == FieldReset::TemplateChoice)
            continue;
        switch (f->kind) {
        case FieldKind::Text:
            setWholeText(qobject_cast<QLineEdit *>(w), QString());
            break;
        case FieldKind::DateText:
            if (f->reset == FieldReset::Today)
                qobject_cast<DateField *>(w)->setShownText(today);
            else
                qobject_cast<DateField *>(w)->clear();
            break;
        case FieldKind::Notes:
            qobject_cast<MemoEdit *>(w)->setMemoText(QString());
            break;
        case FieldKind::Index:
            if (auto *group = qobject_cast<RadioGroup *>(w))
                group->setItemIndex(-1);
            else
                qobject_cast<QComboBox *>(w)->setCurrentIndex(f->reset == FieldReset::FirstItem ? 0 : -1);
            break;
        case FieldKind::Flag:
            qobject_cast<QCheckBox *>(w)->setChecked(false);
            break;
        }
    }
    if (before)
        return;
    for (const auto &[row, w] : m_items) {
        if (kCatalogue[row].kind == CatalogueKind::Check)
            qobject_cast<QCheckBox *>(w)->setChecked(false);
        else
            qobject_cast<RadioGroup *>(w)->setItemIndex(-1);
    }
}

} // namespace vel
