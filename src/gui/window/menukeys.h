#pragma once

#include <QObject>

class QMenu;
class QMenuBar;

namespace vel {

// Reaches the menus from the keyboard while their captions stay as written
// (no "&" markers): Alt alone opens the first menu, Alt and a menu title's
// first letter opens that menu, and inside an open menu a letter chooses the
// item that begins with it (several such items: the next one is marked).
// Letters count on either keyboard layout: Alt+К and Alt+R are one key.
class MenuKeys final : public QObject {
    Q_OBJECT
public:
    MenuKeys(QWidget *window, QMenuBar *bar);

    // The Cyrillic or Latin letter on the same key of a Russian keyboard.
    static QChar sameKey(QChar letter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool openMenuFor(int key);
    bool chooseInMenu(QMenu *menu, QChar typed);

    QWidget *m_window;
    QMenuBar *m_bar;
    bool m_altAlone = false;
};

} // namespace vel
