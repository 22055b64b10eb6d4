#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>

class QButtonGroup;
class QRadioButton;

namespace vel {

// A captioned group of radio buttons that can also have nothing selected,
// which a new card needs.
class RadioGroup final : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &objectName, const QString &caption, const QStringList &items, int columns,
               QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index); // -1 selects nothing
    int itemCount() const;

private:
    QButtonGroup *m_group;
};

// Masked day.month.year field with a calendar drop-down. Its text is what it
// shows, blanks and separators included.
class DateField final : public QLineEdit {
    Q_OBJECT
public:
    explicit DateField(const QString &objectName, QWidget *parent = nullptr);

    QString shownText() const;
    void setShownText(const QString &text);

signals:
    void left(); // the input focus moved on to another control of the window

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void dropCalendar();
    QToolButton *m_button;
};

// A tab bar that lays its tabs out in two justified rows, so that nine
// Russian page captions fit the fixed window whole.
class MultiRowTabBar final : public QTabBar {
    Q_OBJECT
public:
    explicit MultiRowTabBar(int rows, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int tabAtPoint(const QPoint &pos) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QVector<QRect> rowRects() const;
    int rowHeight() const;
    int m_rows;
};

// The small flat picture button that saves the card, one per page.
QToolButton *makePictureButton(const QString &objectName, int icon, const QString &hint, QWidget *parent);
QIcon velIcon(int index);

// A string grid whose cells are addressed as (column, row) and whose
// row count can be set directly.
class StringGrid final : public QTableWidget {
    Q_OBJECT
public:
    StringGrid(const QString &objectName, const QList<int> &columnWidths, bool fixedFirstColumn,
               QWidget *parent = nullptr);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);
    void setRows(int rows); // rows that are added start empty

signals:
    void cellsChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QTableWidgetItem *fixedItem() const;
    void moveRow(int from, int to);
    bool m_fixedFirst;
    int m_dragRow = -1;
};

} // namespace vel
