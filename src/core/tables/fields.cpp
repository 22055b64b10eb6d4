#include "tables/fields.h"

#include <cstring>

namespace vel {

// clang-format off

using K = FieldKind;
using R = FieldReset;
using F = Field;

// File order, which is not the page order of the screen. Each row also says
// how messages name the field and what the card reset puts into it.
constexpr std::array<FieldDef, kCardFieldCount> kCardFields = {{
    {F::Name, "FioEdit", K::Text, "Ф.И.О.", R::Empty, true},
    {F::BirthDate, "BirEdit", K::DateText, "Дата рождения", R::Empty, true},
    {F::BodyType, "TypeBox", K::Index, nullptr, R::FirstItem, true},
    {F::Address, "AdrEdit", K::Text, "Адрес", R::Empty, true},
    {F::Phone, "PhonEdit", K::Text, "Телефон", R::Empty, true},
    {F::Sex, "SexGroup", K::Index},
    {F::Job, "JobEdit", K::Text, "Место работы"},
    {F::Height, "RostEdit", K::Text, "Рост"},
    {F::Weight, "VesEdit", K::Text, "Вес"},
    {F::Waist, "TalEdit", K::Text, "Объем талии"},
    {F::Hips, "BedrEdit", K::Text, "Объем бедер"},
    {F::VisitDate, "DateEdit", K::DateText, "Дата приема", R::Today},
    {F::Template, "ShabBox", K::Index, nullptr, R::TemplateChoice},
    // weight history
    {F::BirthWeight, "W1Group", K::Index},
    {F::GainBefore5, "W2Group", K::Index},
    {F::GainPuberty, "W3Group", K::Index},
    {F::GainByAge, "W4Group", K::Index},
    {F::Heredity, "W6Group", K::Index},
    {F::W5Box1, "W5Box1", K::Flag},
    {F::W5Box2, "W5Box2", K::Flag},
    {F::W5Box3, "W5Box3", K::Flag},
    {F::W5Box4, "W5Box4", K::Flag},
    {F::W5Box5, "W5Box5", K::Flag},
    {F::W5Box6, "W5Box6", K::Flag},
    {F::W5Box7, "W5Box7", K::Flag},
    {F::W5Box8, "W5Box8", K::Flag},
    {F::W5Box9, "W5Box9", K::Flag},
    {F::W5Box10, "W5Box10", K::Flag},
    {F::W5Box11, "W5Box11", K::Flag},
    {F::W5Box12, "W5Box12", K::Flag},
    {F::W5Box13, "W5Box13", K::Flag},
    {F::W5Box14, "W5Box14", K::Flag},
    // earlier corrections
    {F::Diet, "DietGroup", K::Index},
    {F::Exercise, "FizGroup", K::Index},
    {F::Coding, "CodGroup", K::Index},
    {F::Reflexology, "RefGroup", K::Index},
    {F::Supplements, "BadGroup", K::Index},
    {F::Medicines, "MedGroup", K::Index},
    {F::Haemocode, "GemoGroup", K::Index},
    {F::Surgery, "HirGroup", K::Index},
    {F::Fasting, "GolodGroup", K::Index},
    {F::SeparateMeals, "RazdGroup", K::Index},
    // foods and goals
    {F::CheckBox1, "CheckBox1", K::Flag},
    {F::CheckBox2, "CheckBox2", K::Flag},
    {F::CheckBox3, "CheckBox3", K::Flag},
    {F::CheckBox4, "CheckBox4", K::Flag},
    {F::CheckBox5, "CheckBox5", K::Flag},
    {F::CheckBox6, "CheckBox6", K::Flag},
    {F::CheckBox7, "CheckBox7", K::Flag},
    {F::CheckBox8, "CheckBox8", K::Flag},
    {F::CheckBox9, "CheckBox9", K::Flag},
    {F::CheckBox10, "CheckBox10", K::Flag},
    {F::CheckBox11, "CheckBox11", K::Flag},
    {F::CheckBox12, "CheckBox12", K::Flag},
    {F::CheckBox13, "CheckBox13", K::Flag},
    {F::CheckBox14, "CheckBox14", K::Flag},
    {F::CheckBox15, "CheckBox15", K::Flag},
    {F::FoodSmell, "ZapEdit", K::Text, "Какой запах продуктов больше нравится"},
    {F::FoodColour, "ColEdit", K::Text, "Какой цвет продуктов больше нравится"},
    {F::FoodTaste, "TastEdit", K::Text, "Какой вкус продуктов больше нравится"},
    {F::CheckBox16, "CheckBox16", K::Flag},
    {F::CheckBox17, "CheckBox17", K::Flag},
    {F::CheckBox18, "CheckBox18", K::Flag},
    {F::Appetite, "AppetGroup", K::Index},
    {F::Breakfast, "ZavtGroup", K::Index},
    {F::Lunch, "ObedGroup", K::Index},
    {F::Supper, "UjinGroup", K::Index},
    {F::HungryToBed, "GolGroup", K::Index},
    // back to the patient data page
    {F::FatFold, "JirEdit", K::Text, "Толщина жировой складки"},
    {F::YearsOverweight, "LetEdit", K::Text, "Сколько лет имеете избыточный вес"},
    // physical activity
    {F::W7Box1, "W7Box1", K::Flag},
    {F::W7Box2, "W7Box2", K::Flag},
    {F::W7Box3, "W7Box3", K::Flag},
    {F::W7Box4, "W7Box4", K::Flag},
    {F::LastExercise, "GymEdit", K::Text, "Когда делали последний раз гимнастику?"},
    {F::DailyWalk, "WalkEdit", K::Text, "Расстояние, ежедневно преодолеваемое пешком?"},
    {F::TvTime, "TelEdit", K::Text, "Сколько времени проводите возле телевизора?"},
    {F::LunchBreak, "DinEdit", K::Text, "Что Вы делаете в обеденный перерыв?"},
    // goals
    {F::CheckBox19, "CheckBox19", K::Flag},
    {F::CheckBox20, "CheckBox20", K::Flag},
    {F::CheckBox21, "CheckBox21", K::Flag},
    {F::CheckBox22, "CheckBox22", K::Flag},
    {F::CheckBox23, "CheckBox23", K::Flag},
    {F::CheckBox24, "CheckBox24", K::Flag},
    {F::CheckBox25, "CheckBox25", K::Flag},
    {F::CheckBox149, "CheckBox149", K::Flag},
    {F::CheckBox150, "CheckBox150", K::Flag},
    {F::Notes, "PrimMemo", K::Notes, "Примечания врача", R::Empty, true},
}};

// clang-format on

namespace {
constexpr bool rowsInFieldOrder()
{
    for (std::size_t i = 0; i < kCardFields.size(); ++i)
        if (static_cast<std::size_t>(kCardFields[i].field) != i)
            return false;
    return true;
}
} // namespace
static_assert(rowsInFieldOrder(), "a field's name must be its row: the file order");

const FieldDef *findField(const char *control)
{
    for (const FieldDef &f : kCardFields)
        if (std::strcmp(f.control, control) == 0)
            return &f;
    return nullptr;
}

const char *fieldLabel(Field f)
{
    const FieldDef &def = fieldDef(f);
    return def.label ? def.label : def.control;
}

} // namespace vel
