#include "app/Artwork.h"

#include "platform/JpegPicture.h"

#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace {

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

void SmilingFace(QPainter &p)
{
    p.setPen(QPen(Rgb(120, 90, 0), 1));
    p.setBrush(Rgb(255, 220, 0));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(5, 5, 2, 2.5));
    p.drawEllipse(QRectF(9, 5, 2, 2.5));
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 5, 8, 7), 200 * 16, 140 * 16);
}

void RecycleBin(QPainter &p)
{
    p.setPen(QPen(Rgb(60, 60, 60), 1));
    p.setBrush(Rgb(200, 200, 210));
    p.drawPolygon(QPolygonF({QPointF(3, 4), QPointF(13, 4), QPointF(12, 15), QPointF(4, 15)}));
    p.drawRect(QRectF(2, 2, 12, 2));
    p.setPen(QPen(Rgb(0, 140, 0), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 7, 6, 6), 30 * 16, 300 * 16);
    p.drawLine(QPointF(10.5, 7.5), QPointF(11.5, 9.5));
}

void Notepad(QPainter &p)
{
    p.setPen(QPen(Rgb(80, 80, 80), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 2, 10, 13));
    p.setBrush(Rgb(60, 90, 200));
    p.drawRect(QRectF(3, 1, 10, 2));
    p.setPen(Rgb(120, 120, 200));
    for (int y = 6; y <= 13; y += 2)
        p.drawLine(5, y, 11, y);
}

void MonitorWithPalette(QPainter &p)
{
    p.setPen(QPen(Rgb(50, 50, 50), 1));
    p.setBrush(Rgb(190, 190, 190));
    p.drawRect(QRectF(1, 1, 14, 10));
    p.setBrush(Rgb(40, 80, 160));
    p.drawRect(QRectF(2.5, 2.5, 11, 7));
    p.setBrush(Rgb(150, 150, 150));
    p.drawRect(QRectF(5, 12, 6, 2));
    // palette in front of the screen
    p.setBrush(Rgb(230, 190, 120));
    p.drawEllipse(QRectF(6, 6, 9, 8));
    p.setPen(Qt::NoPen);
    const QColor dots[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    const QPointF at[] = {{8.5, 8}, {11, 7.5}, {13, 9.5}, {10.5, 11.5}};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(at[i], 1.1, 1.1);
    }
}

void NotesOnStaff(QPainter &p)
{
    p.setPen(Rgb(90, 90, 90));
    for (int y = 3; y <= 13; y += 2)
        p.drawLine(0, y, 15, y);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(2, 10, 4, 3));
    p.drawEllipse(QRectF(9, 8, 4, 3));
    p.drawLine(QPointF(5.6, 11), QPointF(5.6, 2));
    p.drawLine(QPointF(12.6, 9), QPointF(12.6, 1));
    p.drawLine(QPointF(5.6, 2), QPointF(12.6, 1));
}

void Globe(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Rgb(0, 60, 140), 1));
    p.setBrush(Rgb(70, 150, 240));
    p.drawEllipse(r);
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(40, 170, 60));
    const QPointF c = r.center();
    p.drawEllipse(QRectF(c.x() - r.width() * 0.35, c.y() - r.height() * 0.3, r.width() * 0.35, r.height() * 0.3));
    p.drawEllipse(QRectF(c.x() + 0.05 * r.width(), c.y() - 0.05 * r.height(), r.width() * 0.3, r.height() * 0.35));
    p.setPen(QPen(Rgb(200, 230, 255), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(c.x() - r.width() / 5, r.top(), r.width() * 0.4, r.height()));
    p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
}

void GlobeOnStand(QPainter &p)
{
    Globe(p, QRectF(2, 1, 11, 11));
    p.setPen(QPen(Rgb(120, 80, 30), 1.5));
    p.drawArc(QRectF(1, 0, 13, 13), 200 * 16, 160 * 16);
    p.drawLine(QPointF(7.5, 12.5), QPointF(7.5, 14));
    p.drawLine(QPointF(4, 15), QPointF(11, 15));
}

void Envelope(QPainter &p)
{
    p.setPen(QPen(Rgb(110, 90, 50), 1));
    p.setBrush(Rgb(255, 245, 210));
    p.drawRect(QRectF(1, 3.5, 14, 10));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(1, 3.5), QPointF(8, 9.5), QPointF(15, 3.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::red);
    p.drawRect(QRectF(11, 5, 2.5, 2.5));
}

void FilingCabinet(QPainter &p)
{
    p.setPen(QPen(Rgb(60, 60, 60), 1));
    p.setBrush(Rgb(170, 140, 90));
    p.drawRect(QRectF(3, 1, 10, 14));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(Rgb(200, 170, 110));
        p.drawRect(QRectF(4, 2 + 4.3 * i, 8, 3.5));
        p.setBrush(Rgb(80, 80, 80));
        p.drawRect(QRectF(7, 3.2 + 4.3 * i, 2, 1));
    }
}

