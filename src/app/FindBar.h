#pragma once
// The find bar under the joke view. As the reader types, the first joke at
// or below the one in view that holds the text comes into view, every
// match on the panels shown is marked and the one the reader is at stands
// out; Enter (F3) and Shift+Enter (Shift+F3) go to the next and previous
// match through the whole collection, going round at its ends, and the bar
// says "n / m". Letters match whatever their case, and without their
// accents when the reader asks. A text found nowhere says "Nincs találat"
// and leaves the view where it is. Esc closes the bar.
// The search reads the jokes of the view's model, never its panels, so it
// reaches every joke of any collection.

#include "app/JokeSearch.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TJokeView;

class TFindBar : public QWidget
{
    Q_OBJECT
public:
    explicit TFindBar(TJokeView *view, QWidget *parent = nullptr);

    QLineEdit *edtKereses = nullptr;     // the text looked for
    QToolButton *sbElozo = nullptr;      // previous match
    QToolButton *sbKovetkezo = nullptr;  // next match
    QLabel *lblTalalat = nullptr;        // "n / m" or "Nincs találat"
    QCheckBox *cbEkezetek = nullptr;     // letters without their accents
    QToolButton *sbBezar = nullptr;      // closes the bar

    // Shows the bar with its text selected, ready for typing; text already
    // there is marked again on the jokes.
    void Open();
    // Hides the bar and the marks; the jokes have the keyboard again.
    void Close();
    // The next and the previous match (the bar opens when it is closed; an
    // empty text only opens it).
    void FindNext();
    void FindPrevious();

    bool IgnoreAccents() const;
    void SetIgnoreAccents(bool ignore);

    // The jokes on show were replaced: with a text in the open bar their
    // matches are counted and marked, from the joke at the top, without
    // moving the view.
    void JokesReplaced();

signals:
    void IgnoreAccentsChanged(bool ignore);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void TextEdited(const QString &text);
    // The next match (or the previous one) from the one the reader is at.
    void Step(bool forward);
    void AccentsToggled();
    // The search over the jokes on show, made when first needed and anew
    // when the jokes or the options change.
    TJokeSearch &Search();
    // Looks for the bar's text from joke on (counting its matches).
    SearchHit FindFrom(int joke);
    // The text counted anew: every match marked, none the reader's, the
    // view where it is.
    void Recount();
    int TopJoke() const;
    // Where a search that the reader types starts: the joke of the match
    // the reader is at while it is in view, else the joke at the top.
    int TypingStart() const;
    // Marks the matches and the one at hit, bringing it into view when move.
    void Show(const SearchHit &hit, bool move);
    void ShowNothingFound();
    void ClearMarks();
    void SetNotFoundLook(bool notFound);

    TJokeView *FView;
    std::unique_ptr<TJokeSearch> FSearch;
    SearchHit FHit;
    // The text as the reader last typed it.
    QString FTyped;
    // The text FSearch has counted, and the jokes it was made from.
    QString FSearchedText;
    quint64 FJokesVersion = 0;
};
