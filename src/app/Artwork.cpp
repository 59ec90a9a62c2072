#include "app/Artwork.h"

#include "platform/JpegPicture.h"
#include "platform/SvgPicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QPixmap>

namespace {

// The files of the toolbar images, in the order of the image list.
const char *const ToolbarPictures[ToolbarImageCount] = {
    "smiling-face",         "recycle-bin",    "notepad",  "monitor-with-palette",
    "notes-on-staff",       "globe-on-stand", "envelope", "filing-cabinet",
    "blue-figure",          "red-cross",      "printer",  "globe-with-cable",
    "folder-with-document", "blue-star",
};

QString Picture(const char *name)
{
    return QStringLiteral(":/zumoria/pictures/%1.svg").arg(QLatin1String(name));
}

} // namespace

QIcon ToolbarImage(int k)
{
    if (k < 0 || k >= ToolbarImageCount)
        return {};
    return SvgPictureIcon(Picture(ToolbarPictures[k]));
}

QIcon MagnifierImage()
{
    return SvgPictureIcon(Picture("magnifier"));
}

QImage HandCursorImage(qreal devicePixelRatio)
{
    const int side = qRound(32 * devicePixelRatio);
    return RenderSvgPicture(Picture("KEZ1"), QSize(side, side), devicePixelRatio);
}

QCursor HandCursor()
{
    // The hot spot stays in the picture's own pixels whatever its density.
    const qreal ratio =
        qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? qGuiApp->devicePixelRatio() : 1.0;
    return QCursor(QPixmap::fromImage(HandCursorImage(ratio)), HandCursorHotX, HandCursorHotY);
}

QIcon CloseGlyph()
{
    return SvgPictureIcon(Picture("about-close"));
}

// The resources of a static library are registered by hand, once.
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

QImage LogoPicture()
{
    static const bool registered = (InitResources(), true);
    (void)registered;
    QFile file(QStringLiteral(":/zumoria/logo.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

QIcon ProgramIcon()
{
    static const bool registered = (InitResources(), true);
    (void)registered;
    return QIcon::fromTheme(QStringLiteral("zumoria"), QIcon(QStringLiteral(":/zumoria/zumoria.svg")));
}
