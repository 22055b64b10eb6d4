#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct archive;

// A zip archive written or read through libarchive, with file names in UTF-8
// so that any computer shows the patients' names. Only what a backup needs:
// regular files added one after another, and a pass over every file.

namespace vel {

class ZipWriter final {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    // Writes into an open file descriptor, which stays open.
    bool open(int fd);
    // A file of `size` bytes; its data follows in one or more pieces.
    bool beginFile(const QString &path, qint64 size, qint64 modifiedSecs);
    bool writeData(const char *data, qint64 size);
    // Writes the archive's table of contents.
    bool close();
    QString errorText() const;

private:
    archive *m_archive = nullptr;
    QString m_error;
};

// Reads every file of the archive in its order. `onFile` is told each file's
// name and returns a consumer for its data pieces; false from either stops.
// The error names the file being read when the archive failed.
struct ZipReadError {
    QString file;   // empty when the archive's structure failed before any file
    QString reason; // libarchive's text
};
using ZipDataSink = std::function<bool(const char *data, qint64 size)>;
// archiveBytesRead: how far into the archive file the reading is, for progress.
using ZipFileVisitor = std::function<ZipDataSink(const QString &path, qint64 size, qint64 archiveBytesRead)>;
// streaming: read the files one after another from their own headers rather
// than through the table of contents at the end, so that a cut archive still
// shows how far it is readable.
std::optional<ZipReadError> readZip(const QString &archivePath, const ZipFileVisitor &onFile, bool streaming);

// The file names of the archive's table of contents at its end, in order;
// nothing when it cannot be found or read. Reading the files goes by their
// own headers, so this is what other zip programs would show beside it.
std::optional<QStringList> zipDirectoryNames(const QString &archivePath);

} // namespace vel
