#pragma once

#include "card/recovery.h"

#include <QDialog>

class QPushButton;
class QStandardItemModel;
class QTreeView;

namespace vel {

// Offers the recovery copies that hold work never saved, found at start-up:
// one row per card with the patient, the time and what changed. "Открыть"
// ends the dialog with the copy chosen, "Удалить копию" drops the copy
// chosen and keeps the dialog for the others, "Позже" leaves them all.
class RecoveryDialog final : public QDialog {
    Q_OBJECT
public:
    explicit RecoveryDialog(const QList<PendingCopy> &copies, QWidget *parent = nullptr);

    // The main file of the copy to open; empty unless "Открыть" was pressed.
    QString chosen() const { return m_chosen; }

signals:
    void dropRequested(const QString &mainFile);

private:
    QString current() const;
    void updateButtons();

    QStandardItemModel *m_copies;
    QTreeView *m_list;
    QPushButton *m_open;
    QPushButton *m_drop;
    QString m_chosen;
};

} // namespace vel
