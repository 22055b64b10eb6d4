#include "platform/printing.h"

#include "fonts/fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace vel {

bool printPlainText(QPrinter &printer, const QString &jobTitle, const QString &text)
{
    printer.setDocName(jobTitle);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    QTextDocument doc;
    registerEmbeddedFonts();
    QFont font(sansFamily());
    font.setPointSize(10);
    doc.setDefaultFont(font);
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setPlainText(text);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF pageSize(page.width(), page.height());
    doc.setPageSize(pageSize);

    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        painter.save();
        const QRectF clip(0, i * pageSize.height(), pageSize.width(), pageSize.height());
        painter.translate(0, -clip.top());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        context.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace vel
