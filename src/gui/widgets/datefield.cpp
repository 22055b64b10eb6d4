#include "widgets/datefield.h"

#include <QCalendarWidget>
#include <QDate>
#include <QFocusEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QWidgetAction>

namespace vel {

namespace {
const QString kDateMask = QStringLiteral("99.99.9999; ");
}

DateField::DateField(const QString &objectName, QWidget *parent) : QLineEdit(parent), m_button(new QToolButton(this))
{
    setObjectName(objectName);
    setInputMask(kDateMask);
    setToolTip(QStringLiteral("Введите вручную или выберите в календаре"));
    m_button->setObjectName(objectName + QStringLiteral("Calendar"));
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setAutoRaise(true);
    setTextMargins(0, 0, 16, 0);
    connect(m_button, &QToolButton::clicked, this, &DateField::dropCalendar);
    // A free-form date cleared by hand gets its mask back.
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (inputMask().isEmpty() && text.isEmpty())
            setInputMask(kDateMask);
    });
}

QString DateField::shownText() const
{
    return displayText();
}

void DateField::setShownText(const QString &text)
{
    // A stored date of another shape (the today text has a one-digit day) is
    // kept exactly as it stands, so that saving it again changes nothing.
    static const QRegularExpression masked(QStringLiteral("^[0-9 ]{2}\\.[0-9 ]{2}\\.[0-9 ]{4}$"));
    const bool fits = text.isEmpty() || masked.match(text).hasMatch();
    setInputMask(fits ? kDateMask : QString());
    setText(text);
    setCursorPosition(0);
}

void DateField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Only a move to another control counts, not a dialog or menu taking over.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit left();
}

void DateField::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    m_button->setGeometry(width() - 17, 1, 16, height() - 2);
}

void DateField::dropCalendar()
{
    QMenu popup(this);
    auto *calendar = new QCalendarWidget(&popup);
    calendar->setGridVisible(true);
    calendar->setFirstDayOfWeek(Qt::Monday);
    const QDate shown = QDate::fromString(displayText(), QStringLiteral("dd.MM.yyyy"));
    if (shown.isValid())
        calendar->setSelectedDate(shown);
    auto *action = new QWidgetAction(&popup);
    action->setDefaultWidget(calendar);
    popup.addAction(action);
    connect(calendar, &QCalendarWidget::clicked, &popup, [this, &popup](QDate date) {
        setShownText(date.toString(QStringLiteral("dd.MM.yyyy")));
        popup.close();
    });
    popup.exec(mapToGlobal(QPoint(0, height())));
    setFocus(Qt::OtherFocusReason);
}

} // namespace vel
