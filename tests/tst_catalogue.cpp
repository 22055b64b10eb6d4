#include "tables/catalogue.h"

#include <QSet>
#include <QString>
#include <QtTest>

#include <vector>

using namespace vel;

namespace {

const CatalogueControl *findControl(const QString &name)
{
    for (const CatalogueControl &c : kCatalogue) {
        if (QString::fromLatin1(c.name) == name)
            return &c;
    }
    return nullptr;
}

QString text(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

// Position of a section in a walk over the catalogue that visits the
// sections in the given order.
int positionIn(const std::vector<int> &order, int section)
{
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == section)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void sectionCounts_data();
    void sectionCounts();
    void sectionTable();
    void namesAndTexts();
    void screenOrder();
    void storageLines();
    void summaryRanks();
    void spotChecks_data();
    void spotChecks();
};

void TestCatalogue::sectionCounts_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("checks");
    QTest::addColumn<int>("radios");

    const int counts[18][2] = {{8, 0}, {29, 2}, {5, 4}, {44, 0}, {3, 4},  {11, 1}, {9, 3}, {12, 1}, {15, 0},
                               {8, 0}, {8, 0},  {5, 0}, {23, 0}, {10, 0}, {6, 0},  {7, 0}, {4, 0},  {4, 0}};
    for (int s = 0; s < 18; ++s)
        QTest::addRow("section %d", s + 1) << s + 1 << counts[s][0] << counts[s][1];
}

void TestCatalogue::sectionCounts()
{
    QFETCH(int, section);
    QFETCH(int, checks);
    QFETCH(int, radios);

    int c = 0, r = 0, totalChecks = 0;
    for (const CatalogueControl &ctl : kCatalogue) {
        const bool check = ctl.kind == CatalogueKind::Check;
        totalChecks += check;
        if (ctl.section == section)
            ++(check ? c : r);
    }
    QCOMPARE(c, checks);
    QCOMPARE(r, radios);
    QCOMPARE(totalChecks, 211);
    QCOMPARE(int(kCatalogue.size()) - totalChecks, 15);
}

void TestCatalogue::sectionTable()
{
    for (int i = 0; i < 18; ++i) {
        const CatalogueSection &s = kCatalogueSections[std::size_t(i)];
        QCOMPARE(s.number, i + 1);
        QVERIFY(!text(s.caption).isEmpty());
        if (s.number != 2 && s.number != 9)
            QCOMPARE(text(s.buttonCaption), text(s.caption));
        QCOMPARE(text(s.page), i == 0 ? QStringLiteral("TabSheet1") : QStringLiteral("TabSheet%1").arg(i + 10));
        QCOMPARE(text(s.button), QStringLiteral("SpeedButton%1").arg(i + 1));
        QCOMPARE(text(s.okButton), i == 0 ? QStringLiteral("OkButton") : QStringLiteral("SpeedButton%1").arg(i + 19));
    }
    QCOMPARE(text(kCatalogueSections[1].caption), QStringLiteral("Заболевания сердечно-сосудистой системы"));
    QCOMPARE(text(kCatalogueSections[1].buttonCaption), QStringLiteral("Заболевания сердечно-сосудистой системы"));
    QCOMPARE(text(kCatalogueSections[8].caption), QStringLiteral("Лор-болезни"));
    QCOMPARE(text(kCatalogueSections[8].buttonCaption), QStringLiteral("Лор - болезни"));
    QCOMPARE(text(kCatalogueSections[16].caption), QStringLiteral("Туберкулез"));
}

void TestCatalogue::namesAndTexts()
{
    QSet<QString> names;
    for (const CatalogueControl &c : kCatalogue) {
        const QString name = text(c.name);
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);

        if (c.kind == CatalogueKind::Check) {
            QVERIFY2(name.contains(QLatin1String("Box")), qPrintable(name));
            QVERIFY2(!text(c.caption).isEmpty(), qPrintable(name));
            QVERIFY2(!text(c.summaries[0]).isEmpty(), qPrintable(name));
            QCOMPARE(c.itemCount(), 0);
            for (std::size_t i = 1; i < 4; ++i)
                QVERIFY2(!c.summaries[i], qPrintable(name));
        } else {
            QVERIFY2(name.endsWith(QLatin1String("Group")), qPrintable(name));
            QVERIFY2(!c.caption, qPrintable(name));
            QVERIFY2(!text(c.frame).isEmpty(), qPrintable(name));
            QVERIFY2(c.itemCount() >= 2, qPrintable(name));
            for (std::size_t i = 0; i < 4; ++i) {
                const bool used = int(i) < c.itemCount();
                QVERIFY2(used == !text(c.items[i]).isEmpty(), qPrintable(name));
                QVERIFY2(used == !text(c.summaries[i]).isEmpty(), qPrintable(name));
            }
        }
    }
}

