#include "control/cardcontroller.h"

#include "card/deletion.h"
#include "card/recovery.h"
#include "cardlist/recentcards.h"
#include "control/recoverydialog.h"
#include "control/unsavedwork.h"
#include "find/cardlistmodel.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace vel {

namespace {

const QString kRecentKey = QStringLiteral("recentCards");
// The recent cards are all the program remembers between runs.
const QString kSettingsName = QStringLiteral("velnokasi");

} // namespace

CardController::CardController(CardView *view, Platform *platform, QWidget *dialogOwner, const QString &dataDir,
                               CardListModel *cardList, QObject *parent)
    : QObject(parent), m_view(view), m_platform(platform), m_owner(dialogOwner), m_dataDir(dataDir),
      m_cardList(cardList)
{
    m_unsaved = new UnsavedWork(
        m_dataDir, [this] { return m_view->shownCard(); }, this);
    connect(m_unsaved, &UnsavedWork::keptByTimer, this,
            [this](const QString &status) { m_view->showStatus(1, status); });
    connect(m_unsaved, &UnsavedWork::modifiedChanged, m_owner, &QWidget::setWindowModified);
}

CardController::~CardController() = default;

void CardController::pagesReady(QWidget *views)
{
    m_unsaved->watch(views);
    QTimer::singleShot(0, this, &CardController::offerRecovery);
}

void CardController::offerRecovery()
{
    const QList<PendingCopy> copies = pendingCopies(m_dataDir);
    if (copies.isEmpty())
        return;
    RecoveryDialog dialog(copies, m_owner);
    connect(&dialog, &RecoveryDialog::dropRequested, this, [this](const QString &copy) {
        // Like a deleted card: to the trash, or the folder of deleted cards.
        if (auto error = deleteCard(copy, m_dataDir))
            m_view->showFailure(*error);
        else
            QDir(QFileInfo(copy).absolutePath()).removeRecursively();
    });
    m_platform->showModal(&dialog);
    if (!dialog.chosen().isEmpty())
        openCard(dialog.chosen());
}

bool CardController::resetShown()
{
    m_hasCard = true;
    setShowsCopy(false);
    emit stateChanged();
    return m_view->showNewCard();
}

void CardController::setShowsCopy(bool copy)
{
    if (copy == m_showsCopy)
        return;
    m_showsCopy = copy;
    updateTitle();
    emit stateChanged();
}

void CardController::setProgramTitle(const QString &title)
{
    m_title = title;
    updateTitle();
}

void CardController::updateTitle()
{
    // Qt shows the marker "[*]" as "*" while the window is modified.
    m_owner->setWindowTitle(m_title + (m_showsCopy ? QStringLiteral(" — копия из .recovery") : QString()) +
                            QStringLiteral("[*]"));
}

