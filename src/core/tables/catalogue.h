#pragma once

#include <array>
#include <cstddef>

// The life anamnesis catalogue: 18 sections, 211 check boxes and 15 radio
// groups. Section pages, the card reset, the health summary and the
// anamnesis side file are all built from these two tables.

namespace vel {

enum class CatalogueKind { Check, Radio };

struct CatalogueControl {
    const char *name; // object name of the widget, e.g. "CheckBox26", "HeartGroup"
    CatalogueKind kind;
    int section;                           // 1..18, in page order
    int column;                            // 0 = left column of the section page, 1 = right column
    const char *frame;                     // Check: caption of the frame holding it, or nullptr when it
                                           // stands alone. Radio: the group's caption.
    const char *caption;                   // Check: the box caption exactly (leading blanks kept).
                                           // Radio: nullptr.
    std::array<const char *, 4> items;     // Radio: item captions, unused slots nullptr
    std::array<const char *, 4> summaries; // Check: summaries[0] is its summary line.
                                           // Radio: the summary line of each item.
    int storageLine;                       // line of the .dat.vit file, 1..225; 0 for KonBox (not stored)
    int summaryRank;                       // position in the health summary, 0..225 over the whole catalogue

    int itemCount() const
    {
        int n = 0;
        while (n < 4 && items[static_cast<std::size_t>(n)])
            ++n;
        return n;
    }
};

struct CatalogueSection {
    int number;                // 1..18
    const char *caption;       // tab caption of the section page
    const char *buttonCaption; // caption of the section button on "Анамнез жизни"
    const char *page;          // object name of the section page, e.g. "TabSheet1"
    const char *button;        // object name of the section button, e.g. "SpeedButton1"
    const char *okButton;      // object name of the OK button, e.g. "OkButton"
};

// Rows in screen order: section by section, within a section the left column
// top to bottom and then the right column; within a frame top to bottom.
extern const std::array<CatalogueControl, 226> kCatalogue;
extern const std::array<CatalogueSection, 18> kCatalogueSections;

// Number of lines of the anamnesis side file.
inline constexpr int kVitaeLines = 225;

} // namespace vel
