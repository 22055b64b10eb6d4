#include "chart/weightchart.h"
#include "numbers/progressreport.h"
#include "platform/platform.h"
#include "report/progresssheet.h"
#include "support/formfixture.h"
#include "widgets/numberlabel.h"
#include "widgets/radiogroup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    const QString info = run("pdfinfo", {pdf});
    const auto match = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

class TestReport final : public QObject, private FormFixture {
    Q_OBJECT

    void set(const char *edit, const QString &text) { find<QLineEdit>(edit)->setText(text); }
    QString shown(const char *label) const { return find<vel::NumberLabel>(label)->fullText(); }

    // A woman of 48 on 5.03.2024, 165 cm, losing half a kilogram a week.
    void fillCard(int visits)
    {
        trigger("NewAct");
        set("FioEdit", "Смирнова Ольга Петровна");
        set("BirEdit", "12.05.1975");
        m_form->BirEditChange();
        find<QRadioButton>("SexGroup_1")->setChecked(true);
        set("RostEdit", "165");
        set("VesEdit", "92");
        set("TalEdit", "98");
        set("BedrEdit", "118");
        find<QComboBox>("AktivBox")->setCurrentIndex(2);
        set("CelEdit", "80");
        QAbstractItemModel *grid = find<QTableView>("Grid2")->model();
        auto cell = [grid](int r, int c, const QString &text) { grid->setData(grid->index(r, c), text); };
        const QDate first(2023, 10, 3);
        for (int v = 0; v < visits; ++v) {
            m_form->Add2ButtonClick();
            const int r = grid->rowCount() - 1;
            cell(r, 0, first.addDays(7 * v).toString("d.MM.yyyy"));
            cell(r, 1, QString::number(100 - 0.5 * v).replace('.', ','));
            cell(r, 2, QString::number(110 - v));
            cell(r, 3, QString::number(125 - v / 2));
        }
    }

private slots:
    void init()
    {
        makeForm(QDate(2024, 3, 5));
    }

    void reportNeedsACard()
    {
        QAction *report = find<QAction>("ReportAct");
        QVERIFY(!report->isEnabled());
        trigger("NewAct");
        QVERIFY(report->isEnabled());
        trigger("ShablAct");
        QVERIFY(!report->isEnabled());
    }

    void numbersFollowTyping()
    {
        fillCard(3);
        // Today's numbers come from the last visit (99 kg, waist 108 on 17.10.2023), not the
        // page's 92 kg; at a BMI of 36,4 the waist-to-height ratio is not given.
        QCOMPARE(shown("OtRostLabel"), QString());
        // 990 + 1031,25 - 240 - 161 = 1620,25; x 1,55 = 2511,4.
        QCOMPARE(shown("EnergLabel"),
                 QString("Обмен покоя: 1620 ккал/сут, с активностью: 2511 (при весе 99 кг на 17.10.2023)"));
        QCOMPARE(shown("KalorLabel"), QString("Для снижения веса: 1811–2011 ккал/сут"));
        QCOMPARE(shown("BmiLabel"), QString("ИМТ: 36,4 — ожирение II степени (на 17.10.2023)"));
        QCOMPARE(shown("DinamLabel"), QString("Снижение с 03.10.2023: 1,0 кг (1,0 %)"));
        // Half a kilogram a week from 99 kg on 17.10.2023 reaches 80 kg 266 days later.
        QCOMPARE(find<vel::WeightChart>("WeightChart")->forecast(), QString("цель ≈ 09.07.2024"));
        find<vel::RadioGroup>("SexGroup")->setItemIndex(-1);
        QCOMPARE(shown("EnergLabel"), QString());
        set("CelEdit", "");
        find<QComboBox>("TypeBox")->setCurrentIndex(0);
        QCOMPARE(find<QLineEdit>("CelEdit")->placeholderText(), QString("по Броку 65 кг"));
    }

    void levelAndGoalAreKeptWithTheCard()
    {
        fillCard(2);
        trigger("SaveAct");
        trigger("NewAct");
        QCOMPARE(find<QComboBox>("AktivBox")->currentIndex(), -1);
        QCOMPARE(find<QLineEdit>("CelEdit")->text(), QString());
        m_platform->nextFiles << m_dir->filePath("Смирнова Ольга Петровна.dat");
        trigger("OpenAct");
        QCOMPARE(find<QComboBox>("AktivBox")->currentIndex(), 2);
        QCOMPARE(find<QLineEdit>("CelEdit")->text(), QString("80"));
    }

