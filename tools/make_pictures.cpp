// Draws the program's own pictures and writes them as JPEG files:
//   make_pictures <source folder>
// writes data/logo.jpg (the logo of the splash and About windows) and the
// pictures of the sample collection under examples/.
#include "platform/JpegPicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

bool Write(const QString &path, const QImage &image, int quality)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(EncodeJpeg(image, quality)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

QImage Canvas(int w, int h, const QColor &top, const QColor &bottom)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(image.rect(), g);
    return image;
}

QImage Logo()
{
    QImage image = Canvas(200, 200, QColor(255, 236, 150), QColor(255, 150, 90));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient face(QPointF(85, 70), 80);
    face.setColorAt(0, QColor(255, 250, 140));
    face.setColorAt(1, QColor(250, 200, 0));
    p.setPen(QPen(QColor(140, 90, 0), 3));
    p.setBrush(face);
    p.drawEllipse(QRectF(40, 22, 120, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(72, 55, 14, 20));
    p.drawEllipse(QRectF(114, 55, 14, 20));
    p.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(62, 50, 76, 70), 205 * 16, 130 * 16);
    QFont font(QStringLiteral("Comic Neue"));
    font.setPixelSize(36);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(200, 20, 40));
    p.drawText(QRect(0, 146, 200, 44), Qt::AlignCenter, QStringLiteral("Zumoria V3"));
    return image;
}

QImage Snail()
{
    QImage image = Canvas(160, 100, QColor(200, 235, 255), QColor(120, 200, 110));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 20), 2));
    p.setBrush(QColor(230, 200, 140));
    QPainterPath body;
    body.moveTo(20, 85);
    body.quadTo(80, 95, 140, 85);
    body.quadTo(150, 60, 135, 55);
    body.lineTo(130, 80);
    body.quadTo(70, 80, 20, 85);
    p.drawPath(body);
    p.drawLine(138, 57, 145, 35);
    p.drawLine(134, 57, 130, 37);
    p.setBrush(QColor(170, 100, 40));
    p.drawEllipse(QRectF(45, 30, 60, 55));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(60, 44, 30, 28));
    p.drawEllipse(QRectF(70, 53, 12, 11));
    return image;
}

QImage Fish()
{
    QImage image = Canvas(180, 90, QColor(120, 190, 250), QColor(20, 80, 170));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 60, 0), 2));
    p.setBrush(QColor(255, 160, 30));
    p.drawEllipse(QRectF(40, 22, 100, 46));
    p.drawPolygon(QPolygonF({QPointF(44, 45), QPointF(12, 20), QPointF(12, 70)}));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(112, 33, 14, 14));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(118, 37, 6, 6));
    p.setPen(QPen(QColor(220, 240, 255), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(150, 20, 8, 8));
    p.drawEllipse(QRectF(160, 6, 11, 11));
    return image;
}

QImage Sheep()
{
    QImage image = Canvas(170, 110, QColor(170, 220, 255), QColor(90, 170, 60));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(Qt::black);
    for (int x : {55, 70, 100, 115})
        p.drawRect(QRectF(x, 70, 6, 28));
    p.setBrush(QColor(250, 250, 245));
    for (int i = 0; i < 7; ++i)
        p.drawEllipse(QRectF(40 + 14 * i, 35 + (i % 2) * 8, 30, 30));
    p.drawEllipse(QRectF(50, 45, 80, 35));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QRectF(122, 38, 28, 22));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(138, 43, 5, 5));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures <source folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = Write(root + "/data/logo.jpg", Logo(), 92);
    ok = Write(root + "/examples/csiga.jpg", Snail(), 85) && ok;
    ok = Write(root + "/examples/kepek/hal.jpg", Fish(), 85) && ok;
    ok = Write(root + "/examples/kepek/Birka.jpg", Sheep(), 85) && ok;
    return ok ? 0 : 1;
}