void TestCatalogue::screenOrder()
{
    // Sections follow one another; in a section the left column comes first.
    // Only the pages of sections 2, 3, 4, 5, 7, 8 and 13 have a right column.
    const QSet<int> twoColumns = {2, 3, 4, 5, 7, 8, 13};
    QSet<int> seenRight;
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        const CatalogueControl &c = kCatalogue[i];
        QVERIFY(c.column == 0 || c.column == 1);
        if (c.column == 1)
            seenRight.insert(c.section);
        if (i == 0) {
            QCOMPARE(c.section, 1);
            continue;
        }
        const CatalogueControl &p = kCatalogue[i - 1];
        QVERIFY2(c.section == p.section || c.section == p.section + 1, c.name);
        if (c.section == p.section)
            QVERIFY2(c.column >= p.column, c.name);
    }
    QCOMPARE(seenRight, twoColumns);
}

void TestCatalogue::storageLines()
{
    // Lines 1..123 are CheckBox26..CheckBox148; the named controls follow
    // section by section in the order below. KonBox is not stored.
    const std::vector<int> order = {2, 3, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 17, 18, 16};
    std::vector<const CatalogueControl *> byLine(kVitaeLines + 1, nullptr);
    for (const CatalogueControl &c : kCatalogue) {
        if (c.storageLine == 0) {
            QCOMPARE(text(c.name), QStringLiteral("KonBox"));
            continue;
        }
        QVERIFY2(c.storageLine >= 1 && c.storageLine <= kVitaeLines, c.name);
        QVERIFY2(!byLine[std::size_t(c.storageLine)], c.name);
        byLine[std::size_t(c.storageLine)] = &c;
    }
    for (int line = 1; line <= kVitaeLines; ++line)
        QVERIFY2(byLine[std::size_t(line)], qPrintable(QString::number(line)));

    for (int line = 1; line <= 123; ++line)
        QCOMPARE(text(byLine[std::size_t(line)]->name), QStringLiteral("CheckBox%1").arg(line + 25));
    for (int line = 125; line <= kVitaeLines; ++line) {
        const CatalogueControl *c = byLine[std::size_t(line)];
        QVERIFY2(positionIn(order, c->section) >= positionIn(order, byLine[std::size_t(line - 1)]->section) &&
                     positionIn(order, c->section) >= 0,
                 c->name);
    }
    QCOMPARE(byLine[124]->section, 2);
}

void TestCatalogue::summaryRanks()
{
    // The summary walks sections 1..15, then 17, 18 and 16 last.
    const std::vector<int> order = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 16};
    std::vector<const CatalogueControl *> byRank(kCatalogue.size(), nullptr);
    for (const CatalogueControl &c : kCatalogue) {
        QVERIFY2(c.summaryRank >= 0 && c.summaryRank < int(kCatalogue.size()), c.name);
        QVERIFY2(!byRank[std::size_t(c.summaryRank)], c.name);
        byRank[std::size_t(c.summaryRank)] = &c;
    }
    for (std::size_t r = 1; r < byRank.size(); ++r)
        QVERIFY2(positionIn(order, byRank[r]->section) >= positionIn(order, byRank[r - 1]->section), byRank[r]->name);
}

