#pragma once

#include "pages/cardpage.h"

#include <QTabWidget>

#include <memory>
#include <vector>

class QSize;

namespace vel {

// "Анамнез жизни" on the questionnaire: a button per anamnesis section, each
// marked with how many of its items are ticked.
class AnamnesisIndexPage final : public CardPage {
    Q_OBJECT
public:
    explicit AnamnesisIndexPage(QWidget *parent = nullptr);

    void load(const CardState &) override {}
    void store(CardState &) const override {}
    void reset(PageFields::Stage, const QString &) override {}

    void setTickCount(int section, int ticked);
    // The keyboard stands on the button of a section (1..18).
    void focusSection(int section);

signals:
    void sectionChosen(int section);
};

// The anamnesis view: the 18 section pages, one shown at a time, each with
// an OK button (Enter and Esc act as it does) that goes back to the index.
class AnamnesisSections final : public QTabWidget {
    Q_OBJECT
public:
    AnamnesisSections(QWidget *parent, const QSize &room);
    ~AnamnesisSections() override;

    void load(const CardState &card);
    void store(CardState &card) const;
    void reset(PageFields::Stage stage, const QString &today);

    // Shows one section (1..18) with the keyboard on its first item.
    void showSection(int section);
    int shownSection() const { return m_shown; }

signals:
    void ticksChanged(int section, int ticked);
    void done();

private:
    void countTicks(int section);

    std::unique_ptr<PageFields> m_fields;
    std::vector<QWidget *> m_items; // by catalogue row
    int m_shown = 0;
};

} // namespace vel
