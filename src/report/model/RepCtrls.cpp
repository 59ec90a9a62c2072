#include "report/model/RepCtrls.h"

#include "platform/Canvas.h"
#include "platform/FontAdvances.h"
#include "platform/MetafileCanvas.h"
#include "platform/ScreenDensity.h"
#include "report/model/RepBands.h"
#include "report/model/RepControllers.h"
#include "report/expr/RepFloatFormat.h"
#include "report/output/RepPrinter.h"
#include "report/model/RepReport.h"
#include "platform/Rounding.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

CanvasPenStyle CanvasStyle(TRepPenStyle style)
{
    return CanvasPenStyle(int(style));
}

CanvasBrushStyle CanvasStyle(TRepBrushStyle style)
{
    return CanvasBrushStyle(int(style));
}

QString LongTimeFormat()
{
    // The locale's long time without the time-zone name.
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return format.trimmed();
}

} // namespace

QString RepShortTimeText(const QDateTime &moment)
{
    return QLocale().toString(moment.time(), QLocale::ShortFormat);
}

QString RepDateTimeText(const QDateTime &moment)
{
    QString text = QLocale().toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() != QTime(0, 0))
        text += QLatin1Char(' ') + QLocale().toString(moment.time(), LongTimeFormat());
    return text;
}

// ---- TRepCustomLabel ----

TRepCustomLabel::TRepCustomLabel(TRepControl *parent) : TRepPrintable(parent) {}

void TRepCustomLabel::SetCaption(const QString &caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    FPrintCaption = caption;
    BuildLines();
}

void TRepCustomLabel::SetAutoSize(bool on)
{
    if (on == FAutoSize)
        return;
    FAutoSize = on;
    BuildLines();
}

void TRepCustomLabel::FontChanged()
{
    BuildLines();
}

void TRepCustomLabel::Loaded()
{
    TRepPrintable::Loaded();
    if (FStoredFontSize > 0) {
        TRepFont font = Font();
        font.Size = FStoredFontSize;
        SetFont(font);
    }
    BuildLines();
}

FontAdvances &TRepCustomLabel::Advances()
{
    if (TRepCustomReport *report = ParentReport())
        return report->TextAdvances(Font());
    // Without a report the control measures on a screen-density device.
    return FontAdvances::For(DeviceFont(Font().ToQFont(), ScreenPixelsPerInch()));
}

int TRepCustomLabel::WidthOf(double advance) const
{
    if (!std::isfinite(advance) || advance < 0)
        return 0;
    return Nearest((Nearest(advance) + 1) * Size().Zoom() / 100.0);
}

int TRepCustomLabel::TextWidth(const QString &text)
{
    return WidthOf(Advances().Width(text));
}

int TRepCustomLabel::LineHeight()
{
    TRepCustomReport *report = ParentReport();
    return report ? report->MeasureLineHeight(Font()) : 0;
}

TAlignment TRepCustomLabel::EffectiveAlignment() const
{
    if (!RightToLeft)
        return Alignment();
    switch (Alignment()) {
    case TAlignment::taLeftJustify:
        return TAlignment::taRightJustify;
    case TAlignment::taRightJustify:
        return TAlignment::taLeftJustify;
    case TAlignment::taCenter:
        break;
    }
    return TAlignment::taCenter;
}

void TRepCustomLabel::BuildLines()
{
    if (!ParentControl() || IsLoading())
        return;
    FLines.clear();
    AddLine(FPrintCaption);

    TRepCustomReport *report = ParentReport();
    if (FResizing || !report)
        return;
    FResizing = true;
    const int minHeight = LineHeight() * Size().Zoom() / 100 + 1;
    if (Height() < minHeight)
        SetHeight(minHeight);
    if (FAutoSize) {
        int widest = 0;
        for (const QString &line : FLines)
            widest = std::max(widest, TextWidth(line));
        if (Frame().DrawLeft)
            widest += Frame().Width;
        if (Frame().DrawRight)
            widest += Frame().Width;
        const int width = Width();
        switch (EffectiveAlignment()) {
        case TAlignment::taRightJustify:
            SetLeft(Left() + width - widest);
            break;
        case TAlignment::taCenter:
            SetLeft(Left() + (width - widest) / 2);
            break;
        case TAlignment::taLeftJustify:
            break;
        }
        SetWidth(widest);
        if (Height() < minHeight)
            SetHeight(minHeight);
    }
    FResizing = false;
}

