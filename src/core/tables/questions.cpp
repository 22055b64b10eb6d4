#include "tables/questions.h"

#include <cstring>

namespace vel {

// clang-format off

namespace {
constexpr const char *kResult0 = "не применял (-а)";
constexpr const char *kResult1 = "нет результата";
constexpr const char *kResult2 = "незначительный результат";
constexpr const char *kResult3 = "хороший, но не длительный результат";
constexpr const char *kResult4 = "хороший, длительный результат";
#define VEL_RESULTS {kResult0, kResult1, kResult2, kResult3, kResult4}
#define VEL_MEALS {"обязательно", "не обязательно", "никогда", "только по необходимости", nullptr}
#define VEL_MEAL_WORDS {"обязательно", "необязательно", "никогда", "только по необходимости", nullptr}
#define VEL_GAIN {"соответственно возрасту", "меньше, чем положено", "больше, чем положено", nullptr, nullptr}
} // namespace

const std::array<QuestionGroup, 21> kQuestionGroups = {{
    {"SexGroup", "Пол", {"Мужской", "Женский", nullptr, nullptr, nullptr}, 2},
    {"W1Group", "Какой вес был при рождении:",
     {"нормальный (3-4 кг.)", "недоношенный (меньше 3 кг.)", "большой (больше 4 кг.)", nullptr, nullptr}, 1},
    {"W2Group", "Набор веса до 5-ти лет:", VEL_GAIN, 1},
    {"W3Group", "Колебания веса во время полового созревания (11-18 лет):", VEL_GAIN, 1},
    {"W4Group", "Колебания веса в течение жизни по возрасту:",
     {"начал набираться после 20-ти", "начал набираться после 30-ти", "начал набираться после 40-ка",
      "начал набираться после 50-ти", "начал набираться после 60-ти"},
     1},
    {"W6Group", "Наследственный фактор:",
     {"без отягощенной наследственности", "по материнской линии", "по отцовской линии", "по обеим линиям",
      nullptr},
     1},
    {"DietGroup", "Диета:", VEL_RESULTS, 1},
    {"FizGroup", "Физическая нагрузка:", VEL_RESULTS, 1},
    {"CodGroup", "Кодирование:", VEL_RESULTS, 1},
    {"RefGroup", "Рефлексотерапия:", VEL_RESULTS, 1},
    {"BadGroup", "Пищевые добавки, БАДы:", VEL_RESULTS, 1},
    {"MedGroup", "Медицинские препараты:", VEL_RESULTS, 1},
    {"GemoGroup", "Гемокод:", VEL_RESULTS, 1},
    {"HirGroup", "Хирургический метод:", VEL_RESULTS, 1},
    {"GolodGroup", "Лечебное голодание:", VEL_RESULTS, 1},
    {"RazdGroup", "Раздельное питание:", VEL_RESULTS, 1},
    {"ZavtGroup", "Завтрак:", VEL_MEALS, 1, VEL_MEAL_WORDS},
    {"ObedGroup", "Обед:", VEL_MEALS, 1, VEL_MEAL_WORDS},
    {"UjinGroup", "Ужин:", VEL_MEALS, 1, VEL_MEAL_WORDS},
    {"GolGroup", "Можете лечь спать голодным:", {"да", "нет", "только по необходимости", nullptr, nullptr}, 1,
     {"да", "нет", "только по необходимости", nullptr, nullptr}},
    {"AppetGroup", "Когда аппетит больше:", {"утром", "в обед", "вечером", "ночью", "всегда одинаков"}, 1,
     {"утром", "в обед", "вечером", "ночью", "всегда одинаков"}},
}};

#undef VEL_RESULTS
#undef VEL_MEALS
#undef VEL_MEAL_WORDS
#undef VEL_GAIN

const std::array<QuestionBox, 45> kQuestionBoxes = {{
    {"W5Box1", "без видимой причины"},
    {"W5Box2", "во время беременности"},
    {"W5Box3", "после родов"},
    {"W5Box4", "на фоне работы на вредных производствах"},
    {"W5Box5", "на фоне стресса"},
    {"W5Box6", "при переходе на малоподвижный образ жизни"},
    {"W5Box7", "во время менопаузы"},
    {"W5Box8", "после менопаузы"},
    {"W5Box9", "после приема лекарственных средств"},
    {"W5Box10", "после приема гормонов"},
    {"W5Box11", "после болезни"},
    {"W5Box12", "после смены климата"},
    {"W5Box13", "после оперативного вмешательства"},
    {"W5Box14", "после ЧМТ"},
    {"W7Box1", "никакой"},
    {"W7Box2", "ходьба по лестнице"},
    {"W7Box3", "бег утром или вечером"},
    {"W7Box4", "зарядка по утрам ежедневно"},
    {"CheckBox1", "хлеб", "хлеб"},
    {"CheckBox2", "мучные изделия", "мучные изделия"},
    {"CheckBox3", "мясо", "мясо"},
    {"CheckBox4", "рыба", "рыба"},
    {"CheckBox5", "каши", "каши"},
    {"CheckBox6", "молоко", "молоко"},
    {"CheckBox7", "кисломолочное", "кисломолочное"},
    {"CheckBox8", "яйца", "яйца"},
    {"CheckBox9", "сыр", "сыр"},
    {"CheckBox10", "овощи", "овощи"},
    {"CheckBox11", "фрукты", "фрукты"},
    {"CheckBox12", "конфеты", "конфеты"},
    {"CheckBox13", "пирожные, торты", "пирожные, торты"},
    {"CheckBox14", "чай", "чай"},
    {"CheckBox15", "кофе", "кофе"},
    {"CheckBox16", "запах", "запах"},
    {"CheckBox17", "цвет", "цвет"},
    {"CheckBox18", "вкус", "вкус"},
    {"CheckBox19", "хорошего самочувствия", "хорошее самочувствие"},
    {"CheckBox20", "хорошей внешности", "хорошая внешность"},
    {"CheckBox21", "успеха у мужчин (женщин)", "успех у мужчин (женщин)"},
    {"CheckBox22", "успеха у самого себя", "успех у самого себя"},
    {"CheckBox23", "больше подвижности, спортивности, силы", "больше подвижности, спортивности, силы"},
    {"CheckBox24", "возможности носить все, что хочется", "возможность носить все, что хочется"},
    {"CheckBox25", "для решения карьерных задач", "для решения карьерных задач"},
    {"CheckBox149", "Не применял (-а)"},
    {"CheckBox150", "Другие методы"},
}};

const QuestionGroup *findQuestionGroup(const char *name)
{
    for (const QuestionGroup &g : kQuestionGroups)
        if (std::strcmp(g.name, name) == 0)
            return &g;
    return nullptr;
}

const QuestionBox *findQuestionBox(const char *name)
{
    for (const QuestionBox &b : kQuestionBoxes)
        if (std::strcmp(b.name, name) == 0)
            return &b;
    return nullptr;
}

const char *questionBoxCaption(const char *name)
{
    const QuestionBox *b = findQuestionBox(name);
    return b ? b->caption : nullptr;
}

// clang-format on

} // namespace vel
