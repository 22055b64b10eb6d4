#pragma once

#include "text/linefile.h"

#include <QString>
#include <QStringList>

#include <optional>

// Recommendation templates: the title list file shablon.kmt and one text
// file shablonN.txt per template, N counted from 1, both in the data folder.

namespace vel {

QString templateListPath(const QString &dataDir);
QString templateTextPath(const QString &dataDir, int number);

Result<QStringList> readTemplateList(const QString &dataDir);
// The text with "\n" between lines, whatever line ends the file used.
Result<QString> readTemplateText(const QString &dataDir, int number);

// Writes the text file, then the list file. Each file is replaced whole or
// not at all; when the text file fails the list file is left untouched.
// Text or titles that Windows-1251 cannot hold are refused before writing.
std::optional<ReadError> saveTemplate(const QString &dataDir, int number, const QString &text,
                                      const QStringList &titles);

// The title of a newly created template: "Шаблон 3".
QString newTemplateTitle(int number);
// The title a template is saved under, from the name the doctor typed: one
// line of the list file (a pasted line break becomes a blank), without
// blanks around it, and "Шаблон N" when nothing is left.
QString templateTitle(const QString &typed, int number);

} // namespace vel
