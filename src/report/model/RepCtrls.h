#pragma once
// The printables of reports: text labels, expression fields, system data
// fields and shapes.

#include "report/expr/RepExpr.h"
#include "report/model/RepPrintable.h"

#include <QStringList>
#include <QStringView>
#include <functional>
#include <memory>

class FontAdvances;

// Text that breaks into lines, prints line by line and can make its band
// grow or continue in the next column.
class TRepCustomLabel : public TRepPrintable
{
    Q_OBJECT
public:
    using PrintEvent = std::function<void(TRepCustomLabel *sender, QString &value)>;

    explicit TRepCustomLabel(TRepControl *parent);

    // The text as designed. Labels print it; expression and system data
    // fields make their own text at print time.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);

    // AutoSize (default true): lines are not wrapped and the width follows
    // the text. AutoStretch (default false): lines that do not fit make the
    // band grow or continue in the next column.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool AutoStretch = false;
    bool WordWrap = true;
    // Right-to-left reading mirrors the alignment.
    bool RightToLeft = false;
    PrintEvent OnPrint;

    // The stored point size ("FontSize"): applied to the font when loading
    // ends, so a stored definition keeps its sizes on any screen.
    int StoredFontSize() const { return FStoredFontSize; }
    void SetStoredFontSize(int points) { FStoredFontSize = points; }

    // The lines of the last BuildLines.
    const QStringList &FormattedLines() const { return FLines; }
    virtual bool IsCaptionBased() const { return true; }
    // Breaks the print caption into lines at the control's width in screen
    // pixels; sets the minimum height and, with AutoSize, the width.
    virtual void BuildLines();

    void BeginPrinting() override;
    void PrintAt(int offsetX, int offsetY) override;

protected:
    QString PrintCaption() const { return FPrintCaption; }
    void SetPrintCaption(const QString &text) { FPrintCaption = text; }
    // Prints the print caption as text (the common part of every label).
    void PrintText(int offsetX, int offsetY);
    void FontChanged() override;
    void Loaded() override;

private:
    void AddLine(const QString &text);
    void AddWord(FontAdvances &advances, QString &line, double &lineAdvance, QStringView word, int limit);
    FontAdvances &Advances();
    int TextWidth(const QString &text);
    // The width in the label's pixels of text whose advances sum to advance.
    int WidthOf(double advance) const;
    int LineHeight();
    TAlignment EffectiveAlignment() const;

    QString FCaption;
    QString FPrintCaption;
    bool FAutoSize = true;
    QStringList FLines;
    int FCurrentLine = 0;
    int FStoredFontSize = 0;
    bool FResizing = false;
};

class TRepLabel : public TRepCustomLabel
{
    Q_OBJECT
public:
    explicit TRepLabel(TRepControl *parent) : TRepCustomLabel(parent) {}
};

// Prints the value of an expression.
class TRepExpr : public TRepCustomLabel
{
    Q_OBJECT
public:
    explicit TRepExpr(TRepControl *parent);

    QString Expression() const { return FExpression; }
    void SetExpression(const QString &expression);
    // A picture format for numbers ("0.00"); empty gives the general format.
    QString Mask() const { return FMask; }
    void SetMask(const QString &mask);
    // A report makes the field register with its controller.
    TRepControl *Master = nullptr;
    // Aggregates start again after every print.
    bool ResetAfterPrint = false;

    // The expression's value during a run; an error result outside one.
    EvalResult CurrentValue();
    // The text a result prints as.
    QString ResultText(const EvalResult &result) const;

    void BeginPrinting() override;
    void PrintAt(int offsetX, int offsetY) override;
    void HandleNotify(void *sender, int operation) override;
    void EndPrinting() override;

private:
    void ShowExpression();
    QString FExpression;
    QString FMask;
    TRepEvaluator FEvaluator;
};

enum class TRepSysDataType {
    rsTime, rsDate, rsDateTime, rsPageNumber, rsReportTitle, rsDetailCount, rsDetailNo
};

// Prints a prefix text and a value of the run (time, date, page number…).
class TRepSysData : public TRepCustomLabel
{
    Q_OBJECT
public:
    explicit TRepSysData(TRepControl *parent);

    TRepSysDataType Data() const { return FData; }
    void SetData(TRepSysDataType data);
    QString Text() const { return FText; }
    void SetText(const QString &text);

    void PrintAt(int offsetX, int offsetY) override;

private:
    void ShowDesignCaption();
    TRepSysDataType FData = TRepSysDataType::rsTime;
    QString FText;
};

enum class TRepShapeType { rsRectangle, rsCircle, rsVertLine, rsHorLine, rsTopAndBottom, rsRightAndLeft };

struct TRepPen
{
    TRepColor Color = clRepBlack;
    int Width = 1;
    TRepPenStyle Style = TRepPenStyle::psSolid;
};

enum class TRepBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

struct TRepBrush
{
    TRepColor Color = clRepWhite;
    TRepBrushStyle Style = TRepBrushStyle::bsSolid;
};

// Lines, rectangles and ellipses.
class TRepShape : public TRepPrintable
{
    Q_OBJECT
public:
    explicit TRepShape(TRepControl *parent);

    TRepShapeType Shape = TRepShapeType::rsRectangle;
    TRepPen Pen;
    TRepBrush Brush;

    void PrintAt(int offsetX, int offsetY) override;
};

// Formats the current date and time as the system data fields print them.
QString RepShortTimeText(const QDateTime &moment);
QString RepDateTimeText(const QDateTime &moment);
