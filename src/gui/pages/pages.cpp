#include "pages/pages.h"

#include "tables/catalogue.h"
#include "tables/questions.h"
#include "widgets/radiogroup.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace vel {

namespace {

constexpr int kPageMargin = 4;
constexpr int kColumnGap = 8;
constexpr int kBlockGap = 2;
// The anamnesis sections have room to spare, so their blocks stand apart more.
constexpr int kSectionBlockGap = 4;
// The three questionnaire pages hold more rows than the style's natural
// button height allows in the fixed window, so their rows are set closer.
constexpr int kDenseRow = 16;
// Inside a frame, the same margins as inside a RadioGroup, so that frames and
// groups of one column line up.
constexpr int kFrameLeft = 6;
constexpr int kFrameTop = 2;
constexpr int kFrameRight = 4;
constexpr int kFrameBottom = 2;
constexpr int kSubColumnGap = 12;
// Room between a frame's caption line and its first row.
constexpr int kCaptionBelow = 8;
// The tallest row and the larger types, largest first, a short anamnesis
// section is given.
constexpr int kRoomyRow = 30;
constexpr int kRoomyTypes[] = {14, 13};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

QHBoxLayout *pageLayout(QWidget *page)
{
    auto *root = new QHBoxLayout(page);
    root->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    root->setSpacing(kColumnGap);
    return root;
}

QVBoxLayout *addColumn(QHBoxLayout *root, int stretch)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(kBlockGap);
    root->addLayout(column, stretch);
    return column;
}

void setFrameMargins(QLayout *layout)
{
    layout->setContentsMargins(kFrameLeft, kFrameTop, kFrameRight, kFrameBottom);
}

// Blank line as high as a frame's caption, so that boxes standing free at
// the top of a column start level with the first row of the frame beside them.
// A label keeps following the font the window sets later.
void addCaptionOffset(QVBoxLayout *column, QWidget *parent)
{
    auto *blank = new QLabel(QStringLiteral(" "), parent);
    blank->setContentsMargins(0, 0, 0, kCaptionBelow - column->spacing());
    column->addWidget(blank);
}

// rowHeight 0 keeps the style's own height.
void setRowHeight(QWidget *button, int rowHeight)
{
    if (rowHeight > 0)
        button->setFixedHeight(rowHeight);
}

RadioGroup *questionGroup(const char *name, QWidget *parent, int rowHeight)
{
    const QuestionGroup *question = findQuestionGroup(name);
    Q_ASSERT(question);
    QStringList items;
    for (int i = 0; i < question->itemCount(); ++i)
        items << text(question->items[static_cast<std::size_t>(i)]);
    auto *group = new RadioGroup(text(name), text(question->caption), items, question->columns, parent);
    for (QRadioButton *button : group->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly))
        setRowHeight(button, rowHeight);
    return group;
}

QCheckBox *checkBox(const char *name, const char *caption, QWidget *parent, int rowHeight)
{
    auto *box = new QCheckBox(text(caption), parent);
    box->setObjectName(text(name));
    setRowHeight(box, rowHeight);
    return box;
}

QCheckBox *questionBox(const char *name, QWidget *parent, int rowHeight)
{
    const char *caption = questionBoxCaption(name);
    Q_ASSERT(caption);
    return checkBox(name, caption, parent, rowHeight);
}

// Puts the buttons into sub-columns, filling each column top to bottom before
// the next, so the reading order stays the order of the list.
void fillSubColumns(QGridLayout *grid, const std::vector<QWidget *> &buttons, int columns)
{
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(kSubColumnGap);
    const int count = static_cast<int>(buttons.size());
    const int perColumn = (count + columns - 1) / std::max(1, columns);
    for (int i = 0; i < count; ++i)
        grid->addWidget(buttons[static_cast<std::size_t>(i)], i % perColumn, i / perColumn);
    // Sub-columns keep their natural width; the spare room goes to the right.
    grid->setColumnStretch(columns, 1);
}