void BlueFigure(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(30, 80, 220));
    p.drawEllipse(QRectF(5.5, 0.5, 5, 5));
    QPainterPath body;
    body.moveTo(3, 15);
    body.lineTo(4, 8);
    body.quadTo(8, 5, 12, 8);
    body.lineTo(13, 15);
    body.closeSubpath();
    p.drawPath(body);
}

void RedCross(QPainter &p)
{
    p.setPen(QPen(Rgb(220, 0, 0), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 3), QPointF(13, 13));
    p.drawLine(QPointF(13, 3), QPointF(3, 13));
}

void Printer(QPainter &p)
{
    p.setPen(QPen(Rgb(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1, 8, 6));
    p.setBrush(Rgb(160, 160, 170));
    p.drawRect(QRectF(1, 6, 14, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(0, 200, 0));
    p.drawRect(QRectF(12, 7.5, 1.5, 1.5));
}

void GlobeWithCable(QPainter &p)
{
    Globe(p, QRectF(1, 1, 10, 10));
    p.setPen(QPen(Rgb(60, 60, 60), 1.3));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(9, 10);
    cable.cubicTo(10, 15, 13, 10, 14, 14);
    p.drawPath(cable);
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(60, 60, 60));
    p.drawRect(QRectF(12.5, 13, 3, 3));
}

void FolderWithDocument(QPainter &p)
{
    p.setPen(QPen(Rgb(150, 110, 0), 1));
    p.setBrush(Rgb(240, 200, 60));
    p.drawRect(QRectF(1, 4, 14, 11));
    p.drawRect(QRectF(1, 2.5, 5, 2));
    p.setPen(QPen(Rgb(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 1, 8, 9));
    p.setPen(Rgb(100, 100, 200));
    p.drawLine(7, 4, 11, 4);
    p.drawLine(7, 6, 11, 6);
    p.setPen(QPen(Rgb(150, 110, 0), 1));
    p.setBrush(Rgb(250, 215, 90));
    p.drawRect(QRectF(1, 8, 14, 7));
}

void BlueStar(QPainter &p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = (i % 2 == 0) ? 7.5 : 3.2;
        star << QPointF(8 + radius * std::cos(angle), 8.5 + radius * std::sin(angle));
    }
    p.setPen(QPen(Rgb(0, 30, 120), 1));
    p.setBrush(Rgb(40, 100, 255));
    p.drawPolygon(star);
}

} // namespace

QImage ToolbarImage(int k)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (k) {
    case 0: SmilingFace(p); break;
    case 1: RecycleBin(p); break;
    case 2: Notepad(p); break;
    case 3: MonitorWithPalette(p); break;
    case 4: NotesOnStaff(p); break;
    case 5: GlobeOnStand(p); break;
    case 6: Envelope(p); break;
    case 7: FilingCabinet(p); break;
    case 8: BlueFigure(p); break;
    case 9: RedCross(p); break;
    case 10: Printer(p); break;
    case 11: GlobeWithCable(p); break;
    case 12: FolderWithDocument(p); break;
    case 13: BlueStar(p); break;
    default: break;
    }
    return image;
}

QImage MagnifierImage()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Rgb(120, 70, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(Rgb(40, 40, 40), 1.5));
    p.setBrush(Rgb(200, 230, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.5, 3.5, 6, 6), 100 * 16, 70 * 16);
    return image;
}

QImage HandCursorImage()
{
    // A pointing hand in 16 colours: '#' outline, 'o' skin, 's' shade, '.' clear.
    static const char *const rows[32] = {
        "................................",
        "................................",
        "................................",
        "............##..................",
        "...........#oo#.................",
        "...........#oo#.................",
        "...........#oo#.................",
        "...........#oo#.................",
        "...........#oo###...............",
        "...........#oo#oo###............",
        "...........#oo#oo#oo##..........",
        "........##.#oo#oo#oo#o#.........",
        "........#o##oo#oo#oo#oo#........",
        "........#oo#ooooooooooo#........",
        ".........#o#ooooooooooo#........",
        ".........#oooooooooooos#........",
        "..........#ooooooooooos#........",
        "..........#oooooooooos#.........",
        "...........#ooooooooos#.........",
        "...........#oooooooos#..........",
        "............#ooooooos#..........",
        "............#ooooooos#..........",
        "............##########..........",
        "................................",
        "................................",
        "................................",
        "................................",
        "................................",
        "................................",
        "................................",
        "................................",
        "................................",
    };
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            switch (rows[y][x]) {
            case '#': image.setPixel(x, y, qRgb(0, 0, 0)); break;
            case 'o': image.setPixel(x, y, qRgb(255, 255, 255)); break;
            case 's': image.setPixel(x, y, qRgb(192, 192, 192)); break;
            default: break;
            }
        }
    return image;
}

QCursor HandCursor()
{
    return QCursor(QPixmap::fromImage(HandCursorImage()), HandCursorHotX, HandCursorHotY);
}

QPixmap CloseGlyph()
{
    QPixmap glyph(12, 12);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(2, 2), QPointF(10, 10));
    p.drawLine(QPointF(10, 2), QPointF(2, 10));
    return glyph;
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
