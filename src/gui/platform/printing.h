#pragma once

#include <QString>

class QPrinter;

namespace vel {

// Prints plain text as one job over as many pages as it needs, left-aligned
// in the regular font. Returns false when the printer refused the job.
bool printPlainText(QPrinter &printer, const QString &jobTitle, const QString &text);

} // namespace vel
