#pragma once

#include <QPlainTextEdit>

namespace vel {

// A memo whose text may come from a file of any size. A line or a text too
// long to lay out without freezing the page is cut on screen only: the memo then keeps
// the whole text, stays read-only so nothing typed could part from it, and
// gives the whole text back to be saved or printed.
class MemoEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    // Beyond these the screen shows a part: a page lays out 10,000 characters
    // of one line or a text of 2 million in well under a second.
    static constexpr int kShownLineLength = 10000;
    static constexpr int kShownLength = 2000000;

    MemoEdit(const QString &objectName, QWidget *parent = nullptr);

    void setMemoText(const QString &text);
    QString memoText() const;
    bool isCut() const { return m_cut; }

private:
    void dropKeptText();

    QString m_kept;
    bool m_cut = false;
    bool m_setting = false;
    bool m_readOnlyBefore = false;
    QString m_toolTipBefore;
};

} // namespace vel
