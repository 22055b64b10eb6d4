#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPrintDialog;
class QPrintPreviewDialog;

namespace vel {

// The print dialog offers this file when the doctor prints into a PDF.
void offerPdfFile(QPrintDialog &dialog, const QString &path);

// The preview's zoom box in Russian figures ("38,8 %"), and its print
// button running print() instead of the preview's own dialog.
void adaptPreview(QPrintPreviewDialog &dialog, const std::function<void()> &print);

// "38,8 %", "100 %".
QString zoomText(double percent);
// "38,8 %", "38.8%", "50": the percentage; nothing for anything else.
std::optional<double> readZoomText(const QString &text);

} // namespace vel
