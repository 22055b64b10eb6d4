#include "backup/restoredialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vel {

namespace {

constexpr int kFileNameRole = Qt::UserRole;

QString inFolderText(ArchivedCard::InFolder state)
{
    switch (state) {
    case ArchivedCard::InFolder::Absent:
        return QStringLiteral("нет");
    case ArchivedCard::InFolder::Same:
        return QStringLiteral("такая же");
    case ArchivedCard::InFolder::Different:
        return QStringLiteral("другая версия");
    }
    return {};
}

} // namespace

RestoreDialog::RestoreDialog(const BackupListing &listing, const QString &archiveName, QWidget *parent)
    : QDialog(parent), m_list(new QTreeWidget(this)), m_filter(new QLineEdit(this)), m_other(new QCheckBox(this)),
      m_restore(new QPushButton(QStringLiteral("Восстановить"), this))
{
    setObjectName(QStringLiteral("RestoreDialog"));
    setWindowTitle(QStringLiteral("Восстановить из копии"));
    auto *layout = new QVBoxLayout(this);
    auto *about =
        new QLabel(QStringLiteral("Копия \"%1\" от %2, карточек: %3. Отметьте карточки, которые нужно "
                                  "восстановить. Карточка, которая есть в картотеке в другой версии, "
                                  "сначала переносится в корзину.")
                       .arg(archiveName, listing.manifest.created.toString(QStringLiteral("dd.MM.yyyy HH:mm")))
                       .arg(listing.cards.size()),
                   this);
    about->setWordWrap(true);
    layout->addWidget(about);

    m_filter->setObjectName(QStringLiteral("RestoreFilterEdit"));
    m_filter->setPlaceholderText(QStringLiteral("Поиск по Ф.И.О."));
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(m_filter);

    m_list->setObjectName(QStringLiteral("RestoreList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("Ф.И.О."), QStringLiteral("Дата рождения"),
                             QStringLiteral("Последний визит"), QStringLiteral("В картотеке")});
    QList<QTreeWidgetItem *> items;
    items.reserve(listing.cards.size());
    for (const ArchivedCard &card : listing.cards) {
        auto *item = new QTreeWidgetItem({card.name, card.birth, card.lastVisit, inFolderText(card.inFolder)});
        item->setData(0, kFileNameRole, card.fileName);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        items << item;
    }
    m_list->addTopLevelItems(items);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < m_list->columnCount(); ++column)
        m_list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    layout->addWidget(m_list, 1);

    auto *checkAll = new QPushButton(QStringLiteral("Отметить все"), this);
    checkAll->setObjectName(QStringLiteral("RestoreCheckAllButton"));
    layout->addWidget(checkAll, 0, Qt::AlignLeft);
    m_other->setObjectName(QStringLiteral("RestoreOtherBox"));
    m_other->setText(QStringLiteral("Также шаблоны рекомендаций и другие файлы (%1)").arg(listing.otherFiles));
    m_other->setEnabled(listing.otherFiles > 0);
    layout->addWidget(m_other);

    auto *buttons = new QDialogButtonBox(this);
    m_restore->setObjectName(QStringLiteral("RestoreButton"));
    buttons->addButton(m_restore, QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    resize(720, 520);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(checkAll, &QPushButton::clicked, this, [this] { checkCards(); });
    connect(m_list, &QTreeWidget::itemChanged, this, &RestoreDialog::updateButton);
    connect(m_other, &QCheckBox::toggled, this, &RestoreDialog::updateButton);
    connect(m_filter, &QLineEdit::textChanged, this, &RestoreDialog::filter);
    updateButton();
}

QStringList RestoreDialog::checkedCards() const
{
    QStringList names;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
            names << m_list->topLevelItem(i)->data(0, kFileNameRole).toString();
    return names;
}

bool RestoreDialog::allChecked() const
{
    return checkedCards().size() == m_list->topLevelItemCount();
}

bool RestoreDialog::withOtherFiles() const
{
    return m_other->isChecked();
}

void RestoreDialog::checkCards(const QString &containing)
{
    const QSignalBlocker quiet(m_list);
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (!item->isHidden() && item->text(0).contains(containing, Qt::CaseInsensitive))
            item->setCheckState(0, Qt::Checked);
    }
    updateButton();
}

void RestoreDialog::updateButton()
{
    m_restore->setEnabled(m_other->isChecked() || !checkedCards().isEmpty());
}

void RestoreDialog::filter(const QString &text)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setHidden(!m_list->topLevelItem(i)->text(0).contains(text, Qt::CaseInsensitive));
}

} // namespace vel
