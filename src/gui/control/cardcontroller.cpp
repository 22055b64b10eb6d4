#include "control/cardcontroller.h"

#include "card/deletion.h"
#include "cardlist/recentcards.h"
#include "control/unsavedwork.h"
#include "find/cardlistmodel.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

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
}

CardController::~CardController() = default;

bool CardController::resetShown()
{
    m_hasCard = true;
    emit stateChanged();
    return m_view->showNewCard();
}

void CardController::newCard()
{
    const QString kept = m_unsaved->keepIfUnsaved();
    // A new card replaces no set this window knows, even under a known name.
    m_unsaved->setKnownSet(QString(), QByteArray());
    if (resetShown())
        m_unsaved->markSaved(m_view->shownCard());
    if (!kept.isEmpty())
        m_view->showStatus(1, kept);
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
    m_lastChosen = path;
    auto loaded = loadCard(path, m_dataDir);
    if (auto *e = std::get_if<ReadError>(&loaded)) {
        m_cardList->updateCard(path); // the list shows it greyed, or no more
        m_view->showFailure(e->message);
        return false;
    }
    const LoadedCard &card = std::get<LoadedCard>(loaded);
    const QString kept = m_unsaved->keepIfUnsaved();
    m_hasCard = true;
    emit stateChanged();
    m_view->showCard(card);
    // Read from a save that was stopped and could not be finished here.
    if (!card.notice.isEmpty())
        m_view->showFailure(card.notice);
    m_unsaved->markSaved(m_view->shownCard());
    // Only a set in the data folder is the one a save replaces.
    const bool inDataFolder = QFileInfo(card.folder).canonicalFilePath() == QFileInfo(m_dataDir).canonicalFilePath();
    m_unsaved->setKnownSet(inDataFolder ? card.card.text(Field::Name) : QString(), card.digest);
    if (!kept.isEmpty())
        m_view->showStatus(1, kept);
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

void CardController::save()
{
    const CardState card = m_view->shownCard();
    const QString name = card.text(Field::Name);
    SaveGuard guard;
    guard.knownDigest = m_unsaved->knownDigest(name);
    guard.recoveryDataDir = m_dataDir;
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
        return;
    }
    m_unsaved->markSaved(card);
    m_unsaved->setKnownSet(name, guard.writtenDigest);
    m_view->showStatus(1, QStringLiteral(" Карточка сохранена"));
    m_view->showStatus(0, QStringLiteral(" Карточка пациента: ") + name);
    const QString saved = QDir(m_dataDir).absoluteFilePath(name + QStringLiteral(".dat"));
    rememberCard(saved);
    m_cardList->updateCard(saved);
}

void CardController::chooseAndDelete()
{
    // Nothing is preselected: Enter alone must not delete the card shown.
    const QString path =
        m_platform->chooseCardFile(m_owner, QStringLiteral("Удалить карточку пациента"), m_dataDir, {});
    if (path.isEmpty())
        return;
    m_lastChosen = path;
    const QString kept = m_unsaved->keepIfUnsaved();
    const auto error = deleteCard(path, m_dataDir);
    m_unsaved->setKnownSet(QString(), QByteArray());
    m_cardList->updateCard(path);
    if (!QFileInfo::exists(path))
        forgetCard(path);
    // A reset stopped by a missing template list does not report the deletion.
    const bool reset = resetShown();
    if (reset)
        m_unsaved->markSaved(m_view->shownCard());
    if (error) {
        m_view->showStatus(1, kept);
        m_view->showFailure(*error);
    } else if (reset) {
        m_view->showStatus(1, QStringLiteral(" Карточка удалена"));
    }
}

void CardController::closing()
{
    const QString kept = m_unsaved->keepIfUnsaved();
    if (!kept.isEmpty())
        m_view->showStatus(1, kept);
}

QStringList CardController::recentCards() const
{
    return QSettings(kSettingsName, kSettingsName).value(kRecentKey).toStringList();
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
