#pragma once
// The EMF recorder: a Canvas whose drawing calls become records of an
// enhanced metafile (built with libuemf). The page is drawn in pixels of a
// reference device of the given density (the screen's, for the page store);
// Finish() closes the metafile and hands out its bytes.
//
// Pen, brush and font objects are created lazily, only when a drawing call
// needs one that differs from the one selected, and the replaced object is
// deleted at once, so a page holds few live objects however often report
// code sets them.

#include "platform/Canvas.h"

#include <QByteArray>
#include <memory>
#include <optional>

class MetafileCanvas : public DrawingCanvas
{
public:
    // A page width x height pixels of a reference device with pixelsPerInch.
    MetafileCanvas(int width, int height, int pixelsPerInch);
    ~MetafileCanvas() override;
    MetafileCanvas(const MetafileCanvas &) = delete;
    MetafileCanvas &operator=(const MetafileCanvas &) = delete;

    // Ends the metafile. Drawing after Finish is ignored; a second Finish
    // gives the same page again.
    Metafile Finish();

    int PixelsPerInchX() const override { return FPixelsPerInch; }
    int PixelsPerInchY() const override { return FPixelsPerInch; }
    int TextWidth(const QString &text) const override;
    int TextHeight(const QString &text) const override;
    void TextOut(int x, int y, const QString &text, CanvasTextAlign align,
                 bool rightToLeft) override;
    void FillRect(const QRect &box) override;
    void Rectangle(const QRect &box) override;
    void Ellipse(const QRect &box) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void StretchDraw(const QRect &target, const Metafile &page) override;

private:
    struct Recorder;
    void Append(char *record);
    void RealizePen();
    void RealizeBrush();
    void RealizeFont();
    void RealizeTextState(CanvasTextAlign align, bool rightToLeft);
    void Reselect();

    std::unique_ptr<Recorder> FRec;
    int FPixelsPerInch;
};

// The pixel height of font on a device of pixelsPerInch: its point size
// converted and rounded to the nearest pixel, or its pixel size.
int FontPixelHeight(const QFont &font, int pixelsPerInch);
// font with its size given as that pixel height (what text is measured and
// drawn with on both canvases, so widths agree).
QFont DeviceFont(const QFont &font, int pixelsPerInch);
