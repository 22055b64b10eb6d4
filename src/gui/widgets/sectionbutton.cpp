#include "widgets/sectionbutton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vel {

namespace {
constexpr int kPadding = 10;
const QColor kBadgeColour(60, 120, 60);
} // namespace

SectionButton::SectionButton(const QString &objectName, const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setObjectName(objectName);
    setAutoDefault(false);
}

void SectionButton::setTickCount(int ticks)
{
    if (ticks == m_ticks)
        return;
    m_ticks = ticks;
    update();
}

QRect SectionButton::badgeRect() const
{
    if (m_ticks <= 0)
        return {};
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const int h = fm.height() + 2;
    const int w = std::max(h, fm.horizontalAdvance(QString::number(m_ticks)) + 10);
    return {width() - kPadding - w, (height() - h) / 2, w, h};
}

QSize SectionButton::sizeHint() const
{
    // Room for the caption and a two-digit badge beside it.
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(text()) + 3 * kPadding + fm.height() * 2, fm.height() + 14};
}

void SectionButton::keyPressEvent(QKeyEvent *event)
{
    // Enter opens the section as Space does, the way the keyboard leaves it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void SectionButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect badge = badgeRect();
    QRect textRect = rect().adjusted(kPadding, 0, -kPadding, 0);
    if (!badge.isEmpty())
        textRect.setRight(badge.left() - kPadding);
    if (isDown())
        textRect.translate(1, 1);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (badge.isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBadgeColour);
    painter.drawRoundedRect(badge, badge.height() / 2.0, badge.height() / 2.0);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, QString::number(m_ticks));
}

} // namespace vel
