#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vel {

class CardFilterProxy;
class CardListModel;

// The card list: a search field over every card of the data folder. The
// doctor types, moves the choice with Up and Down and opens with Enter.
class FindDialog final : public QDialog {
    Q_OBJECT
public:
    FindDialog(CardListModel *cards, QWidget *parent = nullptr);

    QString chosenPath() const;

    // Shows the list over the window, the overdue patients only when asked;
    // a chosen card goes to "open" once the list has closed.
    static FindDialog *showList(CardListModel *cards, QWidget *window, const std::function<void(const QString &)> &open,
                                bool overdueOnly = false);
    // The list shows only patients whose next visit has passed, most overdue first.
    void setOverdueOnly(bool only);

signals:
    // The dialog has closed; the window opens this card.
    void cardChosen(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void searchChanged(const QString &typed);
    void chooseFirst();
    void rowsChanged();
    void openChosen();
    void showCount();

    CardListModel *m_cards;
    CardFilterProxy *m_proxy;
    QLineEdit *FindEdit;
    QCheckBox *OverdueBox;
    QTableView *FindList;
    QLabel *m_count;
    QPushButton *m_open;
    bool m_filtering = false;
    bool m_followFirst = true; // until the doctor moves the choice, the first match is chosen
};

} // namespace vel
