#pragma once

#include "card/cardstate.h"
#include "text/linefile.h"

#include <QString>

// Copies that keep a doctor's work when the window lets go of a card that
// was not saved, or when a save replaces a set the window never opened. Each
// copy is a whole card set in a folder of its own under ".recovery" in the
// data folder, so it opens with the ordinary "Открыть"; the newest ones are kept.

namespace vel {

inline constexpr int kRecoveryCopiesKept = 50;

QString recoveryFolder(const QString &dataDir);

// Removes copies left unfinished by a full disk or a crash, a minute old or more.
void removeUnfinishedCopies(const QString &dataDir);

// Writes the card as it stands; a name that cannot be a file name becomes
// "Без имени". Returns the copy's main file.
Result<QString> keepRecoveryCopy(const QString &dataDir, const CardState &card);

// Copies the set on disk named `name` in `folder`. Returns the copy's main file.
Result<QString> keepSetCopy(const QString &dataDir, const QString &folder, const QString &name);

} // namespace vel
