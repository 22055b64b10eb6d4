#include "platform/platform.h"
#include "platform/printdialogs.h"
#include "platform/printing.h"
#include "visits/prescription.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Chooses "print into a PDF" in Qt's print dialog, into this file, and accepts.
void printIntoPdf(QPrintDialog *dialog, const QString &path)
{
    auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
    QVERIFY(printers);
    printers->setCurrentIndex(printers->count() - 1);
    dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(path);
    dialog->accept();
}

} // namespace

class TestPrinting final : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings(QStringLiteral("velnokasi"), QStringLiteral("velnokasi")).clear(); }

    void pdfNames_data()
    {
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("name");
        QTest::newRow("prescription") << "Иванова Анна Петровна"
                                      << "рецепт"
                                      << "Иванова Анна Петровна — рецепт 8.12.2026.pdf";
        QTest::newRow("report, blanks tidied") << "  Иванова   А.П. "
                                               << "отчёт о динамике"
                                               << "Иванова А.П. — отчёт о динамике 8.12.2026.pdf";
        QTest::newRow("no name yet") << ""
                                     << "рецепт"
                                     << "Рецепт 8.12.2026.pdf";
        QTest::newRow("marks no file may hold") << "Петров/Водкин: \"Иван\"?"
                                                << "рецепт"
                                                << "Петров_Водкин_ _Иван__ — рецепт 8.12.2026.pdf";
    }
    void pdfNames()
    {
        QFETCH(QString, patient);
        QFETCH(QString, what);
        QFETCH(QString, name);
        QCOMPARE(vel::pdfFileName(patient, what, "8.12.2026"), name);
    }

    void zoomTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("percent"); // -1: not a zoom
        QTest::addColumn<QString>("shown");
        QTest::newRow("the preview's own") << "38.8%" << 38.8 << "38,8 %";
        QTest::newRow("Russian") << "38,8 %" << 38.8 << "38,8 %";
        QTest::newRow("whole") << "100.0%" << 100.0 << "100 %";
        QTest::newRow("bare number") << "50" << 50.0 << "50 %";
        QTest::newRow("words") << "много" << -1.0 << "";
    }
    void zoomTexts()
    {
        QFETCH(QString, typed);
        QFETCH(double, percent);
        QFETCH(QString, shown);
        const auto read = vel::readZoomText(typed);
        QCOMPARE(read.value_or(-1.0), percent);
        if (read)
            QCOMPARE(vel::zoomText(*read), shown);
    }

    // The file offered is the patient's in the folder last printed into.
    void printDialogOffersTheLastFolder()
    {
        QTemporaryDir dir;
        vel::QtPlatform platform;
        QStringList offered;
        const auto answer = [&](const QString &path) {
            QTimer::singleShot(0, [&offered, path] {
                auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                offered << dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->text();
                printIntoPdf(dialog, path);
            });
        };
        QPrinter printer;
        answer(dir.filePath("первый.pdf"));
        QVERIFY(platform.setUpPrinter(nullptr, printer, "Иванова — рецепт 8.12.2026.pdf"));
        QCOMPARE(printer.outputFileName(), dir.filePath("первый.pdf"));
        QPrinter second;
        answer(dir.filePath("второй.pdf"));
        QVERIFY(platform.setUpPrinter(nullptr, second, "Петров — рецепт 8.12.2026.pdf"));
        QCOMPARE(offered.size(), 2);
        QVERIFY2(offered.at(0).endsWith("/Иванова — рецепт 8.12.2026.pdf"), qPrintable(offered.at(0)));
        QCOMPARE(offered.at(1), QDir(dir.path()).filePath("Петров — рецепт 8.12.2026.pdf"));
    }

    // The preview shows its scale the Russian way, reads it back typed either
    // way, and prints through the dialog that offers the report's name.
    void previewZoomAndPrint()
    {
        QTemporaryDir dir;
        QSettings(QStringLiteral("velnokasi"), QStringLiteral("velnokasi")).setValue("print/pdfFolder", dir.path());
        vel::QtPlatform platform;
        QString shownAtStart, offered;
        QStringList items;
        double typedZoom = 0, chosenZoom = 0;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *zoom = dialog->findChild<QComboBox *>();
            auto *preview = dialog->findChild<QPrintPreviewWidget *>();
            shownAtStart = zoom->lineEdit()->text();
            for (int i = 0; i < zoom->count(); ++i)
                items << zoom->itemText(i);
            zoom->lineEdit()->setText("50");
            emit zoom->lineEdit()->editingFinished();
            typedZoom = preview->zoomFactor();
            emit zoom->textActivated("200 %");
            chosenZoom = preview->zoomFactor();
            QTimer::singleShot(0, [&] {
                auto *print = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
                QVERIFY(print);
                offered = print->findChild<QLineEdit *>(QStringLiteral("filename"))->text();
                printIntoPdf(print, dir.filePath("report.pdf"));
            });
            const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
            for (QAction *action : dialog->findChildren<QAction *>())
                if (action->text() == printText)
                    action->trigger();
        });
        platform.previewDocument(
            nullptr, "Отчёт о динамике",
            [](QPrinter &printer) {
                QPainter p(&printer);
                p.drawText(100, 100, "Отчёт");
            },
            "Иванова — отчёт о динамике 8.12.2026.pdf");
        QVERIFY2(QRegularExpression("^\\d+(,\\d)? %$").match(shownAtStart).hasMatch(), qPrintable(shownAtStart));
        QVERIFY2(items.contains("12,5 %") && items.contains("100 %"), qPrintable(items.join('|')));
        QCOMPARE(typedZoom, 0.5);
        QCOMPARE(chosenZoom, 2.0);
        QCOMPARE(offered, QDir(dir.path()).filePath("Иванова — отчёт о динамике 8.12.2026.pdf"));
        QVERIFY(QFileInfo(dir.filePath("report.pdf")).size() > 0);
    }

    // A long prescription: every word inside 20 mm margins, the header on
    // every page with its number, the signature at the end.
    void prescriptionOnPaper()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("рецепт.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString text = vel::prescriptionText("8.12.2026", "Козлов Иван", "1.12.2026",
                                                   QString("Строка препарата\n").repeated(80), "Гулять");
        QVERIFY(vel::printPlainText(printer, "Рецепт", text, vel::prescriptionHeader("8.12.2026", "Козлов Иван")));

        // VEL_PRINT_COPY=<folder> keeps the printout for a look.
        if (qEnvironmentVariableIsSet("VEL_PRINT_COPY"))
            QFile::copy(pdf, qEnvironmentVariable("VEL_PRINT_COPY") + "/prescription.pdf");
        const QString layout = run("pdftotext", {"-layout", pdf, "-"});
        if (layout.isEmpty())
            QSKIP("pdftotext is not installed");
        const QStringList pages = layout.split(QChar(u'\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(pages.at(i).contains("Козлов Иван — Рецепт лечения от 8.12.2026"), qPrintable(pages.at(i)));
            QVERIFY(pages.at(i).contains(QString("стр. %1 из 2").arg(i + 1)));
        }
        QVERIFY(pages.at(1).contains("Врач: ______________________ (подпись)"));
        QCOMPARE(layout.count("Строка препарата"), 80); // none twice at a page break

        // Word boxes in points: 20 mm is 56.7 pt from every edge of 595 × 842.
        const QString boxes = run("pdftotext", {"-bbox", pdf, "-"});
        const QRegularExpression word("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\"");
        int words = 0;
        for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
            const auto m = it.next();
            QVERIFY(m.captured(1).toDouble() >= 56.5 && m.captured(2).toDouble() >= 56.5);
            QVERIFY2(m.captured(3).toDouble() <= 595.3 - 56.5 && m.captured(4).toDouble() <= 841.9 - 56.5,
                     qPrintable(m.captured(0)));
        }
        QVERIFY(words > 100);
    }

    void openDialogColumnsFitNameAndDate()
    {
        QTemporaryDir dir;
        const QString name = "Константинопольская Антонина Владимировна.dat";
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        vel::QtPlatform platform;
        int nameWidth = 0, nameColumn = 0, dateWidth = 0, dateColumn = 0;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *tree = dialog->findChild<QTreeView *>("treeView");
            QVERIFY(tree);
            const QFontMetrics fm(tree->font());
            nameWidth = fm.horizontalAdvance(name);
            nameColumn = tree->header()->sectionSize(0);
            dateWidth = fm.horizontalAdvance(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
            dateColumn = tree->header()->sectionSize(3);
            dialog->reject();
        });
        QCOMPARE(platform.chooseCardFile(nullptr, "Открыть", dir.path(), QString()), QString());
        QVERIFY2(nameColumn > nameWidth + 20, qPrintable(QString("%1 %2").arg(nameColumn).arg(nameWidth)));
        QVERIFY2(dateColumn > dateWidth + 10, qPrintable(QString("%1 %2").arg(dateColumn).arg(dateWidth)));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
