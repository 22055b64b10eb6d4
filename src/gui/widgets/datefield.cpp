#include "widgets/datefield.h"

#include <QCalendarWidget>
#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>
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
    // An edit that arrives some other way than a key (pasting, dropping)
    // while the text stands unmasked: the digits typed so far go into the mask.
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!inputMask().isEmpty())
            return;
        QString digits;
        for (QChar c : text)
            if (c.isDigit() && c.unicode() < 128)
                digits += c;
        setInputMask(kDateMask);
        setText(digits);
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

void DateField::keyPressEvent(QKeyEvent *event)
{
    // The unmasked text (the today text with its one-digit day) is shown as
    // it is until the doctor edits it; the first edit happens under the mask.
    if (inputMask().isEmpty() && !isReadOnly()) {
        const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint();
        if (typed || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
            event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut))
            takeMask();
    }
    QLineEdit::keyPressEvent(event);
}

void DateField::takeMask()
{
    const QString old = text();
    const bool allSelected = hasSelectedText() && selectedText() == old;
    const int cursor = cursorPosition();
    // "8.12.2026" becomes "08.12.2026"; anything else keeps only what fits the mask.
    const QDate date = QDate::fromString(old, QStringLiteral("d.M.yyyy"));
    const QString masked = date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : old;
    const int shift = int(masked.size()) - int(old.size());
    setInputMask(kDateMask);
    setText(masked);
    if (allSelected)
        selectAll();
    else
        setCursorPosition(cursor > 0 ? cursor + shift : 0);
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
