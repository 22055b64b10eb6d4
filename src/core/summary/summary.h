#pragma once

#include "card/cardstate.h"

#include <QStringList>

namespace vel {

struct HealthSummary {
    QStringList goals;     // GoalMemo: foods and goals
    QStringList anamnesis; // AnamMemo: the ticked life anamnesis
};

// Compiles the summary from the foods-and-goals answers and the anamnesis
// catalogue; nothing else of the card is read.
HealthSummary compileSummary(const CardState &card);

} // namespace vel
