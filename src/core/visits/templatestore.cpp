#include "visits/templatestore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace vel {

QString templateListPath(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("shablon.kmt"));
}

QString templateTextPath(const QString &dataDir, int number)
{
    return QDir(dataDir).filePath(QStringLiteral("shablon%1.txt").arg(number));
}

Result<QStringList> readTemplateList(const QString &dataDir)
{
    return readListFile(templateListPath(dataDir));
}

Result<QString> readTemplateText(const QString &dataDir, int number)
{
    auto r = readTextFile(templateTextPath(dataDir, number));
    if (auto *e = std::get_if<ReadError>(&r))
        return *e;
    return memoFromFileText(std::get<QString>(r));
}

namespace {

std::optional<ReadError> writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return std::nullopt;
    // Without a commit the save file drops its temporary copy: the old file stays.
    return ReadError{cannotCreateMessage(QFileInfo(path).absoluteFilePath(), file.errorString())};
}

} // namespace

std::optional<ReadError> saveTemplate(const QString &dataDir, int number, const QString &text,
                                      const QStringList &titles)
{
    // Encode both first so that a refused character leaves both files as they were.
    const auto textBytes = encode1251(toCrLf(text));
    if (!textBytes)
        return ReadError{QStringLiteral("Текст шаблона содержит символы, которые нельзя "
                                        "сохранить в кодировке Windows-1251.")};
    const auto listBytes = encode1251(listFileText(titles));
    if (!listBytes)
        return ReadError{QStringLiteral("Название шаблона содержит символы, которые нельзя "
                                        "сохранить в кодировке Windows-1251.")};

    if (auto error = writeWhole(templateTextPath(dataDir, number), *textBytes))
        return error;
    return writeWhole(templateListPath(dataDir), *listBytes);
}

QString newTemplateTitle(int number)
{
    return QStringLiteral("Шаблон %1").arg(number);
}

QString templateTitle(const QString &typed, int number)
{
    QString title = typed;
    title.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar lineEnd : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        title.replace(lineEnd, u' ');
    title = title.trimmed();
    return title.isEmpty() ? newTemplateTitle(number) : title;
}

} // namespace vel
