#pragma once

#include "visits/analyserimport.h"

#include <QDialog>

class QComboBox;
class QLabel;

namespace vel {

// Which column of an analyser's export holds what: one choice per measure,
// guessed from the column names or taken from the last import of the same
// file layout, with a count of the lines that will be taken.
class ImportDialog final : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const QString &fileName, const CsvTable &table, const ImportColumns &columns,
                 QWidget *parent = nullptr);

    ImportColumns columns() const;
    QComboBox *choice(ImportField field) const { return m_boxes[int(field)]; }

private:
    void showCount();

    CsvTable m_table;
    QComboBox *m_boxes[kImportFields] = {};
    QLabel *m_count = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace vel
