#include "control/recoverydialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace vel {

RecoveryDialog::RecoveryDialog(const QList<PendingCopy> &copies, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RecoveryDialog"));
    setWindowTitle(QStringLiteral("Найдены несохранённые изменения"));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(QStringLiteral("Эти изменения не были сохранены в карточках, например из-за сбоя. "
                                           "Откройте копию, проверьте её и сохраните карточку."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);

    m_copies = new QStandardItemModel(0, 3, this);
    m_copies->setHorizontalHeaderLabels(
        {QStringLiteral("Пациент"), QStringLiteral("Когда"), QStringLiteral("Что изменено")});
    for (const PendingCopy &copy : copies) {
        QList<QStandardItem *> row;
        for (const QString &text : {copy.name, copy.time.toString(QStringLiteral("dd.MM.yyyy HH:mm")), copy.changes}) {
            auto *cell = new QStandardItem(text);
            cell->setEditable(false);
            row << cell;
        }
        row.at(0)->setData(copy.mainFile, Qt::UserRole);
        row.at(2)->setToolTip(copy.changes);
        m_copies->appendRow(row);
    }
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("RecoveryList"));
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionsClickable(false);
    m_list->setModel(m_copies);
    m_list->setCurrentIndex(m_copies->index(0, 0));
    for (int column = 0; column < 3; ++column)
        m_list->resizeColumnToContents(column);
    m_list->setMinimumWidth(std::min(720, m_list->header()->length() + 24));
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("Открыть"), QDialogButtonBox::AcceptRole);
    m_drop = buttons->addButton(QStringLiteral("Удалить копию"), QDialogButtonBox::DestructiveRole);
    QPushButton *later = buttons->addButton(QStringLiteral("Позже"), QDialogButtonBox::RejectRole);
    m_open->setObjectName(QStringLiteral("OpenCopyButton"));
    m_drop->setObjectName(QStringLiteral("DropCopyButton"));
    later->setObjectName(QStringLiteral("LaterButton"));
    m_open->setDefault(true);
    layout->addWidget(buttons);

    connect(m_open, &QPushButton::clicked, this, [this] {
        m_chosen = current();
        accept();
    });
    connect(m_drop, &QPushButton::clicked, this, [this] {
        const QString file = current();
        m_copies->removeRow(m_list->currentIndex().row());
        emit dropRequested(file);
        if (m_copies->rowCount() == 0)
            reject();
        updateButtons();
    });
    connect(later, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &RecoveryDialog::updateButtons);
    connect(m_list, &QAbstractItemView::doubleClicked, m_open, &QPushButton::click);
    updateButtons();
}

QString RecoveryDialog::current() const
{
    const QModelIndex row = m_list->currentIndex();
    return row.isValid() ? row.siblingAtColumn(0).data(Qt::UserRole).toString() : QString();
}

void RecoveryDialog::updateButtons()
{
    const bool chosen = m_list->currentIndex().isValid();
    m_open->setEnabled(chosen);
    m_drop->setEnabled(chosen);
}

} // namespace vel
