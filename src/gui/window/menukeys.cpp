#include "window/menukeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

namespace vel {

namespace {
// The Russian keyboard's letters and the Latin letters on the same keys.
const QString kCyrillicKeys = QStringLiteral("ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ");
const QString kLatinKeys = QStringLiteral("QWERTYUIOP[]ASDFGHJKL;'ZXCVBNM,.");

bool sameLetter(QChar a, QChar b)
{
    a = a.toUpper();
    b = b.toUpper();
    return a == b || MenuKeys::sameKey(a) == b;
}

QChar keyLetter(int key)
{
    return key > 0 && key < 0x10000 ? QChar(key).toUpper() : QChar();
}
} // namespace

MenuKeys::MenuKeys(QWidget *window, QMenuBar *bar) : QObject(window), m_window(window), m_bar(bar)
{
    qApp->installEventFilter(this);
}

QChar MenuKeys::sameKey(QChar letter)
{
    letter = letter.toUpper();
    if (const auto i = kCyrillicKeys.indexOf(letter); i >= 0)
        return kLatinKeys.at(i);
    if (const auto i = kLatinKeys.indexOf(letter); i >= 0)
        return kCyrillicKeys.at(i);
    return letter;
}

bool MenuKeys::openMenuFor(int key)
{
    const QChar letter = keyLetter(key);
    if (letter.isNull())
        return false;
    for (QAction *action : m_bar->actions()) {
        const QString title = action->text().trimmed();
        if (!title.isEmpty() && action->isEnabled() && sameLetter(title.at(0), letter)) {
            m_bar->setActiveAction(action);
            return true;
        }
    }
    return false;
}

bool MenuKeys::chooseInMenu(QMenu *menu, QChar typed)
{
    if (!typed.isLetter())
        return false;
    QList<QAction *> matches;
    for (QAction *action : menu->actions()) {
        const QString caption = action->text().trimmed();
        if (!action->isSeparator() && action->isVisible() && action->isEnabled() && !caption.isEmpty() &&
            sameLetter(caption.at(0), typed))
            matches << action;
    }
    if (matches.isEmpty())
        return false;
    if (matches.size() > 1) {
        const auto at = matches.indexOf(menu->activeAction());
        menu->setActiveAction(matches.at((at + 1) % matches.size()));
        return true;
    }
    // A submenu is marked (Right opens it); a command closes the menus first,
    // as a click does, and then runs.
    QAction *chosen = matches.constFirst();
    if (chosen->menu()) {
        menu->setActiveAction(chosen);
        return true;
    }
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    QMetaObject::invokeMethod(chosen, &QAction::trigger, Qt::QueuedConnection);
    return true;
}

bool MenuKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        if (type == QEvent::MouseButtonPress || type == QEvent::FocusOut)
            m_altAlone = false;
        return false;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    if (auto *menu = qobject_cast<QMenu *>(watched)) {
        // Only the window's own menus and their submenus; the standard edit
        // menus bring their own mnemonics.
        QWidget *owner = menu->parentWidget();
        while (qobject_cast<QMenu *>(owner))
            owner = owner->parentWidget();
        if (owner != m_bar && owner != m_window)
            return false;
        if (type == QEvent::KeyPress && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return chooseInMenu(menu, key->text().size() == 1 ? key->text().at(0) : keyLetter(key->key()));
        return false;
    }
    // Only the main window's own keys, never those of a dialog above it.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return false;
    if (type == QEvent::KeyPress) {
        // Platforms differ in whether Alt's own press carries the Alt modifier.
        const bool altOnly = key->key() == Qt::Key_Alt && (key->modifiers() & ~Qt::AltModifier) == 0;
        if (key->isAutoRepeat())
            return false;
        m_altAlone = altOnly;
        // Alt and a title's letter; or the letter alone once Alt has marked the menu bar.
        const bool onBar = watched == m_bar && key->modifiers() == Qt::NoModifier;
        if ((key->modifiers() == Qt::AltModifier || onBar) && !altOnly && openMenuFor(key->key()))
            return true;
        return false;
    }
    // A style that opens the menus with Alt by itself is left to do so.
    if (key->key() == Qt::Key_Alt && m_altAlone && !key->isAutoRepeat() &&
        !m_bar->style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation, nullptr, m_bar)) {
        m_altAlone = false;
        if (!m_bar->actions().isEmpty()) {
            m_bar->setActiveAction(m_bar->actions().constFirst());
            return true;
        }
    }
    return false;
}

} // namespace vel
