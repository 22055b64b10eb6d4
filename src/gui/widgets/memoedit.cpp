#include "widgets/memoedit.h"

#include <QTextDocument>

#include <algorithm>

namespace vel {

namespace {

// The text as shown: every line longer than the line limit ends in a note
// instead, and a text longer than the total limit stops with a note at the
// line end before it. Empty when nothing needs cutting.
QString shownPart(const QString &text)
{
    const qsizetype lineLimit = MemoEdit::kShownLineLength;
    const qsizetype totalLimit = MemoEdit::kShownLength;
    QStringView rest(text);
    const bool tooLong = rest.size() > totalLimit;
    if (tooLong) {
        const qsizetype end = rest.left(totalLimit).lastIndexOf(u'\n');
        rest = rest.left(end > 0 ? end : totalLimit);
    }
    QVector<QStringView> lines = rest.split(u'\n');
    const bool longLine =
        std::any_of(lines.cbegin(), lines.cend(), [lineLimit](QStringView l) { return l.size() > lineLimit; });
    if (!tooLong && !longLine)
        return {};
    QString shown;
    shown.reserve(std::min<qsizetype>(rest.size(), lines.size() * (lineLimit + 64)) + 128);
    const QString lineNote = QStringLiteral(" … (строка длиннее %1 знаков показана не целиком)").arg(lineLimit);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            shown.append(u'\n');
        const QStringView line = lines.at(i);
        if (line.size() > lineLimit) {
            shown.append(line.left(lineLimit));
            shown.append(lineNote);
        } else {
            shown.append(line);
        }
    }
    if (tooLong)
        shown.append(QStringLiteral("\n… (текст длиннее %1 знаков показан не целиком)").arg(totalLimit));
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
    QString shown = shownPart(text);
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
    if (m_cut)
        return m_kept;
    // The plain-text view would turn non-breaking spaces into ordinary ones.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
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