void TestCatalogue::spotChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("item"); // radio item, -1 for a check box
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption"); // check box caption or radio item caption
    QTest::addColumn<QString>("summary");
    QTest::addColumn<int>("storageLine");
    QTest::addColumn<QString>("rankedAfter"); // control summarised just before it

    QTest::newRow("oesophagus diverticula") << "CheckBox66" << -1 << "Болезни пищевода"
                                            << "дивертикулы"
                                            << "Дивертикулы" << 41 << "CheckBox65";
    QTest::newRow("intestine diverticula") << "CheckBox79" << -1 << "Болезни кишечника"
                                           << "дивертикулы"
                                           << "Дивертикулы" << 54 << "CheckBox78";
    QTest::newRow("ulcer") << "CheckBox71" << -1 << "Болезни желудка и 12-перстной кишки"
                           << "язва желудка"
                           << "Язва желудка" << 46 << "CheckBox70";
    QTest::newRow("peritoneum") << "CheckBox104" << -1 << "Болезни брюшины"
                                << "опухоль"
                                << "Опухоль брюшины" << 79 << "CheckBox103";
    QTest::newRow("autoimmune anaemia") << "CheckBox113" << -1 << "Анемия"
                                        << "аутоиммунная"
                                        << "Аутоиммунная анемия" << 88 << "CheckBox112";
    QTest::newRow("heart failure first") << "HeartGroup" << 2 << "Сердечная недостаточность"
                                         << "3-й степени"
                                         << "Сердечная недостаточность: 3-й степени" << 124 << "CheckBox46";
    QTest::newRow("defects after groups") << "CheckBox47" << -1 << "Пороки сердца"
                                          << "врожденный"
                                          << "Порок сердца врожденный" << 22 << "HyperGroup";
    QTest::newRow("renal failure") << "BudGroup" << 0 << "Почечная недостаточность"
                                   << "острая"
                                   << "Почечная недостаточность: острая" << 137 << "PieloGroup";
    QTest::newRow("climacteric") << "SindBox" << -1 << ""
                                 << "Климактерический синдром"
                                 << "Климактерический синдром" << 156 << "FeoBox";
    QTest::newRow("obesity last in 7") << "JirGroup" << 3 << "Ожирение"
                                       << "4-я степень"
                                       << "Ожирение: 4-я степень" << 157 << "SkleroBox";
    QTest::newRow("conjunctivitis") << "KonBox" << -1 << ""
                                    << "Конъюнктивит"
                                    << "Конъюнктивит" << 0 << "KeratBox";
    QTest::newRow("after conjunctivitis") << "GlaukBox" << -1 << ""
                                          << "Глаукома"
                                          << "Глаукома" << 173 << "KonBox";
    QTest::newRow("eye other") << "OtherBox" << -1 << ""
                               << "Другие"
                               << "Глазные болезни: другие" << 175 << "BlidBox";
    QTest::newRow("headaches after 13 boxes") << "CheckBox136" << -1 << "Головные боли"
                                              << "лобная область"
                                              << "Головные боли: лобная область" << 111 << "MiaBox";
    QTest::newRow("neuro epilepsy") << "EpilBox" << -1 << ""
                                    << "Эпилепсия"
                                    << "Эпилепсия" << 194 << "CelebBox";
    QTest::newRow("acne before allergies") << "CheckBox143" << -1 << "Аллергии"
                                           << "на цветение растений"
                                           << "Аллергии: на цветение растений" << 118 << "UgrBox";
    QTest::newRow("tuberculosis") << "TublBox" << -1 << ""
                                  << "Легких"
                                  << "Туберкулез легких" << 211 << "GrudBox";
    QTest::newRow("mental after venereal") << "ShizoBox" << -1 << ""
                                           << "Шизофрения"
                                           << "Шизофрения" << 219 << "HlamBox";
    QTest::newRow("mental epilepsy") << "EpiBox" << -1 << ""
                                     << "Эпилепсия"
                                     << "Эпилепсия" << 220 << "ShizoBox";
}

void TestCatalogue::spotChecks()
{
    QFETCH(QString, name);
    QFETCH(int, item);
    QFETCH(QString, frame);
    QFETCH(QString, caption);
    QFETCH(QString, summary);
    QFETCH(int, storageLine);
    QFETCH(QString, rankedAfter);

    const CatalogueControl *c = findControl(name);
    const CatalogueControl *before = findControl(rankedAfter);
    QVERIFY(c && before);
    if (frame.isEmpty())
        QVERIFY(!c->frame);
    else
        QCOMPARE(text(c->frame), frame);
    if (item < 0) {
        QVERIFY(c->kind == CatalogueKind::Check);
        QCOMPARE(text(c->caption), caption);
        QCOMPARE(text(c->summaries[0]), summary);
    } else {
        QVERIFY(c->kind == CatalogueKind::Radio);
        QCOMPARE(text(c->items[std::size_t(item)]), caption);
        QCOMPARE(text(c->summaries[std::size_t(item)]), summary);
    }
    QCOMPARE(c->storageLine, storageLine);
    QCOMPARE(c->summaryRank, before->summaryRank + 1);
}

QTEST_APPLESS_MAIN(TestCatalogue)

#include "tst_catalogue.moc"