// A frame of question check boxes named in the table of questions.
QGroupBox *questionFrame(const char *objectName, const char *title, std::initializer_list<const char *> names,
                         int columns, QWidget *parent, int rowHeight)
{
    auto *frame = new QGroupBox(title ? text(title) : QString(), parent);
    frame->setObjectName(text(objectName));
    auto *grid = new QGridLayout(frame);
    setFrameMargins(grid);
    std::vector<QWidget *> boxes;
    for (const char *name : names)
        boxes.push_back(questionBox(name, frame, rowHeight));
    fillSubColumns(grid, boxes, columns);
    return frame;
}

// A question label with its answer field to the right.
void addEditRow(QGridLayout *grid, int row, const char *label, const char *editName, QWidget *parent)
{
    auto *caption = new QLabel(text(label), parent);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(text(editName));
    caption->setBuddy(edit);
    grid->addWidget(caption, row, 0, Qt::AlignVCenter);
    grid->addWidget(edit, row, 1, Qt::AlignVCenter);
}

// The results of a correction method: the two short answers share the first
// row, so five groups fit one above the other.
void pairFirstResults(RadioGroup *group)
{
    auto *grid = qobject_cast<QGridLayout *>(group->layout());
    if (!grid)
        return;
    std::vector<QWidget *> buttons;
    for (int i = 0; i < group->itemCount(); ++i) {
        QWidget *button =
            group->findChild<QWidget *>(group->objectName() + QStringLiteral("_%1").arg(i), Qt::FindDirectChildrenOnly);
        if (!button)
            return;
        grid->removeWidget(button);
        buttons.push_back(button);
    }
    if (buttons.size() < 2)
        return;
    grid->addWidget(buttons[0], 0, 0);
    grid->addWidget(buttons[1], 0, 1);
    for (std::size_t i = 2; i < buttons.size(); ++i)
        grid->addWidget(buttons[i], static_cast<int>(i) - 1, 0, 1, 2);
    grid->setColumnStretch(2, 1);
}

// Frames of the anamnesis sections whose boxes are laid out in sub-columns
// to keep the page from running past the window's bottom.
struct FrameSplit {
    int section;
    const char *frame;
    int columns;
};

constexpr FrameSplit kFrameSplits[] = {
    {4, "Болезни кишечника", 2},
    {4, "Болезни билиарной системы и печени", 2},
};

int frameColumns(int section, const char *frame)
{
    for (const FrameSplit &split : kFrameSplits)
        if (split.section == section && std::strcmp(split.frame, frame) == 0)
            return split.columns;
    return 1;
}

bool sameFrame(const CatalogueControl &a, const CatalogueControl &b)
{
    return a.kind == CatalogueKind::Check && b.kind == CatalogueKind::Check && a.section == b.section &&
           a.column == b.column &&
           ((!a.frame && !b.frame) || (a.frame && b.frame && std::strcmp(a.frame, b.frame) == 0));
}

} // namespace

void buildWeightHistoryPage(QWidget *page)
{
    QHBoxLayout *root = pageLayout(page);
    QVBoxLayout *left = addColumn(root, 1);
    QVBoxLayout *right = addColumn(root, 1);

    left->addWidget(questionGroup("W1Group", page, kDenseRow));
    left->addWidget(questionGroup("W2Group", page, kDenseRow));

    auto *activity = new QGroupBox(QStringLiteral("Характер физической активности:"), page);
    activity->setObjectName(QStringLiteral("W7Group"));
    auto *activityLayout = new QVBoxLayout(activity);
    setFrameMargins(activityLayout);
    activityLayout->setSpacing(0);
    for (const char *name : {"W7Box1", "W7Box2", "W7Box3", "W7Box4"})
        activityLayout->addWidget(questionBox(name, activity, kDenseRow));
    auto *questions = new QGridLayout;
    questions->setContentsMargins(0, 3, 0, 0);
    questions->setHorizontalSpacing(kColumnGap);
    // The two-line questions need air between them to read as separate rows.
    questions->setVerticalSpacing(3);
    addEditRow(questions, 0, "Когда делали последний\nраз гимнастику?", "GymEdit", activity);
    addEditRow(questions, 1, "Расстояние, ежедневно\nпреодолеваемое пешком?", "WalkEdit", activity);
    addEditRow(questions, 2, "Сколько времени проводите\nвозле телевизора?", "TelEdit", activity);
    addEditRow(questions, 3, "Что Вы делаете в \nобеденный перерыв?", "DinEdit", activity);
    questions->setColumnStretch(1, 1);
    activityLayout->addLayout(questions);
    left->addWidget(activity);

    left->addWidget(questionGroup("W6Group", page, kDenseRow));
    left->addStretch(1);

    right->addWidget(questionGroup("W3Group", page, kDenseRow));
    right->addWidget(questionGroup("W4Group", page, kDenseRow));
    right->addWidget(questionFrame("W5Group", "Колебания веса по причине:",
                                   {"W5Box1", "W5Box2", "W5Box3", "W5Box4", "W5Box5", "W5Box6", "W5Box7", "W5Box8",
                                    "W5Box9", "W5Box10", "W5Box11", "W5Box12", "W5Box13", "W5Box14"},
                                   1, page, kDenseRow));
    right->addStretch(1);
}

