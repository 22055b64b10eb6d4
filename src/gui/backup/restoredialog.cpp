#include "backup/restoredialog.h"

#include "backup/restorecardmodel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace vel {

RestoreDialog::RestoreDialog(const BackupListing &listing, const QString &archiveName, QWidget *parent)
    : QDialog(parent), m_cards(new RestoreCardModel(listing.cards, this)), m_shown(new RestoreCardFilter(this)),
      m_list(new QTreeView(this)), m_filter(new QLineEdit(this)), m_other(new QCheckBox(this)),
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
    m_list->header()->setSectionsClickable(false);
    m_shown->setSourceModel(m_cards);
    m_list->setModel(m_shown);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < m_cards->columnCount(); ++column)
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
    connect(m_cards, &QAbstractItemModel::dataChanged, this, &RestoreDialog::updateButton);
    connect(m_other, &QCheckBox::toggled, this, &RestoreDialog::updateButton);
    connect(m_filter, &QLineEdit::textChanged, this, &RestoreDialog::filter);
    updateButton();
}

QStringList RestoreDialog::checkedCards() const
{
    return m_cards->checkedFileNames();
}

bool RestoreDialog::allChecked() const
{
    return m_cards->checkedCount() == m_cards->rowCount();
}

bool RestoreDialog::withOtherFiles() const
{
    return m_other->isChecked();
}

void RestoreDialog::checkCards(const QString &containing)
{
    m_cards->checkWhere([this, &containing](int row) {
        return m_shown->acceptsRow(row) && m_cards->name(row).contains(containing, Qt::CaseInsensitive);
    });
    updateButton();
}

void RestoreDialog::updateButton()
{
    m_restore->setEnabled(m_other->isChecked() || m_cards->checkedCount() > 0);
}

void RestoreDialog::filter(const QString &text)
{
    m_shown->setText(text);
}

} // namespace vel
