#include "widgets/memoedit.h"

namespace vel {

namespace {

// The text as shown: every line longer than `limit` ends in a note instead.
// Empty when no line is that long.
QString cutLongLines(const QString &text, int limit)
{
    QString shown;
    qsizetype start = 0;
    const qsizetype n = text.size();
    bool cut = false;
    while (start <= n) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = n;
        const qsizetype length = end - start;
        if (length > limit) {
            if (!cut) {
                shown.reserve(std::min<qsizetype>(n, 1 << 20));
                shown.append(QStringView(text).left(start));
                cut = true;
            }
            shown.append(QStringView(text).mid(start, limit));
            shown.append(
                QStringLiteral(" … (строка длиннее %1 знаков показана не целиком, хранится полностью)").arg(limit));
        } else if (cut) {
            shown.append(QStringView(text).mid(start, length));
        }
        if (end == n)
            break;
        if (cut)
            shown.append(u'\n');
        start = end + 1;
    }
    return shown;
}

} // namespace

MemoEdit::MemoEdit(const QString &objectName, QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(objectName);
    // Any change made from outside (clear, typing once editable) ends the kept text.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_setting)
            dropKeptText();
    });
}

void MemoEdit::setMemoText(const QString &text)
{
    dropKeptText();
    QString shown = cutLongLines(text, kShownLineLength);
    m_setting = true;
    if (shown.isEmpty()) {
        setPlainText(text);
    } else {
        setPlainText(shown);
        m_kept = text;
        m_cut = true;
        m_readOnlyBefore = isReadOnly();
        m_toolTipBefore = toolTip();
        setReadOnly(true);
        setToolTip(
            QStringLiteral("Текст слишком длинный для правки: он показан не целиком и сохраняется без изменений"));
    }
    m_setting = false;
}

QString MemoEdit::memoText() const
{
    return m_cut ? m_kept : toPlainText();
}

void MemoEdit::dropKeptText()
{
    if (!m_cut)
        return;
    m_cut = false;
    m_kept.clear();
    setReadOnly(m_readOnlyBefore);
    setToolTip(m_toolTipBefore);
}

} // namespace vel
