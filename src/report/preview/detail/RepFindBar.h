#pragma once
// TRepFindBar: finding text in the pages of the preview. A bar under the
// page (hidden until asked for) with the text to find, the previous and
// next buttons, "Ignore accents", where the current match stands among all
// ("3 / 41", "No matches") and a close button.
//
// It keeps the page text index of the printer shown: the index takes the
// pages as the printer announces them (PagesAvailable), and starts over
// when the printer's pages are replaced (PagesReplaced). A search looks at
// every page indexed and goes on in the pages that arrive later. The first
// match shown is the first on or after the page on show; FindNext and
// FindPrevious go through the matches across pages, round at the ends.
// The matches of the page on show are highlighted on it, the current one
// stronger, and the page scrolls to bring it into view.
//
// Typing searches after a short pause; Return finds the next match,
// Shift+Return the previous; Escape closes the bar.

#include "report/preview/detail/RepPageTextIndex.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;
class TRepPreview;

class TRepFindBar : public QWidget
{
public:
    TRepFindBar(TRepPreview *preview, QWidget *parent = nullptr);

    // Shows the bar and puts the cursor into its text, all of it selected.
    void Open();
    void Close();

    // Searches for text at once (also what typing does after its pause).
    void Search(const QString &text);
    void FindNext();
    void FindPrevious();
    void SetIgnoreAccents(bool on);

    // The printer announced pages: index them, and look in them when a
    // search is on.
    void PagesAvailable();
    // The printer's pages were replaced (a file loaded): index anew and
    // search again.
    void PagesReplaced();
    // Another page is on show: highlight its matches.
    void PageShown();

    // "n / m", "No matches", or empty without a search.
    QString ResultText() const;
    const std::vector<TRepPageTextIndex::Match> &Matches() const { return FMatches; }
    int Current() const { return FCurrent; }
    const TRepPageTextIndex &Index() const { return FIndex; }
    QLineEdit *TextField() const { return FText; }

    // At most this many matches are kept; beyond it the count reads "m+".
    static constexpr size_t MatchLimit = 100000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CatchUp();
    void Step(int direction);
    void ShowCurrent();
    void UpdateResult();

    TRepPreview *FPreview;
    QLineEdit *FText;
    QCheckBox *FAccents;
    QLabel *FResult;
    QTimer *FPause;
    TRepPageTextIndex FIndex;
    QString FNeedle; // the text searched for, empty without a search
    std::vector<TRepPageTextIndex::Match> FMatches;
    int FCurrent = -1;
    int FSearched = 0;  // pages the matches cover
    QRectF FCurrentBox; // of the current match, when it is on the page on show
};
