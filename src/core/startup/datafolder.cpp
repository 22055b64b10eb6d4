#include "startup/datafolder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

static void initExamples()
{
    Q_INIT_RESOURCE(examples);
}

namespace vel {

namespace {

const QString kTemplateList = QStringLiteral("shablon.kmt");

QString copyFile(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("Не удалось прочитать «%1»: %2").arg(from, in.errorString());
    // Written anew rather than copied, so a file taken from the program's
    // read-only resources stays writable for the template editor.
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit())
        return QStringLiteral("Не удалось записать «%1»: %2").arg(QDir::toNativeSeparators(to), out.errorString());
    return {};
}

} // namespace

QString prepareDataFolder(const QString &dir, const QString &examplesDir)
{
    initExamples();
    QDir data(dir);
    if (!data.exists() && !QDir().mkpath(dir))
        return QStringLiteral("Не удалось создать папку «%1».").arg(QDir::toNativeSeparators(dir));
    if (data.exists(kTemplateList))
        return {};
    QStringList names = QDir(examplesDir).entryList(QDir::Files, QDir::Name);
    if (!names.contains(kTemplateList))
        return QStringLiteral("Нет примеров шаблонов в «%1».").arg(QDir::toNativeSeparators(examplesDir));
    // The list goes last: a fill cut short is done again at the next start.
    names.removeOne(kTemplateList);
    names.append(kTemplateList);
    for (const QString &name : std::as_const(names)) {
        if (data.exists(name))
            continue;
        const QString error = copyFile(QDir(examplesDir).filePath(name), data.filePath(name));
        if (!error.isEmpty())
            return error;
    }
    return {};
}

} // namespace vel