void TRepCustomLabel::AddLine(const QString &source)
{
    QString text = source;
    text.remove(QChar(10));
    const qsizetype cr = text.indexOf(QChar(13));
    if (cr >= 0) {
        AddLine(text.left(cr));
        AddLine(text.mid(cr + 1));
        return;
    }
    if (FAutoSize || !WordWrap) {
        FLines.append(text);
        return;
    }
    FontAdvances &advances = Advances();
    const int limit = Width();
    QString line;
    double lineAdvance = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char(' ') && text[end] != QLatin1Char('-'))
            ++end;
        if (end < text.size())
            ++end; // the space or hyphen stays with its word
        AddWord(advances, line, lineAdvance, QStringView(text).mid(start, end - start), limit);
        start = end;
    }
    FLines.append(line);
}

// Advances add up, so the width of the line with one more word is the
// line's advance plus the word's: every character is looked at once.
void TRepCustomLabel::AddWord(FontAdvances &advances, QString &line, double &lineAdvance, QStringView word,
                              int limit)
{
    double wordAdvance = advances.Width(word);
    if (WidthOf(lineAdvance + wordAdvance) <= limit) {
        line += word;
        lineAdvance += wordAdvance;
        return;
    }
    if (line.isEmpty()) {
        // A single word wider than the line: as much of it as fits.
        qsizetype n = 0;
        while (n < word.size() && WidthOf(lineAdvance + advances.Advance(word[n])) < limit)
            lineAdvance += advances.Advance(word[n++]);
        line += word.left(n);
        word = {};
        wordAdvance = 0;
    }
    FLines.append(line);
    line.clear();
    lineAdvance = 0;
    if (!word.isEmpty() && WidthOf(wordAdvance) > limit) {
        while (!word.isEmpty() && WidthOf(advances.Width(word)) > limit)
            word.chop(1);
        FLines.append(word.toString());
        word = {};
        wordAdvance = 0;
    }
    line = word.toString();
    lineAdvance = wordAdvance;
}

void TRepCustomLabel::BeginPrinting()
{
    TRepPrintable::BeginPrinting();
    FPrintCaption = FCaption;
    BuildLines();
}

void TRepCustomLabel::PrintAt(int offsetX, int offsetY)
{
    if (!ShouldPrint())
        return;
    PrintText(offsetX, offsetY);
}

void TRepCustomLabel::PrintText(int offsetX, int offsetY)
{
    TRepPrinter *printer = Printer();
    if (!printer)
        return;
    Canvas &canvas = ParentReport()->RunCanvas();
    const TRepPrintableSize &size = Size();
    auto applyFont = [&] {
        const TRepFont font = Font();
        canvas.SetFont(font.ToQFont(), RepQColor(font.Color));
        return canvas.TextHeight(QStringLiteral("W")) / printer->YScale();
    };
    double h = applyFont();
    double x = offsetX + size.Left();
    double y = offsetY + size.Top();
    const double w0 = size.Width();
    double boxHeight = size.Height();

    const QString designed = FPrintCaption;
    bool replaced = false;
    if (!FPrintCaption.isEmpty() && OnPrint) {
        QString value = FPrintCaption;
        OnPrint(this, value);
        h = applyFont();
        boxHeight = size.Height();
        if (value != FPrintCaption) {
            FPrintCaption = value;
            replaced = true;
        }
    }

    BuildLines();
    const double w = size.Width();

    if (!Transparent) {
        canvas.SetBrush(CanvasBrush{RepQColor(Color()), CanvasBrushStyle::Solid});
        canvas.FillRect(Box(printer->ToDeviceX(x), printer->ToDeviceY(y), printer->ToDeviceX(x + w),
                            printer->ToDeviceY(y + boxHeight)));
    }
    if (Frame().AnySide()) {
        const int inset = Frame().NativeWidth();
        if (Frame().DrawTop)
            y += inset;
        if (Frame().DrawLeft)
            x += inset;
    }

    const TAlignment align = EffectiveAlignment();
    double anchor = x;
    if (FAutoSize && align == TAlignment::taRightJustify)
        anchor = x - (w - w0);
    else if (FAutoSize && align == TAlignment::taCenter)
        anchor = x - (w - w0) / 2;
    double textX = anchor;
    CanvasTextAlign textAlign = CanvasTextAlign::Left;
    if (align == TAlignment::taRightJustify) {
        textX = anchor + w;
        textAlign = CanvasTextAlign::Right;
    } else if (align == TAlignment::taCenter) {
        textX = anchor + w / 2;
        textAlign = CanvasTextAlign::Center;
    }
    const int deviceX = printer->ToDeviceX(textX);

    double limit = y + boxHeight + 1;
    double lineY = y;
    if (PrintFinished())
        FCurrentLine = 0;
    bool grownBefore = false;
    double ownGrowth = 0;
    TRepCustomBand *band = ParentBand();
    const bool continuing = band && band->InContinuationPass();
    int printedNow = 0;
    while (FCurrentLine < FLines.size()) {
        bool fits = lineY + h <= limit;
        if (!fits && AutoStretch && band) {
            const double before = ownGrowth;
            if (band->GrowBand(h, grownBefore, ownGrowth)) {
                fits = true;
                limit = y + boxHeight + 1 + ownGrowth;
                if (!Transparent) {
                    canvas.SetBrush(CanvasBrush{RepQColor(Color()), CanvasBrushStyle::Solid});
                    canvas.FillRect(Box(printer->ToDeviceX(x),
                                        printer->ToDeviceY(y + boxHeight + before),
                                        printer->ToDeviceX(x + w),
                                        printer->ToDeviceY(y + boxHeight + ownGrowth)));
                }
            }
        }
        // At the top of a fresh column a line that still does not fit never
        // will: it is printed where it stands, like a band taller than the
        // page, so the run goes on.
        if (!fits && continuing && printedNow == 0)
            fits = true;
        if (!fits)
            break;
        const QString &line = FLines.at(FCurrentLine);
        if (!line.isEmpty())
            canvas.TextOut(deviceX, printer->ToDeviceY(lineY), line, textAlign, RightToLeft);
        lineY += h;
        ++FCurrentLine;
        ++printedNow;
    }
    SetPrintFinished(!(FCurrentLine < FLines.size() && AutoStretch));
    PaintFrame(x, y, w, boxHeight + ownGrowth);
    if (replaced)
        FPrintCaption = designed;
}