void buildCorrectionsPage(QWidget *page)
{
    QHBoxLayout *root = pageLayout(page);
    QVBoxLayout *left = addColumn(root, 1);
    QVBoxLayout *right = addColumn(root, 1);
    QVBoxLayout *third = addColumn(root, 0);

    for (const char *name : {"DietGroup", "FizGroup", "CodGroup", "RefGroup", "BadGroup"}) {
        RadioGroup *group = questionGroup(name, page, kDenseRow);
        pairFirstResults(group);
        left->addWidget(group);
    }
    for (const char *name : {"MedGroup", "GemoGroup", "HirGroup", "GolodGroup", "RazdGroup"}) {
        RadioGroup *group = questionGroup(name, page, kDenseRow);
        pairFirstResults(group);
        right->addWidget(group);
    }
    left->addStretch(1);
    right->addStretch(1);

    addCaptionOffset(third, page);
    third->addWidget(questionBox("CheckBox149", page, kDenseRow));
    third->addWidget(questionBox("CheckBox150", page, kDenseRow));
    third->addStretch(1);
}

void buildFoodsPage(QWidget *page)
{
    QHBoxLayout *root = pageLayout(page);
    QVBoxLayout *left = addColumn(root, 0);
    QVBoxLayout *middle = addColumn(root, 1);
    QVBoxLayout *right = addColumn(root, 0);

    for (const char *name : {"ZavtGroup", "ObedGroup", "UjinGroup", "GolGroup"})
        left->addWidget(questionGroup(name, page, kDenseRow));
    left->addWidget(questionFrame("ProdBox2", "Что привлекает в продуктах:", {"CheckBox16", "CheckBox17", "CheckBox18"},
                                  1, page, kDenseRow));
    left->addStretch(1);

    middle->addWidget(questionFrame("ProdBox1", "Любимые продукты:",
                                    {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5", "CheckBox6",
                                     "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12",
                                     "CheckBox13", "CheckBox14", "CheckBox15"},
                                    2, page, kDenseRow));

    auto *likes = new QGroupBox(page);
    likes->setObjectName(QStringLiteral("ProdBox3"));
    auto *likesGrid = new QGridLayout(likes);
    likesGrid->setContentsMargins(kFrameLeft, 4, kFrameRight, 4);
    likesGrid->setHorizontalSpacing(kColumnGap);
    likesGrid->setVerticalSpacing(3);
    addEditRow(likesGrid, 0, "Какой запах продуктов больше нравится:", "ZapEdit", likes);
    addEditRow(likesGrid, 1, "Какой цвет продуктов больше нравится:", "ColEdit", likes);
    addEditRow(likesGrid, 2, "Какой вкус продуктов больше нравится:", "TastEdit", likes);
    likesGrid->setColumnStretch(1, 1);
    middle->addWidget(likes);

    middle->addWidget(questionFrame(
        "CelBox1", "Представляете себе чего хотите добиться:",
        {"CheckBox19", "CheckBox20", "CheckBox21", "CheckBox22", "CheckBox23", "CheckBox24", "CheckBox25"}, 1, page,
        kDenseRow));
    middle->addStretch(1);

    right->addWidget(questionGroup("AppetGroup", page, kDenseRow));
    right->addStretch(1);
}

