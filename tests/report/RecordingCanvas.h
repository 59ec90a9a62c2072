#pragma once
// A canvas tap for report tests: records every drawing call of a run with
// its device coordinates and the page and column it was made on, and passes
// the call on to the printer's page canvas.
#include "platform/Canvas.h"
#include "report/model/RepReport.h"

#include <QFont>
#include <vector>

struct DrawCall
{
    enum Kind { Text, Fill, Rect, Ellipse, Move, Line } kind = Text;
    int page = 0;
    int column = 0;
    int x = 0, y = 0;     // text reference point, move/line point, box left/top
    int x2 = 0, y2 = 0;   // box right/bottom (last pixels inside)
    QString text;
    CanvasTextAlign align = CanvasTextAlign::Left;
    QColor color;         // text colour, fill brush colour or pen colour
    QFont font;
};

class RecordingCanvas : public TRepCanvasTap
{
public:
    explicit RecordingCanvas(TRepCustomReport &report) : FReport(report) { report.SetCanvasTap(this); }
    ~RecordingCanvas() override { FReport.SetCanvasTap(nullptr); }

    std::vector<DrawCall> Calls;

    std::vector<DrawCall> Of(DrawCall::Kind kind) const
    {
        std::vector<DrawCall> out;
        for (const DrawCall &c : Calls)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }
    std::vector<DrawCall> Texts(const QString &text) const
    {
        std::vector<DrawCall> out;
        for (const DrawCall &c : Calls)
            if (c.kind == DrawCall::Text && c.text == text)
                out.push_back(c);
        return out;
    }

    void Attach(Canvas *page) override { FPage = page; }

    int PixelsPerInchX() const override { return FPage->PixelsPerInchX(); }
    int PixelsPerInchY() const override { return FPage->PixelsPerInchY(); }
    void SetFont(const QFont &font, const QColor &color) override { FPage->SetFont(font, color); }
    void SetPen(const CanvasPen &pen) override { FPage->SetPen(pen); }
    void SetBrush(const CanvasBrush &brush) override { FPage->SetBrush(brush); }
    QFont Font() const override { return FPage->Font(); }
    QColor FontColor() const override { return FPage->FontColor(); }
    CanvasPen Pen() const override { return FPage->Pen(); }
    CanvasBrush Brush() const override { return FPage->Brush(); }
    int TextWidth(const QString &text) const override { return FPage->TextWidth(text); }
    int TextHeight(const QString &text) const override { return FPage->TextHeight(text); }

    void TextOut(int x, int y, const QString &text, CanvasTextAlign align, bool rtl) override
    {
        DrawCall c = Make(DrawCall::Text, x, y);
        c.text = text;
        c.align = align;
        c.color = FPage->FontColor();
        c.font = FPage->Font();
        Calls.push_back(c);
        FPage->TextOut(x, y, text, align, rtl);
    }
    void FillRect(const QRect &box) override
    {
        Calls.push_back(Box(DrawCall::Fill, box, FPage->Brush().color));
        FPage->FillRect(box);
    }
    void Rectangle(const QRect &box) override
    {
        Calls.push_back(Box(DrawCall::Rect, box, FPage->Pen().color));
        FPage->Rectangle(box);
    }
    void Ellipse(const QRect &box) override
    {
        Calls.push_back(Box(DrawCall::Ellipse, box, FPage->Pen().color));
        FPage->Ellipse(box);
    }
    void MoveTo(int x, int y) override
    {
        Calls.push_back(Make(DrawCall::Move, x, y));
        FPage->MoveTo(x, y);
    }
    void LineTo(int x, int y) override
    {
        DrawCall c = Make(DrawCall::Line, x, y);
        c.color = FPage->Pen().color;
        Calls.push_back(c);
        FPage->LineTo(x, y);
    }
    void StretchDraw(const QRect &target, const Metafile &page) override { FPage->StretchDraw(target, page); }

private:
    DrawCall Make(DrawCall::Kind kind, int x, int y) const
    {
        DrawCall c;
        c.kind = kind;
        c.page = FReport.PagesStarted();
        c.column = FReport.ColumnIndex();
        c.x = x;
        c.y = y;
        return c;
    }
    DrawCall Box(DrawCall::Kind kind, const QRect &box, const QColor &color) const
    {
        DrawCall c = Make(kind, box.left(), box.top());
        c.x2 = box.right();
        c.y2 = box.bottom();
        c.color = color;
        return c;
    }

    TRepCustomReport &FReport;
    Canvas *FPage = nullptr;
};
