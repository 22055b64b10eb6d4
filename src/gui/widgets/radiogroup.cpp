#include "widgets/radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace vel {

RadioGroup::RadioGroup(const QString &objectName, const QString &caption, const QStringList &items, int columns,
                       QWidget *parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this))
{
    setObjectName(objectName);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 4, 2);
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(8);
    const int perColumn = (int(items.size()) + columns - 1) / std::max(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        button->setObjectName(objectName + QStringLiteral("_%1").arg(i));
        m_group->addButton(button, i);
        grid->addWidget(button, i % perColumn, i / perColumn);
    }
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

int RadioGroup::itemCount() const
{
    return int(m_group->buttons().size());
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < itemCount()) {
        m_group->button(index)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last checked button.
    if (QAbstractButton *checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

} // namespace vel