void buildAnamnesisSection(QWidget *page, int section)
{
    QHBoxLayout *root = pageLayout(page);
    // Equal halves; a section of one column fills the left half only, like
    // the two-column sections' left side.
    QVBoxLayout *columns[2] = {addColumn(root, 1), addColumn(root, 1)};
    for (QVBoxLayout *column : columns)
        column->setSpacing(kSectionBlockGap);

    int frameNumber = 0;
    const std::size_t count = kCatalogue.size();
    std::size_t i = 0;
    while (i < count) {
        const CatalogueControl &control = kCatalogue[i];
        if (control.section != section) {
            ++i;
            continue;
        }
        QVBoxLayout *column = columns[control.column == 1 ? 1 : 0];

        if (control.kind == CatalogueKind::Radio) {
            QStringList items;
            for (int k = 0; k < control.itemCount(); ++k)
                items << text(control.items[static_cast<std::size_t>(k)]);
            column->addWidget(new RadioGroup(text(control.name), text(control.frame), items, 1, page));
            ++i;
            continue;
        }

        std::size_t end = i + 1;
        while (end < count && sameFrame(control, kCatalogue[end]))
            ++end;

        if (control.frame) {
            auto *frame = new QGroupBox(text(control.frame), page);
            frame->setObjectName(QStringLiteral("Frame_%1_%2").arg(section).arg(++frameNumber));
            auto *grid = new QGridLayout(frame);
            setFrameMargins(grid);
            std::vector<QWidget *> boxes;
            for (std::size_t k = i; k < end; ++k)
                boxes.push_back(checkBox(kCatalogue[k].name, kCatalogue[k].caption, frame, 0));
            fillSubColumns(grid, boxes, frameColumns(section, control.frame));
            column->addWidget(frame);
        } else {
            if (control.column == 1 && column->count() == 0)
                addCaptionOffset(column, page);
            // Loose boxes sit as close as the boxes inside frames, indented
            // to the same line.
            auto *run = new QVBoxLayout;
            run->setSpacing(0);
            run->setContentsMargins(kFrameLeft + 3, 0, 0, 0);
            for (std::size_t k = i; k < end; ++k)
                run->addWidget(checkBox(kCatalogue[k].name, kCatalogue[k].caption, page, 0));
            column->addLayout(run);
        }
        i = end;
    }
    for (QVBoxLayout *column : columns)
        column->addStretch(1);
}

void spreadSectionRows(QWidget *page, const QSize &room)
{
    QLayout *root = page->layout();
    if (!root)
        return;
    QList<QAbstractButton *> rows;
    for (QAbstractButton *button : page->findChildren<QAbstractButton *>())
        if (qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button))
            rows << button;
    if (rows.isEmpty())
        return;
    // The page is not shown yet, so its layouts are told of every change.
    auto fits = [&] {
        for (QWidget *w : page->findChildren<QWidget *>())
            w->updateGeometry();
        for (QLayout *layout : page->findChildren<QLayout *>())
            layout->invalidate();
        root->invalidate();
        const QSize needed = root->totalSizeHint();
        return needed.height() <= room.height() && needed.width() <= room.width();
    };
    const QFont normal = page->font();
    for (int px : kRoomyTypes) {
        if (normal.pixelSize() <= 0 || px <= normal.pixelSize())
            break;
        QFont larger = normal;
        larger.setPixelSize(px);
        page->setFont(larger);
        if (fits())
            break;
        page->setFont(normal);
    }
    auto setRows = [&](int rowHeight) {
        for (QAbstractButton *button : rows)
            button->setFixedHeight(rowHeight);
        return fits();
    };
    int natural = 0;
    for (QAbstractButton *button : rows)
        natural = std::max(natural, button->sizeHint().height());
    int best = natural;
    while (best < kRoomyRow && setRows(best + 1))
        ++best;
    if (best > natural) {
        setRows(best);
        return;
    }
    for (QAbstractButton *button : rows) {
        button->setMinimumHeight(0);
        button->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    fits();
}

} // namespace vel
