#pragma once

#include <array>

// The 88 fields of the main card file, in file order. Saving and opening
// both walk this one list, so line N always belongs to the same control.

namespace vel {

enum class FieldKind { Text, DateText, Index, Flag, Notes };

struct FieldDef {
    const char *control;
    FieldKind kind;
};

inline constexpr int kCardFieldCount = 88;
extern const std::array<FieldDef, kCardFieldCount> kCardFields;

// The blank mask an empty date field shows and stores.
inline constexpr char kBlankDate[] = "  .  .    ";

} // namespace vel
