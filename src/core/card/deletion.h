#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace vel {

// Where deleted cards go when the desktop has no trash for the data folder.
QString deletedCardsFolder(const QString &dataDir);

// Moves the chosen main file and its side files, all to the desktop trash or,
// where that fails for any of them, all into a folder of deleted cards inside
// the data folder, so that a card deleted by mistake can be brought back
// whole. When no place takes them all, every file stays and the message
// names the one that could not be moved. placedIn, when given, is set to
// the folder of deleted cards that took them, or emptied for the trash.
std::optional<QString> deleteCard(const QString &chosen, const QString &dataDir, QString *placedIn = nullptr);

// Moves one file of the data folder the same way; for a restore that must
// not overwrite what the folder holds. The message names the file.
std::optional<QString> moveFileAside(const QString &path, const QString &dataDir);

// Lets tests stand in for the desktop trash: true when the file went there,
// with its path in the trash, from which it can be put back.
void setTrashForTesting(std::function<bool(const QString &path, QString *pathInTrash)> trash);

} // namespace vel
