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
// While the printer is still producing pages, Save, Load and Print (and
// with Save the export filters) are not offered, so the store is never
// replaced or copied under the running report. They come back as soon as
// the run is over, whichever way it ended: with the last page-available
// notice of a finished printer, and with the run-ended notice that follows
// every run (also one its report vetoed, one that failed or was cancelled).
// Load and Printer setup (not for loaded pages) are then offered; Print and
// Save only with finished pages.
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

class QLabel;
class QToolButton;
class TRepPreview;

class TRepStandardPreview : public QMainWindow
{
public:
    TRepStandardPreview(QWidget *owner, TRepPrinter *printer);
    ~TRepStandardPreview() override;

    // The printer shown, or none once it has gone away.
    TRepPrinter *Printer() const;
    TRepPreview *RepPreview() const { return FRepPreview; }

    // Handlers (also driven by tests).
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void ZoomToFitClick();
    void ZoomTo100Click();
    void ZoomToWidthClick();
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
    // FirstPage, PreviousPage, ToolButton2, LastPage, PrintSetup, Print,
    // SaveReport, LoadReport, ExitButton); none for another name.
    QToolButton *Button(const QString &name) const;
    QString ProgressText() const; // panel 0
    QString StatusText() const;   // panel 1

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildToolBar();
    void UpdateStatusText();
    void OfferStoredPageActions(bool finished);
    // The buttons a run that is over allows (see above).
    void OfferFinishedActions();
    void LetMessagesRun();

    TRepPreview *FRepPreview;
    QLabel *FProgressPanel;
    QLabel *FPagePanel;
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
