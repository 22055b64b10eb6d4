#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

namespace vel {

// An editable drop-down list whose typed text, when it is no item, leaves
// nothing selected, as a stored index expects.
QComboBox *makeDropDown(const QString &name, QWidget *parent);

// A list opened while nothing is chosen marks no item either, so that one
// Down marks the first (Qt would mark the first as the list takes the focus).
void keepNoChoiceInList(QComboBox *box);

// Nothing chosen, with a prompt in the edit line ("Выбрать").
void showChoicePrompt(QComboBox *box, const QString &prompt);
// New items, nothing chosen, the prompt shown; no signal either way.
void fillChoice(QComboBox *box, const QStringList &titles, const QString &prompt);

} // namespace vel
