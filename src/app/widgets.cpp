#include "widgets.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QDate>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionTab>
#include <QWidgetAction>

namespace vel {

RadioGroup::RadioGroup(const QString &objectName, const QString &caption, const QStringList &items, int columns,
                       QWidget *parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this))
{
    setObjectName(objectName);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 4, 2);
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(8);
    const int perColumn = (int(items.size()) + columns - 1) / std::max(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        button->setObjectName(objectName + QStringLiteral("_%1").arg(i));
        m_group->addButton(button, i);
        grid->addWidget(button, i % perColumn, i / perColumn);
    }
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

int RadioGroup::itemCount() const
{
    return int(m_group->buttons().size());
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < itemCount()) {
        m_group->button(index)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last checked button.
    if (QAbstractButton *checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

namespace {
const QString kDateMask = QStringLiteral("99.99.9999; ");
}

DateField::DateField(const QString &objectName, QWidget *parent) : QLineEdit(parent), m_button(new QToolButton(this))
{
    setObjectName(objectName);
    setInputMask(kDateMask);
    setToolTip(QStringLiteral("Введите вручную или выберите в календаре"));
    m_button->setObjectName(objectName + QStringLiteral("Calendar"));
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setAutoRaise(true);
    setTextMargins(0, 0, 16, 0);
    connect(m_button, &QToolButton::clicked, this, &DateField::dropCalendar);
    // A free-form date cleared by hand gets its mask back.
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (inputMask().isEmpty() && text.isEmpty())
            setInputMask(kDateMask);
    });
}

QString DateField::shownText() const
{
    return displayText();
}

void DateField::setShownText(const QString &text)
{
    // A stored date of another shape (the today text has a one-digit day) is
    // kept exactly as it stands, so that saving it again changes nothing.
    static const QRegularExpression masked(QStringLiteral("^[0-9 ]{2}\\.[0-9 ]{2}\\.[0-9 ]{4}$"));
    const bool fits = text.isEmpty() || masked.match(text).hasMatch();
    setInputMask(fits ? kDateMask : QString());
    setText(text);
    setCursorPosition(0);
}

void DateField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Only a move to another control counts, not a dialog or menu taking over.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit left();
}

void DateField::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    m_button->setGeometry(width() - 17, 1, 16, height() - 2);
}

void DateField::dropCalendar()
{
    QMenu popup(this);
    auto *calendar = new QCalendarWidget(&popup);
    calendar->setGridVisible(true);
    calendar->setFirstDayOfWeek(Qt::Monday);
    const QDate shown = QDate::fromString(displayText(), QStringLiteral("dd.MM.yyyy"));
    if (shown.isValid())
        calendar->setSelectedDate(shown);
    auto *action = new QWidgetAction(&popup);
    action->setDefaultWidget(calendar);
    popup.addAction(action);
    connect(calendar, &QCalendarWidget::clicked, &popup, [this, &popup](QDate date) {
        setShownText(date.toString(QStringLiteral("dd.MM.yyyy")));
        popup.close();
    });
    popup.exec(mapToGlobal(QPoint(0, height())));
    setFocus(Qt::OtherFocusReason);
}

