#pragma once

#include <QDialog>

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
    QTableView *FindList;
    QLabel *m_count;
    QPushButton *m_open;
    bool m_filtering = false;
    bool m_followFirst = true; // until the doctor moves the choice, the first match is chosen
};

} // namespace vel
