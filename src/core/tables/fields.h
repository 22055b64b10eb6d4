#pragma once

#include <array>

// The 88 fields of the main card file, in file order. Saving and opening
// both walk this one list, so line N always belongs to the same control.

namespace vel {

enum class FieldKind { Text, DateText, Index, Flag, Notes };

// What the card reset puts into a field. Empty clears it: no text, a blank
// date, no item chosen (-1), not ticked.
enum class FieldReset { Empty, FirstItem, Today, NotesDefault, TemplateChoice };

struct FieldDef {
    const char *control;
    FieldKind kind;
    const char *label = nullptr;           // how messages name the field; nullptr: its control name
    FieldReset reset = FieldReset::Empty;
    bool resetBeforeTemplates = false;     // cleared before the reset reads the template list
};

inline constexpr int kCardFieldCount = 88;
extern const std::array<FieldDef, kCardFieldCount> kCardFields;

const FieldDef *findField(const char *control);
// The label of a field for messages, or the control name when it has none.
const char *fieldLabel(const char *control);

// The text the notes field holds on a new card.
inline constexpr char kNotesDefault[] = "Примечания врача";

// The blank mask an empty date field shows and stores.
inline constexpr char kBlankDate[] = "  .  .    ";

} // namespace vel
