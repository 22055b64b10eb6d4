#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "card/cardstate.h"

// File helpers the test suites share.
namespace testsupport {

// The six suffixes of a card file set, main file first.
extern const QStringList kCardSuffixes;

QByteArray cp1251(const QString &text);
QByteArray readAll(const QString &path); // "<missing>" when it cannot be read
bool writeFile(const QString &path, const QByteArray &bytes);

// Card values by the object name of the control that shows them, as the
// tests describe files: a main-file field, an anamnesis item, "AktivBox",
// "CelEdit" or "NextEdit". An unknown name stops the test program.
void setText(vel::CardState &card, const QString &control, const QString &text);
void setIndex(vel::CardState &card, const QString &control, int index);
void setFlag(vel::CardState &card, const QString &control, bool ticked);
QString textOf(const vel::CardState &card, const QString &control);
int indexOf(const vel::CardState &card, const QString &control);
bool flagOf(const vel::CardState &card, const QString &control);
void setTexts(vel::CardState &card, const QList<QPair<QString, QString>> &texts);
void setIndices(vel::CardState &card, const QList<QPair<QString, int>> &indices);

} // namespace testsupport
