#include "pages/anamnesispages.h"

#include "pages/pages.h"
#include "tables/catalogue.h"
#include "widgets/picturebutton.h"
#include "widgets/radiogroup.h"
#include "widgets/sectionbutton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>

namespace vel {

AnamnesisIndexPage::AnamnesisIndexPage(QWidget *parent) : CardPage(parent)
{
    setObjectName(QStringLiteral("TabSheet7"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(24, 14, 24, 40);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(6);
    QFont big = font();
    big.setPixelSize(14);
    for (const CatalogueSection &s : kCatalogueSections) {
        auto *button = new SectionButton(QLatin1String(s.button), QString::fromUtf8(s.buttonCaption), this);
        button->setFont(big);
        const int n = s.number;
        connect(button, &QPushButton::clicked, this, [this, n] { emit sectionChosen(n); });
        grid->addWidget(button, (n - 1) % 9, (n - 1) / 9);
    }
}

void AnamnesisIndexPage::setTickCount(int section, int ticked)
{
    if (auto *button = findChild<SectionButton *>(QLatin1String(kCatalogueSections[section - 1].button)))
        button->setTickCount(ticked);
}

void AnamnesisIndexPage::focusSection(int section)
{
    if (auto *button = findChild<SectionButton *>(QLatin1String(kCatalogueSections[section - 1].button)))
        button->setFocus(Qt::OtherFocusReason);
}

AnamnesisSections::AnamnesisSections(QWidget *parent, const QSize &room) : QTabWidget(parent)
{
    for (const CatalogueSection &s : kCatalogueSections) {
        auto *page = new QWidget;
        page->setObjectName(QLatin1String(s.page));
        addTab(page, QString::fromUtf8(s.caption));
        buildAnamnesisSection(page, s.number);
        spreadSectionRows(page, room);
        QToolButton *ok = makePictureButton(QLatin1String(s.okButton), 12, QStringLiteral("OK"), page);
        // The OK is the last stop of Tab; Enter and Esc anywhere in the section act as it does.
        ok->setFocusPolicy(Qt::StrongFocus);
        connect(ok, &QToolButton::clicked, this, &AnamnesisSections::done);
        keepInCorner(page, ok);
        for (const QKeySequence &key :
             {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Escape)})
            new QShortcut(key, page, this, &AnamnesisSections::done, Qt::WidgetWithChildrenShortcut);
    }
    m_fields = std::make_unique<PageFields>(this);
    // The index marks follow every tick, from a click as from opening a card.
    for (const CatalogueControl &c : kCatalogue) {
        const int section = c.section;
        auto count = [this, section] { countTicks(section); };
        QWidget *item = findChild<QWidget *>(QLatin1String(c.name));
        m_items.push_back(item);
        if (c.kind == CatalogueKind::Check) {
            connect(qobject_cast<QCheckBox *>(item), &QCheckBox::toggled, this, count);
        } else {
            const auto buttons = item->findChildren<QRadioButton *>();
            for (QRadioButton *button : buttons)
                connect(button, &QRadioButton::toggled, this, count);
        }
    }
}

AnamnesisSections::~AnamnesisSections() = default;

void AnamnesisSections::load(const CardState &card)
{
    m_fields->load(card);
}

void AnamnesisSections::store(CardState &card) const
{
    m_fields->store(card);
}

void AnamnesisSections::reset(PageFields::Stage stage, const QString &today)
{
    m_fields->reset(stage, today);
}

void AnamnesisSections::showSection(int section)
{
    for (int i = 0; i < count(); ++i)
        setTabVisible(i, false);
    setTabVisible(section - 1, true);
    setCurrentIndex(section - 1);
    m_shown = section;
    // The keyboard starts at the section's first item.
    if (QWidget *page = widget(section - 1)) {
        const auto items = page->findChildren<QAbstractButton *>();
        for (QAbstractButton *item : items)
            if (item->focusPolicy() & Qt::TabFocus) {
                item->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
}

void AnamnesisSections::countTicks(int section)
{
    int ticked = 0;
    for (std::size_t row = 0; row < kCatalogue.size(); ++row) {
        const CatalogueControl &c = kCatalogue[row];
        if (c.section != section)
            continue;
        QWidget *w = m_items[row];
        if (c.kind == CatalogueKind::Check ? qobject_cast<QCheckBox *>(w)->isChecked()
                                           : qobject_cast<RadioGroup *>(w)->itemIndex() >= 0)
            ++ticked;
    }
    emit ticksChanged(section, ticked);
}

} // namespace vel
