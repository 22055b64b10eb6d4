#pragma once

#include "pages/cardpage.h"

#include <memory>

class QPlainTextEdit;
class QTextEdit;
class QToolButton;

namespace vel {

class MemoEdit;
struct HealthSummary;

// "Состояние здоровья": the summary compiled from the answers, and the
// doctor's notes.
class HealthPage final : public CardPage {
    Q_OBJECT
public:
    explicit HealthPage(QWidget *parent = nullptr);

    void load(const CardState &card) override;
    void store(CardState &card) const override;
    void reset(PageFields::Stage stage, const QString &today) override;

    void showSummary(const HealthSummary &summary);

private:
    std::unique_ptr<PageFields> m_fields;
    QPlainTextEdit *GoalMemo = nullptr, *AnamMemo = nullptr;
};

// "Рецепт лечения": the preparations and recommendations, printed.
class PrescriptionPage final : public CardPage {
    Q_OBJECT
public:
    PrescriptionPage(const QString &dataDir, QWidget *parent = nullptr);

    void load(const CardState &card) override;
    void store(CardState &card) const override;
    void reset(PageFields::Stage stage, const QString &today) override;

    // Entering the page: empty recommendations take the chosen template's
    // text (index from 0, -1 for none).
    void TabSheet10Enter(int chosenTemplate);
    QString preparations() const;
    QString recommendations() const;
    // The printed text is kept on the page, as the printout was.
    void keepPrintedText(const QString &text);

signals:
    void printRequested();
    void failed(const QString &message); // a file that could not be read

private:
    QString m_dataDir;
    MemoEdit *PrepMemo = nullptr, *RecMemo = nullptr;
    QToolButton *PrnButton = nullptr;
    QTextEdit *RichEd = nullptr;
};

// A memo that grows with the page and always shows its scroll bar.
MemoEdit *makeMemo(const QString &name, QWidget *parent);

} // namespace vel