QIcon velIcon(int index)
{
    return QIcon(QStringLiteral(":/icons/icon%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

QToolButton *makePictureButton(const QString &objectName, int icon, const QString &hint, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(velIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(25, 25);
    return button;
}

StringGrid::StringGrid(const QString &objectName, const QList<int> &columnWidths, bool fixedFirstColumn,
                       QWidget *parent)
    : QTableWidget(1, int(columnWidths.size()), parent), m_fixedFirst(fixedFirstColumn)
{
    setObjectName(objectName);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(19);
    verticalHeader()->setMinimumSectionSize(19);
    for (int c = 0; c < columnWidths.size(); ++c)
        setColumnWidth(c, columnWidths.at(c));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    if (m_fixedFirst)
        setItem(0, 0, fixedItem());
    connect(this, &QTableWidget::cellChanged, this, [this] { emit cellsChanged(); });
}

QTableWidgetItem *StringGrid::fixedItem() const
{
    // The point numbers look like a heading and cannot be edited.
    auto *it = new QTableWidgetItem;
    it->setFlags(Qt::ItemIsEnabled);
    it->setBackground(palette().button());
    it->setTextAlignment(Qt::AlignCenter);
    return it;
}

QString StringGrid::cell(int column, int row) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int column, int row, const QString &text)
{
    QTableWidgetItem *it = item(row, column);
    if (!it) {
        if (text.isEmpty())
            return;
        it = m_fixedFirst && column == 0 ? fixedItem() : new QTableWidgetItem;
        setItem(row, column, it);
    }
    it->setText(text);
}

void StringGrid::setRows(int rows)
{
    const int old = rowCount();
    // Rows taken away take their cells with them, so new rows start empty.
    setRowCount(std::max(0, rows));
    for (int r = old; r < rows; ++r) {
        setRowHeight(r, 19);
        if (m_fixedFirst)
            setItem(r, 0, fixedItem());
    }
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    m_dragRow = (m_fixedFirst && index.isValid() && index.column() == 0) ? index.row() : -1;
    QTableWidget::mousePressEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const int from = m_dragRow;
    m_dragRow = -1;
    QTableWidget::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (from >= 0 && index.isValid() && index.row() != from)
        moveRow(from, index.row());
}

void StringGrid::moveRow(int from, int to)
{
    QList<QTableWidgetItem *> taken;
    for (int c = 0; c < columnCount(); ++c)
        taken << takeItem(from, c);
    removeRow(from);
    insertRow(to);
    setRowHeight(to, 19);
    for (int c = 0; c < columnCount(); ++c)
        if (taken.at(c))
            setItem(to, c, taken.at(c));
    emit cellsChanged();
}

} // namespace vel

namespace vel {

MultiRowTabBar::MultiRowTabBar(int rows, QWidget *parent) : QTabBar(parent), m_rows(std::max(1, rows))
{
    setExpanding(false);
    setUsesScrollButtons(false);
    setDrawBase(false);
}

int MultiRowTabBar::rowHeight() const
{
    return fontMetrics().height() + 5;
}

QSize MultiRowTabBar::sizeHint() const
{
    return {parentWidget() ? parentWidget()->width() : 780, rowHeight() * m_rows};
}

QSize MultiRowTabBar::minimumSizeHint() const
{
    return {100, rowHeight() * m_rows};
}

QVector<QRect> MultiRowTabBar::rowRects() const
{
    // Tabs fill the rows in order, the same number in each; every row is
    // stretched to the full width.
    QVector<QRect> rects(count());
    const int perRow = (count() + m_rows - 1) / m_rows;
    const QFontMetrics fm = fontMetrics();
    for (int row = 0; row < m_rows; ++row) {
        const int first = row * perRow;
        const int last = std::min(count(), first + perRow);
        if (first >= last)
            break;
        int natural = 0;
        for (int i = first; i < last; ++i)
            natural += fm.horizontalAdvance(tabText(i)) + 16;
        const int spare = std::max(0, width() - natural);
        int x = 0;
        for (int i = first; i < last; ++i) {
            int w = fm.horizontalAdvance(tabText(i)) + 16 + spare / (last - first);
            if (i == last - 1)
                w = width() - x;
            rects[i] = QRect(x, row * rowHeight(), w, rowHeight());
            x += w;
        }
    }
    return rects;
}

int MultiRowTabBar::tabAtPoint(const QPoint &pos) const
{
    const QVector<QRect> rects = rowRects();
    for (int i = 0; i < rects.size(); ++i)
        if (rects.at(i).contains(pos))
            return i;
    return -1;
}

void MultiRowTabBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QVector<QRect> rects = rowRects();
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i))
            continue;
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.rect = rects.at(i);
        option.position = QStyleOptionTab::Middle;
        option.selectedPosition = QStyleOptionTab::NotAdjacent;
        if (i != currentIndex())
            option.state &= ~QStyle::State_Selected;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    }
}

void MultiRowTabBar::mousePressEvent(QMouseEvent *event)
{
    const int tab = tabAtPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton && tab >= 0 && isTabEnabled(tab))
        setCurrentIndex(tab);
    event->accept();
}

void MultiRowTabBar::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void MultiRowTabBar::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace vel
