#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vel {

// The values of one patient card, detached from the widgets. The window
// fills it from its controls to save or summarise, and applies it when a card
// is opened. Memo texts use "\n" between lines; the files use CR LF.
struct CardState {
    QHash<QString, QString> texts; // edit fields, date fields and the notes, by object name
    QHash<QString, int> indices;   // radio groups and drop-down lists; absent means -1
    QHash<QString, bool> flags;    // check boxes; absent means not ticked

    QVector<QStringList> diagnosticRows; // Grid1, columns 1..3 of every row (3 cells each)
    QVector<QStringList> visitRows;      // Grid2, rows 1.. (10 cells each), titles excluded
    QString preparations;                // PrepMemo
    QString recommendations;             // RecMemo

    QString text(const QString &name) const { return texts.value(name); }
    int index(const QString &name) const { return indices.value(name, -1); }
    bool flag(const QString &name) const { return flags.value(name, false); }

    bool operator==(const CardState &o) const
    {
        return texts == o.texts && indices == o.indices && flags == o.flags && diagnosticRows == o.diagnosticRows &&
               visitRows == o.visitRows && preparations == o.preparations && recommendations == o.recommendations;
    }
    bool operator!=(const CardState &o) const { return !(*this == o); }
};

} // namespace vel
