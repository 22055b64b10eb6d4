#pragma once

#include "tables/catalogue.h"
#include "tables/fields.h"
#include "tables/visitcolumns.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace vel {

// The values of one patient card, detached from the widgets. The window
// fills it from its pages to save or summarise, and gives it to them when a
// card is opened. Memo texts use "\n" between lines; the files use CR LF.
struct CardState {
    // The main card file's fields: texts for text, date and notes fields, and
    // for radio groups, lists and check boxes a number (-1: nothing chosen;
    // a check box is ticked by 1).
    std::array<QString, kCardFieldCount> fieldTexts;
    std::array<int, kCardFieldCount> fieldNumbers = filled<kCardFieldCount>(-1);
    // The life anamnesis by row of kCatalogue: 1 ticks a check box, a radio
    // group holds its index; -1 is nothing.
    std::array<int, kCatalogue.size()> anamnesis = filled<kCatalogue.size()>(-1);
    int activity = -1; // the activity level's index
    QString goal;      // the goal weight as typed
    QString nextVisit; // the next visit's date as typed; empty: none set

    QVector<QStringList> diagnosticRows; // Grid1, columns 1..3 of every row (3 cells each)
    QVector<QStringList> visitRows;      // Grid2, rows 1.. (VisitColumn cells each), titles excluded
    QString preparations;                // PrepMemo
    QString recommendations;             // RecMemo

    QString text(Field f) const { return fieldTexts[pos(f)]; }
    int index(Field f) const { return fieldNumbers[pos(f)]; }
    bool flag(Field f) const { return fieldNumbers[pos(f)] == 1; }
    void setText(Field f, const QString &text) { fieldTexts[pos(f)] = text; }
    void setIndex(Field f, int index) { fieldNumbers[pos(f)] = index; }
    void setFlag(Field f, bool ticked) { fieldNumbers[pos(f)] = ticked ? 1 : 0; }

    bool anamnesisTicked(std::size_t row) const { return anamnesis[row] == 1; }
    int anamnesisIndex(std::size_t row) const { return anamnesis[row]; }

    bool operator==(const CardState &o) const
    {
        return fieldTexts == o.fieldTexts && fieldNumbers == o.fieldNumbers && anamnesis == o.anamnesis &&
               activity == o.activity && goal == o.goal && nextVisit == o.nextVisit &&
               diagnosticRows == o.diagnosticRows && visitRows == o.visitRows && preparations == o.preparations &&
               recommendations == o.recommendations;
    }
    bool operator!=(const CardState &o) const { return !(*this == o); }

private:
    static std::size_t pos(Field f) { return static_cast<std::size_t>(f); }
    template <std::size_t N> static constexpr std::array<int, N> filled(int v)
    {
        std::array<int, N> a{};
        for (int &x : a)
            x = v;
        return a;
    }
};

} // namespace vel
