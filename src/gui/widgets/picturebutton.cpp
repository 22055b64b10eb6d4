#include "widgets/picturebutton.h"

#include <QToolButton>

namespace vel {

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
    return button;
}

} // namespace vel
