#include "widgets/picturebutton.h"

#include <QEvent>
#include <QToolButton>

namespace vel {

namespace {
// A flat button shows no focus mark of its own in every style: while the
// keyboard stands on it, it is drawn raised.
class RaiseOnFocus final : public QObject {
public:
    explicit RaiseOnFocus(QToolButton *button) : QObject(button) { button->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            static_cast<QToolButton *>(watched)->setAutoRaise(event->type() == QEvent::FocusOut);
        return false;
    }
};
} // namespace

QIcon velIcon(int index)
{
    return QIcon(QStringLiteral(":/icons/icon%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

QToolButton *makePictureButton(const QString &objectName, int icon, const QString &hint, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(velIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(25, 25);
    new RaiseOnFocus(button);
    return button;
}

namespace {
class CornerKeeper final : public QObject {
public:
    CornerKeeper(QWidget *page, QToolButton *button) : QObject(page), m_button(button)
    {
        page->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            auto *page = static_cast<QWidget *>(watched);
            m_button->move(page->width() - m_button->width() - 3, page->height() - m_button->height() - 3);
            m_button->raise();
        }
        return false;
    }

private:
    QToolButton *m_button;
};
} // namespace

void keepInCorner(QWidget *page, QToolButton *button)
{
    new CornerKeeper(page, button);
}

} // namespace vel
