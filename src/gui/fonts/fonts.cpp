#include "fonts/fonts.h"

#include <QApplication>
#include <QFontDatabase>

static void initFontResources()
{
    Q_INIT_RESOURCE(fonts);
}

namespace vel {

QString sansFamily()
{
    return QStringLiteral("Liberation Sans");
}

QString serifFamily()
{
    return QStringLiteral("Liberation Serif");
}

bool registerEmbeddedFonts()
{
    static const bool loaded = [] {
        initFontResources();
        bool all = true;
        for (const char *face : {"LiberationSans-Regular", "LiberationSans-Bold", "LiberationSans-Italic",
                                 "LiberationSerif-Regular", "LiberationSerif-Bold"})
            all = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/%1.ttf").arg(QLatin1String(face))) >= 0 &&
                  all;
        return all;
    }();
    return loaded;
}

void useEmbeddedFonts()
{
    if (!registerEmbeddedFonts())
        return;
    QFont font = QApplication::font();
    font.setFamily(sansFamily());
    QApplication::setFont(font);
}

} // namespace vel
