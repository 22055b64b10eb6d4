#include "support/testfiles.h"

#include <optional>

#include <QFile>
#include <QStringEncoder>

namespace testsupport {

const QStringList kCardSuffixes = {QStringLiteral(".dat"),     QStringLiteral(".dat.prp"), QStringLiteral(".dat.rec"),
                                   QStringLiteral(".dat.tb1"), QStringLiteral(".dat.tb2"), QStringLiteral(".dat.vit")};

QByteArray cp1251(const QString &text)
{
    return QStringEncoder("windows-1251").encode(text);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace testsupport

namespace testsupport {

namespace {

const vel::FieldDef &fieldNamed(const QString &control)
{
    const vel::FieldDef *f = vel::findField(control.toLatin1().constData());
    if (!f)
        qFatal("no stored field %s", qPrintable(control));
    return *f;
}

std::optional<std::size_t> itemNamed(const QString &control)
{
    for (std::size_t row = 0; row < vel::kCatalogue.size(); ++row)
        if (control == QLatin1String(vel::kCatalogue[row].name))
            return row;
    return std::nullopt;
}

} // namespace

void setText(vel::CardState &card, const QString &control, const QString &text)
{
    if (control == QLatin1String("CelEdit"))
        card.goal = text;
    else if (control == QLatin1String("NextEdit"))
        card.nextVisit = text;
    else
        card.setText(fieldNamed(control).field, text);
}

void setIndex(vel::CardState &card, const QString &control, int index)
{
    if (control == QLatin1String("AktivBox"))
        card.activity = index;
    else if (const auto row = itemNamed(control))
        card.anamnesis[*row] = index;
    else
        card.setIndex(fieldNamed(control).field, index);
}

void setFlag(vel::CardState &card, const QString &control, bool ticked)
{
    if (const auto row = itemNamed(control))
        card.anamnesis[*row] = ticked ? 1 : 0;
    else
        card.setFlag(fieldNamed(control).field, ticked);
}

QString textOf(const vel::CardState &card, const QString &control)
{
    if (control == QLatin1String("NextEdit"))
        return card.nextVisit;
    return control == QLatin1String("CelEdit") ? card.goal : card.text(fieldNamed(control).field);
}

int indexOf(const vel::CardState &card, const QString &control)
{
    if (control == QLatin1String("AktivBox"))
        return card.activity;
    if (const auto row = itemNamed(control))
        return card.anamnesisIndex(*row);
    return card.index(fieldNamed(control).field);
}

bool flagOf(const vel::CardState &card, const QString &control)
{
    if (const auto row = itemNamed(control))
        return card.anamnesisTicked(*row);
    return card.flag(fieldNamed(control).field);
}

void setTexts(vel::CardState &card, const QList<QPair<QString, QString>> &texts)
{
    for (const auto &[control, text] : texts)
        setText(card, control, text);
}

void setIndices(vel::CardState &card, const QList<QPair<QString, int>> &indices)
{
    for (const auto &[control, index] : indices)
        setIndex(card, control, index);
}

} // namespace testsupport
