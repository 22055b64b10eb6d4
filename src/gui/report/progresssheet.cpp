#include "report/progresssheet.h"

#include "chart/weightchart.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

namespace vel {

namespace {

// The chart as it sits on the page, in the document's pixels (1/96 inch).
constexpr int kChartWidth = 640;
constexpr int kChartHeight = 230;
// Up to this many visits the table goes in two halves side by side, so that
// the whole sheet stays on one page; longer tables run on over pages.
constexpr int kOnePageVisits = 20;
constexpr int kOneColumnVisits = 10;
constexpr int kChartScale = 3; // sharp enough on paper

const QUrl kChartUrl(QStringLiteral("sheet://chart.png"));

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString sectionHtml(const ReportSection &section)
{
    if (section.lines.isEmpty())
        return QString();
    QString html =
        QStringLiteral("<h2>%1</h2><table class='facts' cellspacing='0' cellpadding='1'>").arg(esc(section.heading));
    for (const ReportLine &line : section.lines)
        html += QStringLiteral("<tr><td class='label'>%1:</td><td>%2</td></tr>").arg(esc(line.label), esc(line.value));
    return html + QStringLiteral("</table>");
}

} // namespace

QString ProgressSheet::visitTable(const QVector<QStringList> &rows, qsizetype rowsPerColumn) const
{
    // Rows past rowsPerColumn continue in a second set of columns on the right.
    const int sets = rowsPerColumn < rows.size() ? 2 : 1;
    const int columns = int(m_report.visitTitles.size());
    QString html = QStringLiteral("<table class='visits' border='1' cellspacing='0' cellpadding='1' "
                                  "style='border-color: #999999; border-style: solid;'><thead><tr>");
    for (int set = 0; set < sets; ++set) {
        if (set > 0)
            html += QStringLiteral("<th class='gap'></th>");
        for (const QString &title : m_report.visitTitles)
            html += QStringLiteral("<th>%1</th>").arg(esc(title));
    }
    html += QStringLiteral("</tr></thead><tbody>");
    for (qsizetype r = 0; r < std::min(rowsPerColumn, rows.size()); ++r) {
        html += QStringLiteral("<tr>");
        for (int set = 0; set < sets; ++set) {
            if (set > 0)
                html += QStringLiteral("<td class='gap'></td>");
            const QStringList row = rows.value(r + set * rowsPerColumn);
            for (int c = 0; c < columns; ++c)
                html += QStringLiteral("<td align='%1'>%2</td>")
                            .arg(c == 0 ? QStringLiteral("left") : QStringLiteral("right"), esc(row.value(c)));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</tbody></table>");
}

ProgressSheet::ProgressSheet(const ProgressReport &report, const ChartSeries &series, std::optional<double> goalKg,
                             const QString &heightCm)
    : m_report(report), m_series(series), m_goal(goalKg), m_height(heightCm)
{
}

QString ProgressSheet::html() const
{
    QString html = QStringLiteral(
        "<html><head><style>"
        "body { font-family: 'PT Serif', 'Times New Roman', 'Liberation Serif', serif; font-size: 10.5pt; }"
        "h1 { font-size: 17pt; font-weight: bold; margin-top: 0; margin-bottom: 2pt; }"
        "h2 { font-size: 12pt; font-weight: bold; margin-top: 9pt; margin-bottom: 3pt; }"
        "p.date { font-size: 10pt; color: #444444; margin-top: 0; margin-bottom: 4pt; }"
        "td.label { color: #333333; padding-right: 8px; font-style: italic; white-space: nowrap; }"
        "table.visits th { font-weight: bold; background-color: #eeeeee; padding: 1px 6px; }"
        "table.visits td { padding: 0px 6px; white-space: nowrap; }"
        "table.visits .gap { border-style: none; background-color: #ffffff; padding: 0px 10px; }"
        "p.note { font-size: 9pt; color: #444444; margin-top: 8pt; }"
        "</style></head><body>");
    html += QStringLiteral("<h1>%1</h1><p class='date'>%2</p>").arg(esc(m_report.title), esc(m_report.dateLine));
    html += QStringLiteral("<hr/>");

    // Patient and weight on the left, the body numbers and energy on the right.
    QString left, right;
    for (int i = 0; i < m_report.sections.size(); ++i)
        (i < 2 ? left : right) += sectionHtml(m_report.sections.at(i));
    html += QStringLiteral("<table width='100%' cellspacing='0' cellpadding='0'><tr>"
                           "<td width='50%' valign='top'>%1</td><td width='2%'></td>"
                           "<td width='48%' valign='top'>%2</td></tr></table>")
                .arg(left, right);

    if (!m_series.isEmpty()) {
        html += QStringLiteral("<h2>Динамика на графике</h2>");
        html += QStringLiteral("<p><img src='%1' width='%2' height='%3'/></p>")
                    .arg(kChartUrl.toString())
                    .arg(kChartWidth)
                    .arg(kChartHeight);
    }

    html += QStringLiteral("<h2>Визиты</h2>");
    if (m_report.visits.isEmpty()) {
        html += QStringLiteral("<p>Визиты ещё не записаны.</p>");
    } else {
        const auto &visits = m_report.visits;
        const qsizetype n = visits.size();
        html += visitTable(visits, n > kOneColumnVisits && n <= kOnePageVisits ? (n + 1) / 2 : n);
    }
    html += QStringLiteral("<p class='note'>Обмен покоя — по формуле Миффлина — Сан Жеора; калорийность для "
                           "снижения веса — потребность с учётом активности за вычетом 500–700 ккал в сутки.</p>");
    html += QStringLiteral("<p class='note'>Простыми словами: ОТ/ОБ — обхват талии, делённый на обхват бёдер, "
                           "ОТ/рост — на рост; чем они меньше, тем меньше жира на животе. Число после уровня "
                           "активности — во сколько раз расход энергии за день больше обмена покоя.</p>");
    return html + QStringLiteral("</body></html>");
}

void ProgressSheet::addChart(QTextDocument &doc) const
{
    WeightChart chart;
    QFont font(QStringLiteral("PT Sans"));
    font.setPixelSize(12);
    chart.setFont(font);
    // Paper is white whatever the desktop's colours.
    QPalette paper;
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    paper.setColor(QPalette::Mid, QColor(0xa0, 0xa0, 0xa0));
    paper.setColor(QPalette::PlaceholderText, Qt::gray);
    chart.setPalette(paper);
    chart.setSeries(m_series);
    chart.setGoal(m_goal);
    // A child's BMI is read by age and sex, not against the adult bands.
    chart.setHeight(m_report.adultBmiBands ? m_height : QString());
    chart.resize(kChartWidth, kChartHeight);
    QImage image(kChartWidth * kChartScale, kChartHeight * kChartScale, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.scale(kChartScale, kChartScale);
        chart.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    doc.addResource(QTextDocument::ImageResource, kChartUrl, image);
}

void ProgressSheet::print(QPrinter &printer) const
{
    // Margins of a letter; the foot of every page names the patient, so a
    // loose second sheet still belongs to someone.
    printer.setPageMargins(QMarginsF(20, 15, 15, 12), QPageLayout::Millimeter);
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("PT Serif"), 10));
    doc.setMetaInformation(QTextDocument::DocumentTitle, m_report.title);
    doc.setDocumentMargin(0);
    doc.documentLayout()->setPaintDevice(&printer);
    addChart(doc);
    doc.setHtml(html());

    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    QFont footFont(QStringLiteral("PT Serif"), 8);
    const QFontMetricsF footMetrics(footFont, &printer);
    const double footHeight = footMetrics.height() * 2;
    const QSizeF body(area.width(), area.height() - footHeight);
    doc.setPageSize(body);

    QPainter p(&printer);
    const int pages = doc.pageCount();
    const QString name = m_report.sections.isEmpty() || m_report.sections.first().lines.isEmpty()
                             ? QString()
                             : m_report.sections.first().lines.first().value;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        p.save();
        p.translate(0, -page * body.height());
        doc.drawContents(&p, QRectF(QPointF(0, page * body.height()), body));
        p.restore();
        p.setFont(footFont);
        p.setPen(QColor(0x55, 0x55, 0x55));
        const QRectF foot(0, area.height() - footMetrics.height(), area.width(), footMetrics.height());
        p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, m_report.title + QStringLiteral(": ") + name);
        p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("стр. %1 из %2").arg(page + 1).arg(pages));
    }
}

} // namespace vel
