#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// Every file of the card index is Windows-1251 text read and written whole.
// List files end every line with CR LF; memo files hold their text exactly.

namespace vel {

// The message the user sees when reading or converting fails.
struct ReadError {
    QString message;
};

template <typename T> using Result = std::variant<T, ReadError>;

template <typename T> bool failed(const Result<T> &r)
{
    return std::holds_alternative<ReadError>(r);
}

// Windows-1251 conversion. encode1251 returns nothing when a character has no
// Windows-1251 byte, so that nothing is ever silently stored as "?".
std::optional<QByteArray> encode1251(const QString &text);
QString decode1251(const QByteArray &bytes);

// Splits at CR LF, lone CR and lone LF; a last line without a line end still
// counts, and an empty text has no lines.
QStringList splitLines(const QString &text);

// Internal memo text uses "\n"; files use CR LF.
QString toCrLf(const QString &memoText);
QString memoFromFileText(const QString &fileText);

// A list file's text: every entry followed by CR LF. An entry holding line
// breaks becomes several lines.
QString listFileText(const QStringList &lines);

// Whole-number conversion: optional leading blanks, optional sign, decimal
// digits, nothing after, within 32 bits.
std::optional<int> toInt(const QString &text);
QString notAnIntegerMessage(const QString &text); // "'%s' is not a valid integer value"
QString indexOutOfBoundsMessage(int index);       // "List index out of bounds (%d)"
QString cannotOpenMessage(const QString &path, const QString &reason);
QString cannotCreateMessage(const QString &path, const QString &reason);

// Reading whole files. The path is reported as an absolute path. Only
// regular files are read (a FIFO or a device is refused at once, never
// waited on), and none larger than maxBytes.
inline constexpr qint64 kMaxTextFileSize = 64 * 1024 * 1024;
Result<QByteArray> readFileBytes(const QString &path, qint64 maxBytes = kMaxTextFileSize);
Result<QString> readTextFile(const QString &path);

// The program's own reasons a file is refused, in the user's language.
QString notRegularFileText();
QString tooLargeFileText(qint64 maxBytes);

// The system's text for an errno value ("No space left on device").
QString systemErrorText(int errorNumber);
inline Result<QStringList> readListFile(const QString &path)
{
    auto r = readTextFile(path);
    if (auto *e = std::get_if<ReadError>(&r))
        return *e;
    return splitLines(std::get<QString>(r));
}

// The text shown in the default error box: a full stop is appended when the
// message's last character sorts after ".".
QString withFullStop(const QString &message);

} // namespace vel
