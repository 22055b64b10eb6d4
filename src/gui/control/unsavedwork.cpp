#include "control/unsavedwork.h"

#include "card/cardfiles.h"
#include "card/recovery.h"

namespace vel {

UnsavedWork::UnsavedWork(const QString &dataDir, std::function<CardState()> current, QObject *parent)
    : QObject(parent), m_dataDir(dataDir), m_current(std::move(current))
{
    m_timer.setInterval(2 * 60 * 1000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const QString status = keepIfUnsaved();
        if (!status.isEmpty())
            emit keptByTimer(status);
    });
    m_timer.start();
}

void UnsavedWork::markSaved(const CardState &shown)
{
    m_saved = shown;
    m_lastKept.reset();
}

QString UnsavedWork::keepIfUnsaved()
{
    if (!m_saved)
        return {};
    // The values as the window holds them: what a save would write.
    const CardState card = m_current();
    if (card == *m_saved || (m_lastKept && card == *m_lastKept))
        return {};
    if (failed(keepRecoveryCopy(m_dataDir, card)))
        return {};
    m_lastKept = card;
    return keptStatus();
}

void UnsavedWork::setKnownSet(const QString &name, const QByteArray &digest)
{
    m_knownName = name;
    m_knownDigest = digest;
}

QByteArray UnsavedWork::knownDigest(const QString &name) const
{
    return name == m_knownName ? m_knownDigest : QByteArray();
}

QString UnsavedWork::keptStatus()
{
    return QStringLiteral(" Копия в папке .recovery");
}

} // namespace vel
