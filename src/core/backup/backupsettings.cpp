#include "backup/backupsettings.h"

#include <QSettings>

namespace vel {

namespace {

const QString kOrganisation = QStringLiteral("velnokasi");
const QString kFolderKey = QStringLiteral("backup/folder");
const QString kAutomaticKey = QStringLiteral("backup/automatic");
const QString kLastGoodKey = QStringLiteral("backup/lastGood");
const QString kLastAttemptKey = QStringLiteral("backup/lastAttempt");
const QString kLastFailureKey = QStringLiteral("backup/lastFailure");
constexpr int kStaleDays = 7;

} // namespace

BackupSettings BackupSettings::load()
{
    const QSettings s(kOrganisation, kOrganisation);
    BackupSettings b;
    b.folder = s.value(kFolderKey).toString();
    b.automatic = s.value(kAutomaticKey, true).toBool();
    b.lastGood = s.value(kLastGoodKey).toDateTime();
    b.lastAttempt = s.value(kLastAttemptKey).toDateTime();
    b.lastFailure = s.value(kLastFailureKey).toString();
    return b;
}

void BackupSettings::save() const
{
    QSettings s(kOrganisation, kOrganisation);
    s.setValue(kFolderKey, folder);
    s.setValue(kAutomaticKey, automatic);
    s.setValue(kLastGoodKey, lastGood);
    s.setValue(kLastAttemptKey, lastAttempt);
    s.setValue(kLastFailureKey, lastFailure);
}

bool automaticBackupDue(const BackupSettings &settings, const QDateTime &now)
{
    if (!settings.automatic || settings.folder.isEmpty())
        return false;
    // Once a day: after a good copy today nothing; after a failed try the
    // next exit tries again.
    return !settings.lastGood.isValid() || settings.lastGood.date() != now.date() || !settings.lastFailure.isEmpty();
}

QString backupWarning(const BackupSettings &settings, const QDateTime &now)
{
    if (settings.folder.isEmpty())
        return QStringLiteral(" Нет папки для резервных копий: меню «Карточка», «Резервная копия…»");
    if (!settings.lastFailure.isEmpty())
        return QStringLiteral(" Резервная копия не удалась: %1").arg(settings.lastFailure);
    if (!settings.lastGood.isValid())
        return QStringLiteral(" Резервной копии ещё нет: создайте её (меню «Карточка», «Резервная копия…»)");
    if (settings.lastGood.daysTo(now) > kStaleDays)
        return QStringLiteral(" Последней резервной копии больше %1 дней (%2): создайте новую")
            .arg(kStaleDays)
            .arg(settings.lastGood.toString(QStringLiteral("dd.MM.yyyy")));
    return {};
}

} // namespace vel
