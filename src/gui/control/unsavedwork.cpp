#include "control/unsavedwork.h"

#include "card/cardfiles.h"
#include "card/recovery.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

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
    m_check.setSingleShot(true);
    m_check.setInterval(0);
    connect(&m_check, &QTimer::timeout, this, [this] {
        const bool modified = isModified();
        if (modified != m_modified) {
            m_modified = modified;
            emit modifiedChanged(modified);
        }
    });
}

void UnsavedWork::markSaved(const CardState &shown, bool copyOpened)
{
    m_saved = shown;
    m_copyOpened = copyOpened;
    m_lastKept.reset();
    m_check.stop();
    m_modified = copyOpened;
    emit modifiedChanged(m_modified);
}

bool UnsavedWork::isModified() const
{
    // The values as the window holds them: what a save would write.
    return m_saved && (m_copyOpened || !(m_current() == *m_saved));
}

void UnsavedWork::watch(QWidget *root)
{
    // Loading a card changes the controls too; the comparison tells a change
    // of the card from a change back to what was saved.
    const auto changed = [this] { m_check.start(); };
    for (auto *w : root->findChildren<QLineEdit *>())
        connect(w, &QLineEdit::textChanged, this, changed);
    for (auto *w : root->findChildren<QPlainTextEdit *>())
        connect(w, &QPlainTextEdit::textChanged, this, changed);
    for (auto *w : root->findChildren<QTextEdit *>())
        connect(w, &QTextEdit::textChanged, this, changed);
    for (auto *w : root->findChildren<QComboBox *>())
        connect(w, &QComboBox::currentIndexChanged, this, changed);
    for (auto *w : root->findChildren<QAbstractButton *>())
        if (w->isCheckable())
            connect(w, &QAbstractButton::toggled, this, changed);
    for (auto *view : root->findChildren<QAbstractItemView *>()) {
        QAbstractItemModel *model = view->model();
        if (!model)
            continue;
        connect(model, &QAbstractItemModel::dataChanged, this, changed);
        connect(model, &QAbstractItemModel::rowsInserted, this, changed);
        connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
        connect(model, &QAbstractItemModel::modelReset, this, changed);
    }
}

QString UnsavedWork::keepIfUnsaved()
{
    const auto kept = keep();
    return failed(kept) || std::get<QString>(kept).isEmpty() ? QString() : keptStatus();
}

Result<QString> UnsavedWork::keep()
{
    if (!m_saved)
        return QString();
    const CardState card = m_current();
    if (card == *m_saved || (m_lastKept && card == *m_lastKept))
        return QString();
    auto kept = keepRecoveryCopy(m_dataDir, card);
    if (!failed(kept)) {
        m_lastKept = card;
        m_lastKeptPath = std::get<QString>(kept);
    }
    return kept;
}

QString UnsavedWork::copyOfShown() const
{
    return m_lastKept && m_current() == *m_lastKept ? m_lastKeptPath : QString();
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
