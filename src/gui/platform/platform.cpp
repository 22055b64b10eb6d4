#include "platform/platform.h"

#include "platform/printdialogs.h"
#include "platform/printing.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPageLayout>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeView>
#include <QVBoxLayout>

namespace vel {

namespace {

// Qt's own file dialog starts with columns too narrow for a patient's full
// name and for a date with its time: widen them, and the dialog with them.
void widenFileColumns(QFileDialog &dialog)
{
    auto *tree = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!tree)
        return; // the desktop's own dialog
    QHeaderView *header = tree->header();
    if (header->count() < 4)
        return;
    const QFontMetrics fm(tree->font());
    const int name = fm.horizontalAdvance(QStringLiteral("Константинопольская Антонина Владимировна.dat")) + 40;
    const QString date = QLocale().toString(QDateTime(QDate(2026, 12, 28), QTime(23, 58)), QLocale::ShortFormat);
    const int when = fm.horizontalAdvance(date) + 30;
    header->setStretchLastSection(false);
    header->resizeSection(0, std::max(header->sectionSize(0), name));
    header->resizeSection(3, std::max(header->sectionSize(3), when));
    int columns = 0;
    for (int i = 0; i < header->count(); ++i)
        if (!header->isSectionHidden(i))
            columns += header->sectionSize(i);
    // The places list at the left, the frame and the scroll bar beside the columns.
    const int wanted = columns + 260;
    dialog.resize(std::max(dialog.width(), wanted), std::max(dialog.height(), 460));
}

// The box sizes itself by its text only; a long caption would be cut in the
// title bar, whose font is bolder and which holds its own buttons.
void makeRoomForCaption(QMessageBox &box)
{
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle()) * 5 / 4 + 120;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
}

} // namespace

QString QtPlatform::chooseCardFile(QWidget *owner, const QString &title, const QString &folder, const QString &initial)
{
    QFileDialog dialog(owner, title, folder, QStringLiteral("Файлы данных DAT (*.dat)"));
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name need not exist
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    if (!initial.isEmpty())
        dialog.selectFile(initial);
    widenFileColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtPlatform::chooseFolder(QWidget *owner, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(owner, title, folder);
}

QString QtPlatform::chooseOpenFile(QWidget *owner, const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

int QtPlatform::ask(QWidget *owner, const QString &caption, const QString &text, const QStringList &answers,
                    int defaultAnswer)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
    QList<QAbstractButton *> buttons;
    for (const QString &answer : answers)
        buttons << box.addButton(answer, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    if (!buttons.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.value(defaultAnswer, buttons.constFirst())));
        box.setEscapeButton(buttons.constLast());
    }
    makeRoomForCaption(box);
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

void QtPlatform::infoBox(QWidget *owner, const QString &caption, const QString &text)
{
    QMessageBox::information(owner, caption, text);
}

void QtPlatform::errorBox(QWidget *owner, const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    makeRoomForCaption(box);
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
