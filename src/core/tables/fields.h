#pragma once

#include <array>
#include <cstddef>

// The 88 fields of the main card file, in file order. Saving and opening
// both walk this one list, so line N always belongs to the same control.

namespace vel {

enum class FieldKind { Text, DateText, Index, Flag, Notes };

// The stored fields by name, in file order: a field's value is its row in
// kCardFields, so Field::Height is line 8 of the main card file.
// clang-format off
enum class Field : int {
    Name, BirthDate, BodyType, Address, Phone, Sex, Job, Height, Weight, Waist, Hips, VisitDate, Template,
    BirthWeight, GainBefore5, GainPuberty, GainByAge, Heredity, W5Box1, W5Box2, W5Box3, W5Box4, W5Box5, W5Box6,
    W5Box7, W5Box8, W5Box9, W5Box10, W5Box11, W5Box12, W5Box13, W5Box14, Diet, Exercise, Coding, Reflexology,
    Supplements, Medicines, Haemocode, Surgery, Fasting, SeparateMeals, CheckBox1, CheckBox2, CheckBox3, CheckBox4,
    CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9, CheckBox10, CheckBox11, CheckBox12, CheckBox13,
    CheckBox14, CheckBox15, FoodSmell, FoodColour, FoodTaste, CheckBox16, CheckBox17, CheckBox18, Appetite,
    Breakfast, Lunch, Supper, HungryToBed, FatFold, YearsOverweight, W7Box1, W7Box2, W7Box3, W7Box4, LastExercise,
    DailyWalk, TvTime, LunchBreak, CheckBox19, CheckBox20, CheckBox21, CheckBox22, CheckBox23, CheckBox24,
    CheckBox25, CheckBox149, CheckBox150, Notes,
};
// clang-format on

// What the card reset puts into a field. Empty clears it: no text, a blank
// date, no item chosen (-1), not ticked.
enum class FieldReset { Empty, FirstItem, Today, TemplateChoice };

struct FieldDef {
    Field field;
    const char *control;                   // the object name of the control that shows it
    FieldKind kind;
    const char *label = nullptr;           // how messages name the field; nullptr: its control name
    FieldReset reset = FieldReset::Empty;
    bool resetBeforeTemplates = false;     // cleared before the reset reads the template list
};

inline constexpr int kCardFieldCount = 88;
extern const std::array<FieldDef, kCardFieldCount> kCardFields;

inline const FieldDef &fieldDef(Field f)
{
    return kCardFields[static_cast<std::size_t>(f)];
}
inline const char *controlName(Field f)
{
    return fieldDef(f).control;
}
// The field a control shows, by its object name.
const FieldDef *findField(const char *control);
// The label of a field for messages, or the control name when it has none.
const char *fieldLabel(Field f);

// What the empty notes field shows in grey: a hint, never the note itself.
inline constexpr char kNotesPlaceholder[] = "Примечания врача";

// The blank mask an empty date field shows and stores.
inline constexpr char kBlankDate[] = "  .  .    ";

} // namespace vel
