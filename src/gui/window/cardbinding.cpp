#include "window/cardbinding.h"

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

void CardBinding::read(CardState &card) const
{
    for (const FieldDef &f : kCardFields) {
        const QString name = QLatin1String(f.control);
        QWidget *w = m_controls.value(name);
        switch (f.kind) {
        case FieldKind::Text:
            card.texts.insert(name, qobject_cast<QLineEdit *>(w)->text());
            break;
        case FieldKind::DateText:
            card.texts.insert(name, qobject_cast<DateField *>(w)->shownText());
            break;
        case FieldKind::Notes:
            card.texts.insert(name, qobject_cast<MemoEdit *>(w)->memoText());
            break;
        case FieldKind::Index:
            card.indices.insert(name, itemIndexOf(w));
            break;
        case FieldKind::Flag:
            card.flags.insert(name, qobject_cast<QCheckBox *>(w)->isChecked());
            break;
        }
    }
    for (const CatalogueControl &c : kCatalogue) {
        const QString name = QLatin1String(c.name);
        QWidget *w = m_controls.value(name);
        if (c.kind == CatalogueKind::Check)
            card.flags.insert(name, qobject_cast<QCheckBox *>(w)->isChecked());
        else
            card.indices.insert(name, qobject_cast<RadioGroup *>(w)->itemIndex());
    }
}

void CardBinding::apply(const CardState &card) const
{
    for (const FieldDef &f : kCardFields) {
        const QString name = QLatin1String(f.control);
        QWidget *w = m_controls.value(name);
        switch (f.kind) {
        case FieldKind::Text:
            setWholeText(qobject_cast<QLineEdit *>(w), card.text(name));
            break;
        case FieldKind::DateText:
            qobject_cast<DateField *>(w)->setShownText(card.text(name));
            break;
        case FieldKind::Notes:
            qobject_cast<MemoEdit *>(w)->setMemoText(card.text(name));
            break;
        case FieldKind::Index:
            setItemIndexOf(w, card.index(name));
            break;
        case FieldKind::Flag:
            qobject_cast<QCheckBox *>(w)->setChecked(card.flag(name));
            break;
        }
    }
    for (const CatalogueControl &c : kCatalogue) {
        const QString name = QLatin1String(c.name);
        QWidget *w = m_controls.value(name);
        if (c.kind == CatalogueKind::Check)
            qobject_cast<QCheckBox *>(w)->setChecked(card.flag(name));
        else
            qobject_cast<RadioGroup *>(w)->setItemIndex(card.index(name));
    }
}

void CardBinding::reset(Stage stage, const QString &today) const
{
    const bool before = stage == Stage::BeforeTemplates;
    for (const FieldDef &f : kCardFields) {
        if (f.resetBeforeTemplates != before || f.reset == FieldReset::TemplateChoice)
            continue;
        QWidget *w = m_controls.value(QLatin1String(f.control));
        switch (f.kind) {
        case FieldKind::Text:
            setWholeText(qobject_cast<QLineEdit *>(w), QString());
            break;
        case FieldKind::DateText:
            if (f.reset == FieldReset::Today)
                qobject_cast<DateField *>(w)->setShownText(today);
            else
                qobject_cast<DateField *>(w)->clear();
            break;
        case FieldKind::Notes:
            qobject_cast<MemoEdit *>(w)->setMemoText(
                f.reset == FieldReset::NotesDefault ? QString::fromUtf8(kNotesDefault) : QString());
            break;
        case FieldKind::Index:
            if (auto *group = qobject_cast<RadioGroup *>(w))
                group->setItemIndex(-1);
            else
                qobject_cast<QComboBox *>(w)->setCurrentIndex(f.reset == FieldReset::FirstItem ? 0 : -1);
            break;
        case FieldKind::Flag:
            qobject_cast<QCheckBox *>(w)->setChecked(false);
            break;
        }
    }
    if (before)
        return;
    for (const CatalogueControl &c : kCatalogue) {
        QWidget *w = m_controls.value(QLatin1String(c.name));
        if (c.kind == CatalogueKind::Check)
            qobject_cast<QCheckBox *>(w)->setChecked(false);
        else
            qobject_cast<RadioGroup *>(w)->setItemIndex(-1);
    }
}

} // namespace vel
