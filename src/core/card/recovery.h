#pragma once

#include "card/cardstate.h"
#include "text/linefile.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Copies that keep a doctor's work when the window lets go of a card that
// was not saved, or when a save replaces a set the window never opened. Each
// copy is a whole card set in a folder of its own under ".recovery" in the
// data folder, named after the moment and the patient, so it opens with the
// ordinary "Открыть". Copies are kept for a month, and the newest copy of a
// card's work that was never saved is kept however old it is.

namespace vel {

inline constexpr int kRecoveryDaysKept = 30;

QString recoveryFolder(const QString &dataDir);

// Removes copies left unfinished by a full disk or a crash, a minute old or more.
void removeUnfinishedCopies(const QString &dataDir);

// Writes the card as it stands; a name that cannot be a file name becomes
// "Без имени". Returns the copy's main file.
Result<QString> keepRecoveryCopy(const QString &dataDir, const CardState &card);

// Copies the set on disk named `name` in `folder`. Returns the copy's main file.
Result<QString> keepSetCopy(const QString &dataDir, const QString &folder, const QString &name);

// Removes the copies older than kRecoveryDaysKept days before `now`, but
// never a card's newest copy while it is newer than the card's last save.
void pruneRecoveryCopies(const QString &dataDir, const QDateTime &now);

// A copy holding work that was never saved: the newest copy of a card,
// written after the card's last save or of a card that was never saved.
struct PendingCopy {
    QString mainFile; // the copy's main file
    QString name;     // the patient, as the copy names the card
    QDateTime time;   // when the copy was written
    QString changes;  // what it holds beyond the saved card, in a few words
};
QList<PendingCopy> pendingCopies(const QString &dataDir);
// The doctor chose to drop the work of this copy: it is kept for the month,
// but neither offered nor kept longer.
void dismissCopy(const QString &mainFile);

// In a few words, what `copy` holds that `saved` does not: "новая карточка"
// when there is no saved card, else the parts that differ.
QString describeChanges(const CardState &copy, const CardState *saved);

} // namespace vel
