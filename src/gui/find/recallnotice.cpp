#include "find/recallnotice.h"

#include "cardlist/recall.h"
#include "find/cardlistmodel.h"
#include "find/finddialog.h"

#include <QStatusBar>
#include <QTimer>

namespace vel {

namespace {
// Long enough for the window to show and settle before the folder is read.
constexpr int kStartDelayMs = 1000;
} // namespace

RecallNotice::RecallNotice(QStatusBar *bar, CardListModel *cards, const std::function<void(const QString &)> &open)
    : QLabel(bar), m_cards(cards), m_open(open)
{
    setObjectName(QStringLiteral("RecallNotice"));
    setToolTip(QStringLiteral("Показать пациентов, чей следующий приём уже прошёл"));
    setTextFormat(Qt::RichText);
    setContentsMargins(4, 0, 4, 0);
    hide();
    bar->addPermanentWidget(this);
    connect(this, &QLabel::linkActivated, this, [this] { FindDialog::showList(m_cards, window(), m_open, true); });
    connect(m_cards, &CardListModel::readingChanged, this, [this](bool reading) {
        if (!reading) {
            m_counted = true;
            recount();
        }
    });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_cards, signal, this, &RecallNotice::recount);
    connect(m_cards, &QAbstractItemModel::dataChanged, this, &RecallNotice::recount);
    QTimer::singleShot(kStartDelayMs, this, &RecallNotice::countNow);
}

void RecallNotice::countNow()
{
    if (!m_counted && !m_cards->isReading())
        m_cards->refresh();
}

void RecallNotice::recount()
{
    // Rows arriving during the first reading would make the count climb.
    if (!m_counted || m_cards->isReading())
        return;
    const int overdue = m_cards->overdueCount();
    setText(QStringLiteral("<a href=\"overdue\">%1</a>").arg(overdueNotice(overdue).toHtmlEscaped()));
    setVisible(overdue > 0);
}

} // namespace vel
