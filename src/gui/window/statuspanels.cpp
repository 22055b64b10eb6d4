#include "window/statuspanels.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>

namespace vel {

namespace {

// Room a panel needs beyond its text: the bevel and a little air.
constexpr int kPanelPadding = 8;
// A name never shrinks below this, however long the outcome.
constexpr int kLeastNameWidth = 160;

} // namespace

StatusPanels::StatusPanels(QStatusBar *bar) : QObject(bar), m_bar(bar)
{
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        m_labels[i] = new QLabel(bar);
        m_labels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_labels[i]->setFrameShape(QFrame::Panel);
        m_labels[i]->setFrameShadow(QFrame::Sunken);
        // A thin bevel leaves the 19-pixel bar room for a whole line of text.
        m_labels[i]->setLineWidth(1);
        m_labels[i]->setContentsMargins(0, 0, 0, 0);
    }
    bar->addPermanentWidget(m_labels[0]);
    bar->addPermanentWidget(m_labels[1], 1);
    bar->installEventFilter(this);
}

void StatusPanels::show(int panel, const QString &text)
{
    if (panel == 1)
        ++m_outcomes;
    m_texts[panel] = text;
    layOut();
}

void StatusPanels::layOut()
{
    const QFontMetrics fm(m_labels[0]->font());
    auto need = [&fm](const QString &text) { return text.isEmpty() ? 0 : fm.horizontalAdvance(text) + kPanelPadding; };
    const int spacing = m_bar->layout() ? m_bar->layout()->spacing() : 0;
    const int room = m_bar->contentsRect().width() - 2 * spacing - kPanelPadding;
    const int nameRoom = std::max(kLeastNameWidth, room - need(m_texts[1]));
    const int nameWidth = std::min(nameRoom, need(m_texts[0]));
    for (int i = 0; i < 2; ++i) {
        const int width = i == 0 ? nameWidth : room - nameWidth;
        const int textRoom = std::max(0, width - kPanelPadding);
        const QString &text = m_texts[i];
        const QString shown =
            fm.horizontalAdvance(text) <= textRoom ? text : fm.elidedText(text, Qt::ElideRight, textRoom);
        m_labels[i]->setText(shown);
        m_labels[i]->setToolTip(shown == m_texts[i] ? QString() : m_texts[i]);
    }
    m_labels[0]->setFixedWidth(nameWidth);
}

bool StatusPanels::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        layOut();
    return QObject::eventFilter(watched, event);
}

void StatusPanels::watchCommandsOf(QWidget *window)
{
    // Connected after the commands' own handlers, so this runs as each ends.
    for (QMenu *menu : window->findChildren<QMenu *>())
        for (QAction *action : menu->actions())
            if (!action->menu() && !action->isSeparator())
                connect(action, &QAction::triggered, this, &StatusPanels::commandEnded, Qt::UniqueConnection);
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        const bool command = qobject_cast<QToolButton *>(button) || qobject_cast<QPushButton *>(button);
        if (command && !button->isCheckable() && !button->objectName().isEmpty() &&
            !button->objectName().startsWith(QLatin1String("qt_")))
            connect(button, &QAbstractButton::clicked, this, &StatusPanels::commandEnded, Qt::UniqueConnection);
    }
}

void StatusPanels::commandEnded()
{
    // An outcome left by an earlier command no longer tells what just happened.
    if (m_outcomes == m_outcomesAtEnd && !m_texts[1].isEmpty())
        show(1, QString());
    m_outcomesAtEnd = m_outcomes;
}

} // namespace vel
