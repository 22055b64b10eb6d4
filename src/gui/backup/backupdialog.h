#pragma once

#include "backup/backupsettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vel {

class Platform;

// The backup folder, chosen once, the automatic copy on exit, how the last
// copy went, and a copy made now.
class BackupDialog final : public QDialog {
    Q_OBJECT
public:
    BackupDialog(Platform *platform, const BackupSettings &settings, QWidget *parent = nullptr);

    BackupSettings settings() const { return m_settings; }
    // Shows the settings again after a copy changed them.
    void showSettings(const BackupSettings &settings);

signals:
    void backupRequested();
    void settingsChanged(const BackupSettings &settings);

private:
    void chooseFolder();

    Platform *m_platform;
    BackupSettings m_settings;
    QLineEdit *m_folder;
    QCheckBox *m_automatic;
    QLabel *m_state;
    QPushButton *m_now;
};

} // namespace vel
