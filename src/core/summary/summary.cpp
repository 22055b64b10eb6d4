#include "summary/summary.h"

#include "tables/catalogue.h"

#include <algorithm>

namespace vel {

namespace {

void appendChoice(QStringList &out, const CardState &card, const char *group, const QString &prefix,
                  std::initializer_list<const char *> lines)
{
    const int index = card.index(QLatin1String(group));
    if (index >= 0 && index < int(lines.size()))
        out << prefix + QString::fromUtf8(*(lines.begin() + index));
}

void appendTicked(QStringList &out, const CardState &card, int first, const QString &prefix,
                  std::initializer_list<const char *> lines)
{
    int number = first;
    for (const char *line : lines) {
        if (card.flag(QStringLiteral("CheckBox%1").arg(number)))
            out << prefix + QString::fromUtf8(line);
        ++number;
    }
}

void appendText(QStringList &out, const CardState &card, const char *edit, const QString &prefix)
{
    const QString text = card.text(QLatin1String(edit));
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
    QStringList &g = s.goals;
    const std::initializer_list<const char *> meals = {"обязательно", "необязательно", "никогда",
                                                       "только по необходимости"};
    appendChoice(g, card, "ZavtGroup", QStringLiteral("Завтрак: "), meals);
    appendChoice(g, card, "ObedGroup", QStringLiteral("Обед: "), meals);
    appendChoice(g, card, "UjinGroup", QStringLiteral("Ужин: "), meals);
    appendChoice(g, card, "GolGroup", QStringLiteral("Можете лечь спать голодным: "),
                 {"да", "нет", "только по необходимости"});
    appendTicked(g, card, 16, QStringLiteral("Что привлекает в продуктах: "), {"запах", "цвет", "вкус"});
    appendTicked(g, card, 1, QStringLiteral("Любимые продукты: "),
                 {"хлеб", "мучные изделия", "мясо", "рыба", "каши", "молоко", "кисломолочное", "яйца", "сыр", "овощи",
                  "фрукты", "конфеты", "пирожные, торты", "чай", "кофе"});
    appendText(g, card, "ZapEdit", QStringLiteral("Запах продуктов больше нравится: "));
    appendText(g, card, "ColEdit", QStringLiteral("Цвет продуктов больше нравится: "));
    appendText(g, card, "TastEdit", QStringLiteral("Вкус продуктов больше нравится: "));
    appendTicked(g, card, 19, QStringLiteral("Цель: "),
                 {"хорошее самочувствие", "хорошая внешность", "успех у мужчин (женщин)", "успех у самого себя",
                  "больше подвижности, спортивности, силы", "возможность носить все, что хочется",
                  "для решения карьерных задач"});
    appendChoice(g, card, "AppetGroup", QStringLiteral("Когда аппетит больше: "),
                 {"утром", "в обед", "вечером", "ночью", "всегда одинаков"});

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
