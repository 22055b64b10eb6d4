#include "tables/fields.h"

namespace vel {

// clang-format off

using K = FieldKind;

// File order, which is not the page order of the screen.
const std::array<FieldDef, kCardFieldCount> kCardFields = {{
    {"FioEdit", K::Text},      {"BirEdit", K::DateText},  {"TypeBox", K::Index},
    {"AdrEdit", K::Text},      {"PhonEdit", K::Text},     {"SexGroup", K::Index},
    {"JobEdit", K::Text},      {"RostEdit", K::Text},     {"VesEdit", K::Text},
    {"TalEdit", K::Text},      {"BedrEdit", K::Text},     {"DateEdit", K::DateText},
    {"ShabBox", K::Index},
    // weight history
    {"W1Group", K::Index},     {"W2Group", K::Index},     {"W3Group", K::Index},
    {"W4Group", K::Index},     {"W6Group", K::Index},
    {"W5Box1", K::Flag},       {"W5Box2", K::Flag},       {"W5Box3", K::Flag},
    {"W5Box4", K::Flag},       {"W5Box5", K::Flag},       {"W5Box6", K::Flag},
    {"W5Box7", K::Flag},       {"W5Box8", K::Flag},       {"W5Box9", K::Flag},
    {"W5Box10", K::Flag},      {"W5Box11", K::Flag},      {"W5Box12", K::Flag},
    {"W5Box13", K::Flag},      {"W5Box14", K::Flag},
    // earlier corrections
    {"DietGroup", K::Index},   {"FizGroup", K::Index},    {"CodGroup", K::Index},
    {"RefGroup", K::Index},    {"BadGroup", K::Index},    {"MedGroup", K::Index},
    {"GemoGroup", K::Index},   {"HirGroup", K::Index},    {"GolodGroup", K::Index},
    {"RazdGroup", K::Index},
    // foods and goals
    {"CheckBox1", K::Flag},    {"CheckBox2", K::Flag},    {"CheckBox3", K::Flag},
    {"CheckBox4", K::Flag},    {"CheckBox5", K::Flag},    {"CheckBox6", K::Flag},
    {"CheckBox7", K::Flag},    {"CheckBox8", K::Flag},    {"CheckBox9", K::Flag},
    {"CheckBox10", K::Flag},   {"CheckBox11", K::Flag},   {"CheckBox12", K::Flag},
    {"CheckBox13", K::Flag},   {"CheckBox14", K::Flag},   {"CheckBox15", K::Flag},
    {"ZapEdit", K::Text},      {"ColEdit", K::Text},      {"TastEdit", K::Text},
    {"CheckBox16", K::Flag},   {"CheckBox17", K::Flag},   {"CheckBox18", K::Flag},
    {"AppetGroup", K::Index},  {"ZavtGroup", K::Index},   {"ObedGroup", K::Index},
    {"UjinGroup", K::Index},   {"GolGroup", K::Index},
    // back to the patient data page
    {"JirEdit", K::Text},      {"LetEdit", K::Text},
    // physical activity
    {"W7Box1", K::Flag},       {"W7Box2", K::Flag},       {"W7Box3", K::Flag},
    {"W7Box4", K::Flag},       {"GymEdit", K::Text},      {"WalkEdit", K::Text},
    {"TelEdit", K::Text},      {"DinEdit", K::Text},
    // goals
    {"CheckBox19", K::Flag},   {"CheckBox20", K::Flag},   {"CheckBox21", K::Flag},
    {"CheckBox22", K::Flag},   {"CheckBox23", K::Flag},   {"CheckBox24", K::Flag},
    {"CheckBox25", K::Flag},
    {"CheckBox149", K::Flag},  {"CheckBox150", K::Flag},
    {"PrimMemo", K::Notes},
}};

// clang-format on

} // namespace vel
