#include "summary/summary.h"

#include "tables/catalogue.h"
#include "tables/questions.h"

#include <algorithm>

namespace vel {

namespace {

// The foods-and-goals sentences in summary order: a prefix and the controls
// it covers, a run of the question table from the first to the last.
struct GoalPart {
    const char *prefix;
    const char *first;
    const char *last;
};

constexpr GoalPart kGoalParts[] = {
    {"Завтрак: ", "ZavtGroup", "ZavtGroup"},
    {"Обед: ", "ObedGroup", "ObedGroup"},
    {"Ужин: ", "UjinGroup", "UjinGroup"},
    {"Можете лечь спать голодным: ", "GolGroup", "GolGroup"},
    {"Что привлекает в продуктах: ", "CheckBox16", "CheckBox18"},
    {"Любимые продукты: ", "CheckBox1", "CheckBox15"},
    {"Запах продуктов больше нравится: ", "ZapEdit", "ZapEdit"},
    {"Цвет продуктов больше нравится: ", "ColEdit", "ColEdit"},
    {"Вкус продуктов больше нравится: ", "TastEdit", "TastEdit"},
    {"Цель: ", "CheckBox19", "CheckBox25"},
    {"Когда аппетит больше: ", "AppetGroup", "AppetGroup"},
};

void appendPart(QStringList &out, const CardState &card, const GoalPart &part)
{
    const QString prefix = QString::fromUtf8(part.prefix);
    if (const QuestionGroup *g = findQuestionGroup(part.first)) {
        const int index = card.index(QLatin1String(g->name));
        if (index >= 0 && index < g->itemCount() && g->summaries[static_cast<std::size_t>(index)])
            out << prefix + QString::fromUtf8(g->summaries[static_cast<std::size_t>(index)]);
        return;
    }
    if (const QuestionBox *first = findQuestionBox(part.first)) {
        for (const QuestionBox *b = first; b <= findQuestionBox(part.last); ++b)
            if (b->summary && card.flag(QLatin1String(b->name)))
                out << prefix + QString::fromUtf8(b->summary);
        return;
    }
    const QString text = card.text(QLatin1String(part.first));
    if (!text.isEmpty())
        out << prefix + text;
}

// Catalogue rows in summary order, worked out once.
const std::array<const CatalogueControl *, kCatalogue.size()> &summaryOrder()
{
    static const auto order = [] {
        std::array<const CatalogueControl *, kCatalogue.size()> rows{};
        for (std::size_t i = 0; i < kCatalogue.size(); ++i)
            rows[i] = &kCatalogue[i];
        std::sort(rows.begin(), rows.end(),
                  [](const CatalogueControl *a, const CatalogueControl *b) { return a->summaryRank < b->summaryRank; });
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

    for (const CatalogueControl *c : summaryOrder()) {
        const QString name = QLatin1String(c->name);
        if (c->kind == CatalogueKind::Check) {
            if (card.flag(name))
                s.anamnesis << QString::fromUtf8(c->summaries[0]);
        } else {
            const int index = card.index(name);
            if (index >= 0 && index < c->itemCount())
                s.anamnesis << QString::fromUtf8(c->summaries[static_cast<std::size_t>(index)]);
        }
    }
    return s;
}

} // namespace vel
