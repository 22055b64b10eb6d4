#pragma once

#include "card/cardstate.h"

#include <QHash>
#include <QString>

class QWidget;

namespace vel {

// Moves the stored fields and the life anamnesis between a card and the
// window's controls. Everything is driven by the field and catalogue
// tables, so a control added there is saved, opened and reset here too.
// The tables, memos and template choice stay with the window.
class CardBinding final {
public:
    explicit CardBinding(const QHash<QString, QWidget *> &controls) : m_controls(controls) {}

    void read(CardState &card) const;
    void apply(const CardState &card) const;

    // Puts the reset value into every field of one stage; the template choice
    // is left to the window, which reads the template list in between.
    enum class Stage { BeforeTemplates, AfterTemplates };
    void reset(Stage stage, const QString &today) const;

private:
    const QHash<QString, QWidget *> &m_controls;
};

} // namespace vel
