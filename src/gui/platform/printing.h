#pragma once

#include <QString>

class QPrinter;

namespace vel {

// Prints plain text as one job over as many pages as it needs, left-aligned
// in the regular font, inside 20 mm margins. A page header, when given,
// stands above the text on every page, with the page number when there is
// more than one. Returns false when the printer refused the job.
bool printPlainText(QPrinter &printer, const QString &jobTitle, const QString &text,
                    const QString &pageHeader = QString());

// The name offered for a PDF of a patient's document:
// "Иванова Анна — рецепт 8.12.2026.pdf". Marks that no file name may hold
// become "_"; without a name it is "Рецепт 8.12.2026.pdf".
QString pdfFileName(const QString &patient, const QString &what, const QString &date);

// The folder a PDF was last printed into (the documents folder at first),
// kept between runs.
QString lastPdfFolder();
void rememberPdfFolder(const QString &pdfPath);

} // namespace vel
