#pragma once

#include "card/cardstate.h"
#include "text/linefile.h"

#include <QStringList>

#include <functional>
#include <optional>

// The card file set: <name>.dat and its side files .dat.prp, .dat.rec,
// .dat.tb1, .dat.tb2 and .dat.vit. Encoding and decoding are pure; the
// load and save functions touch the disk but never show anything.

namespace vel {

inline constexpr int kVisitColumns = 10;
inline constexpr int kDiagnosticColumns = 3; // columns 1..3 of the diagnostic table

QStringList encodeMainFile(const CardState &card);
QStringList encodeDiagnostic(const CardState &card);
QStringList encodeVisits(const CardState &card);
QStringList encodeVitae(const CardState &card);

// Reads a stored index the way its control would take it: radio groups
// clamp, drop-down lists accept only their own items.
int radioIndexFromStored(int stored, int itemCount);
int listIndexFromStored(int stored, int itemCount);

struct LoadedCard {
    CardState card;
    QStringList templateTitles; // the template list, for the template choice
};

// Reads and checks the whole card file set before anything is shown, so a
// bad file never leaves a half-loaded card. The side files are looked up
// next to the chosen main file; the template list comes from the data folder.
Result<LoadedCard> loadCard(const QString &mainPath, const QString &dataDir);

struct SaveError {
    QString message;
    bool refusedInput; // shown in the "Error" box rather than the default error box
};

// Writes all six files or none: each is written to a temporary file first,
// and the set is replaced only when every file was written completely.
std::optional<SaveError> saveCard(const CardState &card, const QString &dataDir);

// Lets tests make the writing or the replacing of a file of the set fail.
enum class SavePhase { Write, Replace };
using SaveFault = std::function<bool(const QString &path, SavePhase phase)>;
void setSaveFaultForTesting(SaveFault fault);

// The six names that delete removes for a chosen main file name.
QStringList deletionNames(const QString &chosen);

} // namespace vel
