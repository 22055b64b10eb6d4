#pragma once

#include "card/cardstate.h"
#include "pages/pagefields.h"

#include <QWidget>

namespace vel {

// A page of the questionnaire: it builds itself, shows its part of a card,
// gives it back for a save and returns it to a new card's values, the way a
// settings dialog's pages each load and save their own options.
class CardPage : public QWidget {
public:
    using QWidget::QWidget;

    virtual void load(const CardState &card) = 0;
    virtual void store(CardState &card) const = 0;
    virtual void reset(PageFields::Stage stage, const QString &today) = 0;
};

} // namespace vel
