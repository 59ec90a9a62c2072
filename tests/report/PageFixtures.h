#pragma once
// Pages that tell which page they are: page n carries a black bar n * 10
// pixels wide at the top left and the text "Page n".
#include "platform/Metafile.h"
#include "platform/MetafileCanvas.h"
#include "platform/MetafilePlayer.h"

#include <QFile>
#include <QImage>
#include <QPainter>

inline void DrawNumberedPage(Canvas &c, int n)
{
    c.SetBrush({Qt::black, CanvasBrushStyle::Solid});
    c.FillRect(Box(0, 0, n * 10, 10));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    c.SetFont(font, Qt::black);
    c.TextOut(20, 40, QStringLiteral("Page %1").arg(n));
}

inline Metafile NumberedPage(int n, int width = 300, int height = 400)
{
    MetafileCanvas canvas(width, height, 96);
    DrawNumberedPage(canvas, n);
    return canvas.Finish();
}

// The n of a numbered page, read back from the pixels of its bar.
inline int PageNumberOf(const Metafile &page)
{
    QImage image(page.Width(), page.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PlayMetafile(painter, page, QRectF(0, 0, page.Width(), page.Height()));
    }
    int x = 0;
    while (x < image.width() && qGray(image.pixel(x, 5)) < 128)
        ++x;
    return x / 10;
}

inline QByteArray FileBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFileBytes(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
