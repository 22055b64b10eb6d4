#pragma once

#include <QString>

namespace vel {

// The example templates built into the program.
inline const QString kBuiltInExamples = QStringLiteral(":/examples");

// Makes the data folder when it is missing and, while it has no template list
// shablon.kmt, copies the example templates into it without replacing a file
// that is already there. Returns an empty string, or why it could not.
QString prepareDataFolder(const QString &dir, const QString &examplesDir = kBuiltInExamples);

} // namespace vel
