#pragma once

#include <QBrush>
#include <QColor>

// How the two tables tell their heading cells from the doctor's values: the
// models mark header rows and the point numbers, the views draw them.

namespace vel {

// True for a row of titles (a block's header, the visit table's titles).
inline constexpr int kHeaderRowRole = Qt::UserRole + 1;

inline QBrush gridHeaderBrush()
{
    return QBrush(QColor(0xdc, 0xda, 0xd3));
}

inline QBrush gridHeadingBrush()
{
    return QBrush(QColor(0xe6, 0xe4, 0xde));
}

} // namespace vel