// ---- TRepExpr ----

TRepExpr::TRepExpr(TRepControl *parent) : TRepCustomLabel(parent)
{
    ShowExpression();
}

void TRepExpr::SetExpression(const QString &expression)
{
    FExpression = expression;
    ShowExpression();
}

void TRepExpr::SetMask(const QString &mask)
{
    FMask = mask;
    ShowExpression();
}

void TRepExpr::ShowExpression()
{
    SetCaption(FExpression.isEmpty() ? QStringLiteral("(none)") : FExpression);
}

QString TRepExpr::ResultText(const EvalResult &result) const
{
    auto number = [this](double value) {
        QString text;
        if (FMask.isEmpty() || !FormatFloatPicture(FMask, value, text))
            text = FloatToText(value);
        return text;
    };
    switch (result.Kind()) {
    case KindInteger:
        return number(result.AsInteger());
    case KindFloat:
        return number(result.AsFloat());
    case KindBoolean:
        return result.AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case KindString:
    case KindError:
        break;
    }
    return result.Text();
}

EvalResult TRepExpr::CurrentValue()
{
    if (!FEvaluator.Compiled())
        return EvalResult::FromError(u"Evaluator not prepared");
    return FEvaluator.ComputeResult();
}

void TRepExpr::BeginPrinting()
{
    TRepCustomLabel::BeginPrinting();
    TRepCustomReport *report = ParentReport();
    if (!report)
        return;
    FEvaluator.SetDatasets(nullptr);
    FEvaluator.SetEnvironment(&report->Functions());
    FEvaluator.CompileExpression(FExpression);
    if (Master == report || (!Master && FEvaluator.UsesAggregates()))
        report->Controller().AddNotifyClient(this);
    FEvaluator.ResetAggregates();
}

void TRepExpr::PrintAt(int offsetX, int offsetY)
{
    if (!ShouldPrint())
        return;
    const EvalResult value = CurrentValue();
    // A text is printed whole, not only the part a result can hold.
    const QString *whole = value.Kind() == KindString ? FEvaluator.WholeText() : nullptr;
    SetPrintCaption(whole ? *whole : ResultText(value));
    PrintText(offsetX, offsetY);
    if (ResetAfterPrint && FEvaluator.Compiled())
        FEvaluator.ResetAggregates();
}

void TRepExpr::HandleNotify(void *sender, int operation)
{
    if (operation == NotifyDataAdvanced) {
        if (FEvaluator.Compiled())
            FEvaluator.UpdateAggregates();
        return;
    }
    TRepCustomLabel::HandleNotify(sender, operation);
}

