#pragma once
// TRepStandardPreview: the standard preview window of a report printer: a
// toolbar (zoom, paging, printer setup, print, save, load, close), a
// TRepPreview filling the client area and a status bar with the progress
// (panel 0) and "Page n of m" (panel 1). It opens maximised, captioned with
// the printer's Title (else "Print Preview"), and handles its keys wherever
// the focus is inside it:
//   Esc               close
//   Ctrl+Page Up      first page     Page Up (any other shift)    previous
//   Ctrl+Page Down    last page      Page Down (any other shift)  next
//   Home              first page     End                          last
//
// Beyond those, it reads like a document viewer:
//   zoom out / zoom in  buttons beside the three zoom presets, Ctrl+- and
//                       Ctrl++ (Ctrl+=), Ctrl + wheel: the zoom steps of the
//                       preview control; the zoom shows in the status bar.
//   the wheel           goes on to the next page at the end of a page.
//   the page panel      takes a number: Return goes to that page.
//   Thumbnails          a column of page pictures on the left (off at
//                       first), a click going to the page.
//   Find (Ctrl+F)       the find bar under the page; F3 / Shift+F3 the
//                       next / previous match, also while the bar is shut.
// In a text field (the page panel, the find bar) Home and End move the
// cursor and Escape leaves the field or shuts the find bar; Page Up and
// Page Down still turn pages.
//
// Save offers the report file and the export filters; an export of more
// than one page asks which pages (from, to) it writes.
//
// While the printer is still producing pages, Save, Load and Print (and
// with Save the export filters) are not offered, so the store is never
// replaced or copied under the running report. They come back as soon as
// the run is over, whichever way it ended: with the last page-available
// notice of a finished printer, and with the run-ended notice that follows
// every run (also one its report vetoed, one that failed or was cancelled).
// Load and Printer setup (not for loaded pages) are then offered; Print and
// Save only when the printer finished with pages: a run that made none
// offers neither and reads "Page 0 of 0".
//
// Closing the window (button, Esc, close box) sends the printer's
// preview-closed notice (the report cancels a run still going and frees the
// printer) and then the window deletes itself.
//
// TRepStandardPreviewInterface is the preview interface class registered
// with the printer (RegisterStandardPreviewInterface).

#include "report/output/RepPrinter.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

class QButtonGroup;
class QLabel;
class QToolButton;
class TRepFindBar;
class TRepPageField;
class TRepPreview;
class TRepThumbnailPanel;

class TRepStandardPreview : public QMainWindow
{
public:
    TRepStandardPreview(QWidget *owner, TRepPrinter *printer);
    ~TRepStandardPreview() override;

    // The printer shown, or none once it has gone away.
    TRepPrinter *Printer() const;
    TRepPreview *RepPreview() const { return FRepPreview; }
    TRepThumbnailPanel *Thumbnails() const { return FThumbnails; }
    TRepFindBar *FindBar() const { return FFindBar; }
    TRepPageField *PageField() const { return FPagePanel; }

    // Handlers (also driven by tests).
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void ZoomToFitClick();
    void ZoomTo100Click();
    void ZoomToWidthClick();
    void ZoomInClick();
    void ZoomOutClick();
    void ThumbnailsClick();
    void FindClick();
    void GoToPage(int page);
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    void LastPageClick();
    void PrintSetupClick();
    void PrintClick();
    void SaveClick();
    void LoadClick();
    void ExitClick();
    void RepPreviewPageAvailable(int pageNum);
    void RepPreviewProgressUpdate(int progress);

    // The toolbar buttons by their names (ZoomFit, Zoom100, ZoomToWidth,
    // ZoomOut, ZoomIn, FirstPage, PreviousPage, ToolButton2, LastPage,
    // PrintSetup, Print, SaveReport, LoadReport, Thumbnails, Find,
    // ExitButton); none for another name.
    QToolButton *Button(const QString &name) const;
    QString ProgressText() const; // panel 0
    QString StatusText() const;   // panel 1
    QString ZoomText() const;     // the zoom, "80%"

    // The file dialogs, replaceable (tests). A chooser gets the dialog's
    // title, Qt filter list and default suffix and returns the chosen file
    // and the 1-based filter index, or an empty name when cancelled.
    struct FileChoice
    {
        QString FileName;
        int FilterIndex = 0;
    };
    using FileChooser = std::function<FileChoice(QWidget *parent, const QString &title,
                                                 const QStringList &filters, const QString &defaultSuffix)>;
    static void SetSaveChooser(FileChooser chooser);
    static void SetLoadChooser(FileChooser chooser);
    // Where "File does not exist" and other plain messages go (tests);
    // an empty function restores the message box.
    using MessageSink = std::function<void(const QString &text)>;
    static void SetMessageSink(MessageSink sink);
    // Asks which pages of count an export writes: first and last (1-based),
    // or none when cancelled; replaceable (tests).
    using RangeChooser = std::function<std::optional<std::pair<int, int>>(QWidget *parent, int count)>;
    static void SetRangeChooser(RangeChooser chooser);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildToolBar();
    void BuildCentre();
    void UpdateStatusText();
    void UpdateZoomButtons();
    void PageChanged();
    // The printer's pages were replaced by those of a file.
    void PagesReplaced();
    // The pages an export writes; none when the user cancelled.
    std::optional<std::pair<int, int>> ExportRange();
    void OfferStoredPageActions(bool finished);
    // The buttons a run that is over allows (see above).
    void OfferFinishedActions();
    void LetMessagesRun();

    TRepPreview *FRepPreview;
    TRepThumbnailPanel *FThumbnails;
    TRepFindBar *FFindBar;
    QButtonGroup *FZoomGroup = nullptr;
    QLabel *FProgressPanel;
    TRepPageField *FPagePanel;
    QLabel *FZoomPanel;
    int FLastProgress = 0;
    bool FClosing = false;
};

class TRepStandardPreviewInterface : public TRepPreviewInterface
{
public:
    // A preview window for printer, owned by the application, shown
    // non-modally (ShowPreview) or modally, returning when it closes.
    QWidget *ShowPreview(TRepPrinter &printer) override;
    QWidget *ShowModalPreview(TRepPrinter &printer) override;
};

// Makes TRepStandardPreviewInterface the class the printer's ShowPreview
// uses.
void RegisterStandardPreviewInterface();