    void realPreviewShowsTheSheet()
    {
        vel::QtPlatform platform;
        int pages = 0;
        QString title;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            if (auto *preview = dialog->findChild<QPrintPreviewWidget *>())
                pages = preview->pageCount();
            dialog->reject();
        });
        platform.previewDocument(m_form.get(), "Отчёт о динамике", [](QPrinter &printer) {
            vel::ProgressSheet(vel::ProgressReport{}, {}, std::nullopt, QString()).print(printer);
        });
        QCOMPARE(title, QString("Отчёт о динамике"));
        QCOMPARE(pages, 1);
    }

    void reportReadBack_data()
    {
        QTest::addColumn<int>("visits");
        QTest::addColumn<int>("pages");
        // The body numbers follow the last visit's weight and girths, not the page's.
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("3 visits") << 3 << 1
                                  << QStringList{"ОТ/ОБ: 0,87 — риск существенно повышен (на 17.10.2023)",
                                                 "Обмен покоя: 1620 ккал/сут (при весе 99 кг на 17.10.2023)",
                                                 "Потребность: 2511 ккал/сут", "Для снижения веса: 1811–2011 ккал/сут"};
        QTest::newRow("20 visits") << 20 << 1
                                   << QStringList{
                                          "ОТ/ОБ: 0,78 (на 13.02.2024)", "ОТ/рост: 0,55 — риск повышен (на 13.02.2024)",
                                          "Обмен покоя: 1535 ккал/сут (при весе 90,5 кг на 13.02.2024)",
                                          "Потребность: 2380 ккал/сут", "Для снижения веса: 1680–1880 ккал/сут"};
        QTest::newRow("30 visits") << 30 << 2
                                   << QStringList{"ОТ/ОБ: 0,73 (на 23.04.2024)",
                                                  "ОТ/рост: 0,49 — риск не повышен (на 23.04.2024)",
                                                  "Обмен покоя: 1485 ккал/сут (при весе 85,5 кг на 23.04.2024)",
                                                  "Потребность: 2302 ккал/сут",
                                                  "Для снижения веса: 1602–1802 ккал/сут"};
    }

    void reportReadBack()
    {
        QFETCH(int, visits);
        QFETCH(int, pages);
        QFETCH(QStringList, numbers);
        fillCard(visits);
        m_platform->previewPdfPath = m_dir->filePath("report.pdf");
        trigger("ReportAct");
        QCOMPARE(m_platform->previewTitles, QStringList{"Отчёт о динамике"});
        // VEL_REPORT_COPY=<folder> keeps the sheets for a look.
        if (qEnvironmentVariableIsSet("VEL_REPORT_COPY"))
            QFile::copy(m_platform->previewPdfPath,
                        qEnvironmentVariable("VEL_REPORT_COPY") + QString("/report-%1.pdf").arg(visits));
        QCOMPARE(pdfPages(m_platform->previewPdfPath), pages);

        // Words may be spread by justification; compare with single blanks.
        const QString text = run("pdftotext", {"-raw", m_platform->previewPdfPath, "-"}).simplified();
        const QString last = QString::number(100 - 0.5 * (visits - 1)).replace('.', ',');
        const QString lost = QString::number(0.5 * (visits - 1), 'f', 1).replace('.', ',');
        for (const QString &part :
             QStringList{QString("Отчёт о динамике"), QString("Дата: 05.03.2024"),
                         QString("Ф.И.О.: Смирнова Ольга Петровна"), QString("Дата рождения: 12.05.1975, 48 лет"),
                         QString("Рост: 165 см"), QString("Первый визит: 03.10.2023, вес 100 кг"),
                         QString("вес " + last + " кг"), QString("Снижение: " + lost + " кг"),
                         QString("ИМТ в начале: 36,7 — ожирение II"), QString("Целевой вес: 80 кг")} +
                 numbers)
            QVERIFY2(text.contains(part), qPrintable(part + " not in: " + text));
        for (int v = 0; v < visits; ++v) {
            const QString date = QDate(2023, 10, 3).addDays(7 * v).toString("d.MM.yyyy");
            QVERIFY2(text.contains(date + " " + QString::number(100 - 0.5 * v).replace('.', ',')), qPrintable(date));
        }
    }

    void childSheet()
    {
        // A girl of ten: the sheet gives her SDS, and no adult energy numbers.
        vel::CardState card;
        testsupport::setTexts(card, {{"FioEdit", "Петрова Маша"},
                                     {"BirEdit", "08.12.2016"},
                                     {"RostEdit", "140"},
                                     {"VesEdit", "48"},
                                     {"TalEdit", "80"},
                                     {"BedrEdit", "90"}});
        testsupport::setIndices(card, {{"SexGroup", 1}, {"AktivBox", 1}});
        for (const QStringList &visit :
             {QStringList{"08.09.2026", "48", "80", "90"}, QStringList{"10.11.2026", "47,6", "79", "90"},
              QStringList{"08.12.2026", "47,0", "78", "89"}})
            card.visitRows << visit + QStringList{"", "", "", "", "", ""};
        const vel::ProgressSheet sheet(vel::progressReport(card, QDate(2026, 12, 8)), vel::chartSeries(card.visitRows),
                                       std::nullopt, "140");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir->filePath("child.pdf"));
        sheet.print(printer);
        if (qEnvironmentVariableIsSet("VEL_REPORT_COPY"))
            QFile::copy(m_dir->filePath("child.pdf"), qEnvironmentVariable("VEL_REPORT_COPY") + "/report-child.pdf");
        const QString text = run("pdftotext", {"-raw", m_dir->filePath("child.pdf"), "-"}).simplified();
        for (const QString &part :
             {QString("ИМТ сейчас: 24,0 — SDS +2,30: ожирение I степени (дети 5–19 лет, ВОЗ 2007)"),
              QString("Обмен покоя: не применяется до 18 лет")})
            QVERIFY2(text.contains(part), qPrintable(part + " not in: " + text));
        QVERIFY(!text.contains("Потребность"));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
