#include "summary/summary.h"
#include "support/testfiles.h"
#include "tables/catalogue.h"

#include <QtTest>

using namespace vel;

namespace {

// "Name" ticks a box, "Name=3" selects an item, "Name:text" sets a text.
CardState cardFrom(const QStringList &settings)
{
    CardState card;
    for (const QString &s : settings) {
        const int colon = s.indexOf(':'), eq = s.indexOf('=');
        if (colon >= 0)
            testsupport::setText(card, s.left(colon), s.mid(colon + 1));
        else if (eq >= 0)
            testsupport::setIndex(card, s.left(eq), s.mid(eq + 1).toInt());
        else
            testsupport::setFlag(card, s, true);
    }
    return card;
}

const CatalogueControl *control(const QString &name)
{
    for (const CatalogueControl &c : kCatalogue)
        if (QLatin1String(c.name) == name)
            return &c;
    return nullptr;
}

// The anamnesis in summary order: sections 1 to 15, 17, 18, then 16.
// "CheckBox34-46" stands for CheckBox34 to CheckBox46.
const char *const kAnamnesisOrder[] = {
    "CheckBox26-33",
    "CheckBox34-46 HeartGroup HyperGroup CheckBox47-62",
    "BronGroup PnevmoGroup AstmaGroup DihGroup PnevmoBox BronhoBox LungBox PlevroBox EmfiBox",
    "CheckBox63-106",
    "NefritGroup PieloGroup BudGroup CistGroup MocheBox KamBox AmiBox",
    "CheckBox107-113 LejkoGroup AgroBox GemmoBox VaskyBox GemoBox",
    "DiaGroup DiabBox ZobBox TireoGroup HypoBox HyperBox HypoparaBox HyperparaBox FeoBox SindBox SkleroBox JirGroup",
    "RevmaGroup CheckBox114-116 RevmoBox PodagBox RejterBox SKVBox SysBox DermBox ShegBox NodBox BehtBox",
    "CheckBox117-131",
    "DalnoBox BlizBox AstiBox KeratBox KonBox GlaukBox BlidBox OtherBox",
    "EggBox DisfBox FibromBox MatkBox ClimBox MenoBox KistaBox PolyBox",
    "ProstaBox ArhBox AdenBox UretBox Other1Box",
    "CheckBox132-135 SleepBox MeninBox EnciBox ArahBox CelebBox EpilBox MirgBox EncefBox VCDBox NevraBox "
    "DeprBox MiaBox CheckBox136-142",
    "EkzBox NejroBox PsoriBox UgrBox CheckBox143-148",
    "NogiBox RukiBox TazBox CherBox CMTBox GrudBox",
    "TublBox TubbBox TubboBox TuboBox",
    "SifBox GonBox TrihoBox HlamBox",
    "ShizoBox EpiBox PsihoBox NevroBox NevrozBox AlkoBox NarkoBox",
};

QStringList anamnesisOrder()
{
    QStringList names;
    for (const char *section : kAnamnesisOrder) {
        for (const QString &word : QString(section).split(' ')) {
            const int dash = word.indexOf('-');
            if (dash < 0) {
                names << word;
                continue;
            }
            for (int n = word.mid(8, dash - 8).toInt(); n <= word.mid(dash + 1).toInt(); ++n)
                names << QString("CheckBox%1").arg(n);
        }
    }
    return names;
}

} // namespace

class TestSummary : public QObject {
    Q_OBJECT

private slots:
    void foodsAndGoalsAll();
    void cases_data();
    void cases();
    void wholeCatalogue_data();
    void wholeCatalogue();
};

void TestSummary::foodsAndGoalsAll()
{
    QStringList settings = {"ZavtGroup=0", "ObedGroup=0", "UjinGroup=0", "GolGroup=0", "AppetGroup=0"};
    for (int n = 1; n <= 25; ++n)
        settings << QString("CheckBox%1").arg(n);
    const QString food = "Любимые продукты: ", goal = "Цель: ", attracts = "Что привлекает в продуктах: ";
    const QStringList expected = {
        "Завтрак: обязательно",
        "Обед: обязательно",
        "Ужин: обязательно",
        "Можете лечь спать голодным: да",
        attracts + "запах",
        attracts + "цвет",
        attracts + "вкус",
        food + "хлеб",
        food + "мучные изделия",
        food + "мясо",
        food + "рыба",
        food + "каши",
        food + "молоко",
        food + "кисломолочное",
        food + "яйца",
        food + "сыр",
        food + "овощи",
        food + "фрукты",
        food + "конфеты",
        food + "пирожные, торты",
        food + "чай",
        food + "кофе",
        goal + "хорошее самочувствие",
        goal + "хорошая внешность",
        goal + "успех у мужчин (женщин)",
        goal + "успех у самого себя",
        goal + "больше подвижности, спортивности, силы",
        goal + "возможность носить все, что хочется",
        goal + "для решения карьерных задач",
        "Когда аппетит больше: утром",
    };
    QCOMPARE(expected.size(), 30);
    const HealthSummary s = compileSummary(cardFrom(settings));
    QCOMPARE(s.goals, expected);
    QCOMPARE(s.anamnesis, QStringList());
}

