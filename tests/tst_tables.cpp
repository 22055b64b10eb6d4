// The two tables: the block rules, the models behind the views, and the
// window's use of them (open, edit, drag, "+", the chart, saving).
#include "bodyimport/importdialog.h"
#include "chart/weightchart.h"
#include "grids/chartfeed.h"
#include "grids/diagnosticmodel.h"
#include "grids/gridlook.h"
#include "grids/visitmodel.h"
#include "support/formfixture.h"
#include "visits/diagnosticblocks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace vel;
using testsupport::cp1251;
using testsupport::readAll;
using testsupport::writeFile;

namespace {

QStringList column(const QVector<QStringList> &rows, int c)
{
    QStringList cells;
    for (const QStringList &row : rows)
        cells << row.value(c);
    return cells;
}

QString cell(const QTableView *grid, int row, int c)
{
    return grid->model()->index(row, c).data().toString();
}

} // namespace

class TestTables final : public QObject, private FormFixture {
    Q_OBJECT

private slots:
    void appendBlock_data()
    {
        QTest::addColumn<QVector<QStringList>>("before");
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("keptHeading");
        const QStringList empty{QString(), QString(), QString(), QString()};
        QTest::newRow("one empty row") << QVector<QStringList>{empty} << 0 << QString();
        // A single row counts as empty even when it holds text; its point cell stays.
        QTest::newRow("one row with text") << QVector<QStringList>{{"x", "a", "b", "c"}} << 0 << QStringLiteral("x");
        QTest::newRow("two rows") << QVector<QStringList>{empty, empty} << 2 << QString();
        QTest::newRow("after a block") << QVector<QStringList>(14, empty) << 14 << QString();
    }
    void appendBlock()
    {
        QFETCH(QVector<QStringList>, before);
        QFETCH(int, first);
        QFETCH(QString, keptHeading);
        QVector<QStringList> rows = before;
        QCOMPARE(vel::appendBlock(rows, QStringLiteral("5.03.2024")), first);
        QCOMPARE(rows.size(), first + kBlockRows);
        QCOMPARE(rows.at(first), (QStringList{keptHeading, "Дата", "Правая рука", "Левая рука"}));
        QCOMPARE(rows.at(first + 1).at(1), QStringLiteral("5.03.2024"));
        QCOMPARE(rows.at(first + 7), (QStringList{QString(), QString(), "Правая нога", "Левая нога"}));
        QCOMPARE(column(rows.mid(first + 1), 0),
                 (QStringList{"1", "2", "3", "4", "5", "6", "", "1", "2", "3", "4", "5", "6"}));
    }

    void storedRowsGetPointNumbersOfWholeBlocksOnly()
    {
        const QVector<QStringList> stored(16, QStringList{"a", "b", "c"});
        const QVector<QStringList> rows = diagnosticRowsFromStored(stored);
        QCOMPARE(rows.size(), 16);
        QCOMPARE(rows.at(13).at(0), QStringLiteral("6"));
        QCOMPARE(rows.at(14).at(0), QString()); // the part block has no numbers
        QCOMPARE(storedDiagnosticRows(rows), stored);
        QCOMPARE(diagnosticRowsFromStored({}).size(), 1);
    }

