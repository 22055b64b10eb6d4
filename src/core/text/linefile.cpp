#include "text/linefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vel {

std::optional<QByteArray> encode1251(const QString &text)
{
    // Plain ASCII is the same in Windows-1251, and opening a converter costs
    // far more than converting a cell: most cells of a long table are numbers.
    if (QtPrivate::isAscii(QStringView(text)))
        return text.toLatin1();
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    // A character without a Windows-1251 byte comes back as something else.
    if (encoder.hasError() || decode1251(bytes) != text)
        return std::nullopt;
    return bytes;
}

QString decode1251(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString toCrLf(const QString &memoText)
{
    // One pass: every CR LF, lone CR and lone LF becomes CR LF.
    QString out;
    out.reserve(memoText.size() + memoText.size() / 16 + 16);
    const qsizetype n = memoText.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = memoText.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(QStringView(memoText).mid(start, i - start));
        out.append(QLatin1String("\r\n"));
        if (c == u'\r' && i + 1 < n && memoText.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    out.append(QStringView(memoText).mid(start));
    return out;
}

QString memoFromFileText(const QString &fileText)
{
    // One pass: every CR LF and lone CR becomes LF.
    QString out;
    out.reserve(fileText.size());
    const qsizetype n = fileText.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (fileText.at(i) != u'\r')
            continue;
        out.append(QStringView(fileText).mid(start, i - start));
        out.append(u'\n');
        if (i + 1 < n && fileText.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    out.append(QStringView(fileText).mid(start));
    return out;
}

QString listFileText(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString out;
    out.reserve(size);
    for (const QString &line : lines) {
        // Most lines hold no line break and go in as they are.
        if (line.contains(u'\r') || line.contains(u'\n'))
            out += toCrLf(line);
        else
            out += line;
        out += QLatin1String("\r\n");
    }
    return out;
}

std::optional<int> toInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

QString notAnIntegerMessage(const QString &text)
{
    // A damaged file may hold megabytes on one line: quote only its start.
    constexpr int kQuoted = 200;
    if (text.size() > kQuoted)
        return QStringLiteral("'%1…' is not a valid integer value").arg(QStringView(text).left(kQuoted));
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString indexOutOfBoundsMessage(int index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}

QString cannotOpenMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason);
}

QString cannotCreateMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

QString notRegularFileText()
{
    return QStringLiteral("Это не обычный файл, а устройство, канал или папка. Уберите его из папки карточек");
}

QString tooLargeFileText(qint64 maxBytes)
{
    return QStringLiteral("Файл больше %1 МБ, такого файла карточки не бывает. Проверьте, тот ли файл выбран")
        .arg(maxBytes / (1024 * 1024));
}

QString systemErrorText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

Result<QByteArray> readFileBytes(const QString &path, qint64 maxBytes)
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    auto failure = [&](const QString &reason) { return ReadError{cannotOpenMessage(shown, reason)}; };
    // Non-blocking, so that opening a FIFO returns at once; checked as a
    // regular file before a single byte is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(systemErrorText(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return failure(systemErrorText(errno));
    if (S_ISDIR(st.st_mode))
        return failure(systemErrorText(EISDIR));
    if (!S_ISREG(st.st_mode))
        return failure(notRegularFileText());
    if (st.st_size > maxBytes)
        return failure(tooLargeFileText(maxBytes));
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failure(systemErrorText(errno));
        if (n == 0)
            break;
        // The file may grow while it is read.
        if (bytes.size() + n > maxBytes)
            return failure(tooLargeFileText(maxBytes));
        bytes.append(buffer, qsizetype(n));
    }
    return bytes;
}

Result<QString> readTextFile(const QString &path)
{
    auto bytes = readFileBytes(path);
    if (auto *e = std::get_if<ReadError>(&bytes))
        return *e;
    return decode1251(std::get<QByteArray>(bytes));
}

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

} // namespace vel
