#pragma once

#include "card/cardstate.h"

#include <QString>

#include <vector>

class QWidget;

namespace vel {

// The stored fields and anamnesis items whose controls stand on one page,
// found by their object names in the field and catalogue tables: a control
// added to a table is loaded, stored and reset by its page with no more code.
class PageFields final {
public:
    explicit PageFields(QWidget *page);

    void load(const CardState &card) const;
    void store(CardState &card) const;

    // The card reset runs in two stages around the reading of the template
    // list; each field says in which it is cleared.
    enum class Stage { BeforeTemplates, AfterTemplates };
    void reset(Stage stage, const QString &today) const;

private:
    struct Bound {
        const FieldDef *field;
        QWidget *control;
    };
    struct BoundItem {
        std::size_t row; // in kCatalogue
        QWidget *control;
    };
    std::vector<Bound> m_fields;
    std::vector<BoundItem> m_items;
};

} // namespace vel
