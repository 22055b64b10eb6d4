#include "backup/ziparchive.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

namespace vel {

namespace {

QString archiveError(archive *a)
{
    const char *text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown archive error");
}

} // namespace

ZipWriter::ZipWriter() : m_archive(archive_write_new()) {}

ZipWriter::~ZipWriter()
{
    if (m_archive)
        archive_write_free(m_archive);
}

bool ZipWriter::open(int fd)
{
    if (archive_write_set_format_zip(m_archive) != ARCHIVE_OK ||
        archive_write_set_options(m_archive, "zip:hdrcharset=UTF-8") != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(m_archive, 1) != ARCHIVE_OK ||
        archive_write_open_fd(m_archive, fd) != ARCHIVE_OK) {
        m_error = archiveError(m_archive);
        return false;
    }
    return true;
}

bool ZipWriter::beginFile(const QString &path, qint64 size, qint64 modifiedSecs)
{
    archive_entry *entry = archive_entry_new();
    archive_entry_set_pathname_utf8(entry, path.toUtf8().constData());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, size);
    archive_entry_set_mtime(entry, modifiedSecs, 0);
    const int status = archive_write_header(m_archive, entry);
    archive_entry_free(entry);
    if (status != ARCHIVE_OK) {
        m_error = archiveError(m_archive);
        return false;
    }
    return true;
}

bool ZipWriter::writeData(const char *data, qint64 size)
{
    while (size > 0) {
        const la_ssize_t written = archive_write_data(m_archive, data, size_t(size));
        if (written <= 0) {
            m_error = archiveError(m_archive);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool ZipWriter::close()
{
    if (archive_write_close(m_archive) != ARCHIVE_OK) {
        m_error = archiveError(m_archive);
        return false;
    }
    return true;
}

QString ZipWriter::errorText() const
{
    return m_error;
}

std::optional<ZipReadError> readZip(const QString &archivePath, const ZipFileVisitor &onFile, bool streaming)
{
    struct Reader {
        archive *a = archive_read_new();
        ~Reader() { archive_read_free(a); }
    } reader;
    archive *a = reader.a;
    if (streaming)
        archive_read_support_format_zip_streamable(a);
    else
        archive_read_support_format_zip_seekable(a);
    archive_read_set_options(a, "zip:hdrcharset=UTF-8");
    if (archive_read_open_filename(a, QFile::encodeName(archivePath).constData(), 256 * 1024) != ARCHIVE_OK)
        return ZipReadError{QString(), archiveError(a)};

    QString current;
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (;;) {
        archive_entry *entry = nullptr;
        const int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF)
            return std::nullopt;
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return ZipReadError{current, archiveError(a)};
        const char *utf8 = archive_entry_pathname_utf8(entry);
        current = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
        if (status == ARCHIVE_WARN)
            return ZipReadError{current, archiveError(a)};
        const qint64 size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
        ZipDataSink sink = onFile(current, size, archive_filter_bytes(a, -1));
        if (!sink)
            return ZipReadError{current, QString()};
        for (;;) {
            const la_ssize_t got = archive_read_data(a, buffer.data(), size_t(buffer.size()));
            if (got == 0)
                break;
            if (got < 0)
                return ZipReadError{current, archiveError(a)};
            if (!sink(buffer.constData(), got))
                return ZipReadError{current, QString()};
        }
    }
}

namespace {

quint64 little(const QByteArray &bytes, qsizetype at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

} // namespace

std::optional<QStringList> zipDirectoryNames(const QString &archivePath)
{
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 22)
        return std::nullopt;
    const qint64 size = file.size();
    // The end record, after which only a comment of up to 64 KB may follow.
    const qint64 tailStart = std::max<qint64>(0, size - 22 - 0xFFFF);
    file.seek(tailStart);
    const QByteArray tail = file.readAll();
    qsizetype end = -1;
    for (qsizetype i = tail.size() - 22; i >= 0 && end < 0; --i)
        if (little(tail, i, 4) == 0x06054b50)
            end = i;
    if (end < 0)
        return std::nullopt;
    quint64 count = little(tail, end + 10, 2), directorySize = little(tail, end + 12, 4),
            directoryAt = little(tail, end + 16, 4);
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryAt == 0xFFFFFFFF) {
        // Zip64: a locator right before the end record points at the larger one.
        if (end < 20 || little(tail, end - 20, 4) != 0x07064b50)
            return std::nullopt;
        file.seek(qint64(little(tail, end - 20 + 8, 8)));
        const QByteArray record = file.read(56);
        if (record.size() < 56 || little(record, 0, 4) != 0x06064b50)
            return std::nullopt;
        count = little(record, 32, 8);
        directorySize = little(record, 40, 8);
        directoryAt = little(record, 48, 8);
    }
    if (directoryAt + directorySize > quint64(size) || directorySize > 512 * 1024 * 1024)
        return std::nullopt;
    file.seek(qint64(directoryAt));
    const QByteArray directory = file.read(qint64(directorySize));
    QStringList names;
    qsizetype at = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (at + 46 > directory.size() || little(directory, at, 4) != 0x02014b50)
            return std::nullopt;
        const qsizetype nameLength = qsizetype(little(directory, at + 28, 2));
        const qsizetype rest = nameLength + qsizetype(little(directory, at + 30, 2) + little(directory, at + 32, 2));
        if (at + 46 + rest > directory.size())
            return std::nullopt;
        names << QString::fromUtf8(directory.mid(at + 46, nameLength));
        at += 46 + rest;
    }
    return names;
}

} // namespace vel
