#include "widgets/dropdown.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace vel {

namespace {

class NoChoiceKeeper final : public QObject {
public:
    explicit NoChoiceKeeper(QComboBox *box) : QObject(box), m_box(box) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A current index the list was given, even none, stops it taking the first item on focus.
        if (event->type() == QEvent::FocusIn && m_box->currentIndex() < 0)
            m_box->view()->setCurrentIndex(QModelIndex());
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox *m_box;
};

} // namespace

void keepNoChoiceInList(QComboBox *box)
{
    box->view()->installEventFilter(new NoChoiceKeeper(box));
}

QComboBox *makeDropDown(const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    keepNoChoiceInList(box);
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
