#pragma once

#include "backup/restore.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace vel {

class RestoreCardFilter;
class RestoreCardModel;

// The cards of a backup, to tick the ones to bring back: name, birth date,
// last visit and whether the data folder holds the card already.
class RestoreDialog final : public QDialog {
    Q_OBJECT
public:
    RestoreDialog(const BackupListing &listing, const QString &archiveName, QWidget *parent = nullptr);

    QStringList checkedCards() const; // file names of the cards ticked
    bool allChecked() const;
    bool withOtherFiles() const;

    // For tests and for "all": ticks every card, or those whose name contains the text.
    void checkCards(const QString &containing = {});

private:
    void updateButton();
    void filter(const QString &text);

    RestoreCardModel *m_cards;
    RestoreCardFilter *m_shown;
    QTreeView *m_list;
    QLineEdit *m_filter;
    QCheckBox *m_other;
    QPushButton *m_restore;
};

} // namespace vel
