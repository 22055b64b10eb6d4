#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLockFile;

// The disk side of a card file set: reading a file of it safely, replacing
// the whole set so that a crash leaves the old set or the new one, never a
// mix, and one writer per card at a time.
//
// A save first writes the new files under temporary names and links the old
// ones to backup names, then writes a small journal naming the set, then
// renames the new files into place, and finally drops the backups and the
// journal. Whoever next opens or saves that card (or starts in its folder)
// and finds a journal finishes that save; a save stopped before its journal
// only left temporary files behind, which are removed. Every helper file is
// hidden and named after a hash of the card name, so that its name stays
// short however long the patient's name is.

namespace vel {

inline constexpr int kCardPartCount = 7;
// The last part, the body composition, is optional: a card without any has no
// such file, its bytes are empty, and a missing one reads as empty.
inline constexpr int kBodyPart = 6;
inline bool isOptionalPart(int i)
{
    return i == kBodyPart;
}
// A part that holds no bytes where it is optional is a file the set does not have.
inline bool absentPart(int i, const QByteArray &bytes)
{
    return isOptionalPart(i) && bytes.isEmpty();
}
inline constexpr qint64 kMaxCardFileSize = 64 * 1024 * 1024;

using SetBytes = std::array<QByteArray, kCardPartCount>;

// The card's suffixes after "<name>", main file first: ".dat", ".dat.prp"...,
// ".dat.bio" last.
const std::array<QString, kCardPartCount> &cardSuffixes();

// A held lock on one card of one folder; released when destroyed.
class CardLock {
public:
    CardLock(const QString &folder, const QString &name);
    ~CardLock();
    CardLock(const CardLock &) = delete;
    CardLock &operator=(const CardLock &) = delete;

    // Held: ours. Busy: another running copy holds it. Unavailable: no lock
    // can be made in the folder (read-only, full). Stuck: a copy that has
    // ended left its lock, and it cannot be removed.
    enum class State { Held, Busy, Unavailable, Stuck };
    // Waits up to waitMs for another copy of the program to finish with the
    // card; never longer, whatever is found in the folder.
    State acquire(int waitMs);
    // Why the lock was Unavailable or Stuck: an errno value.
    int error() const { return m_error; }
    State state() const { return m_state; }
    QString path() const { return m_path; }

private:
    friend void recoverFolder(const QString &folder);
    explicit CardLock(const QString &lockPath);
    State attempt(int waitMs);
    enum class TakeOver { Removed, Later, Failed };
    TakeOver takeOverDeadLock(quint64 inode, qint64 changedNs);
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    int m_error = 0;
    State m_state = State::Busy;
};

// What a message tells the user to do once the folder is fixed.
enum class CardAction { Open, Save, Delete };

// The folder, why nothing can be written in it and what to do, in one or two
// sentences: "Папка "…" только для чтения: …".
QString folderProblem(const QString &folder, int error);
// The whole message for a lock that was not Held (Busy, Unavailable or Stuck).
QString lockProblem(const CardLock &lock, const QString &folder, const QString &name, CardAction action);

// Reads one card file whole: regular files only (a FIFO or a device is
// refused, never waited on), no symbolic link leading out of the folder,
// at most kMaxCardFileSize bytes. The error is the full message.
struct FileRead {
    QByteArray bytes;
    QString error; // empty when read
};
FileRead readCardFile(const QString &path);

// A fingerprint of the set as it is on disk; empty when there is no main file.
QByteArray setDigest(const QString &folder, const QString &name);
QByteArray setDigest(const SetBytes &files);

// Nothing when a save of this card is under way or was stopped half-way;
// otherwise what identifies the six files on disk (file, size and time), so
// that a read without the lock can tell whether a save replaced any of them.
std::optional<QByteArray> quietSetIdentity(const QString &folder, const QString &name);

// A save of this card stopped half-way that cannot be finished now (no lock
// can be made): the files to read instead, the complete new set when every
// new file is there and whole, else the old set. An empty path is a file the
// version does not have. Nothing when no such save is pending.
struct PendingSave {
    bool newVersion = false;
    std::array<QString, kCardPartCount> paths;
};
std::optional<PendingSave> pendingSave(const QString &folder, const QString &name);

// Writes a new file completely and durably (permissions as far as the file
// system keeps them); the system's reason on failure. Syncs a folder's entries.
std::optional<QString> writeFileDurably(const QString &path, const QByteArray &bytes);
void syncFolder(const QString &folder);

// Finishes or undoes a save of this card that was stopped half-way and removes
// leftover temporary files. The caller holds the card's lock.
void recoverCard(const QString &folder, const QString &name);
// Removes the temporary files that earlier versions of the program left next
// to this card when stopped mid-save. The caller holds the card's lock.
void removeEarlierTemporaries(const QString &folder, const QString &name);
// Both for every card of the folder with leftovers, skipping cards that
// another copy of the program is saving right now. One folder listing.
void recoverFolder(const QString &folder);

// Replaces the card's files by the given bytes, all or none; an optional part
// without bytes is removed. The caller
// holds the lock. The message names the file that failed and why.
std::optional<QString> replaceSet(const QString &folder, const QString &name, const SetBytes &files);

// Longest file name of the set in bytes, and the folder's limit.
bool nameFitsFileSystem(const QString &folder, const QString &name);

// Test hooks. A fault makes writing or replacing one file of the set fail;
// a stop ends the save at the given step as a crash would: no clean-up.
// Link makes the old file's second name fail, as on file systems without
// hard links, so that the old file is copied instead.
// Mode makes setting a new file's permissions fail, as on file systems without them.
enum class SavePhase { Write, Replace, Link, Mode };
using SaveFault = std::function<bool(const QString &path, SavePhase phase)>;
void setSaveFaultForTesting(SaveFault fault);
void setSaveStopForTesting(std::function<bool(int step)> stop);
// Making or removing a lock file fails with the errno returned (0: no fault),
// as in a read-only folder or on a full disk.
void setLockFaultForTesting(std::function<int(const QString &lockPath)> fault);
inline const QString kStoppedForTesting = QStringLiteral("stopped for testing");

} // namespace vel
