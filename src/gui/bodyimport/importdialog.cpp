#include "bodyimport/importdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vel {

namespace {

// The measures in ImportField order, as the dialog names them.
const char *const kFieldLabels[kImportFields] = {
    "Дата:", "Вес, кг:", "Жир, %:", "Масса жира, кг:", "Скелетно-мышечная масса, кг:", "Вода, %:", "Висцеральный жир:"};
const char *const kBoxNames[kImportFields] = {"ImportDateBox",    "ImportWeightBox", "ImportFatBox",
                                              "ImportFatMassBox", "ImportMuscleBox", "ImportWaterBox",
                                              "ImportVisceralBox"};

} // namespace

ImportDialog::ImportDialog(const QString &fileName, const CsvTable &table, const ImportColumns &columns,
                           QWidget *parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("Импорт из анализатора"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Файл \"%1\": строк %2. Укажите, в каком столбце что записано; "
                                            "приём того же дня дополняется, для других дней добавляется новый.")
                                 .arg(QFileInfo(fileName).fileName())
                                 .arg(table.rows.size()),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *form = new QFormLayout;
    for (int f = 0; f < kImportFields; ++f) {
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(kBoxNames[f]));
        box->addItem(QStringLiteral("(нет)"), -1);
        for (int c = 0; c < table.header.size(); ++c)
            box->addItem(table.header.at(c).isEmpty() ? QStringLiteral("столбец %1").arg(c + 1) : table.header.at(c),
                         c);
        box->setCurrentIndex(std::max(0, box->findData(columns[static_cast<std::size_t>(f)])));
        connect(box, &QComboBox::currentIndexChanged, this, &ImportDialog::showCount);
        m_boxes[f] = box;
        form->addRow(QString::fromUtf8(kFieldLabels[f]), box);
    }
    layout->addLayout(form);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("ImportCount"));
    layout->addWidget(m_count);
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("Импортировать"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    showCount();
}

ImportColumns ImportDialog::columns() const
{
    ImportColumns columns;
    for (int f = 0; f < kImportFields; ++f)
        columns[static_cast<std::size_t>(f)] = m_boxes[f]->currentData().toInt();
    return columns;
}

void ImportDialog::showCount()
{
    int skipped = 0;
    const int taken = int(readMeasurements(m_table, columns(), &skipped).size());
    m_count->setText(columns()[0] < 0
                         ? QStringLiteral("Выберите столбец с датой.")
                         : QStringLiteral("Будет взято измерений: %1 из %2.").arg(taken).arg(m_table.rows.size()));
    m_ok->setEnabled(taken > 0);
}

} // namespace vel
