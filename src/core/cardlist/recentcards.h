#pragma once

#include <QString>
#include <QStringList>

// The cards opened or saved last, newest first, as the menu lists them.

namespace vel {

inline constexpr int kRecentCardCount = 5;

QStringList withRecentCard(QStringList recent, const QString &path);
QStringList withoutRecentCard(QStringList recent, const QString &path);
// Whether a card belongs on the list: a recovery copy, a deleted card or a
// file in the desktop trash never does.
bool isRecentCandidate(const QString &path, const QString &dataDir);

} // namespace vel
