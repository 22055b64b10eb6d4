#pragma once

#include "pages/cardpage.h"

#include <memory>

namespace vel {

// A page built from the question tables ("Особенности набора веса",
// "Предыдущие коррекции веса", "Продукты и цели"): nothing on it but stored
// answers.
class QuestionPage final : public CardPage {
    Q_OBJECT
public:
    QuestionPage(const QString &objectName, void (*build)(QWidget *page), QWidget *parent = nullptr);

    void load(const CardState &card) override;
    void store(CardState &card) const override;
    void reset(PageFields::Stage stage, const QString &today) override;

private:
    std::unique_ptr<PageFields> m_fields;
};

} // namespace vel
