#include "bodyimport/bodyimport.h"

#include "bodyimport/importdialog.h"
#include "grids/visitmodel.h"
#include "pages/tablepages.h"
#include "platform/platform.h"
#include "visits/analyserimport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariantList>

namespace vel {

namespace {

const QString kSettingsName = QStringLiteral("velnokasi");
const QString kTitle = QStringLiteral("Импорт из анализатора");
constexpr qint64 kMostBytes = 16 * 1024 * 1024;

QString layoutKey(const QStringList &header)
{
    return QStringLiteral("importColumns/") + QString::number(qHash(header.join(QChar(0x1f))), 16);
}

} // namespace

BodyImport::BodyImport(QWidget *window, Platform *platform, DynamicsPage *page)
    : QObject(window), m_window(window), m_platform(platform), m_page(page)
{
    connect(page, &DynamicsPage::importRequested, this, &BodyImport::run);
}

void BodyImport::run()
{
    QSettings settings(kSettingsName, kSettingsName);
    const QString path = m_platform->chooseOpenFile(
        m_window, kTitle, settings.value(QStringLiteral("importFolder"), QDir::homePath()).toString(),
        QStringLiteral("Файлы CSV (*.csv *.txt);;Все файлы (*)"));
    if (path.isEmpty())
        return;
    settings.setValue(QStringLiteral("importFolder"), QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMostBytes) {
        m_platform->errorBox(m_window, kTitle,
                             QStringLiteral("Файл \"%1\" не удаётся прочитать%2.")
                                 .arg(QDir::toNativeSeparators(path), file.isOpen()
                                                                          ? QStringLiteral(": он больше 16 МБ")
                                                                          : QStringLiteral(": ") + file.errorString()));
        return;
    }
    const CsvTable table = readCsv(decodeCsvText(file.readAll()));
    if (table.rows.isEmpty()) {
        m_platform->errorBox(m_window, kTitle,
                             QStringLiteral("В файле \"%1\" нет строк измерений: нужна строка с названиями столбцов "
                                            "и под ней строки с датой и значениями.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    // The columns chosen for this layout before, else guessed from the names.
    ImportColumns columns = guessColumns(table.header);
    const QVariantList kept = settings.value(layoutKey(table.header)).toList();
    if (kept.size() == kImportFields)
        for (int f = 0; f < kImportFields; ++f)
            columns[static_cast<std::size_t>(f)] = kept.at(f).toInt();

    ImportDialog dialog(path, table, columns, m_window);
    m_platform->showModal(&dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    columns = dialog.columns();
    QVariantList chosen;
    for (int c : columns)
        chosen << c;
    settings.setValue(layoutKey(table.header), chosen);

    int skipped = 0;
    const QVector<Measurement> measurements = readMeasurements(table, columns, &skipped);
    const ImportOutcome outcome = mergeMeasurements(m_page->model()->visits(), measurements);
    m_page->takeImportedVisits(outcome.visitRows);
    QString text = QStringLiteral("Измерений взято: %1. Дополнено приёмов: %2, добавлено: %3.")
                       .arg(measurements.size())
                       .arg(outcome.matched)
                       .arg(outcome.added);
    if (skipped > 0)
        text += QStringLiteral(" Пропущено строк без даты или значений: %1.").arg(skipped);
    m_platform->infoBox(m_window, kTitle, text + QStringLiteral(" Сохраните карточку, чтобы записать их."));
}

} // namespace vel
