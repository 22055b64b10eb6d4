#pragma once

#include "card/cardstate.h"
#include "card/cardstore.h"
#include "text/linefile.h"

#include <QObject>
#include <QTimer>

class QWidget;

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

    // The card as shown now counts as saved (after new, open and save); a
    // recovery copy opened is unsaved work even before it is changed.
    void markSaved(const CardState &shown, bool copyOpened = false);
    // The card shown differs from the one last started, opened or saved, or is a copy.
    bool isModified() const;
    // Every input control under root reports its changes, so that the
    // modified state follows the doctor's typing and clicking.
    void watch(QWidget *root);

    // Keeps a copy if the card shown has unsaved changes; the status text
    // that says so, or an empty string when nothing needed keeping.
    QString keepIfUnsaved();
    // The same, with the reason when the copy could not be written; the
    // copy's main file or an empty string when nothing needed keeping.
    Result<QString> keep();
    // The copy that holds the card as shown now, if one was kept.
    QString copyOfShown() const;

    // The set of this name on disk as the window last read or wrote it.
    void setKnownSet(const QString &name, const QByteArray &digest);
    QByteArray knownDigest(const QString &name) const;

    static QString keptStatus();

signals:
    void keptByTimer(const QString &status);
    void modifiedChanged(bool modified);

private:
    QString m_dataDir;
    std::function<CardState()> m_current;
    std::optional<CardState> m_saved; // nothing before the first card
    std::optional<CardState> m_lastKept;
    QString m_lastKeptPath;
    QString m_knownName;
    QByteArray m_knownDigest;
    QTimer m_timer;
    QTimer m_check; // one comparison for a burst of changes
    bool m_modified = false;
    bool m_copyOpened = false;
};

} // namespace vel
