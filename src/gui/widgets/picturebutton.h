#pragma once

#include <QIcon>
#include <QString>

class QToolButton;
class QWidget;

namespace vel {

// The small flat picture buttons of the pages (save, add, print, OK), and the
// program's icons by their number.
QToolButton *makePictureButton(const QString &objectName, int icon, const QString &hint, QWidget *parent);
QIcon velIcon(int index);
// Keeps the button in the lower right corner of its page whatever size the
// page is given by its view.
void keepInCorner(QWidget *page, QToolButton *button);

} // namespace vel