std::optional<QString> CardController::letGo()
{
    if (!m_hasCard || !m_unsaved->isModified())
        return QString();
    // The copy comes first: it keeps the work while the question waits, and
    // the question must say so when it cannot be written.
    const auto kept = m_unsaved->keep();
    const QString name = m_view->shownCard().text(Field::Name);
    QString text = name.trimmed().isEmpty() ? QStringLiteral("Сохранить новую карточку?")
                                            : QStringLiteral("Сохранить изменения в карточке «%1»?").arg(name);
    if (const auto *e = std::get_if<ReadError>(&kept))
        text += QStringLiteral("\n\nКопию изменений сохранить не удалось: %1\nОтвет «Нет» удалит их безвозвратно.")
                    .arg(withFullStop(e->message));
    const int answer = m_platform->ask(m_owner, m_title, text,
                                       {QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Отмена")}, 0);
    const QString made = m_unsaved->copyOfShown(); // the card as shown, if a copy of it was kept
    const QString opened = m_showsCopy ? m_copyShown : QString();
    if (answer == 1) {
        // Dropped on purpose: the copies stay, but are not offered at the next start.
        for (const QString &copy : {made, opened})
            if (!copy.isEmpty())
                dismissCopy(copy);
        return made.isEmpty() && opened.isEmpty() ? QString() : UnsavedWork::keptStatus();
    }
    if (answer != 0 || !save())
        return std::nullopt;
    // Saved: the copy made for the question holds nothing the card lacks.
    if (!made.isEmpty())
        QDir(QFileInfo(made).absolutePath()).removeRecursively();
    return QString();
}

void CardController::newCard()
{
    const auto kept = letGo();
    if (!kept)
        return;
    // A new card replaces no set this window knows, even under a known name.
    m_unsaved->setKnownSet(QString(), QByteArray());
    if (resetShown())
        m_unsaved->markSaved(m_view->shownCard());
    if (!kept->isEmpty())
        m_view->showStatus(1, *kept);
}

void CardController::chooseAndOpen()
{
    const QString path =
        m_platform->chooseCardFile(m_owner, QStringLiteral("Открыть карточку пациента"), m_dataDir, m_lastChosen);
    if (!path.isEmpty())
        openCard(path);
}

bool CardController::openCard(const QString &path)
{
    const auto kept = letGo();
    return kept && load(path, *kept);
}

bool CardController::load(const QString &path, const QString &kept)
{
    m_lastChosen = path;
    auto loaded = loadCard(path, m_dataDir);
    if (auto *e = std::get_if<ReadError>(&loaded)) {
        m_cardList->updateCard(path); // the list shows it greyed, or no more
        m_view->showFailure(e->message);
        return false;
    }
    const LoadedCard &card = std::get<LoadedCard>(loaded);
    m_hasCard = true;
    emit stateChanged();
    m_view->showCard(card);
    // Read from a save that was stopped and could not be finished here.
    if (!card.notice.isEmpty())
        m_view->showFailure(card.notice);
    // Only a set in the data folder is the one a save replaces.
    const QString folder = QFileInfo(card.folder).canonicalFilePath();
    const bool inDataFolder = folder == QFileInfo(m_dataDir).canonicalFilePath();
    m_unsaved->setKnownSet(inDataFolder ? card.card.text(Field::Name) : QString(), card.digest);
    // A recovery copy is not the card: it says so, and counts as unsaved work, until it is saved.
    const QString copies = QFileInfo(recoveryFolder(m_dataDir)).canonicalFilePath(); // empty while none exists
    const bool copy = !copies.isEmpty() && folder.startsWith(copies + u'/');
    m_unsaved->markSaved(m_view->shownCard(), copy);
    m_copyShown = copy ? path : QString();
    setShowsCopy(copy);
    if (m_showsCopy)
        m_view->showStatus(1, QStringLiteral(" Открыта копия из папки .recovery, не сама карточка"));
    else if (!kept.isEmpty())
        m_view->showStatus(1, kept);
    if (isRecentCandidate(path, m_dataDir))
        rememberCard(path);
    m_cardList->updateCard(path);
    return true;
}

void CardController::openRecent(const QString &path)
{
    // A card that is gone leaves the list once its open has said so.
    if (!openCard(path) && !QFileInfo::exists(path))
        forgetCard(path);
}

bool CardController::confirmReplace(const QString &name)
{
    const QString path = QDir(m_dataDir).absoluteFilePath(name + cardSuffixes()[0]);
    const auto other = loadCard(path, m_dataDir);
    const QString birth = failed(other) ? QString() : std::get<LoadedCard>(other).card.text(Field::BirthDate).trimmed();
    const QString born = birth.isEmpty() || birth == QStringLiteral(".  .") ? QStringLiteral("дата рождения не указана")
                                                                            : QStringLiteral("дата рождения ") + birth;
    return m_platform->ask(m_owner, m_title,
                           QStringLiteral("Карточка «%1» уже есть (%2). Заменить её?").arg(name, born),
                           {QStringLiteral("Заменить"), QStringLiteral("Отмена")}, 1) == 0;
}

bool CardController::save()
{
    const CardState card = m_view->shownCard();
    const QString name = card.text(Field::Name);
    SaveGuard guard;
    guard.knownDigest = m_unsaved->knownDigest(name);
    guard.keepSet = [this](const QString &folder, const QString &setName) {
        return keepSetCopy(m_dataDir, folder, setName);
    };
    // Another patient's card under the same name, or the card a recovery copy
    // was made from: replaced only when the doctor says so, and then kept in
    // the trash. A save by another copy after the question still stops this one.
    if (guard.knownDigest.isEmpty() && isUsableCardName(name) && nameFitsFileSystem(m_dataDir, name)) {
        const QByteArray onDisk = setDigest(m_dataDir, name);
        if (!onDisk.isEmpty()) {
            if (!confirmReplace(name)) {
                m_view->focusField(Field::Name);
                return false;
            }
            guard.knownDigest = onDisk;
            guard.keepReplaced = true;
        }
    }
    if (auto error = saveCard(card, m_dataDir, &guard)) {
        // A failure never leaves an earlier "saved" on screen.
        m_view->showStatus(1, QString());
        // Refused for a newer save on disk: this window's version is kept too.
        const QString kept = error->newerOnDisk ? m_unsaved->keepIfUnsaved() : QString();
        if (!kept.isEmpty()) {
            m_view->showStatus(1, kept);
            error->message += QStringLiteral(" Ваша версия — в папке .recovery: откройте карточку снова и "
                                             "перенесите в неё свои изменения.");
        }
        if (error->refusedInput) {
            m_view->showRefusal(error->message);
            if (name.trimmed().isEmpty())
                m_view->focusField(Field::Name);
        } else
            m_view->showFailure(error->message);
        return false;
    }
    m_unsaved->markSaved(card);
    m_unsaved->setKnownSet(name, guard.writtenDigest);
    setShowsCopy(false);
    QString status = QStringLiteral(" Карточка сохранена");
    // The set replaced goes where a deleted card goes; failing that, its copy stays in .recovery.
    QString placedIn;
    if (!guard.keptCopy.isEmpty() && !deleteCard(guard.keptCopy, m_dataDir, &placedIn)) {
        QDir(QFileInfo(guard.keptCopy).absolutePath()).removeRecursively();
        status += placedIn.isEmpty() ? QStringLiteral(", прежняя — в корзине")
                                     : QStringLiteral(", прежняя — в папке «Удалённые карточки»");
    }
    m_view->showStatus(1, status);
    m_view->showStatus(0, QStringLiteral(" Карточка пациента: ") + name);
    const QString saved = QDir(m_dataDir).absoluteFilePath(name + QStringLiteral(".dat"));
    rememberCard(saved);
    m_cardList->updateCard(saved);
    return true;
}

void CardController::chooseAndDelete()
{
    // Nothing is preselected: Enter alone must not delete the card shown.
    const QString path =
        m_platform->chooseCardFile(m_owner, QStringLiteral("Удалить карточку пациента"), m_dataDir, {});
    if (path.isEmpty())
        return;
    m_lastChosen = path;
    const QString question =
        QStringLiteral("Удалить карточку «%1»? Её можно будет восстановить из корзины.").arg(cardNameOfFile(path));
    if (m_platform->ask(m_owner, m_title, question, {QStringLiteral("Удалить"), QStringLiteral("Отмена")}, 1) != 0)
        return;
    // The window is cleared after the delete: its unsaved work is asked about first.
    const auto kept = letGo();
    if (!kept)
        return;
    QString placedIn;
    const auto error = deleteCard(path, m_dataDir, &placedIn);
    m_unsaved->setKnownSet(QString(), QByteArray());
    m_cardList->updateCard(path);
    if (!QFileInfo::exists(path))
        forgetCard(path);
    // A reset stopped by a missing template list does not report the deletion.
    const bool reset = resetShown();
    if (reset)
        m_unsaved->markSaved(m_view->shownCard());
    if (error) {
        m_view->showStatus(1, *kept);
        m_view->showFailure(*error);
    } else if (reset) {
        m_view->showStatus(
            1, placedIn.isEmpty()
                   ? QStringLiteral(" Карточка удалена в корзину")
                   : QStringLiteral(" Карточка удалена в папку «%1»").arg(QFileInfo(placedIn).dir().dirName()));
    }
}

bool CardController::closing()
{
    return letGo().has_value();
}

QStringList CardController::recentCards() const
{
    QStringList recent = QSettings(kSettingsName, kSettingsName).value(kRecentKey).toStringList();
    // Earlier versions listed recovery copies too.
    recent.removeIf([this](const QString &path) { return !isRecentCandidate(path, m_dataDir); });
    return recent;
}

void CardController::rememberCard(const QString &path)
{
    QSettings settings(kSettingsName, kSettingsName);
    settings.setValue(kRecentKey, withRecentCard(settings.value(kRecentKey).toStringList(), path));
    emit recentChanged();
}

void CardController::forgetCard(const QString &path)
{
    QSettings settings(kSettingsName, kSettingsName);
    settings.setValue(kRecentKey, withoutRecentCard(settings.value(kRecentKey).toStringList(), path));
    emit recentChanged();
}

} // namespace vel
