#include "summary/summary.h"

#include "tables/catalogue.h"
#include "tables/fields.h"
#include "tables/questions.h"

#include <algorithm>

namespace vel {

namespace {

// The foods-and-goals sentences in summary order: a prefix and the controls
// it covers, a run of the question table from the first to the last.
struct GoalPart {
    const char *prefix;
    Field first;
    Field last;
};

constexpr GoalPart kGoalParts[] = {
    {"Завтрак: ", Field::Breakfast, Field::Breakfast},
    {"Обед: ", Field::Lunch, Field::Lunch},
    {"Ужин: ", Field::Supper, Field::Supper},
    {"Можете лечь спать голодным: ", Field::HungryToBed, Field::HungryToBed},
    {"Что привлекает в продуктах: ", Field::CheckBox16, Field::CheckBox18},
    {"Любимые продукты: ", Field::CheckBox1, Field::CheckBox15},
    {"Запах продуктов больше нравится: ", Field::FoodSmell, Field::FoodSmell},
    {"Цвет продуктов больше нравится: ", Field::FoodColour, Field::FoodColour},
    {"Вкус продуктов больше нравится: ", Field::FoodTaste, Field::FoodTaste},
    {"Цель: ", Field::CheckBox19, Field::CheckBox25},
    {"Когда аппетит больше: ", Field::Appetite, Field::Appetite},
};

void appendPart(QStringList &out, const CardState &card, const GoalPart &part)
{
    const QString prefix = QString::fromUtf8(part.prefix);
    if (const QuestionGroup *g = findQuestionGroup(controlName(part.first))) {
        const int index = card.index(part.first);
        if (index >= 0 && index < g->itemCount() && g->summaries[static_cast<std::size_t>(index)])
            out << prefix + QString::fromUtf8(g->summaries[static_cast<std::size_t>(index)]);
        return;
    }
    if (const QuestionBox *first = findQuestionBox(controlName(part.first))) {
        for (const QuestionBox *b = first; b <= findQuestionBox(controlName(part.last)); ++b)
            if (b->summary && card.flag(findField(b->name)->field))
                out << prefix + QString::fromUtf8(b->summary);
        return;
    }
    const QString text = card.text(part.first);
    if (!text.isEmpty())
        out << prefix + text;
}

// Catalogue rows in summary order, worked out once.
const std::array<std::size_t, kCatalogue.size()> &summaryOrder()
{
    static const auto order = [] {
        std::array<std::size_t, kCatalogue.size()> rows{};
        for (std::size_t i = 0; i < kCatalogue.size(); ++i)
            rows[i] = i;
        std::sort(rows.begin(), rows.end(), [](std::size_t a, std::size_t b) {
            return kCatalogue[a].summaryRank < kCatalogue[b].summaryRank;
        });
        return rows;
    }();
    return order;
}

} // namespace

HealthSummary compileSummary(const CardState &card)
{
    HealthSummary s;
    for (const GoalPart &part : kGoalParts)
        appendPart(s.goals, card, part);

    for (std::size_t row : summaryOrder()) {
        const CatalogueControl &c = kCatalogue[row];
        if (c.kind == CatalogueKind::Check) {
            if (card.anamnesisTicked(row))
                s.anamnesis << QString::fromUtf8(c.summaries[0]);
        } else {
            const int index = card.anamnesisIndex(row);
            if (index >= 0 && index < c.itemCount())
                s.anamnesis << QString::fromUtf8(c.summaries[static_cast<std::size_t>(index)]);
        }
    }
    return s;
}

} // namespace vel
