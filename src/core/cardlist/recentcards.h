#pragma once

#include <QString>
#include <QStringList>

// The cards opened or saved last, newest first, as the menu lists them.

namespace vel {

inline constexpr int kRecentCardCount = 5;

QStringList withRecentCard(QStringList recent, const QString &path);
QStringList withoutRecentCard(QStringList recent, const QString &path);

} // namespace vel
