#pragma once

#include "backup/backup.h"
#include "backup/backupsettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace vel {

class Platform;

// The backup, restore and export commands of the menu "Карточка", the copy
// made on exit and the check at start-up. The window owns one and connects
// its actions to the slots; every question goes through the platform.
class BackupCommands final : public QObject {
    Q_OBJECT
public:
    BackupCommands(QWidget *window, Platform *platform, const QString &dataDir, const QString &programVersion,
                   QObject *parent = nullptr);

    // Where outcomes and warnings go: the status bar's outcome panel.
    void setStatusSink(std::function<void(const QString &text)> sink) { m_status = std::move(sink); }
    // Tests set the clock.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Makes a copy into the chosen folder now, with a progress dialog that
    // can cancel it; records the outcome. False when none was made.
    bool backupNow();

public slots:
    void showBackupDialog();    // "Резервная копия…"
    void restoreFromBackup();   // "Восстановить из копии…"
    void exportToSpreadsheet(); // "Экспорт в таблицу…"
    void checkAtStartup();      // a failed or missing copy shows in the status bar
    void backupOnExit();        // the automatic copy, at most once a day

signals:
    // The main files of the cards written by a restore, to refresh what shows them.
    void cardsRestored(const QStringList &mainFiles);

private:
    template <typename Work> auto withProgress(const QString &label, Work work);
    void status(const QString &text);

    QWidget *m_window;
    Platform *m_platform;
    QString m_dataDir;
    QString m_version;
    std::function<void(const QString &)> m_status;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};

} // namespace vel
