#include "widgets/radiogroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
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
        button->installEventFilter(this);
    }
    // A press by mouse or by the space bar, then the click that follows it.
    connect(m_group, &QButtonGroup::buttonPressed, this,
            [this](QAbstractButton *button) { m_pressedChecked = button->isChecked(); });
    connect(m_group, &QButtonGroup::buttonClicked, this, [this](QAbstractButton *button) {
        if (m_pressedChecked && button->isChecked())
            setItemIndex(-1);
        m_pressedChecked = false;
    });
    connect(m_group, &QButtonGroup::idToggled, this, &RadioGroup::keepTabStop);
    keepTabStop();
}

void RadioGroup::keepTabStop()
{
    // Qt makes the button that last had the focus the group's only tab stop,
    // and that may be a choice of another card. Tab comes in on the choice
    // shown, or on the first button when there is none.
    const QList<QAbstractButton *> buttons = m_group->buttons();
    QAbstractButton *stop = m_group->checkedButton();
    if (!stop && !buttons.isEmpty())
        stop = buttons.first();
    for (QAbstractButton *b : buttons) {
        const Qt::FocusPolicy policy = b->focusPolicy();
        b->setFocusPolicy(b == stop ? Qt::FocusPolicy(policy | Qt::TabFocus) : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

bool RadioGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        keepTabStop();
    if (event->type() == QEvent::KeyPress && m_group->checkedButton()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            setItemIndex(-1);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
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
    } else if (QAbstractButton *checked = m_group->checkedButton()) {
        // An exclusive group cannot uncheck its last checked button.
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
    keepTabStop();
}

} // namespace vel
