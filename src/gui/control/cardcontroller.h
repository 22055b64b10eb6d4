#pragma once

#include "card/cardfiles.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vel {

class CardListModel;
class Platform;
class UnsavedWork;

// What the card controller asks of the window that shows the card.
class CardView {
public:
    virtual ~CardView() = default;
    virtual CardState shownCard() const = 0;
    // Returns every page to a new card's values; false when it stopped at a
    // file error, which it has already reported.
    virtual bool showNewCard() = 0;
    virtual void showCard(const LoadedCard &card) = 0;
    virtual void showStatus(int panel, const QString &text) = 0;
    virtual void showFailure(const QString &message) = 0; // the application's box for failures
    virtual void showRefusal(const QString &message) = 0; // the "Error" box of refused input
    virtual void focusField(Field f) = 0;                 // the keyboard on the field a refusal names
};

// New, open, save and delete of the card on screen: which card it is, whether
// a card is shown at all, the unsaved-work copies and the recent cards. It has
// no widgets: the window shows what it says.
class CardController final : public QObject {
    Q_OBJECT
public:
    CardController(CardView *view, Platform *platform, QWidget *dialogOwner, const QString &dataDir,
                   CardListModel *cardList, QObject *parent = nullptr);
    ~CardController() override;

    // The window's title, which also says whether the card has unsaved
    // changes and whether it is a recovery copy; the caption of the questions.
    void setProgramTitle(const QString &title);
    bool hasCard() const { return m_hasCard; }
    // The card shown was opened from a recovery copy and not saved since.
    bool showsCopy() const { return m_showsCopy; }
    // The pages exist: every input control under views marks the card
    // modified when it changes it, and the recovery copies that hold work
    // never saved are offered once the window is idle.
    void pagesReady(QWidget *views);
    void offerRecovery();

    void newCard();
    void chooseAndOpen();
    // Opens the card whose main file this is: all six files or nothing.
    // Unsaved changes of the card shown are asked about first.
    bool openCard(const QString &path);
    void openRecent(const QString &path);
    bool save();
    void chooseAndDelete();
    // The window is about to close: false when the doctor chose to stay.
    bool closing();

    QStringList recentCards() const;

signals:
    void stateChanged(); // a card is shown, or none; a copy is shown, or none
    void recentChanged();

private:
    // Asks whether to save the card shown when it has unsaved changes. Nothing
    // when the doctor cancelled or the save failed; otherwise the status text
    // that tells where the dropped changes were kept (or an empty one).
    std::optional<QString> letGo();
    bool confirmReplace(const QString &name);
    bool load(const QString &path, const QString &kept);
    void rememberCard(const QString &path);
    void forgetCard(const QString &path);
    bool resetShown();
    void setShowsCopy(bool copy);
    void updateTitle();

    CardView *m_view;
    Platform *m_platform;
    QWidget *m_owner;
    QString m_dataDir;
    CardListModel *m_cardList;
    UnsavedWork *m_unsaved;
    QString m_title;
    QString m_lastChosen; // the file dialog offers the last chosen card again
    bool m_hasCard = false;
    bool m_showsCopy = false;
    QString m_copyShown; // the main file of the copy shown
};

} // namespace vel
