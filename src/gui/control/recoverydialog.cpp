#include "control/recoverydialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
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

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("RecoveryList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Пациент"), QStringLiteral("Когда"), QStringLiteral("Что изменено")});
    for (const PendingCopy &copy : copies) {
        auto *row = new QTreeWidgetItem(
            m_list, {copy.name, copy.time.toString(QStringLiteral("dd.MM.yyyy HH:mm")), copy.changes});
        row->setData(0, Qt::UserRole, copy.mainFile);
        row->setToolTip(2, copy.changes);
    }
    m_list->setCurrentItem(m_list->topLevelItem(0));
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
        delete m_list->currentItem();
        emit dropRequested(file);
        if (m_list->topLevelItemCount() == 0)
            reject();
        updateButtons();
    });
    connect(later, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &RecoveryDialog::updateButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, m_open, &QPushButton::click);
    updateButtons();
}

QString RecoveryDialog::current() const
{
    const QTreeWidgetItem *row = m_list->currentItem();
    return row ? row->data(0, Qt::UserRole).toString() : QString();
}

void RecoveryDialog::updateButtons()
{
    m_open->setEnabled(m_list->currentItem());
    m_drop->setEnabled(m_list->currentItem());
}

} // namespace vel
