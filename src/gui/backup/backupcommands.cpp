#include "backup/backupcommands.h"

#include "backup/backupdialog.h"
#include "backup/restore.h"
#include "backup/restoredialog.h"
#include "backup/retention.h"
#include "backup/spreadsheet.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace vel {

namespace {

const QString kCaption = QStringLiteral("VEL-NO-KASI - электронная картотека");

} // namespace

BackupCommands::BackupCommands(QWidget *window, Platform *platform, const QString &dataDir,
                               const QString &programVersion, QObject *parent)
    : QObject(parent), m_window(window), m_platform(platform), m_dataDir(dataDir), m_version(programVersion)
{
}

void BackupCommands::status(const QString &text)
{
    if (m_status)
        m_status(text);
}

// Runs work(report) under a progress dialog that shows after half a second
// and whose "Отмена" stops the work at its next step.
template <typename Work> auto BackupCommands::withProgress(const QString &label, Work work)
{
    QProgressDialog progress(label, QStringLiteral("Отмена"), 0, 1000, m_window);
    progress.setObjectName(QStringLiteral("BackupProgress"));
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    int shown = -1;
    const StepReport report = [&](qint64 done, qint64 total) {
        const int value = total > 0 ? int(std::min<qint64>(1000, done * 1000 / total)) : 0;
        if (value != shown) {
            shown = value;
            progress.setValue(value);
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
    };
    return work(report);
}

bool BackupCommands::backupNow()
{
    BackupSettings settings = BackupSettings::load();
    if (settings.folder.isEmpty())
        return false;
    BackupOptions options;
    options.programVersion = m_version;
    options.now = m_now();
    const auto made = withProgress(QStringLiteral("Резервная копия картотеки…"), [&](const StepReport &report) {
        options.report = report;
        return makeBackup(m_dataDir, settings.folder, options);
    });
    settings.lastAttempt = options.now;
    if (const auto *e = std::get_if<ReadError>(&made)) {
        // A cancelled copy is not a failure to remember.
        if (e->message == kBackupCancelled) {
            status(QStringLiteral(" Резервная копия отменена"));
            return false;
        }
        settings.lastFailure = e->message;
        settings.save();
        status(QStringLiteral(" Резервная копия не удалась"));
        m_platform->errorBox(m_window, kCaption, e->message);
        return false;
    }
    const BackupResult &r = std::get<BackupResult>(made);
    settings.lastGood = options.now;
    settings.lastFailure.clear();
    settings.save();
    pruneBackups(settings.folder);
    status(QStringLiteral(" Резервная копия создана: %1 (карточек: %2)")
               .arg(QFileInfo(r.archivePath).fileName())
               .arg(r.cardCount));
    return true;
}

void BackupCommands::showBackupDialog()
{
    BackupDialog dialog(m_platform, BackupSettings::load(), m_window);
    connect(&dialog, &BackupDialog::settingsChanged, this, [](const BackupSettings &changed) {
        // Only what the dialog changes: the outcome of a copy made meanwhile stays.
        BackupSettings stored = BackupSettings::load();
        stored.folder = changed.folder;
        stored.automatic = changed.automatic;
        stored.save();
    });
    connect(&dialog, &BackupDialog::backupRequested, this, [this, &dialog] {
        backupNow();
        dialog.showSettings(BackupSettings::load());
    });
    m_platform->showModal(&dialog);
}

void BackupCommands::restoreFromBackup()
{
    const QString archive =
        m_platform->chooseOpenFile(m_window, QStringLiteral("Восстановить из копии"), BackupSettings::load().folder,
                                   QStringLiteral("Резервные копии (*.zip)"));
    if (archive.isEmpty())
        return;
    const auto listed = withProgress(QStringLiteral("Проверка резервной копии…"),
                                     [&](const StepReport &report) { return listBackup(archive, m_dataDir, report); });
    if (const auto *e = std::get_if<ReadError>(&listed)) {
        if (e->message != kReadingCancelled)
            m_platform->errorBox(m_window, kCaption, e->message);
        return;
    }
    const BackupListing &listing = std::get<BackupListing>(listed);
    RestoreDialog dialog(listing, QFileInfo(archive).fileName(), m_window);
    m_platform->showModal(&dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.checkedCards();
    const bool everything = dialog.allChecked() && dialog.withOtherFiles();

    QStringList replaced;
    for (const ArchivedCard &card : listing.cards)
        if (card.inFolder == ArchivedCard::InFolder::Different && chosen.contains(card.fileName))
            replaced << card.name;
    if (!replaced.isEmpty()) {
        const int shownNames = 10;
        QString names = QStringList(replaced.mid(0, shownNames)).join(QStringLiteral("\n"));
        if (replaced.size() > shownNames)
            names += QStringLiteral("\n… и ещё %1").arg(replaced.size() - shownNames);
        const int answer = m_platform->ask(
            m_window, kCaption,
            QStringLiteral("В картотеке уже есть другие версии этих карточек (%1):\n%2\n\nТекущие версии будут "
                           "перенесены в корзину, а на их место записаны карточки из копии. Продолжить?")
                .arg(replaced.size())
                .arg(names),
            {QStringLiteral("Восстановить"), QStringLiteral("Отмена")});
        if (answer != 0)
            return;
    }
    const auto restored = withProgress(QStringLiteral("Восстановление карточек…"), [&](const StepReport &report) {
        return vel::restoreFromBackup(archive, m_dataDir, chosen, everything, report, dialog.withOtherFiles());
    });
    if (const auto *e = std::get_if<ReadError>(&restored)) {
        if (e->message != kReadingCancelled)
            m_platform->errorBox(m_window, kCaption, e->message);
        return;
    }
    const RestoreOutcome &outcome = std::get<RestoreOutcome>(restored);
    status(QStringLiteral(" Восстановлено карточек: %1").arg(outcome.restored + outcome.unchanged));
    QStringList mains;
    for (const QString &name : chosen)
        mains << QDir(m_dataDir).filePath(name + QStringLiteral(".dat"));
    emit cardsRestored(mains);
}

void BackupCommands::exportToSpreadsheet()
{
    const int style = m_platform->ask(
        m_window, QStringLiteral("Экспорт в таблицу"),
        QStringLiteral("Для какой программы таблиц записать файлы пациентов и визитов?\n\n"
                       "Русская версия (LibreOffice Calc, Excel): разделитель «;», десятичная запятая, даты "
                       "ДД.ММ.ГГГГ.\nДругие программы: разделитель «,», десятичная точка, даты ГГГГ-ММ-ДД."),
        {QStringLiteral("Русская версия"), QStringLiteral("Другие программы"), QStringLiteral("Отмена")});
    if (style != 0 && style != 1)
        return;
    const SheetStyle sheet = style == 0 ? SheetStyle::Russian : SheetStyle::Iso;
    const QString folder = m_platform->chooseFolder(m_window, QStringLiteral("Папка для таблиц"), QDir::homePath());
    if (folder.isEmpty())
        return;
    const QDir target(folder);
    if (target.exists(patientsFileName(sheet)) || target.exists(visitsFileName(sheet))) {
        const int replace = m_platform->ask(m_window, QStringLiteral("Экспорт в таблицу"),
                                            QStringLiteral("В папке уже есть \"%1\" и \"%2\". Заменить их?")
                                                .arg(patientsFileName(sheet), visitsFileName(sheet)),
                                            {QStringLiteral("Заменить"), QStringLiteral("Отмена")});
        if (replace != 0)
            return;
    }
    const auto done = withProgress(QStringLiteral("Экспорт карточек…"), [&](const StepReport &report) {
        return exportCards(m_dataDir, folder, sheet, report);
    });
    if (const auto *e = std::get_if<ReadError>(&done)) {
        if (e->message != kExportCancelled)
            m_platform->errorBox(m_window, kCaption, e->message);
        return;
    }
    const ExportResult &r = std::get<ExportResult>(done);
    status(QStringLiteral(" Таблицы записаны (карточек: %1)").arg(r.cards));
    if (!r.unreadable.isEmpty())
        m_platform->errorBox(m_window, kCaption,
                             QStringLiteral("Таблицы записаны, но эти карточки не прочитаны и в них не вошли (%1):\n%2")
                                 .arg(r.unreadable.size())
                                 .arg(QStringList(r.unreadable.mid(0, 20)).join(u'\n')));
}

void BackupCommands::checkAtStartup()
{
    const QString warning = backupWarning(BackupSettings::load(), m_now());
    if (!warning.isEmpty())
        status(warning);
}

void BackupCommands::backupOnExit()
{
    if (!automaticBackupDue(BackupSettings::load(), m_now()))
        return;
    backupNow();
}

} // namespace vel
