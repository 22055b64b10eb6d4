#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace vel {

// A captioned group of radio buttons that can also have nothing selected,
// which a new card needs. An answer chosen by mistake is taken back by a
// second click on it, or by Delete or Backspace on the group's buttons.
class RadioGroup final : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &objectName, const QString &caption, const QStringList &items, int columns,
               QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index); // -1 selects nothing
    int itemCount() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keepTabStop();

    QButtonGroup *m_group;
    bool m_pressedChecked = false; // the button pressed was the one chosen
};

} // namespace vel
