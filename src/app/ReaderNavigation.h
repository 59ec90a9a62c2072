#pragma once
// The reader's ways through a collection besides dragging it: the find bar
// under the joke view (Ctrl+F, F3, Shift+F3), a joke by its number (Ctrl+G),
// a joke at random (Ctrl+R), long lines wrapped at the panels' width, and
// the place in each collection, shown again when it is next opened. A
// drop-down button at the right end of the toolbar offers them; its face
// opens the find bar. The window's own commands get the keys people try
// (Ctrl+O open, Ctrl+P print, Ctrl+Q end, F1 About), and the colour scheme
// menu marks the scheme in force.
// The options are kept in the settings file, in a section of their own,
//   [Reader]  WrapLines, FindIgnoresAccents   (0/1, both off at first)
// written at close when they changed; the places in [Places]
// (ReadingPlaces.h).

#include "app/ReadingPlaces.h"

#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QToolButton;
class Tfrm_Main;
class TFindBar;
class TJokeView;

class TReaderNavigation : public QObject
{
    Q_OBJECT
public:
    // Made by the main window once its toolbar, menus and joke view exist.
    explicit TReaderNavigation(Tfrm_Main *form);
    ~TReaderNavigation() override;

    TFindBar *pnlKereses = nullptr;   // the find bar, between view and status bar
    QToolButton *tbOlvasas = nullptr; // the toolbar's drop-down button
    QMenu *pmOlvasas = nullptr;       // its menu
    QAction *mniKereses = nullptr;    // "Keresés..." Ctrl+F
    QAction *mniUgras = nullptr;      // "Ugrás viccre..." Ctrl+G
    QAction *mniVeletlen = nullptr;   // "Véletlen vicc" Ctrl+R
    QAction *mniTordeles = nullptr;   // "Hosszú sorok tördelése", a switch

    // Asks for a joke's number and shows that joke at the top.
    void mniUgrasClick();
    // Shows the joke numbered number (from 1, as its panel says) at the top.
    void ShowJoke(int number);
    // Shows a joke picked at random at the top: never the one shown at
    // random last (nor, at first, the one at the top) when there are two
    // jokes or more.
    void mniVeletlenClick();
    void SetWrapLines(bool wrap);

    // The collection on show is about to go: its place is remembered.
    void LeaveCollection();
    // The collection at path is on show: its remembered place is shown, and
    // the open find bar counts its matches.
    void EnterCollection(const QString &path);

    // Reads the options when the window is first shown (the settings file's
    // place is fixed by then).
    void LoadOptions();
    // At close: remembers the place of the collection on show and writes
    // the places and the changed options. Raises AppError when the settings
    // file cannot be written.
    void SaveState();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildMenuAndButton();
    void BindWindowShortcuts();
    void MarkScheme();
    TReadingPlaces &Places();

    Tfrm_Main *FForm;
    TJokeView *FView;
    std::unique_ptr<TReadingPlaces> FPlaces;
    QString FPath;
    int FLastRandom = -1;
    bool FOptionsLoaded = false;
    bool FOptionsChanged = false;
};
