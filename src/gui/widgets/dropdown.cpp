#include "widgets/dropdown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace vel {

QComboBox *makeDropDown(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [box](const QString &text) {
        const int match = box->findText(text, Qt::MatchExactly);
        if (match != box->currentIndex()) {
            const int cursor = box->lineEdit()->cursorPosition();
            QSignalBlocker block(box);
            box->setCurrentIndex(match);
            box->lineEdit()->setText(text);
            box->lineEdit()->setCursorPosition(cursor);
        }
    });
    return box;
}

void showChoicePrompt(QComboBox *box, const QString &prompt)
{
    QSignalBlocker block(box);
    box->setCurrentIndex(-1);
    box->setEditText(prompt);
}

void fillChoice(QComboBox *box, const QStringList &titles, const QString &prompt)
{
    QSignalBlocker block(box);
    box->clear();
    box->addItems(titles);
    showChoicePrompt(box, prompt);
}

} // namespace vel
