#include "platform/printdialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace vel {

void offerPdfFile(QPrintDialog &dialog, const QString &path)
{
    // Qt's own dialog on Linux keeps the output file in this field; other
    // platforms' dialogs have none, and there is nothing to offer.
    if (auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename")))
        file->setText(path);
}

QString zoomText(double percent)
{
    QString number = QLocale(QLocale::Russian).toString(percent, 'f', 1);
    if (number.endsWith(QStringLiteral(",0")))
        number.chop(2);
    return number + QStringLiteral(" %");
}

std::optional<double> readZoomText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d{1,4}(?:[.,]\d*)?)\s*%?\s*$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = match.captured(1).replace(u',', u'.').toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

void adaptPreview(QPrintPreviewDialog &dialog, const std::function<void()> &print)
{
    auto *preview = dialog.findChild<QPrintPreviewWidget *>();
    auto *zoom = dialog.findChild<QComboBox *>();
    if (preview && zoom && zoom->lineEdit()) {
        QLineEdit *edit = zoom->lineEdit();
        // The preview reads its box with a decimal point only: it is read here instead.
        QObject::disconnect(edit, &QLineEdit::editingFinished, &dialog, nullptr);
        QObject::disconnect(zoom, &QComboBox::currentIndexChanged, &dialog, nullptr);
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral(R"(\s*\d{0,4}([.,]\d?)?\s*%?\s*)")), edit));
        for (int i = 0; i < zoom->count(); ++i)
            if (const auto percent = readZoomText(zoom->itemText(i)))
                zoom->setItemText(i, zoomText(*percent));
        // The preview writes "38.8%" after every change of scale.
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
            if (!text.contains(u'.') || !text.endsWith(u'%'))
                return;
            if (const auto percent = readZoomText(text))
                edit->setText(zoomText(*percent));
        });
        auto *fitWidth = dialog.findChild<QAction *>(QStringLiteral("fitWidthAction"));
        auto *fitPage = dialog.findChild<QAction *>(QStringLiteral("fitPageAction"));
        const auto apply = [preview, edit, fitWidth, fitPage](const QString &text) {
            const auto percent = readZoomText(text);
            if (!percent)
                return;
            const double bounded = qBound(1.0, *percent, 1000.0);
            // A scale of one's own ends fitting the page or its width.
            if (fitWidth && fitPage) {
                if (QActionGroup *group = fitWidth->actionGroup())
                    group->setExclusive(false);
                fitWidth->setChecked(false);
                fitPage->setChecked(false);
            }
            preview->setZoomFactor(bounded / 100);
            edit->setText(zoomText(bounded));
        };
        QObject::connect(edit, &QLineEdit::editingFinished, &dialog, [edit, apply] { apply(edit->text()); });
        QObject::connect(zoom, &QComboBox::textActivated, &dialog, apply);
        edit->setText(zoomText(preview->zoomFactor() * 100));
    }

    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction *action : dialog.findChildren<QAction *>()) {
        if (action->text() != printText)
            continue;
        QObject::disconnect(action, &QAction::triggered, &dialog, nullptr);
        QObject::connect(action, &QAction::triggered, &dialog, [print] { print(); });
    }
}

} // namespace vel
