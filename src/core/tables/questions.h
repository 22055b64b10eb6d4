#pragma once

#include <array>
#include <cstddef>

// The closed questions of the questionnaire pages: radio groups and check
// boxes with their captions. The pages, the card reset and the reading of
// stored indices are built from these tables.

namespace vel {

struct QuestionGroup {
    const char *name;
    const char *caption;
    std::array<const char *, 5> items; // unused slots nullptr
    int columns;
    std::array<const char *, 5> summaries = {}; // the health summary's words per item, where it uses any

    int itemCount() const
    {
        int n = 0;
        while (n < 5 && items[static_cast<std::size_t>(n)])
            ++n;
        return n;
    }
};

struct QuestionBox {
    const char *name;
    const char *caption;
    const char *summary = nullptr; // the health summary's words when ticked, where it uses any
};

extern const std::array<QuestionGroup, 21> kQuestionGroups;
extern const std::array<QuestionBox, 45> kQuestionBoxes;

const QuestionGroup *findQuestionGroup(const char *name);
const QuestionBox *findQuestionBox(const char *name);
const char *questionBoxCaption(const char *name);

// Items of the body-build drop-down list.
inline constexpr std::array<const char *, 3> kBodyBuilds = {"Нормостеник", "Астеник", "Гиперстеник"};

} // namespace vel
