#pragma once

#include <QLabel>

#include <functional>

class QStatusBar;

namespace vel {

class CardListModel;

// The status bar's reminder of the patients whose next visit has passed:
// "Просрочен контроль: 7 пациентов". The folder is read once, shortly after
// start-up; later saves and deletes keep the count. A click opens the card
// list with only those patients, the longest waiting first.
class RecallNotice final : public QLabel {
    Q_OBJECT
public:
    RecallNotice(QStatusBar *bar, CardListModel *cards, const std::function<void(const QString &)> &open);

    // Reads the folder now rather than after the start-up pause.
    void countNow();

private:
    void recount();

    CardListModel *m_cards;
    std::function<void(const QString &)> m_open;
    bool m_counted = false; // the folder has been read once
};

} // namespace vel
