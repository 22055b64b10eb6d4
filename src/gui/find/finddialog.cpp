#include "find/finddialog.h"

#include "find/cardfilterproxy.h"
#include "find/cardlistmodel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vel {

FindDialog::FindDialog(CardListModel *cards, QWidget *parent)
    : QDialog(parent), m_cards(cards), m_proxy(new CardFilterProxy(cards, this))
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Найти карточку"));
    resize(900, 460); // wider than the window: whole names beside seven columns

    auto *label = new QLabel(QStringLiteral("&Найти:"), this);
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setPlaceholderText(QStringLiteral("Фамилия, имя, отчество или дата рождения"));
    FindEdit->setClearButtonEnabled(true);
    label->setBuddy(FindEdit);
    OverdueBox = new QCheckBox(QStringLiteral("&Просроченные"), this);
    OverdueBox->setObjectName(QStringLiteral("OverdueBox"));
    OverdueBox->setToolTip(
        QStringLiteral("Только пациенты, чей следующий приём уже прошёл: дольше всех ждущие сверху"));

    FindList = new QTableView(this);
    FindList->setObjectName(QStringLiteral("FindList"));
    FindList->setModel(m_proxy);
    FindList->setSelectionBehavior(QAbstractItemView::SelectRows);
    FindList->setSelectionMode(QAbstractItemView::SingleSelection);
    FindList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FindList->setTabKeyNavigation(false);
    FindList->setWordWrap(false);
    FindList->setAlternatingRowColors(true);
    FindList->verticalHeader()->hide();
    FindList->verticalHeader()->setDefaultSectionSize(FindList->fontMetrics().height() + 6);
    FindList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = FindList->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(CardListModel::NameColumn, QHeaderView::Stretch);
    header->resizeSection(CardListModel::BirthColumn, 110);
    header->resizeSection(CardListModel::AgeColumn, 70);
    header->resizeSection(CardListModel::VisitColumn, 120);
    header->resizeSection(CardListModel::WeightColumn, 60);
    for (int column : {int(CardListModel::NextColumn), int(CardListModel::OverdueColumn)})
        header->resizeSection(
            column, header->fontMetrics().horizontalAdvance(m_proxy->headerData(column, Qt::Horizontal).toString()) +
                        24); // room for the sort mark
    header->setHighlightSections(false);
    FindList->setSortingEnabled(true);
    FindList->sortByColumn(CardListModel::NameColumn, Qt::AscendingOrder);

    m_count = new QLabel(this);
    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("Открыть"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    m_open->setDefault(true);

    auto *search = new QHBoxLayout;
    search->addWidget(label);
    search->addWidget(FindEdit, 1);
    search->addWidget(OverdueBox);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(FindList, 1);
    layout->addLayout(bottom);
    setTabOrder(FindEdit, OverdueBox);
    setTabOrder(OverdueBox, FindList);

    FindEdit->installEventFilter(this);
    connect(FindEdit, &QLineEdit::textChanged, this, &FindDialog::searchChanged);
    connect(OverdueBox, &QCheckBox::toggled, this, &FindDialog::setOverdueOnly);
    connect(buttons, &QDialogButtonBox::accepted, this, &FindDialog::openChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &FindDialog::reject);
    connect(FindList, &QAbstractItemView::doubleClicked, this, &FindDialog::openChosen);
    connect(FindList, &QAbstractItemView::pressed, this, [this] { m_followFirst = false; });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_proxy, signal, this, &FindDialog::rowsChanged);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, &FindDialog::rowsChanged);
    connect(m_proxy, &QAbstractItemModel::modelReset, this, &FindDialog::rowsChanged);
    connect(m_cards, &CardListModel::readingChanged, this, &FindDialog::showCount);

    m_cards->refresh();
    chooseFirst();
    showCount();
    FindEdit->setFocus();
}

FindDialog *FindDialog::showList(CardListModel *cards, QWidget *window,
                                 const std::function<void(const QString &)> &open, bool overdueOnly)
{
    auto *dialog = new FindDialog(cards, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOverdueOnly(overdueOnly);
    connect(dialog, &FindDialog::cardChosen, window, open);
    dialog->open();
    return dialog;
}

void FindDialog::setOverdueOnly(bool only)
{
    OverdueBox->setChecked(only);
    if (only == m_proxy->overdueOnly())
        return;
    m_filtering = true;
    m_proxy->setOverdueOnly(only);
    // The longest waiting first; back to names when all are shown.
    FindList->sortByColumn(only ? CardListModel::NextColumn : CardListModel::NameColumn, Qt::AscendingOrder);
    m_filtering = false;
    m_followFirst = true;
    chooseFirst();
    showCount();
}

QString FindDialog::chosenPath() const
{
    const QModelIndex current = FindList->currentIndex();
    if (!current.isValid() || !FindList->selectionModel()->isRowSelected(current.row(), {}))
        return {};
    return current.siblingAtColumn(0).data(CardListModel::PathRole).toString();
}

bool FindDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FindEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // The choice moves while the typing stays in the field.
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            m_followFirst = false;
            if (!FindList->currentIndex().isValid())
                chooseFirst();
            else
                QCoreApplication::sendEvent(FindList, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::searchChanged(const QString &typed)
{
    m_filtering = true;
    m_proxy->setSearchText(typed);
    m_filtering = false;
    m_followFirst = true;
    chooseFirst();
    showCount();
}

void FindDialog::chooseFirst()
{
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        const QModelIndex index = m_proxy->index(r, 0);
        if (index.flags() & Qt::ItemIsEnabled) {
            FindList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
            FindList->scrollTo(index);
            return;
        }
    }
    FindList->selectionModel()->clear();
}

void FindDialog::rowsChanged()
{
    if (m_filtering)
        return;
    if (m_followFirst)
        chooseFirst();
    showCount();
}

void FindDialog::openChosen()
{
    const QString path = chosenPath();
    if (path.isEmpty())
        return;
    accept();
    emit cardChosen(path);
}

void FindDialog::showCount()
{
    const int all = m_cards->rowCount();
    const int shown = m_proxy->rowCount();
    QString text = shown == all ? QStringLiteral("Карточек: %1").arg(all)
                                : QStringLiteral("Найдено: %1 из %2").arg(shown).arg(all);
    if (m_cards->isReading())
        text += QStringLiteral(" (читаю папку...)");
    m_count->setText(text);
    m_open->setEnabled(!chosenPath().isEmpty());
}

} // namespace vel
