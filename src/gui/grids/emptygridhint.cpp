#include "grids/emptygridhint.h"

#include "grids/gridlook.h"
#include "grids/gridview.h"

#include <QEvent>
#include <QPainter>

namespace vel {

EmptyGridHint::EmptyGridHint(GridView *grid, const QStringList &header, const QString &hint, QWidget *parent)
    : QWidget(parent), m_grid(grid), m_header(header), m_hint(hint)
{
    setObjectName(grid->objectName() + QStringLiteral("Hint"));
    setGeometry(grid->geometry());
    setVisible(grid->isHidden());
    grid->installEventFilter(this);
}

bool EmptyGridHint::eventFilter(QObject *, QEvent *event)
{
    // The table's own visibility, whether or not its page is on screen.
    if (event->type() == QEvent::ShowToParent)
        setVisible(false);
    else if (event->type() == QEvent::HideToParent)
        setVisible(true);
    else if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        setGeometry(m_grid->geometry());
    return false;
}

void EmptyGridHint::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const int frame = m_grid->frameWidth();
    const int rowHeight = 19;
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    QFont bold = m_grid->font();
    bold.setBold(true);
    p.setFont(bold);
    int x = frame;
    const QList<int> widths = m_grid->columnWidths();
    for (int c = 0; c < widths.size(); ++c) {
        const QRect cell(x, frame, widths.at(c), rowHeight);
        p.fillRect(cell, c == 0 && m_header.value(0).isEmpty() && !m_header.isEmpty() ? gridHeadingBrush()
                                                                                      : gridHeaderBrush());
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(cell.adjusted(0, 0, -1, -1));
        const QString text = m_header.isEmpty() ? m_grid->model()->index(0, c).data().toString() : m_header.value(c);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(cell.adjusted(4, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(text, Qt::ElideRight, cell.width() - 7));
        x += widths.at(c);
    }

    p.setFont(m_grid->font());
    p.setPen(pal.color(QPalette::PlaceholderText));
    const QRect below = rect().adjusted(16, frame + rowHeight + 12, -16, -12);
    p.drawText(below, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_hint);
}

} // namespace vel