void TestSummary::cases_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("goals");
    QTest::addColumn<QStringList>("anamnesis");
    using L = QStringList;

    QTest::newRow("empty card") << L{} << L{} << L{};
    QTest::newRow("breakfast item 1") << L{"ZavtGroup=1"} << L{"Завтрак: необязательно"} << L{};
    QTest::newRow("last meal items") << L{"UjinGroup=2", "ObedGroup=3", "GolGroup=1"}
                                     << L{"Обед: только по необходимости", "Ужин: никогда",
                                          "Можете лечь спать голодным: нет"}
                                     << L{};
    QTest::newRow("indices beyond the items")
        << L{"ZavtGroup=4", "GolGroup=3", "AppetGroup=5", "JirGroup=4", "PnevmoGroup=2", "BudGroup=-1"} << L{} << L{};
    QTest::newRow("smell of two blanks") << L{"ZapEdit:  "} << L{"Запах продуктов больше нравится:   "} << L{};
    QTest::newRow("empty texts") << L{"ZapEdit:", "ColEdit:", "TastEdit:"} << L{} << L{};
    QTest::newRow("goal steps in order")
        << L{"AppetGroup=4",    "CheckBox25", "TastEdit:солёный", "CheckBox8",     "CheckBox18",
             "ColEdit:зелёный", "GolGroup=2", "ZavtGroup=3",      "ZapEdit:ваниль"}
        << L{"Завтрак: только по необходимости",        "Можете лечь спать голодным: только по необходимости",
             "Что привлекает в продуктах: вкус",        "Любимые продукты: яйца",
             "Запах продуктов больше нравится: ваниль", "Цвет продуктов больше нравится: зелёный",
             "Вкус продуктов больше нравится: солёный", "Цель: для решения карьерных задач",
             "Когда аппетит больше: всегда одинаков"}
        << L{};
    QTest::newRow("fields outside the summary")
        << L{"W5Box1",      "W7Box1",    "CheckBox149", "CheckBox150",   "W1Group=0",
             "DietGroup=2", "TypeBox=1", "SexGroup=0",  "JobEdit:завод", "PrimMemo:Примечания врача"}
        << L{} << L{};
    QTest::newRow("diverticula twice") << L{"CheckBox79", "CheckBox66"} << L{} << L{"Дивертикулы", "Дивертикулы"};
    QTest::newRow("epilepsy after venereal") << L{"EpiBox", "HlamBox", "EpilBox", "TublBox"} << L{}
                                             << L{"Эпилепсия", "Туберкулез легких", "Хламидии", "Эпилепсия"};
    QTest::newRow("obesity last in section 7") << L{"JirGroup=3", "SkleroBox", "SindBox", "RevmaGroup=1"} << L{}
                                               << L{"Климактерический синдром", "Склерокистоз яичников",
                                                    "Ожирение: 4-я степень", "Ревматизм: стадия ремиссии"};
    QTest::newRow("heart groups inside section 2")
        << L{"CheckBox47", "HyperGroup=0", "HeartGroup=2", "CheckBox46"} << L{}
        << L{"Искусственный водитель ритма", "Сердечная недостаточность: 3-й степени",
             "Гипертоническая болезнь: 1-й степени", "Порок сердца врожденный"};
    QTest::newRow("conjunctivitis") << L{"GlaukBox", "KonBox", "KeratBox"} << L{}
                                    << L{"Кератит", "Конъюнктивит", "Глаукома"};
    QTest::newRow("section 13 columns") << L{"CheckBox136", "MiaBox", "DeprBox", "CheckBox135", "SleepBox"} << L{}
                                        << L{"Остеохондроз: распространенный", "Нарушения сна",
                                             "Депрессивные состояния", "Миалгия", "Головные боли: лобная область"};
    QTest::newRow("section 14") << L{"CheckBox143", "UgrBox", "PsoriBox"} << L{}
                                << L{"Псориаз", "Угревая сыпь", "Аллергии: на цветение растений"};
    QTest::newRow("kidney failure") << L{"BudGroup=0", "CistGroup=1"} << L{}
                                    << L{"Почечная недостаточность: острая", "Хронический цистит"};
    QTest::newRow("both memos") << L{"ObedGroup=1", "CheckBox26"} << L{"Обед: необязательно"} << L{"Корь"};
}

void TestSummary::cases()
{
    QFETCH(QStringList, settings);
    QFETCH(QStringList, goals);
    QFETCH(QStringList, anamnesis);

    const HealthSummary s = compileSummary(cardFrom(settings));
    QCOMPARE(s.goals, goals);
    QCOMPARE(s.anamnesis, anamnesis);
}

void TestSummary::wholeCatalogue_data()
{
    QTest::addColumn<bool>("lastItems");
    QTest::newRow("first items") << false;
    QTest::newRow("last items") << true;
}

void TestSummary::wholeCatalogue()
{
    QFETCH(bool, lastItems);

    const QStringList order = anamnesisOrder();
    QCOMPARE(order.size(), 226);
    CardState card;
    QStringList expected;
    for (const QString &name : order) {
        const CatalogueControl *c = control(name);
        QVERIFY2(c, qPrintable(name));
        int item = 0;
        if (c->kind == CatalogueKind::Check) {
            testsupport::setFlag(card, name, true);
        } else {
            int count = 0;
            while (count < 4 && c->items[std::size_t(count)])
                ++count;
            item = lastItems ? count - 1 : 0;
            testsupport::setIndex(card, name, item);
        }
        expected << QString::fromUtf8(c->summaries[std::size_t(item)]);
    }
    const HealthSummary s = compileSummary(card);
    QCOMPARE(s.goals, QStringList());
    QCOMPARE(s.anamnesis, expected);
    QCOMPARE(s.anamnesis.first(), QString("Корь"));
    QCOMPARE(s.anamnesis.last(), QString("Наркомания"));
}

QTEST_GUILESS_MAIN(TestSummary)
#include "tst_summary.moc"
