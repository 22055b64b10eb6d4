#include "makecards.h"

#include "card/cardfiles.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

namespace {

// Surnames in their male form; the female form adds "а" (or turns "ий" into "ая").
const QStringList kSurnames =
    QStringLiteral(
        "Иванов Смирнов Кузнецов Попов Васильев Петров Соколов Михайлов Новиков Фёдоров Морозов Волков Алексеев "
        "Лебедев Семёнов Егоров Павлов Козлов Степанов Николаев Орлов Андреев Макаров Никитин Захаров Зайцев "
        "Соловьёв Борисов Яковлев Григорьев Романов Воробьёв Сергеев Кузьмин Фролов Александров Дмитриев Королёв "
        "Гусев Киселёв Ильин Максимов Поляков Сорокин Виноградов Ковалёв Белов Медведев Антонов Тарасов Жуков "
        "Баранов Филиппов Комаров Давыдов Беляев Герасимов Богданов Осипов Сидоров Матвеев Титов Марков Миронов "
        "Крылов Куликов Карпов Власов Мельников Денисов Гаврилов Тихонов Казаков Афанасьев Данилов Савельев "
        "Тимофеев Фомин Чернов Абрамов Мартынов Ефимов Федотов Щербаков Назаров Калинин Исаев Чернышёв Быков "
        "Маслов Родионов Коновалов Лазарев Воронин Климов Филатов Пономарёв Голубев Кудрявцев Прохоров Наумов "
        "Потапов Журавлёв Овчинников Трофимов Леонов Соболев Ермаков Колесников Гончаров Емельянов Никифоров "
        "Грачёв Котов Гришин Ефремов Архипов Громов Кириллов Малышев Панов Моисеев Румянцев Акимов Кондратьев "
        "Бирюков Горбунов Анисимов Ерёмин Тихомиров Галкин Лукьянов Михеев Скворцов Юдин Белоусов Нестеров "
        "Симонов Прокофьев Харитонов Князев Цветков Левин Митрофанов Воронов Аксёнов Софронов Мальцев Логинов "
        "Горшков Савин Краснов Майоров Демидов Елисеев Рыбаков Сафонов Плотников Демин Хохлов Жданов Руднев "
        "Вишневский Маковецкий Островский Покровский Введенский Троицкий Рождественский Успенский")
        .split(u' ');
const QStringList kMaleNames =
    QStringLiteral(
        "Александр Алексей Анатолий Андрей Антон Аркадий Борис Вадим Валентин Валерий Василий Виктор Виталий "
        "Владимир Владислав Вячеслав Геннадий Георгий Григорий Денис Дмитрий Евгений Егор Иван Игорь Илья Кирилл "
        "Константин Леонид Максим Михаил Никита Николай Олег Павел Пётр Роман Семён Сергей Станислав Степан "
        "Тимофей Фёдор Юрий Яков")
        .split(u' ');
const QStringList kFemaleNames =
    QStringLiteral(
        "Александра Алла Анастасия Анна Антонина Валентина Валерия Вера Вероника Виктория Галина Дарья Евгения "
        "Екатерина Елена Елизавета Жанна Зинаида Зоя Инна Ирина Карина Кира Клавдия Ксения Лариса Лидия Любовь "
        "Людмила Маргарита Марина Мария Надежда Наталья Нина Оксана Ольга Полина Раиса Светлана Софья Тамара "
        "Татьяна Ульяна Юлия Яна")
        .split(u' ');
// Fathers' names, each as {male patronymic, female patronymic}.
const char *const kPatronymics[][2] = {
    {"Александрович", "Александровна"},
    {"Алексеевич", "Алексеевна"},
    {"Анатольевич", "Анатольевна"},
    {"Андреевич", "Андреевна"},
    {"Борисович", "Борисовна"},
    {"Васильевич", "Васильевна"},
    {"Викторович", "Викторовна"},
    {"Владимирович", "Владимировна"},
    {"Геннадьевич", "Геннадьевна"},
    {"Григорьевич", "Григорьевна"},
    {"Дмитриевич", "Дмитриевна"},
    {"Евгеньевич", "Евгеньевна"},
    {"Иванович", "Ивановна"},
    {"Игоревич", "Игоревна"},
    {"Ильич", "Ильинична"},
    {"Константинович", "Константиновна"},
    {"Михайлович", "Михайловна"},
    {"Николаевич", "Николаевна"},
    {"Олегович", "Олеговна"},
    {"Павлович", "Павловна"},
    {"Петрович", "Петровна"},
    {"Романович", "Романовна"},
    {"Сергеевич", "Сергеевна"},
    {"Степанович", "Степановна"},
    {"Фёдорович", "Фёдоровна"},
    {"Юрьевич", "Юрьевна"},
    {"Яковлевич", "Яковлевна"},
};

QString femaleSurname(const QString &male)
{
    if (male.endsWith(QStringLiteral("ий")))
        return male.chopped(2) + QStringLiteral("ая");
    return male + u'а';
}

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString decimal(double v)
{
    return QString::number(v, 'f', 1).replace(u'.', u',').remove(QStringLiteral(",0"));
}

} // namespace

