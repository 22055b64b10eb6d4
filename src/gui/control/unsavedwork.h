#pragma once

#include "card/cardstate.h"
#include "card/cardstore.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace vel {

// Keeps the doctor's typing from vanishing: knows the card as it was last
// started, opened or saved, and keeps a recovery copy when the window lets
// go of changes that were never saved, or while they stay unsaved for long.
// Also remembers which set on disk the window last read or wrote, so that a
// save notices a newer save by another copy of the program.
class UnsavedWork final : public QObject {
    Q_OBJECT
public:
    UnsavedWork(const QString &dataDir, std::function<CardState()> current, QObject *parent = nullptr);

    // The card as shown now counts as saved (after new, open and save).
    void markSaved(const CardState &shown);

    // Keeps a copy if the card shown has unsaved changes; the status text
    // that says so, or an empty string when nothing needed keeping.
    QString keepIfUnsaved();

    // The set of this name on disk as the window last read or wrote it.
    void setKnownSet(const QString &name, const QByteArray &digest);
    QByteArray knownDigest(const QString &name) const;

    static QString keptStatus();

signals:
    void keptByTimer(const QString &status);

private:
    QString m_dataDir;
    std::function<CardState()> m_current;
    std::optional<CardState> m_saved; // nothing before the first card
    std::optional<CardState> m_lastKept;
    QString m_knownName;
    QByteArray m_knownDigest;
    QTimer m_timer;
};

} // namespace vel
