#pragma once

#include <QGroupBox>

class QButtonGroup;

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keepTabStop();

    QButtonGroup *m_group;
};

} // namespace vel
