#pragma once
// TrepLista: the joke-list report. Its definition (A4, two columns, page
// header with the program's name and the joke file's name, the strings band
// of the joke lines, page footer with date, home page and page number) is
// the stored definition ListaNyom.zrd compiled in as a resource. Before each
// line prints, RepStringsBand1BeforePrint gives it one of three looks by
// its first character:
//   "*"  heading look  24 px high, left 24 px, Comic Sans MS 12 bold blue,
//                      shaded strip on
//   "#"  number look   24 px high, left 24 px, right-aligned, Comic Sans MS
//                      10 bold red
//   else text look     19 px high, left 52 px, Garamond 11 black
// Every look sets all of these, so nothing carries over from the line before.
// Text stays Unicode: ő and ű print as themselves.

#include "app/JokeCollection.h"
#include "report/model/RepReport.h"

#include <QString>
#include <QStringList>
#include <vector>

class TRepCustomBand;
class TRepExpr;
class TRepLabel;
class TRepPrinter;
class TRepShape;
class TRepStringsBand;

enum class TLineLook { Heading, Number, Text };
// The look a print-list line takes.
TLineLook LineLookOf(const QString &line);

// One joke as the print list takes it: the panel's heading, its lines as
// they stand (picture lines included) and its bottom text ("#" and number).
struct TPrintJoke
{
    QString Heading;
    QStringList Lines;
    QString Bottom;
};
// The print list: for every joke its heading, its lines, its bottom text.
QStringList PrintListOf(const std::vector<TPrintJoke> &jokes);
// The jokes of a collection as the print list takes them, numbered from 1.
std::vector<TPrintJoke> PrintJokesOf(const std::vector<JokeEntry> &jokes);

class TrepLista : public TRepReport
{
    Q_OBJECT
public:
    // Loads the stored definition and puts the maker's home page into the
    // footer. The report registers the standard preview and the PDF filter.
    explicit TrepLista(TRepControl *parent = nullptr);
    ~TrepLista() override;

    // The title label's caption: the name part of fileName (never a folder);
    // the strings band's lines: a copy of lines.
    void SetPrintList(const QString &fileName, const QStringList &lines);

    // The before-print handler of the strings band: the look of the line
    // about to print. printBand is left as it is.
    void RepStringsBand1BeforePrint(TRepCustomBand *band, bool &printBand);
    bool BindHandler(TRepControl *component, const QString &event, const QString &handler) override;

    // Runs the report into printer (a page store, no window) with the
    // report's title; the caller owns printer and saves or exports it.
    void RenderInto(TRepPrinter &printer);

    TRepStringsBand *RepStringsBand1 = nullptr;
    TRepExpr *RepExpr = nullptr;
    TRepShape *RepShape2 = nullptr;
    TRepLabel *replCim = nullptr;
    TRepLabel *RepLabel1 = nullptr;
};

// The joke-list report of the program (created at start, see main), or none.
extern TrepLista *repLista;
// repLista, or, without one, a report made on first use that lives until
// the application ends (a main window without the program block).
TrepLista &JokeListReport();
