#include "platform/printing.h"

#include "fonts/fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTextDocument>

namespace vel {

namespace {

// Most printers cannot print the outer 4–6 mm; 20 mm also leaves room to
// file the sheet.
constexpr qreal kMarginMm = 20;

// The program's settings, where the folder of the last PDF is kept.
constexpr char16_t kSettingsName[] = u"velnokasi";
constexpr char16_t kPdfFolderKey[] = u"print/pdfFolder";

} // namespace

bool printPlainText(QPrinter &printer, const QString &jobTitle, const QString &text, const QString &pageHeader)
{
    printer.setDocName(jobTitle);
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    QTextDocument doc;
    registerEmbeddedFonts();
    QFont font(sansFamily());
    font.setPointSize(10);
    doc.setDefaultFont(font);
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setDocumentMargin(0);
    doc.setPlainText(text);

    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    QFont headerFont(font);
    headerFont.setPointSize(8);
    const QFontMetricsF headerMetrics(headerFont, &printer);
    // The header, a rule under it and a blank line's worth of room.
    const qreal headerHeight = pageHeader.isEmpty() ? 0 : headerMetrics.height() * 2.5;
    const QSizeF bodySize(page.width(), page.height() - headerHeight);
    doc.setPageSize(bodySize);

    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        if (!pageHeader.isEmpty()) {
            painter.save();
            painter.setFont(headerFont);
            painter.setPen(Qt::black);
            const QRectF line(0, 0, page.width(), headerMetrics.height());
            const QString number = pages > 1 ? QStringLiteral("стр. %1 из %2").arg(i + 1).arg(pages) : QString();
            const qreal numberWidth = number.isEmpty() ? 0 : headerMetrics.horizontalAdvance(number) + 20;
            const QString shown = headerMetrics.elidedText(pageHeader, Qt::ElideRight, line.width() - numberWidth);
            painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, shown);
            if (!number.isEmpty())
                painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, number);
            const qreal ruleY = headerMetrics.height() * 1.3;
            painter.setPen(QPen(Qt::black, printer.resolution() / 150.0));
            painter.drawLine(QPointF(0, ruleY), QPointF(page.width(), ruleY));
            painter.restore();
        }
        painter.save();
        painter.translate(0, headerHeight);
        const QRectF clip(0, i * bodySize.height(), bodySize.width(), bodySize.height());
        painter.translate(0, -clip.top());
        painter.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        // The layout may start a page's first line a hair above the page's
        // top; a point of slack keeps it from showing at the foot of the
        // page before as well.
        const qreal slack = printer.resolution() / 72.0;
        context.clip = clip.adjusted(0, slack, 0, -slack);
        context.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

QString pdfFileName(const QString &patient, const QString &what, const QString &date)
{
    QString who = patient.simplified();
    QString name = who.isEmpty() ? what.left(1).toUpper() + what.mid(1) + u' ' + date
                                 : who + QStringLiteral(" — ") + what + u' ' + date;
    for (QChar &c : name)
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    return name + QStringLiteral(".pdf");
}

QString lastPdfFolder()
{
    QSettings settings(QString::fromUtf16(kSettingsName), QString::fromUtf16(kSettingsName));
    const QString kept = settings.value(QString::fromUtf16(kPdfFolderKey)).toString();
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberPdfFolder(const QString &pdfPath)
{
    if (pdfPath.isEmpty())
        return;
    QSettings settings(QString::fromUtf16(kSettingsName), QString::fromUtf16(kSettingsName));
    settings.setValue(QString::fromUtf16(kPdfFolderKey), QFileInfo(pdfPath).absolutePath());
}

} // namespace vel
