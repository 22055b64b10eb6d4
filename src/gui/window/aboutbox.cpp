#include "window/aboutbox.h"

#include "fonts/fonts.h"
#include "platform/platform.h"
#include "widgets/picturebutton.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace {

// A label that reacts to a click like a link.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString &name, const QString &text, const QString &hint, QWidget *parent,
              std::function<void()> onClick)
        : QLabel(text, parent), m_onClick(std::move(onClick))
    {
        setObjectName(name);
        setToolTip(hint);
        setCursor(Qt::PointingHandCursor);
        setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
};

QLabel *shadowedLabel(const QString &text, QWidget *parent, const QRect &geometry, const QString &style)
{
    auto *shadow = new QLabel(text, parent);
    shadow->setStyleSheet(style + QStringLiteral("color: #b8b8b8;"));
    shadow->setGeometry(geometry.translated(1, 1));
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(style);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TAboutBox::TAboutBox(vel::Platform *platform, QWidget *parent) : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(281, 204);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(244, 244, 244));
    setPalette(pal);
    vel::registerEmbeddedFonts();
    QFont f(vel::sansFamily());
    f.setPixelSize(11);
    setFont(f);
    move(372, 198);

    auto *emblem = new QLabel(this);
    emblem->setObjectName(QStringLiteral("Image1"));
    emblem->setPixmap(QPixmap(QStringLiteral(":/emblem.png")));
    emblem->setGeometry(7, 40, 81, 81);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(88, 8, 185, 161);

    shadowedLabel(QStringLiteral("VEL-NO-KASI"), frame, QRect(10, 8, 170, 22),
                  QStringLiteral("color: blue; font-family: 'Liberation Sans'; font-weight: bold; font-size: 16px;"))
        ->setObjectName(QStringLiteral("ProductName"));
    shadowedLabel(QStringLiteral("электронная картотека"), frame, QRect(10, 34, 170, 16),
                  QStringLiteral("color: blue;"));
    shadowedLabel(QStringLiteral("Версия 1.31"), frame, QRect(10, 58, 170, 16), QString());
    shadowedLabel(QStringLiteral("Почта:"), frame, QRect(10, 86, 40, 16), QString());
    new LinkLabel(QStringLiteral("Label4"), supportEmail(), QStringLiteral("Написать письмо разработчику..."), frame,
                  [this] { Label4Click(); });
    findChild<QLabel *>(QStringLiteral("Label4"))->setGeometry(50, 86, 130, 16);
    shadowedLabel(QStringLiteral("Сайт:"), frame, QRect(10, 110, 40, 16), QString());
    new LinkLabel(QStringLiteral("Label5"), webSite(), QStringLiteral("Официальный сайт программы..."), frame,
                  [this] { Label5Click(); });
    findChild<QLabel *>(QStringLiteral("Label5"))->setGeometry(50, 110, 130, 16);

    auto *ok = new QPushButton(vel::velIcon(12), QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("SpeedButton1"));
    ok->setAutoDefault(false);
    ok->setDefault(true);
    ok->setGeometry(8, 176, 265, 25);
    connect(ok, &QPushButton::clicked, this, &TAboutBox::SpeedButton1Click);
}

QString TAboutBox::supportEmail()
{
    return QStringLiteral("support@vel-no-kasi.ru");
}

QString TAboutBox::webSite()
{
    return QStringLiteral("http://www.vel-no-kasi.ru/");
}

void TAboutBox::Label4Click()
{
    m_platform->openUrl(QUrl(QStringLiteral("mailto:") + supportEmail()));
}

void TAboutBox::Label5Click()
{
    m_platform->openUrl(QUrl(webSite()));
}

void TAboutBox::SpeedButton1Click()
{
    accept();
}
