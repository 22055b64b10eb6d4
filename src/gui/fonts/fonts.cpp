#include "fonts/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QResource>

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
                                 "LiberationSerif-Regular", "LiberationSerif-Bold"}) {
            // The faces are stored uncompressed: read in place, they cost no
            // copy of two megabytes at every start.
            const QResource file(QStringLiteral(":/fonts/%1.ttf").arg(QLatin1String(face)));
            const QByteArray data =
                file.compressionAlgorithm() == QResource::NoCompression
                    ? QByteArray::fromRawData(reinterpret_cast<const char *>(file.data()), qsizetype(file.size()))
                    : file.uncompressedData();
            all = QFontDatabase::addApplicationFontFromData(data) >= 0 && all;
        }
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
