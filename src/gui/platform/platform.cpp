#include "platform/platform.h"

#include "platform/printdialogs.h"
#include "platform/printing.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPageLayout>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vel {

QString QtPlatform::chooseCardFile(QWidget *owner, const QString &title, const QString &folder, const QString &initial)
{
    QFileDialog dialog(owner, title, folder, QStringLiteral("Файлы данных DAT (*.dat)"));
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name need not exist
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    if (!initial.isEmpty())
        dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void QtPlatform::errorBox(QWidget *owner, const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    // The box sizes itself by its text only; a long caption would be cut in
    // the title bar, whose font is bolder and which holds its own buttons.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(caption) * 5 / 4 + 120;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    box.exec();
}

bool QtPlatform::setUpPrinter(QWidget *owner, QPrinter &printer, const QString &pdfName)
{
    QPrintDialog dialog(&printer, owner);
    if (!pdfName.isEmpty())
        offerPdfFile(dialog, QDir(lastPdfFolder()).filePath(pdfName));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        rememberPdfFolder(printer.outputFileName());
    return true;
}

bool QtPlatform::print(QPrinter &printer, const QString &jobTitle, const QString &text, const QString &pageHeader)
{
    return printPlainText(printer, jobTitle, text, pageHeader);
}

void QtPlatform::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

void QtPlatform::showHelp(QWidget *owner, int context)
{
    // One help window for the whole run, raised again when asked for.
    static QPointer<QDialog> window;
    if (!window) {
        window = new QDialog(owner ? owner->window() : nullptr, Qt::Window);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(QStringLiteral("Справка"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(640, 520);
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setSource(QUrl(QStringLiteral("qrc:/help/help.html")));
        layout->addWidget(browser);
    }
    if (auto *browser = window->findChild<QTextBrowser *>())
        browser->scrollToAnchor(QStringLiteral("context%1").arg(context));
    window->show();
    window->raise();
    window->activateWindow();
}

void QtPlatform::showModal(QWidget *dialog)
{
    if (auto *d = qobject_cast<QDialog *>(dialog))
        d->exec();
}

} // namespace vel

namespace vel {

void QtPlatform::previewDocument(QWidget *owner, const QString &title, const std::function<void(QPrinter &)> &paint,
                                 const QString &pdfName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter *p) { paint(*p); });
    adaptPreview(dialog, [this, &dialog, &printer, &pdfName] {
        if (!setUpPrinter(&dialog, printer, pdfName))
            return;
        if (auto *preview = dialog.findChild<QPrintPreviewWidget *>())
            preview->print();
        dialog.accept();
    });
    dialog.exec();
}

} // namespace vel
