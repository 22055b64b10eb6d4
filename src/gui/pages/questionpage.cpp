#include "pages/questionpage.h"

namespace vel {

QuestionPage::QuestionPage(const QString &objectName, void (*build)(QWidget *page), QWidget *parent) : CardPage(parent)
{
    setObjectName(objectName);
    build(this);
    m_fields = std::make_unique<PageFields>(this);
}

void QuestionPage::load(const CardState &card)
{
    m_fields->load(card);
}

void QuestionPage::store(CardState &card) const
{
    m_fields->store(card);
}

void QuestionPage::reset(PageFields::Stage stage, const QString &today)
{
    m_fields->reset(stage, today);
}

} // namespace vel
