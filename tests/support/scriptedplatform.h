#pragma once

#include "platform/platform.h"
#include "platform/printing.h"

#include <QPrinter>
#include <QStringList>

#include <functional>

// Answers every dialog from a script and records what the window asked for.
class ScriptedPlatform final : public vel::Platform {
public:
    QStringList nextFiles; // answers of the file dialog, "" cancels
    QStringList fileDialogTitles;
    QStringList fileDialogInitial;
    QStringList boxes; // "caption|text" of every message box
    bool printerAccepted = true;
    QString pdfPath; // set: print for real into this PDF
    bool printFails = false;
    QString printedTitle, printedText;
    QList<QUrl> urls;
    QList<int> helpContexts;
    int modalShown = 0;
    QStringList previewTitles;
    QString previewPdfPath;      // set: the previewed document is saved into this PDF
    QStringList nextFolders;     // answers of the folder dialog, "" cancels
    QStringList nextOpenFiles;   // answers of the open dialog for other files, "" cancels
    QList<int> nextAnswers;      // buttons pressed in questions; none left: the box is closed (-1)
    QStringList nextButtons;     // the same by caption, taken before nextAnswers
    QStringList questions;       // "caption|text" of every question
    QStringList questionButtons; // "Да,Нет,Отмена|0": the buttons and the default of every question
    QStringList infos;           // "caption|text" of every information box
    std::function<void(QWidget *)> onModal; // plays the user in a modal dialog

    QString chooseCardFile(QWidget *, const QString &title, const QString &, const QString &initial) override
    {
        fileDialogTitles << title;
        fileDialogInitial << initial;
        return nextFiles.isEmpty() ? QString() : nextFiles.takeFirst();
    }
    void errorBox(QWidget *, const QString &caption, const QString &text) override
    {
        boxes << caption + QLatin1Char('|') + text;
    }
    QStringList pdfNames; // offered by every printer set-up and preview
    QString printedHeader;

    using vel::Platform::previewDocument;
    using vel::Platform::print;
    using vel::Platform::setUpPrinter;
    bool setUpPrinter(QWidget *, QPrinter &printer, const QString &pdfName) override
    {
        pdfNames << pdfName;
        if (!pdfPath.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
        }
        return printerAccepted;
    }
    bool print(QPrinter &printer, const QString &title, const QString &text, const QString &header) override
    {
        printedTitle = title;
        printedText = text;
        printedHeader = header;
        if (printFails)
            return false;
        return pdfPath.isEmpty() ? true : vel::printPlainText(printer, title, text, header);
    }
    void openUrl(const QUrl &url) override { urls << url; }
    void showHelp(QWidget *, int context) override { helpContexts << context; }
    void showModal(QWidget *dialog) override
    {
        ++modalShown;
        if (onModal)
            onModal(dialog);
    }
    QString chooseFolder(QWidget *, const QString &, const QString &) override
    {
        return nextFolders.isEmpty() ? QString() : nextFolders.takeFirst();
    }
    QString chooseOpenFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return nextOpenFiles.isEmpty() ? QString() : nextOpenFiles.takeFirst();
    }
    using vel::Platform::ask;
    int ask(QWidget *, const QString &caption, const QString &text, const QStringList &answers,
            int defaultAnswer) override
    {
        questions << caption + QLatin1Char('|') + text;
        questionButtons << answers.join(QLatin1Char(',')) + QLatin1Char('|') + QString::number(defaultAnswer);
        if (!nextButtons.isEmpty())
            return int(answers.indexOf(nextButtons.takeFirst()));
        return nextAnswers.isEmpty() ? -1 : nextAnswers.takeFirst();
    }
    void infoBox(QWidget *, const QString &caption, const QString &text) override
    {
        infos << caption + QLatin1Char('|') + text;
    }
    void previewDocument(QWidget *, const QString &title, const std::function<void(QPrinter &)> &paint,
                         const QString &pdfName) override
    {
        previewTitles << title;
        pdfNames << pdfName;
        if (previewPdfPath.isEmpty())
            return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(title);
        printer.setOutputFileName(previewPdfPath);
        paint(printer);
    }
};
