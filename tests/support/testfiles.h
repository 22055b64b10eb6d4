#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// File helpers the test suites share.
namespace testsupport {

// The six suffixes of a card file set, main file first.
extern const QStringList kCardSuffixes;

QByteArray cp1251(const QString &text);
QByteArray readAll(const QString &path); // "<missing>" when it cannot be read
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace testsupport