int makeCards(const QString &folder, int count, unsigned seed, bool durable)
{
    QDir().mkpath(folder);
    const QDir dir(folder);
    QFile list(dir.filePath(QStringLiteral("shablon.kmt")));
    if (!list.exists() && list.open(QIODevice::WriteOnly))
        list.write("\xc4\xe8\xe5\xf2\xe0\r\n"); // "Диета"
    list.close();

    QRandomGenerator random(seed);
    // The newer values draw from their own sequence, so that the cards
    // stay as they were made before them.
    QRandomGenerator later(seed * 7919u + 17u);
    auto pick = [&random](const QStringList &from) { return from.at(random.bounded(int(from.size()))); };
    QSet<QString> used;
    int written = 0;
    const QDate lastDay(2026, 11, 30);
    while (written < count) {
        const bool female = random.bounded(100) < 78; // most patients of a dietitian are women
        const auto &fathers = kPatronymics[random.bounded(int(std::size(kPatronymics)))];
        const QString surname = pick(kSurnames);
        const QString name =
            female ? femaleSurname(surname) + u' ' + pick(kFemaleNames) + u' ' + QString::fromUtf8(fathers[1])
                   : surname + u' ' + pick(kMaleNames) + u' ' + QString::fromUtf8(fathers[0]);
        if (used.contains(name))
            continue;
        used.insert(name);

        vel::CardState card;
        card.setText(vel::Field::Name, name);
        const QDate birth = QDate(1940, 1, 1).addDays(random.bounded(65 * 365));
        card.setText(vel::Field::BirthDate, dateText(birth));
        card.setIndex(vel::Field::Sex, female ? 1 : 0);
        const int height = female ? 150 + random.bounded(30) : 162 + random.bounded(32);
        double weight = height - 100 + 10 + random.bounded(50);
        card.setText(vel::Field::Height, QString::number(height));
        card.setText(vel::Field::Weight, decimal(weight));
        card.setText(vel::Field::Waist, QString::number(int(weight * 0.9 + 10)));
        card.setText(vel::Field::Hips, QString::number(int(weight * 0.8 + 40)));
        card.setText(vel::Field::Address, QStringLiteral("г. Самара, ул. Садовая, д. %1").arg(written % 97 + 1));

        const int visits = 5 + random.bounded(46);
        QDate day = lastDay.addDays(-random.bounded(3650) - visits * 14);
        card.setText(vel::Field::VisitDate, dateText(day));
        for (int v = 0; v < visits; ++v) {
            weight -= (random.bounded(9) - 2) / 10.0; // mostly a little lighter, now and then heavier
            card.visitRows << QStringList{dateText(day),
                                          decimal(weight),
                                          QString::number(int(weight * 0.9 + 10)),
                                          QString::number(int(weight * 0.8 + 40)),
                                          QString(),
                                          QStringLiteral("хорошее"),
                                          QStringLiteral("нет"),
                                          QStringLiteral("меньше"),
                                          QStringLiteral("норма"),
                                          QStringLiteral("норма")};
            day = day.addDays(7 + random.bounded(15));
        }
        if (later.bounded(100) < 40)
            card.nextVisit = dateText(lastDay.addDays(later.bounded(100) - 60));
        // One card in four has an analyser's readings at its visits.
        if (later.bounded(100) < 25) {
            double fat = 30 + later.bounded(150) / 10.0;
            for (QStringList &row : card.visitRows) {
                fat -= later.bounded(5) / 10.0;
                row << decimal(fat) << QString() << decimal(25 + later.bounded(80) / 10.0)
                    << decimal(45 + later.bounded(60) / 10.0) << QString::number(8 + later.bounded(6));
            }
        }
        card.preparations = QStringLiteral("Поливитамины по 1 таблетке утром");
        card.recommendations = QStringLiteral("Пить воду\nГулять не меньше часа в день");
        if (!durable) {
            for (int i = 0; i < vel::kCardPartCount; ++i) {
                const vel::CardPart &part = vel::cardParts()[static_cast<std::size_t>(i)];
                const auto bytes = vel::encode1251(part.fileText(card));
                if (bytes && vel::absentPart(i, *bytes))
                    continue; // a card without body composition has no such file
                QFile file(dir.filePath(name + part.suffix));
                if (!bytes || !file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size())
                    return written;
            }
        } else if (vel::saveCard(card, folder)) {
            return written;
        }
        ++written;
    }
    return written;
}

QStringList makeEdgeCards(const QString &folder)
{
    QDir().mkpath(folder);
    const QStringList names = {
        QStringLiteral("Пустая Карточка"),
        QStringLiteral("Ёлкина-Щукина Алёна Фёдоровна"),
        QStringLiteral("Иванова \"Зоя\" Петровна; мл."),
        QStringLiteral("=СУММ(1;2) Формулова"),
        QStringLiteral("-Минусов @Пётр"),
    };
    QStringList written;
    for (const QString &name : names) {
        vel::CardState card;
        card.setText(vel::Field::Name, name);
        if (name != names.first()) {
            card.setText(vel::Field::BirthDate, QStringLiteral("29.02.1960"));
            card.setText(vel::Field::Height, QStringLiteral("164"));
            card.setText(vel::Field::Weight, QStringLiteral("101,5"));
            card.goal = QStringLiteral("75");
            card.setIndex(vel::Field::Sex, 1);
            card.setText(vel::Field::Notes, QStringLiteral("Заметка; с \"кавычками\", запятой"));
        }
        const int visits = written.size() == 1 ? 10000 : (name == names.first() ? 0 : 3);
        QDate day(1998, 1, 5);
        for (int v = 0; v < visits; ++v) {
            card.visitRows << QStringList{day.toString(QStringLiteral("d.MM.yyyy")),
                                          QString::number(100 - v % 30) + QStringLiteral(",5"),
                                          QStringLiteral("90"),
                                          QStringLiteral("110"),
                                          QStringLiteral("=A1"),
                                          QStringLiteral("хорошее; бодрое"),
                                          QStringLiteral("\"нет\""),
                                          QString(),
                                          QStringLiteral("норма"),
                                          QStringLiteral("-")};
            day = day.addDays(1);
        }
        if (vel::saveCard(card, folder))
            return written;
        written << name;
    }
    return written;
}
