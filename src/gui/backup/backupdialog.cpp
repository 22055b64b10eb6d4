#include "backup/backupdialog.h"

#include "platform/platform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

namespace vel {

BackupDialog::BackupDialog(Platform *platform, const BackupSettings &settings, QWidget *parent)
    : QDialog(parent), m_platform(platform), m_folder(new QLineEdit(this)), m_automatic(new QCheckBox(this)),
      m_state(new QLabel(this)), m_now(new QPushButton(QStringLiteral("Создать копию сейчас"), this))
{
    setObjectName(QStringLiteral("BackupDialog"));
    setWindowTitle(QStringLiteral("Резервная копия"));
    auto *layout = new QGridLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Папка для резервных копий (флешка, сетевая или облачная папка):"), this), 0, 0, 1,
        2);
    m_folder->setObjectName(QStringLiteral("BackupFolderEdit"));
    m_folder->setReadOnly(true);
    m_folder->setMinimumWidth(380);
    layout->addWidget(m_folder, 1, 0);
    auto *choose = new QPushButton(QStringLiteral("Выбрать…"), this);
    choose->setObjectName(QStringLiteral("BackupFolderButton"));
    layout->addWidget(choose, 1, 1);
    m_automatic->setObjectName(QStringLiteral("BackupAutoBox"));
    m_automatic->setText(QStringLiteral("Создавать копию при выходе из программы (не чаще раза в день)"));
    layout->addWidget(m_automatic, 2, 0, 1, 2);
    m_state->setObjectName(QStringLiteral("BackupStateLabel"));
    m_state->setWordWrap(true);
    layout->addWidget(m_state, 3, 0, 1, 2);

    auto *buttons = new QDialogButtonBox(this);
    m_now->setObjectName(QStringLiteral("BackupNowButton"));
    buttons->addButton(m_now, QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons, 4, 0, 1, 2);

    connect(choose, &QPushButton::clicked, this, &BackupDialog::chooseFolder);
    connect(m_now, &QPushButton::clicked, this, &BackupDialog::backupRequested);
    connect(m_automatic, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.automatic = on;
        emit settingsChanged(m_settings);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showSettings(settings);
}

void BackupDialog::showSettings(const BackupSettings &settings)
{
    m_settings = settings;
    m_folder->setText(QDir::toNativeSeparators(settings.folder));
    {
        const QSignalBlocker quiet(m_automatic);
        m_automatic->setChecked(settings.automatic);
    }
    const QString warning = backupWarning(settings, QDateTime::currentDateTime()).trimmed();
    QString state = settings.lastGood.isValid()
                        ? QStringLiteral("Последняя проверенная копия: %1.")
                              .arg(settings.lastGood.toString(QStringLiteral("dd.MM.yyyy HH:mm")))
                        : QString();
    if (!warning.isEmpty())
        state += (state.isEmpty() ? QString() : QStringLiteral("\n")) + warning;
    m_state->setText(state);
    m_now->setEnabled(!settings.folder.isEmpty());
}

void BackupDialog::chooseFolder()
{
    const QString start = m_settings.folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::HomeLocation)
                                                      : m_settings.folder;
    const QString folder = m_platform->chooseFolder(this, QStringLiteral("Папка для резервных копий"), start);
    if (folder.isEmpty())
        return;
    BackupSettings changed = m_settings;
    changed.folder = QDir::cleanPath(folder);
    showSettings(changed);
    emit settingsChanged(m_settings);
}

} // namespace vel
