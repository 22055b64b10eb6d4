#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QPrinter;
class QWidget;

namespace vel {

// The services the window asks of the desktop. Tests put a scripted double
// in its place, so no modal dialog ever waits for a person.
class Platform {
public:
    virtual ~Platform() = default;

    // Returns the chosen file's full path, or an empty string when cancelled.
    virtual QString chooseCardFile(QWidget *owner, const QString &title, const QString &folder,
                                   const QString &initial) = 0;
    // A modal box with an error icon and one OK button.
    virtual void errorBox(QWidget *owner, const QString &caption, const QString &text) = 0;
    // The printer set-up dialog; false when cancelled. pdfName, when given, is
    // the file offered for printing into a PDF, in the folder last used for one.
    virtual bool setUpPrinter(QWidget *owner, QPrinter &printer, const QString &pdfName) = 0;
    bool setUpPrinter(QWidget *owner, QPrinter &printer) { return setUpPrinter(owner, printer, QString()); }
    // One print job; false when it failed. pageHeader, when given, heads every page.
    virtual bool print(QPrinter &printer, const QString &jobTitle, const QString &text, const QString &pageHeader) = 0;
    bool print(QPrinter &printer, const QString &jobTitle, const QString &text)
    {
        return print(printer, jobTitle, text, QString());
    }
    virtual void openUrl(const QUrl &url) = 0;
    virtual void showHelp(QWidget *owner, int context) = 0;
    virtual void showModal(QWidget *dialog) = 0;
    // A print preview of a document that paint() lays out on the printer it
    // is given; from there it is printed or saved as PDF (pdfName offered as
    // for setUpPrinter). A platform without printing shows nothing.
    virtual void previewDocument(QWidget *, const QString &, const std::function<void(QPrinter &)> &,
                                 const QString & /*pdfName*/)
    {
    }
    void previewDocument(QWidget *owner, const QString &title, const std::function<void(QPrinter &)> &paint)
    {
        previewDocument(owner, title, paint, QString());
    }
    // A folder to write into; an empty string when cancelled.
    virtual QString chooseFolder(QWidget *, const QString & /*title*/, const QString & /*folder*/) { return {}; }
    // An existing file to read, with a filter such as "Архивы (*.zip)"; empty when cancelled.
    virtual QString chooseOpenFile(QWidget *, const QString & /*title*/, const QString & /*folder*/,
                                   const QString & /*filter*/)
    {
        return {};
    }
    // A question with its answers as buttons, the one at defaultAnswer the
    // default and the last one the answer of Esc; the index of the one
    // pressed, -1 when the box was closed.
    virtual int ask(QWidget *, const QString & /*caption*/, const QString & /*text*/, const QStringList & /*answers*/,
                    int /*defaultAnswer*/)
    {
        return -1;
    }
    int ask(QWidget *owner, const QString &caption, const QString &text, const QStringList &answers)
    {
        return ask(owner, caption, text, answers, 0);
    }
    // A box with an information icon and one OK button.
    virtual void infoBox(QWidget *, const QString & /*caption*/, const QString & /*text*/) {}
};

// The real thing: Qt's own dialogs, modal, with the window as parent.
class QtPlatform final : public Platform {
public:
    QString chooseCardFile(QWidget *owner, const QString &title, const QString &folder,
                           const QString &initial) override;
    void errorBox(QWidget *owner, const QString &caption, const QString &text) override;
    using Platform::previewDocument;
    using Platform::print;
    using Platform::setUpPrinter;
    bool setUpPrinter(QWidget *owner, QPrinter &printer, const QString &pdfName) override;
    bool print(QPrinter &printer, const QString &jobTitle, const QString &text, const QString &pageHeader) override;
    void openUrl(const QUrl &url) override;
    void showHelp(QWidget *owner, int context) override;
    void showModal(QWidget *dialog) override;
    void previewDocument(QWidget *owner, const QString &title, const std::function<void(QPrinter &)> &paint,
                         const QString &pdfName) override;
    QString chooseFolder(QWidget *owner, const QString &title, const QString &folder) override;
    QString chooseOpenFile(QWidget *owner, const QString &title, const QString &folder, const QString &filter) override;
    using Platform::ask;
    int ask(QWidget *owner, const QString &caption, const QString &text, const QStringList &answers,
            int defaultAnswer) override;
    void infoBox(QWidget *owner, const QString &caption, const QString &text) override;
};

} // namespace vel
