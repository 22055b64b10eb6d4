#include "tables/fields.h"

#include <cstring>

namespace vel {

// clang-format off

using K = FieldKind;
using R = FieldReset;

// File order, which is not the page order of the screen. Each row also says
// how messages name the field and what the card reset puts into it.
const std::array<FieldDef, kCardFieldCount> kCardFields = {{
    {"FioEdit", K::Text, "Ф.И.О.", R::Empty, true},
    {"BirEdit", K::DateText, "Дата рождения", R::Empty, true},
    {"TypeBox", K::Index, nullptr, R::FirstItem, true},
    {"AdrEdit", K::Text, "Адрес", R::Empty, true},
    {"PhonEdit", K::Text, "Телефон", R::Empty, true},
    {"SexGroup", K::Index},
    {"JobEdit", K::Text, "Место работы"},
    {"RostEdit", K::Text, "Рост"},
    {"VesEdit", K::Text, "Вес"},
    {"TalEdit", K::Text, "Объем талии"},
    {"BedrEdit", K::Text, "Объем бедер"},
    {"DateEdit", K::DateText, "Дата приема", R::Today},
    {"ShabBox", K::Index, nullptr, R::TemplateChoice},
    // weight history
    {"W1Group", K::Index},
    {"W2Group", K::Index},
    {"W3Group", K::Index},
    {"W4Group", K::Index},
    {"W6Group", K::Index},
    {"W5Box1", K::Flag},
    {"W5Box2", K::Flag},
    {"W5Box3", K::Flag},
    {"W5Box4", K::Flag},
    {"W5Box5", K::Flag},
    {"W5Box6", K::Flag},
    {"W5Box7", K::Flag},
    {"W5Box8", K::Flag},
    {"W5Box9", K::Flag},
    {"W5Box10", K::Flag},
    {"W5Box11", K::Flag},
    {"W5Box12", K::Flag},
    {"W5Box13", K::Flag},
    {"W5Box14", K::Flag},
    // earlier corrections
    {"DietGroup", K::Index},
    {"FizGroup", K::Index},
    {"CodGroup", K::Index},
    {"RefGroup", K::Index},
    {"BadGroup", K::Index},
    {"MedGroup", K::Index},
    {"GemoGroup", K::Index},
    {"HirGroup", K::Index},
    {"GolodGroup", K::Index},
    {"RazdGroup", K::Index},
    // foods and goals
    {"CheckBox1", K::Flag},
    {"CheckBox2", K::Flag},
    {"CheckBox3", K::Flag},
    {"CheckBox4", K::Flag},
    {"CheckBox5", K::Flag},
    {"CheckBox6", K::Flag},
    {"CheckBox7", K::Flag},
    {"CheckBox8", K::Flag},
    {"CheckBox9", K::Flag},
    {"CheckBox10", K::Flag},
    {"CheckBox11", K::Flag},
    {"CheckBox12", K::Flag},
    {"CheckBox13", K::Flag},
    {"CheckBox14", K::Flag},
    {"CheckBox15", K::Flag},
    {"ZapEdit", K::Text, "Какой запах продуктов больше нравится"},
    {"ColEdit", K::Text, "Какой цвет продуктов больше нравится"},
    {"TastEdit", K::Text, "Какой вкус продуктов больше нравится"},
    {"CheckBox16", K::Flag},
    {"CheckBox17", K::Flag},
    {"CheckBox18", K::Flag},
    {"AppetGroup", K::Index},
    {"ZavtGroup", K::Index},
    {"ObedGroup", K::Index},
    {"UjinGroup", K::Index},
    {"GolGroup", K::Index},
    // back to the patient data page
    {"JirEdit", K::Text, "Толщина жировой складки"},
    {"LetEdit", K::Text, "Сколько лет имеете избыточный вес"},
    // physical activity
    {"W7Box1", K::Flag},
    {"W7Box2", K::Flag},
    {"W7Box3", K::Flag},
    {"W7Box4", K::Flag},
    {"GymEdit", K::Text, "Когда делали последний раз гимнастику?"},
    {"WalkEdit", K::Text, "Расстояние, ежедневно преодолеваемое пешком?"},
    {"TelEdit", K::Text, "Сколько времени проводите возле телевизора?"},
    {"DinEdit", K::Text, "Что Вы делаете в обеденный перерыв?"},
    // goals
    {"CheckBox19", K::Flag},
    {"CheckBox20", K::Flag},
    {"CheckBox21", K::Flag},
    {"CheckBox22", K::Flag},
    {"CheckBox23", K::Flag},
    {"CheckBox24", K::Flag},
    {"CheckBox25", K::Flag},
    {"CheckBox149", K::Flag},
    {"CheckBox150", K::Flag},
    {"PrimMemo", K::Notes, "Примечания врача", R::NotesDefault, true},
}};

// clang-format on

const FieldDef *findField(const char *control)
{
    for (const FieldDef &f : kCardFields)
        if (std::strcmp(f.control, control) == 0)
            return &f;
    return nullptr;
}

const char *fieldLabel(const char *control)
{
    const FieldDef *f = findField(control);
    return f && f->label ? f->label : control;
}

} // namespace vel
