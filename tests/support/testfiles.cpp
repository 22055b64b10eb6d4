#include "support/testfiles.h"

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
