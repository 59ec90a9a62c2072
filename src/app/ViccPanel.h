#pragma once
// TViccPanel: the painted panel of one joke. A bevelled body with a coloured
// heading strip carrying the heading, a coloured bottom strip carrying a
// short text (the joke's number) at its right end, and between them the
// joke's text lines in a fixed-pitch font with its pictures centred among
// them. It draws everything itself and has no child controls.

#include "app/ColorScheme.h"
#include "app/JokeSearch.h"

#include <QFont>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class PictureNames;
class QMouseEvent;

class TViccPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TViccPanel(QWidget *owner = nullptr);

    // The joke's lines after the heading was taken out: text and picture lines.
    QStringList Lines;

    QString FileName() const { return FFileName; }
    // Loads the whole file as the panel's joke when the name differs: the
    // first line is the heading, the rest are the lines.
    void SetFileName(const QString &value);

    ColorValue ColorHead() const { return FColorHead; }
    void SetColorHead(ColorValue value);
    ColorValue ColorBottom() const { return FColorBottom; }
    void SetColorBottom(ColorValue value);
    // The body colour (the panel's own colour).
    ColorValue Color() const { return FColor; }
    void SetColor(ColorValue value);

    const QFont &FontHead() const { return FFontHead; }
    const QFont &FontBottom() const { return FFontBottom; }
    // Font setters copy the attributes and do not repaint.
    void SetFontHead(const QFont &font) { FFontHead = font; }
    void SetFontBottom(const QFont &font) { FFontBottom = font; }
    ColorValue FontHeadColor() const { return FFontHeadColor; }
    ColorValue FontBottomColor() const { return FFontBottomColor; }
    void SetFontHeadColor(ColorValue value) { FFontHeadColor = value; }
    void SetFontBottomColor(ColorValue value) { FFontBottomColor = value; }
    // The font of the text lines.
    const QFont &TextFont() const { return FTextFont; }
    // The font every panel draws its text lines in: "Courier New", 10 pt.
    static QFont LineFont();

    QString Alja() const { return FAlja; }
    void SetAlja(const QString &value);
    QString Szerzo() const { return FSzerzo; }
    // The folder the joke's pictures are in; empty when the joke has none,
    // and then a ">>" line is shown as text.
    QString Dir() const { return FDir; }
    void SetDir(const QString &value);
    // Shares the picture look-ups of a whole collection (the joke view's),
    // whose folder becomes Dir.
    void SetPictureNames(std::shared_ptr<PictureNames> pictures);

    // A joke taller than a widget may be is shown through a slice: the
    // widget covers the joke from offset (in the joke's own pixels) down,
    // and the joke is fullHeight pixels tall. ShowWhole goes back to the
    // widget being the whole joke.
    void ShowSlice(qint64 offset, qint64 fullHeight);
    void ShowWhole() { ShowSlice(0, -1); }
    // The joke's own height: the widget's unless a slice is shown.
    qint64 FullHeight() const { return FFullHeight < 0 ? height() : FFullHeight; }

    // Takes a "##" first line out of Lines as the heading, or uses "*** vicc",
    // and repaints. A panel without lines gets "*** vicc".
    void TakeHeading();
    // The joke view's shortcut for "Lines := lines, then TakeHeading" when
    // the heading has already been taken.
    void SetContent(const QString &heading, const QStringList &lines);

    // The colours of a scheme, applied by the joke view in one go.
    void ApplyLook(const PanelLook &look);

    // Long lines wrapped into rows of at most columns characters (0: lines
    // are cut by the panel's edge). The owner sizes the panel to match
    // (ExtraWrappedRows).
    void SetWrapColumns(int columns);
    int WrapColumns() const { return FWrapColumns; }

    // Text found in the joke, marked where it is drawn; current is the
    // position in matches of the match the reader is at, or -1.
    void SetFoundText(std::vector<LineMatch> matches, int current);
    const std::vector<LineMatch> &FoundText() const { return FFound; }
    // The top of the row that shows the character at column of a text line,
    // in the joke's own pixels (line -1: the heading strip).
    qint64 RowTop(int line, int column);

    // Mouse handlers the owner installs (the drag-scrolling of the joke view).
    std::function<void(QMouseEvent *)> OnMouseDown, OnMouseMove, OnMouseUp;

    // Draws the whole panel (bevels, body, strips, text and pictures).
    void Paint(QPainter &painter);
    // Draws strips, texts and pictures.
    void PaintContent(QPainter &painter);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // A row of the joke as a row of the widget.
    int Row(qint64 y) const;
    // Walks the lines as the panel lays them out: textRow(line, from, to, y)
    // for each row of a text line (characters from … to − 1, at y in the
    // joke's pixels), returning false to stop; picture(path, size, y) for
    // each picture that exists.
    template <class TextRow, class Picture>
    void LayOut(TextRow &&textRow, Picture &&picture);
    // Where the rows of line i start (one row when it is not wrapped).
    const std::vector<int> &RowsOf(qsizetype i);
    // Marks the found text of line (characters from … to − 1 of text drawn
    // from x, at y), under the text that is drawn next.
    void MarkFound(QPainter &p, int line, const QString &text, int from, int to, int x, qint64 y,
                   const QFontMetrics &metrics, bool redraw);
    void ContentChanged();
    // The picture look-ups, made for Dir when none were shared.
    PictureNames &Pictures();

    QString FSzerzo;
    QString FAlja;
    QString FFileName;
    ColorValue FColor = 0x00FFFFD7;
    ColorValue FColorHead = 0x000000FF;
    ColorValue FColorBottom = 0x00FF00FF;
    QFont FFontHead;
    QFont FFontBottom;
    QFont FTextFont;
    ColorValue FFontHeadColor = 0x0000FFFF;
    ColorValue FFontBottomColor = 0x0000FFFF;
    QString FDir;
    std::shared_ptr<PictureNames> FPictures;
    qint64 FOffset = 0;
    qint64 FFullHeight = -1;
    int FWrapColumns = 0;
    std::unordered_map<qsizetype, std::vector<int>> FRows;
    std::vector<LineMatch> FFound;
    int FCurrentFound = -1;
};
