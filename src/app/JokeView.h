#pragma once
// The joke view (sbxMain): a vertical stack of joke panels under a vertical
// scroll bar. Every joke of the file on show lives in a per-joke model
// (heading, lines, number, top, height); panels exist as widgets only for
// the jokes near the visible area, placed relative to the scroll position,
// so no widget ever grows beyond Qt's size limit however long the file is.
// Positions are 64-bit: the scroll bar (an int) covers them in steps of a
// few pixels when the content is taller than its range, and a joke taller
// than a widget may be is shown through a panel that covers the visible
// part of it. Picture names are resolved once per load (PictureNames)
// and shared by the panels. Operations over "every panel" (recolouring,
// resizing, the print list, the drag handlers) work on the model and reach
// every joke exactly as if all panels existed.
// The reader scrolls with the wheel (touchpads and fine wheels move it pixel
// by pixel) and the keys of every reader (KeyScroll); long lines may be
// wrapped at the panels' width, which makes the jokes taller; text found in
// the jokes is marked on the panels that show it.

#include "app/ColorScheme.h"
#include "app/JokeCollection.h"
#include "app/JokeSearch.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QKeyEvent;
class QScrollBar;
class QMouseEvent;
class TViccPanel;

class TJokeView : public QWidget
{
    Q_OBJECT
public:
    explicit TJokeView(QWidget *parent = nullptr);

    // Replaces the jokes on show. dir is the picture folder of every panel;
    // empty when the collection has no pictures. pictures are the look-ups
    // made while the jokes were measured, shared by the panels (made anew
    // for dir when none are given).
    // The scroll position goes to 0; the scroll range is left to the caller.
    void SetJokes(std::vector<JokeEntry> jokes, const QString &dir,
                  std::shared_ptr<PictureNames> pictures = nullptr);
    // Removes every joke (and panel) and the picture look-ups.
    void Clear();

    int JokeCount() const { return int(FJokes.size()); }
    // Counts the replacements of the jokes (SetJokes, Clear): what was made
    // from the jokes of another count is out of date.
    quint64 JokesVersion() const { return FJokesVersion; }
    const JokeEntry &Joke(int k) const { return FJokes.at(size_t(k)); }
    const std::vector<JokeEntry> &Jokes() const { return FJokes; }
    // Name, tag and bottom text of the panel of joke k: "vp"+k, k, "#"+(k+1).
    static QString PanelName(int k);
    static QString BottomText(int k);
    QString PictureDir() const { return FDir; }

    // The colours every panel takes (and the panels on show at once).
    void SetPanelLook(const PanelLook &look);
    const PanelLook &Look() const { return FLook; }

    // The view's own colour (its background).
    void SetColor(ColorValue value);
    ColorValue Color() const { return FColor; }

    // The scroll range: the content height the vertical bar covers. The
    // greatest position is range − client height, never below 0.
    void SetScrollRange(qint64 range);
    qint64 ScrollRange() const { return FRange; }
    qint64 ScrollPosition() const { return FPosition; }
    // Moves to position, held within 0 … greatest position.
    void SetScrollPosition(qint64 position);
    // Moves by delta pixels (drag-scrolling).
    void ScrollBy(qint64 delta) { SetScrollPosition(FPosition + delta); }
    qint64 MaxScrollPosition() const;
    int ClientHeight() const;
    // The vertical scroll bar: one step of it is one pixel while the range
    // fits its int, a few pixels beyond.
    QScrollBar *VerticalScrollBar() const { return FBar; }

    // Every panel's width: the view's width minus 40.
    int PanelWidth() const { return width() - 40; }

    // The panel widget of joke k when it exists (near the visible area).
    TViccPanel *LivePanel(int k) const;
    // The panels that exist, by joke number.
    const std::map<int, TViccPanel *> &LivePanels() const { return FLive; }
    // The panel area: live panels are its children.
    QWidget *Viewport() const { return FViewport; }

    // Cursor of the view and of every panel.
    void SetViewCursor(const QCursor &cursor);

    // The first joke at least partly in view (-1 without jokes): the joke
    // "at the top".
    int TopJoke() const;
    // True when some of joke k is in view.
    bool JokeInView(int k) const;
    // Shows joke k at the top, 4 pixels below the view's edge as the first
    // joke stands (as far as the scroll range lets it).
    void ShowJokeAtTop(int k);
    // Scrolls as little as it takes to show the row of joke k holding
    // column of line (-1 the heading): nothing when it is in view already,
    // else the joke's top, or the row a third down the view when the joke
    // is too tall for both.
    void BringIntoView(int k, int line, int column);

    // The keys of a reader: Up/Down a step of three lines, PgUp/PgDn and
    // Space/Shift+Space a view less a step, Home/End and Ctrl+Home/Ctrl+End
    // the first and the last joke. True when the key was one of them.
    bool KeyScroll(const QKeyEvent *event);
    // One step of the wheel and of the arrow keys, in pixels.
    static constexpr int LineStep = 45;

    // Long lines wrapped at the panels' width (off: cut at the edge). The
    // jokes grow by the rows their lines take; the joke at the top stays.
    void SetWrapLines(bool wrap);
    bool WrapLines() const { return FWrap; }
    // Characters in a wrapped row at the present width; 0 when not wrapping.
    int WrapColumns() const { return FColumns; }

    // Marks found text: matchesOf(k) gives the matches of joke k, asked as
    // its panel is made; current is the match the reader is at, in joke
    // currentJoke. A null matchesOf marks nothing.
    using FoundTextOf = std::function<std::vector<LineMatch>(int joke)>;
    void SetFoundText(FoundTextOf matchesOf, int currentJoke = -1, LineMatch current = {});

signals:
    // Mouse events over the view's background or over any panel.
    void MouseDown(QMouseEvent *event);
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);
    // The view's size changed (panels have already been given their width).
    void Resized();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void UpdateBar();
    void BarMoved(int value);
    int BarValueOf(qint64 position) const;
    void RemovePanels();
    void Materialize();
    void Place(TViccPanel *panel, int k) const;
    TViccPanel *CreatePanel(int k);
    void MarkFoundText(TViccPanel *panel, int k) const;
    // Tops, heights and the scroll range for the wrap columns of the present
    // width, keeping the joke at the top where it stands.
    void LayOutJokes();
    int ColumnsForWidth() const;

    std::vector<JokeEntry> FJokes;
    quint64 FJokesVersion = 0;
    std::map<int, TViccPanel *> FLive;
    QString FDir;
    std::shared_ptr<PictureNames> FPictures;
    PanelLook FLook;
    ColorValue FColor = 0x00FFCCCC;
    qint64 FRange = 650;
    qint64 FPosition = 0;
    qint64 FBarStep = 1; // pixels per step of the scroll bar
    // The range and the places of the jokes as given, without wrapping.
    qint64 FPlainRange = 650;
    std::vector<std::pair<qint64, qint64>> FPlainPlaces;
    bool FWrap = false;
    int FColumns = 0;
    // Wheel turns not yet scrolled: fine wheels send parts of a step.
    int FWheelRest = 0;
    FoundTextOf FFoundOf;
    int FCurrentJoke = -1;
    LineMatch FCurrentFound;
    QWidget *FViewport;
    QScrollBar *FBar;
    QCursor FCursor;
};
