#pragma once

#include "card/cardstate.h"
#include "card/cardstore.h"
#include "text/linefile.h"

#include <QStringList>

#include <array>
#include <functional>
#include <optional>

// The card file set: <name>.dat and its side files .dat.prp, .dat.rec,
// .dat.tb1, .dat.tb2 and .dat.vit, and .dat.bio where the card has body
// composition. Encoding and decoding are pure; the
// load and save functions touch the disk but never show anything.

namespace vel {

inline constexpr int kDiagnosticColumns = 3; // columns 1..3 of the diagnostic table

QStringList encodeMainFile(const CardState &card);
QStringList encodeDiagnostic(const CardState &card);
QStringList encodeVisits(const CardState &card);
QStringList encodeVitae(const CardState &card);
// A line a visit row, its body values joined by ";"; no lines at all when no
// visit has any, so that such a card has no .dat.bio file.
QStringList encodeBody(const CardState &card);
inline constexpr QChar kBodySeparator = u';';

// Reads a stored index the way its control would take it: radio groups
// clamp, drop-down lists accept only their own items.
int radioIndexFromStored(int stored, int itemCount);
int listIndexFromStored(int stored, int itemCount);

// One file of the set: its suffix after the card name, the text it holds
// for a card, and how that text fills a card when read.
struct CardPart {
    QString suffix;
    QString (*fileText)(const CardState &card);
    std::optional<ReadError> (*decode)(const QString &text, CardState &card, int templateCount);
};
// Main file first, then .prp, .rec, .tb1, .tb2, .vit and the optional .bio; open, save, delete,
// the recovery copies and the card list all go through it.
const std::array<CardPart, kCardPartCount> &cardParts();

// Whether a file chosen in the data folder is the main file of a card set,
// and the paths of that set (main file first, the optional .bio last).
bool isCardMainFile(const QString &path);
QStringList cardSetPaths(const QString &mainPath);
// The card name a main file's name stands for: "Иванова" for "Иванова.dat".
QString cardNameOfFile(const QString &mainPath);
// The card name becomes a file name in the card's folder.
bool isUsableCardName(const QString &name);

// The set's bytes in Windows-1251 (none for an optional file the card has not); a character without a byte there
// becomes "?". For copies that keep unsaved work, never for the card itself.
SetBytes encodeCardLossy(const CardState &card);

struct LoadedCard {
    CardState card;
    QStringList templateTitles; // the template list, for the template choice
    QString folder;             // where the set was read
    QByteArray digest;          // the set as read, to notice a later save by another copy
    // Set when a save stopped half-way could not be finished: the card was
    // read as that save leads to, and this says so and what to do.
    QString notice;
};

// Reads and checks the whole card file set before anything is shown, so a
// bad file never leaves a half-loaded card. The side files are looked up
// next to the chosen main file; the template list comes from the data folder.
// A save of this card stopped half-way is finished first.
Result<LoadedCard> loadCard(const QString &mainPath, const QString &dataDir);

struct SaveError {
    QString message;
    bool refusedInput;        // shown in the "Error" box rather than the default error box
    bool newerOnDisk = false; // another copy saved the card after this window read it
};

// What the window knows of the set it saves over. Without it a save simply
// replaces the set.
struct SaveGuard {
    QByteArray knownDigest; // the set as this window last read or wrote it; empty: none
    // A set on disk that this window does not know is handed here first, to
    // be copied aside; the copy's main file comes back. Unset: not copied.
    std::function<Result<QString>(const QString &folder, const QString &name)> keepSet;
    QByteArray writtenDigest; // set by a successful save
    QString keptCopy;         // the main file of the copy made, if one was
    // The known set is copied there too before it is replaced: the doctor
    // agreed to replace a namesake's card, which then goes to the trash.
    bool keepReplaced = false;
};

// Writes all the set's files or none (an optional one the card has not is removed), even if the program is killed
// half-way, and never while another copy of the program writes the same card.
std::optional<SaveError> saveCard(const CardState &card, const QString &dataDir, SaveGuard *guard = nullptr);

// The names that delete removes, where they exist, for a chosen main file name.
QStringList deletionNames(const QString &chosen);

} // namespace vel