    void dragPutsTheRowAtTheDropPlace_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::newRow("down") << 1 << 3 << "02314";
        QTest::newRow("up") << 3 << 0 << "30124";
        QTest::newRow("to the end") << 0 << 4 << "12340";
        QTest::newRow("onto itself") << 2 << 2 << "01234";
    }
    void dragPutsTheRowAtTheDropPlace()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, order);
        DiagnosticModel model;
        QVector<QStringList> stored;
        for (int r = 0; r < 5; ++r)
            stored << QStringList{QString::number(r), QString(), QString()};
        model.setStoredRows(stored);
        model.moveRowTo(from, to);
        QString got;
        for (const QStringList &row : model.storedRows())
            got += row.at(0);
        QCOMPARE(got, order);
    }

    void modelsMarkHeadingsAndHeaders()
    {
        DiagnosticModel diagnostic;
        diagnostic.appendBlock(QStringLiteral("5.03.2024"));
        QVERIFY(!(diagnostic.flags(diagnostic.index(3, 0)) & Qt::ItemIsEditable));
        QVERIFY(!diagnostic.setData(diagnostic.index(3, 0), QStringLiteral("9")));
        QVERIFY(diagnostic.flags(diagnostic.index(3, 1)) & Qt::ItemIsEditable);
        QVERIFY(diagnostic.index(0, 1).data(kHeaderRowRole).toBool());
        QVERIFY(diagnostic.index(7, 2).data(kHeaderRowRole).toBool());
        QVERIFY(!diagnostic.index(1, 1).data(kHeaderRowRole).toBool());

        VisitModel visits;
        visits.setTitles({"Дата", "Вес"});
        visits.appendVisit(QStringLiteral("5.03.2024"));
        QVERIFY(visits.index(0, 1).data(kHeaderRowRole).toBool());
        QVERIFY(!visits.index(1, 1).data(kHeaderRowRole).toBool());
        QVERIFY(visits.flags(visits.index(0, 1)) & Qt::ItemIsEditable); // titles may be overwritten
    }

    void chartFollowsItsColumnsOnce_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("emitted");
        QTest::newRow("weight") << 1 << 1 << 1;
        QTest::newRow("date") << 1 << 0 << 1;
        QTest::newRow("hips") << 2 << 3 << 1;
        QTest::newRow("health") << 1 << 5 << 0;
        QTest::newRow("title") << 0 << 1 << 0;
    }
    void chartFollowsItsColumnsOnce()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, emitted);
        VisitModel model;
        ChartFeed feed(&model);
        QSignalSpy spy(&feed, &ChartFeed::changed);
        model.setVisits({{"1.03.2024", "80"}, {"5.03.2024", "79", "90"}, {"нет даты", "70"}});
        QCOMPARE(spy.count(), 1); // a whole card is one change
        QCOMPARE(model.visits().at(0).size(), 10);
        model.setData(model.index(row, column), QStringLiteral("7.03.2024"));
        model.appendVisit(QStringLiteral("9.03.2024"));
        model.setData(model.index(4, 1), QStringLiteral("75"));
        QCOMPARE(spy.count(), 1 + emitted + 2);
        // Row by row, the feed gives what reading the whole table gives.
        const ChartSeries whole = chartSeries(model.visits()), kept = feed.series();
        QCOMPARE(kept.weight.size(), whole.weight.size());
        for (int i = 0; i < whole.weight.size(); ++i) {
            QCOMPARE(kept.weight.at(i).date, whole.weight.at(i).date);
            QCOMPARE(kept.weight.at(i).value, whole.weight.at(i).value);
        }
        QCOMPARE(kept.waist.size(), whole.waist.size());
        QCOMPARE(kept.hips.size(), whole.hips.size());
    }

    void windowTables()
    {
        makeFolder();
        // Two blocks of which the second is dragged, and three visits; every
        // other file as a save writes it.
        QByteArray tb1, tb2;
        for (int r = 0; r < 28; ++r)
            tb1 += cp1251(QStringLiteral("д%1\r\nп%1\r\nл%1\r\n").arg(r));
        for (const char *row : {"1.03.2024\r\n82,5\r\n", "8.03.2024\r\n81\r\n", "x\r\n80\r\n"}) {
            tb2 += row;
            tb2 += QByteArray("\r\n").repeated(8);
        }
        openForm(QDate(2024, 3, 5));
        trigger("NewAct");
        QTest::keyClicks(find<QWidget>("FioEdit"), "Ivanova");
        find<QLineEdit>("BirEdit")->setText("01.01.1980");
        trigger("SaveAct");
        const QString main = path("Ivanova.dat");
        writeFile(main + ".tb1", tb1);
        writeFile(main + ".tb2", tb2);
        m_platform->nextFiles << main;
        trigger("OpenAct");
        QCOMPARE(m_platform->boxes, QStringList());

        auto *grid1 = find<QTableView>("Grid1");
        auto *grid2 = find<QTableView>("Grid2");
        auto *chart = find<WeightChart>("WeightChart");
        QCOMPARE(grid1->model()->rowCount(), 28);
        QCOMPARE(cell(grid1, 22, 0), QStringLiteral("1"));
        QCOMPARE(grid2->model()->rowCount(), 4);
        QCOMPARE(cell(grid2, 0, 5), QStringLiteral("Здоровье"));
        QCOMPARE(chart->series().weight.size(), 2); // "x" is no date

        trigger("SaveAct");
        QCOMPARE(readAll(main + ".tb1"), tb1);
        QCOMPARE(readAll(main + ".tb2"), tb2);

        grid2->model()->setData(grid2->model()->index(3, 0), QStringLiteral("15.03.2024"));
        QCOMPARE(chart->series().weight.size(), 3);
        QCOMPARE(chart->series().weight.last().value, 80.0);

        // Dragged by its point number, a row takes its cells and number along.
        find<QTabWidget>("PageControl1")->setCurrentIndex(TMainForm::DiagnosticPage);
        QTest::qWait(0);
        grid1->scrollTo(grid1->model()->index(16, 0));
        auto centre = [grid1](int row) { return grid1->visualRect(grid1->model()->index(row, 0)).center(); };
        QTest::mousePress(grid1->viewport(), Qt::LeftButton, {}, centre(15));
        QTest::mouseRelease(grid1->viewport(), Qt::LeftButton, {}, centre(17));
        QCOMPARE(cell(grid1, 17, 1), QStringLiteral("д15"));
        QCOMPARE(cell(grid1, 17, 0), QStringLiteral("1"));
        QCOMPARE(cell(grid1, 15, 1), QStringLiteral("д16"));

        // "+" on each page appends after what is there.
        find<QToolButton>("AddButton")->click();
        QCOMPARE(grid1->model()->rowCount(), 42);
        QCOMPARE(cell(grid1, 29, 1), QStringLiteral("5.03.2024"));
        find<QToolButton>("Add2Button")->click();
        QCOMPARE(grid2->model()->rowCount(), 5);
        QCOMPARE(cell(grid2, 4, 0), QStringLiteral("05.03.2024"));
        QCOMPARE(chart->series().weight.size(), 3); // a new row has no weight yet
    }

    void bodyCompositionInTheTableChartAndImport()
    {
        QSettings("velnokasi", "velnokasi").clear();
        QTemporaryDir dir;
        writeFile(dir.filePath("shablon.kmt"), cp1251("Диета\r\n"));
        ScriptedPlatform platform;
        TMainForm form(&platform, QDate(2024, 3, 5), dir.path());
        form.show();
        form.NewActExecute();
        form.findChild<QLineEdit *>("FioEdit")->setText("Petrova");
        form.Add2ButtonClick();
        auto *grid2 = form.findChild<QTableView *>("Grid2");
        auto *chart = form.findChild<WeightChart *>("WeightChart");
        auto *model = grid2->model();

        // Hidden until the doctor turns them on, and remembered.
        QCOMPARE(model->columnCount(), 15);
        QVERIFY(grid2->isColumnHidden(10) && grid2->isColumnHidden(14));
        QCOMPARE(cell(grid2, 0, 10), QStringLiteral("% жира"));
        form.findChild<QToolButton *>("BodyButton")->click();
        QVERIFY(!grid2->isColumnHidden(10) && !grid2->isColumnHidden(14));
        QVERIFY(QSettings("velnokasi", "velnokasi").value("bodyColumnsShown").toBool());

        // The fat mass follows the weight and the percentage until one is typed.
        model->setData(model->index(1, 1), "90");
        model->setData(model->index(1, 10), "40");
        QCOMPARE(cell(grid2, 1, 11), QStringLiteral("36"));
        QCOMPARE(model->index(1, 11).data(Qt::EditRole).toString(), QString());
        QCOMPARE(chart->series().fatPercent.size(), 1);
        QCOMPARE(chart->series().fatMass.first().value, 36.0);
        QVERIFY(chart->bodySeriesShown(WeightChart::FatPercentSeries)); // fat % on its own scale at first
        form.findChild<QCheckBox *>("MuscleBox")->click();
        QVERIFY(chart->bodySeriesShown(WeightChart::MuscleSeries));
        form.SaveActExecute();
        QCOMPARE(readAll(dir.filePath("Petrova.dat.bio")), QByteArray("40;;;;\r\n"));

        // An analyser's export: the columns chosen in the dialog, the visit of
        // the same day filled, the other days added.
        platform.nextOpenFiles << QStringLiteral(VEL_TEST_DATA "/analyser-comma.csv");
        platform.onModal = [](QWidget *dialog) {
            auto *d = qobject_cast<ImportDialog *>(dialog);
            QVERIFY(d);
            QCOMPARE(d->choice(ImportField::Water)->currentText(), QStringLiteral("Body Water (%)"));
            d->choice(ImportField::VisceralFat)->setCurrentIndex(0); // not wanted
            d->accept();
        };
        form.findChild<QToolButton *>("ImportButton")->click();
        QCOMPARE(platform.infos.size(), 1);
        QVERIFY2(platform.infos.first().contains("Дополнено приёмов: 0, добавлено: 3"),
                 qPrintable(platform.infos.first()));
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(cell(grid2, 1, 0), QStringLiteral("10.01.2024"));
        QCOMPARE(cell(grid2, 1, 13), QStringLiteral("43,1"));
        QCOMPARE(cell(grid2, 1, 14), QString());
        QCOMPARE(cell(grid2, 4, 0), QStringLiteral("05.03.2024")); // today's visit stays last
        // The choice is kept for the next file of that layout.
        platform.nextOpenFiles << QStringLiteral(VEL_TEST_DATA "/analyser-comma.csv");
        platform.onModal = [](QWidget *dialog) {
            auto *d = qobject_cast<ImportDialog *>(dialog);
            QCOMPARE(d->choice(ImportField::VisceralFat)->currentIndex(), 0);
            d->reject();
        };
        form.findChild<QToolButton *>("ImportButton")->click();
        QCOMPARE(model->rowCount(), 5);
    }
};

QTEST_MAIN(TestTables)
#include "tst_tables.moc"