void TRepExpr::EndPrinting()
{
    TRepCustomLabel::EndPrinting();
    FEvaluator.SetDatasets(nullptr);
    FEvaluator.ReleaseExpression();
    ShowExpression();
}

// ---- TRepSysData ----

TRepSysData::TRepSysData(TRepControl *parent) : TRepCustomLabel(parent)
{
    ShowDesignCaption();
}

void TRepSysData::SetData(TRepSysDataType data)
{
    FData = data;
    ShowDesignCaption();
}

void TRepSysData::SetText(const QString &text)
{
    FText = text;
    ShowDesignCaption();
}

void TRepSysData::ShowDesignCaption()
{
    static const char *const names[] = {"Time",         "Date",        "Date/Time", "Page#",
                                        "Report title", "Detail count", "Detail no"};
    SetCaption(FText + QLatin1Char('(') + QLatin1String(names[int(FData)]) + QLatin1Char(')'));
}

void TRepSysData::PrintAt(int offsetX, int offsetY)
{
    if (!ShouldPrint())
        return;
    TRepCustomReport *report = ParentReport();
    const QDateTime now = QDateTime::currentDateTime();
    QString value;
    bool known = true;
    switch (FData) {
    case TRepSysDataType::rsTime:
        value = RepShortTimeText(now);
        break;
    case TRepSysDataType::rsDate:
        value = QLocale().toString(now.date(), QLocale::ShortFormat);
        break;
    case TRepSysDataType::rsDateTime:
        value = RepDateTimeText(now);
        break;
    case TRepSysDataType::rsPageNumber:
        value = QString::number(report ? report->PagesStarted() : 0);
        break;
    case TRepSysDataType::rsReportTitle:
        value = report ? report->ReportTitle : QString();
        break;
    case TRepSysDataType::rsDetailCount:
        known = qobject_cast<TRepReport *>(report) != nullptr;
        if (known)
            value = QString::number(report->RecordCount());
        break;
    case TRepSysDataType::rsDetailNo:
        known = qobject_cast<TRepReport *>(report) != nullptr;
        if (known)
            value = QString::number(report->Controller().DetailNumber);
        break;
    }
    if (known)
        SetPrintCaption(FText + value);
    PrintText(offsetX, offsetY);
}

// ---- TRepShape ----

TRepShape::TRepShape(TRepControl *parent) : TRepPrintable(parent)
{
    SetBounds(Left(), Top(), 65, 65);
}

void TRepShape::PrintAt(int offsetX, int offsetY)
{
    TRepPrinter *printer = Printer();
    if (!ShouldPrint() || !printer)
        return;
    Canvas &canvas = ParentReport()->RunCanvas();
    canvas.SetBrush(CanvasBrush{RepQColor(Brush.Color), CanvasStyle(Brush.Style)});
    canvas.SetPen(CanvasPen{RepQColor(Pen.Color), Pen.Width, CanvasStyle(Pen.Style)});
    const TRepPrintableSize &size = Size();
    const double left = offsetX + size.Left();
    const double top = offsetY + size.Top();
    const int x1 = printer->ToDeviceX(left);
    const int x2 = printer->ToDeviceX(left + size.Width());
    const int y1 = printer->ToDeviceY(top);
    const int y2 = printer->ToDeviceY(top + size.Height());
    auto line = [&canvas](int ax, int ay, int bx, int by) {
        canvas.MoveTo(ax, ay);
        canvas.LineTo(bx, by);
    };
    switch (Shape) {
    case TRepShapeType::rsRectangle:
        canvas.Rectangle(Box(x1, y1, x2, y2));
        break;
    case TRepShapeType::rsCircle:
        canvas.Ellipse(Box(x1, y1, x2, y2));
        break;
    case TRepShapeType::rsVertLine: {
        const int x = printer->ToDeviceX(left + size.Width() / 2);
        line(x, y1, x, y2);
        break;
    }
    case TRepShapeType::rsHorLine: {
        const int y = printer->ToDeviceY(top + size.Height() / 2);
        line(x1, y, x2, y);
        break;
    }
    case TRepShapeType::rsTopAndBottom:
        line(x1, y1, x2, y1);
        line(x1, y2, x2, y2);
        break;
    case TRepShapeType::rsRightAndLeft:
        line(x1, y1, x1, y2);
        line(x2, y1, x2, y2);
        break;
    }
}
