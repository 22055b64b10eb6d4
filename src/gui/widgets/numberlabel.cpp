#include "widgets/numberlabel.h"

#include <QEvent>

namespace vel {

NumberLabel::NumberLabel(const QString &objectName, QWidget *parent) : QLabel(parent)
{
    setObjectName(objectName);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextFormat(Qt::PlainText);
}

void NumberLabel::setFullText(const QString &text)
{
    if (text == m_full && !text.isEmpty())
        return;
    m_full = text;
    elide();
}

QSize NumberLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_full), fontMetrics().height() + 1};
}

QSize NumberLabel::minimumSizeHint() const
{
    return {0, fontMetrics().height() + 1};
}

void NumberLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void NumberLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        elide();
}

void NumberLabel::elide()
{
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideRight, std::max(0, contentsRect().width()));
    setText(shown);
    setToolTip(shown == m_full ? QString() : m_full);
}

} // namespace vel
